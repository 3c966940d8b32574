// On a Windows later than XP, a run that would stop or disable services that Windows needs asks
// first; on XP nothing changes.
#include <doctest.h>

#include <functional>

#include "engine/backup_store.h"
#include "tests/support/golden.h"
#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"
#include "tests/ui/test_desktop.h"
#include "ui/identifiers.h"

using namespace quillora;
using namespace quillora::testing;
using ui::MainControls;
using ui::QuestionControls;

namespace {

using Choice = platform::Desktop::Choice;

struct StartRun {
    const char* name;
    std::function<void(ui::Program&)> start;
    const char* golden;
    std::size_t launchesLeftOut;  // command lines of the needed services the run stops or disables
};

// Each way a run starts, and how many launches leaving the needed services alone saves: two for
// each of them (NET stop, then sc config).
const StartRun kStarts[] = {
    {"automatic button", [](ui::Program& p) { click(p.mainWindow.control(MainControls::AutomaticButton)); },
     "automatic", 2 * 21},
    {"restore button", [](ui::Program& p) { click(p.mainWindow.control(MainControls::RestoreButton)); }, "restore",
     2 * 1},
    {"last question",
     [](ui::Program& p) {
         p.firstQuestion.show();
         click(p.firstQuestion.control(QuestionControls::YesButton));
         click(p.secondQuestion.control(QuestionControls::NoButton));
         click(p.thirdQuestion.control(QuestionControls::YesButton));
     },
     "prompted-yny", 2 * 21},
};

}  // namespace

TEST_CASE("on Windows 10 a run that would stop or disable needed services asks first")
{
    for (const StartRun& way : kStarts) {
        CAPTURE(way.name);
        for (const Choice choice : {Choice::Yes, Choice::No, Choice::Cancel}) {
            CAPTURE(static_cast<int>(choice));
            ProgramFixture f;
            f.desktop.memoryMachine.version = WindowsVersion{10, 0, 19045, false};
            f.desktop.choice = choice;
            f.program.mainWindow.show();
            way.start(f.program);

            REQUIRE(f.desktop.warnings.size() == 1);
            const std::wstring& text = f.desktop.warnings[0].text;
            CHECK(f.desktop.warnings[0].caption == L"Quillora1.1");
            CHECK(text.find(L"Windows 10, 10.0.19045") != std::wstring::npos);
            CHECK(text.find(L"    Human Interface Device Access (HidServ)：键盘和遥控器等设备上的热键\r\n")
                  != std::wstring::npos);
            // Backups only: the main window may already have saved the run's result beside its backup.
            const std::size_t backups = storedBackups(f.desktop.memoryMachine).size();
            const std::vector<std::wstring> golden = goldenCommandLines(way.golden);
            if (choice == Choice::Cancel) {
                CHECK(f.desktop.recorder.launches.empty());
                CHECK(backups == 0);
                CHECK_FALSE(f.program.progressWindow.isVisible());
            } else if (choice == Choice::No) {
                CHECK(f.desktop.recorder.launches.size() == golden.size());
                CHECK(f.program.progressWindow.text() == goldenLog(way.golden));
                CHECK(backups == 1);
            } else {
                CHECK(f.desktop.recorder.launches.size() == golden.size() - way.launchesLeftOut);
                CHECK(countOf(f.program.progressWindow.text(), L":保留\r\n") == way.launchesLeftOut / 2);
                CHECK(countOf(f.program.progressWindow.text(), L"\r\n") == countOf(goldenLog(way.golden), L"\r\n"));
                CHECK(backups == 1);
            }
        }
    }
}

TEST_CASE("on Windows 10 the automatic run left alone: wuauserv launches nothing and logs 保留")
{
    ProgramFixture f;
    f.desktop.memoryMachine.version = WindowsVersion{10, 0, 22631, false};
    f.program.mainWindow.show();
    click(f.program.mainWindow.control(MainControls::AutomaticButton));
    REQUIRE(f.desktop.warnings.size() == 1);
    CHECK(f.desktop.warnings[0].text.find(L"Windows 11, 10.0.22631") != std::wstring::npos);
    CHECK(f.desktop.warnings[0].text.find(L"    automatic updates (wuauserv)：检测、下载并安装 Windows 更新\r\n")
          != std::wstring::npos);
    for (const auto& launch : f.desktop.recorder.launches)
        CHECK(launch.commandLine.find(L"wuauserv") == std::wstring::npos);
    CHECK(f.program.progressWindow.text().find(L"\r\n4:automatic updates:保留\r\n") != std::wstring::npos);
    CHECK(f.program.progressWindow.text().rfind(L"1:Alerter:禁用\r\n", 0) == 0);
}

TEST_CASE("on Windows XP no run asks anything")
{
    for (const StartRun& way : kStarts) {
        CAPTURE(way.name);
        ProgramFixture f;
        f.program.mainWindow.show();
        way.start(f.program);
        CHECK(f.desktop.warnings.empty());
        CHECK(f.program.progressWindow.text() == goldenLog(way.golden));
    }
}
