// Undo of the last run from the main window's system menu.
#include <doctest.h>

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <utility>

#include "engine/records/backups/backup_store.h"
#include "engine/records/history/run_history.h"
#include "engine/catalogue/catalogue.h"
#include "platform/windows_machine.h"
#include "tests/support/memory_machine.h"
#include "tests/support/stand_in_services.h"
#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"
#include "tests/ui/test_desktop.h"
#include "tools/driver/keyboard.h"
#include "ui/ids/identifiers.h"

using namespace quillora;
using namespace quillora::testing;
using ui::MainControls;

namespace {

const wchar_t kItemText[] = L"撤销上次优化(&U)...";

// The undo item's position in the main window's system menu, found by its text; -1 if absent.
int undoItemPosition(HWND window)
{
    const HMENU menu = GetSystemMenu(window, FALSE);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = L"";
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        if (std::wstring(text) == kItemText)
            return i;
    }
    return -1;
}

// Opens the system menu from the keyboard as a user does (Alt+Space), then presses keys in it.
void systemMenuKeys(HWND window, std::initializer_list<BYTE> keys)
{
    SetForegroundWindow(window);
    SetFocus(window);
    keyboard::altSpace();
    for (const BYTE key : keys)
        keyboard::press(key);
    flushMessages();
}

// Whether the item is greyed after the system menu was opened (and closed again with Escape).
bool greyedWhenOpened(HWND window)
{
    systemMenuKeys(window, {VK_ESCAPE, VK_ESCAPE});
    const UINT state = GetMenuState(GetSystemMenu(window, FALSE), static_cast<UINT>(undoItemPosition(window)),
                                    MF_BYPOSITION);
    return (state & MF_GRAYED) != 0;
}

}  // namespace

TEST_CASE("the system menu ends with a separator, the undo item greyed while there is no backup, the services item, "
          "a separator and the three languages")
{
    ProgramFixture f;
    f.program.mainWindow.show();
    const HWND main = f.program.mainWindow.handle();
    const int position = undoItemPosition(main);
    const HMENU menu = GetSystemMenu(main, FALSE);
    REQUIRE(position == GetMenuItemCount(menu) - 7);
    const auto itemAt = [&](int at) {
        wchar_t text[64] = L"";
        GetMenuStringW(menu, static_cast<UINT>(at), text, 64, MF_BYPOSITION);
        return std::wstring(text);
    };
    CHECK(itemAt(position + 1) == L"查看服务(&V)...");
    CHECK(itemAt(position + 2) == L"优化前创建系统还原点(&P)");
    CHECK((GetMenuState(menu, static_cast<UINT>(position + 3), MF_BYPOSITION) & MF_SEPARATOR) != 0);
    CHECK(itemAt(position + 4) == L"简体中文(&Z)");
    CHECK(itemAt(position + 5) == L"&English");
    CHECK(itemAt(position + 6) == L"繁體中文(&T)");
    CHECK((GetMenuState(menu, static_cast<UINT>(position - 1), MF_BYPOSITION) & MF_SEPARATOR) != 0);
    CHECK(greyedWhenOpened(main));
    // The restore point before each run: on until turned off, and the choice kept.
    const auto restorePointChecked = [&] {
        return (GetMenuState(menu, static_cast<UINT>(position + 2), MF_BYPOSITION) & MF_CHECKED) != 0;
    };
    CHECK(restorePointChecked());
    SendMessageW(main, WM_SYSCOMMAND, ui::kRestorePointCommand, 0);
    greyedWhenOpened(main);
    CHECK_FALSE(restorePointChecked());
    CHECK(f.desktop.memoryMachine.memoryFiles.files.at(testing::kSettings).bytes == "[Quillora]\r\nrestore-point=off\r\n");

    // A run leaves its backup, but the item stays greyed while the run's commands may still run:
    // a late sc config would overwrite what the undo put back.
    f.desktop.stillRunning = {0};
    click(f.program.mainWindow.control(MainControls::AutomaticButton));
    CHECK(f.desktop.restorePoints.begun.empty());
    CHECK(greyedWhenOpened(main));
    f.desktop.answerYes = true;
    SendMessageW(main, WM_SYSCOMMAND, ui::kUndoLastRunCommand, 0);
    CHECK(f.desktop.questions.empty());
    f.program.results.collect();
    CHECK(greyedWhenOpened(main));
    // Once the result is in, the next time the menu opens the item is there to choose.
    f.desktop.stillRunning.clear();
    f.program.results.collect();
    CHECK_FALSE(greyedWhenOpened(main));
    // Nothing else of the window changed.
    CHECK(ui::windowText(main) == L"Quillora1.1");
}

