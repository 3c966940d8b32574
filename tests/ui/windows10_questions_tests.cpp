// On Windows 10 and 11 the questions go on with five about their own services (on XP they end after
// the third: the end-to-end golden runs show it).
#include <doctest.h>

#include "engine/records/backups/backup_store.h"
#include "tests/support/golden.h"
#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"
#include "tests/ui/test_desktop.h"
#include "ui/ids/identifiers.h"

using namespace quillora;
using namespace quillora::testing;
using ui::MainControls;
using ui::QuestionControls;
using ui::QuestionWindow;

namespace {

// The program as it starts on Windows 10: the Windows it runs is known before its windows are made.
struct Windows10Fixture {
    TestDesktop desktop;
    bool onWindows10 = (desktop.memoryMachine.version = WindowsVersion{10, 0, 19045, false}, true);
    ui::Program program{GetModuleHandleW(nullptr), desktop, desktop, desktop.machine, desktop.restorePoints};
};

struct Asked {
    QuestionWindow ui::Program::*window;
    const wchar_t* startsWith;  // the question's first words, as the window shows them
};

const Asked kInOrder[] = {
    {&ui::Program::firstQuestion, L"您是否使用刻录机刻光盘？"},
    {&ui::Program::secondQuestion, L"您是否使用打印机打印文档？"},
    {&ui::Program::thirdQuestion, L"这台电脑是否要连接扫描仪或照像机？"},
    {&ui::Program::xboxQuestion, L"您是否使用 Xbox 应用、Xbox Live 游戏、游戏栏录制或 Xbox 配件（例如手柄）？\r\n\r\n选“否”将关闭："},
    {&ui::Program::locationQuestion, L"您是否使用定位（例如“查找我的设备”、天气里的当前位置）或“地图”应用？"},
    {&ui::Program::cellularQuestion, L"您是否在这台电脑上使用移动热点、蜂窝数据（SIM 卡）或收发短信？"},
    {&ui::Program::nfcQuestion, L"您是否用这台电脑的 NFC 刷卡支付或读写 NFC 标签？"},
    {&ui::Program::mailQuestion, L"您是否使用 Windows 自带的“邮件”、“日历”或“人脉”应用？"},
};

// Every question window of the program but the one given is hidden.
bool onlyShown(ui::Program& program, QuestionWindow ui::Program::*shown)
{
    for (const Asked& asked : kInOrder) {
        if ((program.*asked.window).isVisible() != (asked.window == shown))
            return false;
    }
    return true;
}

}  // namespace

TEST_CASE("on Windows 10 the questions are eight windows; no to Xbox turns off its five services, and undo puts every mode back")
{
    Windows10Fixture f;
    MemoryServices& services = f.desktop.memoryMachine.memoryServices;
    services.services[L"XboxGipSvc"] = installed(StartMode::Automatic, RunState::Running, true);
    services.services[L"XblAuthManager"] = installed(StartMode::Manual, RunState::Stopped);
    services.services[L"BcastDVRUserService"] = installed(StartMode::Manual, RunState::Stopped);
    services.services[L"lfsvc"] = installed(StartMode::Manual, RunState::Stopped);
    f.program.mainWindow.show();
    const HWND main = f.program.mainWindow.handle();
    click(f.program.mainWindow.control(MainControls::QuestionsButton));

    // n, n, y to the designed three; no to Xbox; yes to the rest.
    const char answers[] = "nnynyyyy";
    for (std::size_t i = 0; i < std::size(kInOrder); ++i) {
        CAPTURE(i);
        QuestionWindow& window = f.program.*kInOrder[i].window;
        REQUIRE(onlyShown(f.program, kInOrder[i].window));
        CHECK(ui::windowText(window.handle()) == L"按提问优化(建议)");
        CHECK(ui::windowText(window.control(QuestionControls::QuestionLabel)).rfind(kInOrder[i].startsWith, 0) == 0);
        CHECK(f.desktop.recorder.launches.empty());  // nothing runs before the last answer
        click(window.control(answers[i] == 'y' ? QuestionControls::YesButton : QuestionControls::NoButton));
    }
    CHECK(onlyShown(f.program, nullptr));

    std::vector<std::wstring> launched;
    for (const auto& launch : f.desktop.recorder.launches)
        launched.push_back(launch.commandLine);
    CHECK(launched == goldenCommandLines("windows10-prompted-nnynyyyy"));
    CHECK(f.program.progressWindow.text() == goldenLog("windows10-prompted-nnynyyyy"));
    CHECK(std::find(launched.begin(), launched.end(), L"cmd /c NET stop BcastDVRUserService") == launched.end());

    const std::vector<StoredBackup> backups = storedBackups(f.desktop.memoryMachine);
    REQUIRE(backups.size() == 1);
    const std::string backup = f.desktop.memoryMachine.memoryFiles.read(backups[0].path);
    CHECK(backup.find("\r\nXboxGipSvc\tauto\tdelayed\r\n") != std::string::npos);
    CHECK(backup.find("\r\nBcastDVRUserService\tdemand\r\n") != std::string::npos);

    // What the run's commands did to the services, read back into the result.
    services.services[L"XboxGipSvc"] = installed(StartMode::Disabled, RunState::Stopped);
    services.services[L"XblAuthManager"] = installed(StartMode::Disabled, RunState::Stopped);
    services.services[L"BcastDVRUserService"] = installed(StartMode::Disabled, RunState::Stopped);
    f.program.results.collect();
    f.desktop.questions.clear();
    const std::string result = f.desktop.memoryMachine.memoryFiles.read(resultPathFor(backups[0].path));
    CHECK(result.find("\r\nBcastDVRUserService\tdemand\tdisabled\tdisabled, stopped\tchanged\r\n") != std::string::npos);
    CHECK(result.find("\r\nXboxGipSvc\tauto (delayed)\tstop, disabled\tdisabled, stopped\tchanged\r\n")
          != std::string::npos);
    CHECK(result.find("\r\nlfsvc\tdemand\tkept\tdemand, stopped\tleft alone: as Windows has it\r\n") != std::string::npos);

    f.desktop.answerYes = true;
    SendMessageW(main, WM_SYSCOMMAND, ui::kUndoLastRunCommand, 0);
    REQUIRE(f.desktop.questions.size() == 1);
    CHECK(f.desktop.questions[0].text.find(L"    Xbox 配件管理服务: 禁用 → 自动（延迟启动）\r\n")
          != std::wstring::npos);
    CHECK(services.services[L"XboxGipSvc"].mode == StartMode::Automatic);
    CHECK(services.services[L"XboxGipSvc"].delayed);
    CHECK(services.services[L"XblAuthManager"].mode == StartMode::Manual);
    CHECK(services.services[L"BcastDVRUserService"].mode == StartMode::Manual);
    CHECK(f.desktop.errors.empty());
}
