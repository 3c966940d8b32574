// Every run of the program first keeps the start modes it is about to change.
#include <doctest.h>

#include <windows.h>

#include "engine/records/backups/backup_store.h"
#include "platform/windows_machine.h"
#include "tests/support/golden.h"
#include "tests/support/memory_machine.h"
#include "tests/support/wide_strings.h"
#include "tests/support/stand_in_services.h"
#include "tests/ui/test_desktop.h"
#include "ui/ids/identifiers.h"

using namespace quillora;
using namespace quillora::testing;
using ui::MainControls;

TEST_CASE("a run whose backup cannot be saved does not start, says why and where, and the program stays open")
{
    ProgramFixture f;
    f.desktop.memoryMachine.memoryFiles.readOnly = true;
    f.program.mainWindow.show();
    click(f.program.mainWindow.control(MainControls::AutomaticButton));

    CHECK(f.desktop.recorder.launches.empty());
    REQUIRE(f.desktop.errors.size() == 1);
    CHECK(f.desktop.errors[0].text
          == L"运行时错误 '5':\r\n\r\n无法保存运行前的服务备份 /home/user/Quillora/backups\r\nAccess is denied.");
    CHECK(f.desktop.errors[0].caption == L"Quillora1.1");
    CHECK(f.desktop.programEnds == 0);
    CHECK(f.program.mainWindow.isVisible());
    CHECK(f.program.progressWindow.text().empty());
    CHECK_FALSE(IsWindowEnabled(f.program.progressWindow.control(ui::ProgressControls::ExitButton)));

    // Once the backup can be saved, the next click runs as usual.
    f.desktop.memoryMachine.memoryFiles.readOnly = false;
    click(f.program.mainWindow.control(MainControls::AutomaticButton));
    CHECK(f.program.progressWindow.text() == goldenLog("automatic"));
}

TEST_CASE("under Wine's Service Control Manager the backup holds the modes from before the run")
{
    StandInServices services({{L"Alerter", SERVICE_AUTO_START}, {L"ALG", SERVICE_DEMAND_START}});
    platform::WindowsMachine machine;
    ProgramFixture f;
    f.desktop.machine.target = &machine;
    f.program.mainWindow.show();
    const std::size_t before = storedBackups(machine).size();
    click(f.program.mainWindow.control(MainControls::AutomaticButton));

    const std::vector<StoredBackup> after = storedBackups(machine);
    REQUIRE(after.size() == before + 1);
    REQUIRE(after.front().automatic);
    const std::string saved = machine.files().read(after.front().path);
    CHECK(saved.rfind("quillora-backup 1\r\nAlerter\tauto\r\nALG\tdemand\r\n", 0) == 0);
    CHECK(saved.find("\r\nMessenger\tabsent\r\n") != std::string::npos);
    CHECK(f.program.progressWindow.text() == goldenLog("automatic"));
}

TEST_CASE("a run whose services cannot be read does not start either, and says so")
{
    ProgramFixture f;
    f.desktop.memoryMachine.memoryServices.services[L"Alerter"] = installed(StartMode::Automatic, RunState::Running);
    f.desktop.memoryMachine.memoryServices.queryRefused = true;
    click(f.program.mainWindow.control(MainControls::RestoreButton));
    CHECK(f.desktop.recorder.launches.empty());
    REQUIRE(f.desktop.errors.size() == 1);
    CHECK(f.desktop.errors[0].text == L"运行时错误 '5':\r\n\r\n无法保存运行前的服务备份\r\nAccess is denied.");
}