TEST_CASE("during a run the item is greyed and the command does nothing")
{
    ProgramFixture f;
    f.program.mainWindow.show();
    const HWND main = f.program.mainWindow.handle();
    click(f.program.mainWindow.control(MainControls::RestoreButton));  // a backup to undo
    f.program.results.collect();
    f.desktop.answerYes = true;
    bool greyed = false;
    const int pumpsBefore = f.desktop.recorder.messagePumps;
    f.desktop.recorder.atMessages = [&](int pump) {
        if (pump == pumpsBefore + 3) {
            greyed = greyedWhenOpened(main);
            SendMessageW(main, WM_SYSCOMMAND, ui::kUndoLastRunCommand, 0);
        }
    };
    click(f.program.mainWindow.control(MainControls::AutomaticButton));
    CHECK(greyed);
    CHECK(f.desktop.questions.empty());
    CHECK(f.desktop.notices.empty());
    CHECK(f.desktop.memoryMachine.memoryServices.changes.empty());
    f.program.results.collect();
    CHECK_FALSE(greyedWhenOpened(main));
}

TEST_CASE("undo under Wine's Service Control Manager: No changes nothing, Yes puts the modes back, twice is once")
{
    StandInServices services({{L"Alerter", SERVICE_AUTO_START}, {L"ALG", SERVICE_DEMAND_START},
                              {L"Spooler", SERVICE_DISABLED}});
    platform::WindowsMachine machine;
    ProgramFixture f;
    f.desktop.machine.target = &machine;
    f.program.mainWindow.show();
    const HWND main = f.program.mainWindow.handle();
    click(f.program.mainWindow.control(MainControls::AutomaticButton));
    const std::vector<StoredBackup> backups = storedBackups(machine);
    REQUIRE_FALSE(backups.empty());
    // What the run's commands would have done to the stand-ins.
    services.setStartType(L"Alerter", SERVICE_DISABLED);
    services.setStartType(L"ALG", SERVICE_DISABLED);
    services.setStartType(L"Spooler", SERVICE_DEMAND_START);
    f.program.results.collect();
    f.desktop.questions.clear();  // whether to show the services Windows refused: no

    // auto-YYYYMMDD-HHMMSS-NN.txt names the local time the backup was made.
    const std::string& name = backups.front().name;
    const std::wstring time = fromUtf8(name.substr(5, 4) + "-" + name.substr(9, 2) + "-" + name.substr(11, 2) + " "
                                       + name.substr(14, 2) + ":" + name.substr(16, 2) + ":" + name.substr(18, 2));

    SUBCASE("No")
    {
        systemMenuKeys(main, {'U'});
        REQUIRE(f.desktop.questions.size() == 1);
        const std::wstring& question = f.desktop.questions[0].text;
        CHECK(f.desktop.questions[0].caption == L"Quillora1.1");
        CHECK(f.desktop.questions[0].owner == main);
        CHECK(question.find(L"将按 " + time + L" 的自动备份恢复服务的启动类型，3 个已安装的服务将会改变：\r\n"
                            L"    Alerter: 禁用 → 自动\r\n    Application Layer Gateway Service: 禁用 → 手动\r\n"
                            L"    Print Spooler: 手动 → 禁用\r\n")
              != std::wstring::npos);
        // Alerter goes back to automatic start: it runs after the next restart.
        CHECK(question.find(L"\r\n\r\n设回自动启动的服务将在下次重新启动 Windows 后运行；撤销本身不会启动或停止任何服务。")
              != std::wstring::npos);
        CHECK(f.desktop.notices.empty());
        CHECK(services.startType(L"Alerter") == SERVICE_DISABLED);
        CHECK(services.startType(L"Spooler") == SERVICE_DEMAND_START);
    }
    SUBCASE("Yes, then again")
    {
        f.desktop.answerYes = true;
        systemMenuKeys(main, {'U'});
        CHECK(services.startType(L"Alerter") == SERVICE_AUTO_START);
        CHECK(services.startType(L"ALG") == SERVICE_DEMAND_START);
        CHECK(services.startType(L"Spooler") == SERVICE_DISABLED);
        REQUIRE(f.desktop.notices.size() == 1);
        CHECK_FALSE(f.desktop.notices[0].warning);
        CHECK(f.desktop.notices[0].text.rfind(L"已撤销上次优化。\r\n\r\n已更改：3 个服务\r\n"
                                              L"    Alerter: 禁用 → 自动\r\n",
                                              0)
              == 0);
        CHECK(f.desktop.notices[0].text.find(L"失败：0 个服务\r\n") != std::wstring::npos);
        CHECK(f.desktop.notices[0].text.find(L"设回自动启动的服务将在下次重新启动 Windows 后运行") != std::wstring::npos);
        // Its own backup first: the undo is a run of the history, which can itself be gone back from.
        CHECK(storedBackups(machine).size() == backups.size() + 1);

        systemMenuKeys(main, {'U'});
        CHECK(f.desktop.questions.size() == 1);
        REQUIRE(f.desktop.notices.size() == 2);
        CHECK(f.desktop.notices[1].text.find(L"无需撤销") != std::wstring::npos);
        CHECK(services.startType(L"Alerter") == SERVICE_AUTO_START);
        CHECK(storedBackups(machine).size() == backups.size() + 1);
    }
    CHECK(f.desktop.recorder.launches.size() == 115);  // the run's; the undo launches nothing
    CHECK(f.desktop.errors.empty());
}

TEST_CASE("the question names ten services and counts the rest; refusals are listed with the system's reason")
{
    ProgramFixture f;
    MemoryServices& services = f.desktop.memoryMachine.memoryServices;
    for (const std::wstring& key : catalogueKeys())
        services.services[key] = installed(StartMode::Disabled, RunState::Stopped);
    f.program.mainWindow.show();
    click(f.program.mainWindow.control(MainControls::AutomaticButton));
    for (auto& [key, service] : services.services)
        service.mode = StartMode::Manual;
    services.services[L"ALG"].accessDenied = true;
    f.program.results.collect();
    f.desktop.questions.clear();  // whether to show the services Windows refused: no
    f.desktop.answerYes = true;
    SendMessageW(f.program.mainWindow.handle(), WM_SYSCOMMAND, ui::kUndoLastRunCommand, 0);

    REQUIRE(f.desktop.questions.size() == 1);
    const std::wstring& question = f.desktop.questions[0].text;
    CHECK(question.find(L"60 个已安装的服务将会改变：\r\n    Alerter: 手动 → 禁用\r\n"
                        L"    Application Layer Gateway Service: 手动 → 禁用\r\n")
          != std::wstring::npos);
    CHECK(question.find(L"    Cryptographic Services: 手动 → 禁用\r\n    …另外 50 个服务\r\n") != std::wstring::npos);
    CHECK(countOf(question, L"\r\n    ") == 11);
    // Nothing goes back to automatic start: no word of a restart.
    CHECK(question.find(L"重新启动") == std::wstring::npos);
    CHECK(question.find(L"\r\n\r\n撤销本身不会启动或停止任何服务。") != std::wstring::npos);
    REQUIRE(f.desktop.notices.size() == 1);
    CHECK(f.desktop.notices[0].warning);
    CHECK(f.desktop.notices[0].text.find(L"已更改：59 个服务\r\n    Alerter: 手动 → 禁用\r\n") != std::wstring::npos);
    CHECK(f.desktop.notices[0].text.find(L"    …另外 49 个服务\r\n未更改：0 个服务\r\n失败：1 个服务\r\n"
                                         L"    Application Layer Gateway Service (ALG)：Access is denied. (5)\r\n")
          != std::wstring::npos);
    CHECK(f.desktop.notices[0].text.find(L"重新启动") == std::wstring::npos);
    CHECK(services.services[L"Alerter"].mode == StartMode::Disabled);
    CHECK(services.services[L"ALG"].mode == StartMode::Manual);
}

TEST_CASE("a damaged backup is named with what is wrong, and nothing is changed")
{
    ProgramFixture f;
    MemoryMachine& machine = f.desktop.memoryMachine;
    machine.memoryServices.services[L"Alerter"] = installed(StartMode::Automatic, RunState::Running);
    machine.memoryFiles.createFolders(kBackups);
    machine.memoryFiles.files[kBackups + "/auto-20261207-101500-01.txt"] = {
        "quillora-backup 1\r\nAlerter\tsometimes\r\nend\r\n", 5};
    f.desktop.answerYes = true;
    f.program.mainWindow.show();
    systemMenuKeys(f.program.mainWindow.handle(), {'U'});

    REQUIRE(f.desktop.errors.size() == 1);
    CHECK(f.desktop.errors[0].text
          == L"无法撤销上次优化：自动备份不能使用。\r\n/home/user/Quillora/backups/auto-20261207-101500-01.txt\r\n"
             L"第 2 行：未知的启动类型（可用的有 auto、demand、disabled、boot、system、absent）：“Alerter→sometimes”"
             L"\r\n\r\n未做任何更改。");
    CHECK(f.desktop.questions.empty());
    CHECK(machine.memoryServices.changes.empty());
}

TEST_CASE("a run whose backup fails leaves no progress window claiming a run")
{
    // Each way a run starts: the two buttons, and the last answer of the questions.
    const std::function<void(ui::Program&)> starts[] = {
        [](ui::Program& program) { click(program.mainWindow.control(MainControls::AutomaticButton)); },
        [](ui::Program& program) { click(program.mainWindow.control(MainControls::RestoreButton)); },
        [](ui::Program& program) {
            program.firstQuestion.show();
            click(program.firstQuestion.control(ui::QuestionControls::YesButton));
            click(program.secondQuestion.control(ui::QuestionControls::NoButton));
            click(program.thirdQuestion.control(ui::QuestionControls::YesButton));
            CHECK_FALSE(program.thirdQuestion.isVisible());
        },
    };
    for (const auto& start : starts) {
        ProgramFixture f;
        f.desktop.memoryMachine.memoryFiles.readOnly = true;
        f.program.mainWindow.show();
        start(f.program);
        CHECK(f.desktop.errors.size() == 1);
        CHECK_FALSE(f.program.progressWindow.isVisible());
        CHECK(f.desktop.recorder.launches.empty());
    }
}

TEST_CASE("a restore run with every box cleared leaves a backup that says so; undo says the last run changed nothing")
{
    ProgramFixture f;
    f.desktop.memoryMachine.memoryServices.services[L"Alerter"] = installed(StartMode::Disabled, RunState::Stopped);
    f.program.mainWindow.show();
    std::vector<std::wstring> every;
    for (const ServiceStep& step : profileSteps(Profile::Restore, Lists::Designed))
        every.push_back(step.serviceKey);
    f.program.skips.choose(Profile::Restore, every);
    click(f.program.mainWindow.control(MainControls::RestoreButton));
    CHECK(f.desktop.recorder.launches.empty());
    f.program.results.collect();
    SendMessageW(f.program.mainWindow.handle(), WM_SYSCOMMAND, ui::kUndoLastRunCommand, 0);
    CHECK(f.desktop.errors.empty());
    CHECK(f.desktop.questions.empty());
    REQUIRE(f.desktop.notices.size() == 1);
    CHECK(f.desktop.notices[0].text == L"上次优化没有更改任何服务（所有服务都按您的选择保留），无需撤销。");
    CHECK(f.desktop.memoryMachine.memoryServices.services[L"Alerter"].mode == StartMode::Disabled);
}

TEST_CASE("a run asked for while undo asks starts once the undo is done, never under it")
{
    ProgramFixture f;
    f.desktop.memoryMachine.memoryServices.services[L"Alerter"] = installed(StartMode::Automatic, RunState::Running);
    f.program.mainWindow.show();
    click(f.program.mainWindow.control(MainControls::AutomaticButton));
    f.desktop.memoryMachine.memoryServices.services[L"Alerter"] = installed(StartMode::Disabled, RunState::Stopped);
    f.program.results.collect();
    f.desktop.answerYes = true;
    f.desktop.memoryMachine.stamp = "20261207-111500";
    // Whatever might still start a run under the question: the windows are held, but a run is
    // asked for here all the same.
    bool started = false;
    f.desktop.whileBoxWaits = [&] {
        if (!std::exchange(started, true))
            f.program.runs.start(Profile::Automatic, f.program.mainWindow.handle());
    };
    SendMessageW(f.program.mainWindow.handle(), WM_SYSCOMMAND, ui::kUndoLastRunCommand, 0);
    REQUIRE(f.desktop.questions.size() == 1);
    CHECK(f.desktop.memoryMachine.memoryServices.services[L"Alerter"].mode == StartMode::Automatic);
    const std::vector<HistoryRun> runs = runHistory(f.desktop.machine);
    REQUIRE(runs.size() == 3);
    CHECK(runs[0].origin->maker == RunMaker::Window);  // asked for meanwhile, begun after the undo
    CHECK(runs[1].origin->maker == RunMaker::Undo);
    const std::wstring log = f.program.progressWindow.text();
    CHECK(log.find(L"优化已经完成！") != log.rfind(L"优化已经完成！"));  // both runs ran to their end
}
