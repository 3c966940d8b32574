// On a Windows later than XP, a run that would change services that Windows needs asks first; on
// XP nothing changes.
#include <doctest.h>

#include <functional>

#include "companion/cli.h"
#include "engine/records/backups/backup_store.h"
#include "engine/catalogue/catalogue.h"
#include "tests/support/golden.h"
#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"
#include "tests/ui/test_desktop.h"
#include "platform/dialogs.h"
#include "ui/ids/identifiers.h"

using namespace quillora;
using namespace quillora::testing;
using ui::MainControls;
using ui::QuestionControls;

namespace {

using Choice = platform::Dialogs::Choice;

// A Windows 10 with every service of the designed catalogue installed, disabled and yet running: a
// state no row of any profile leaves a service in, so every needed service would change. None of
// Windows 10's own list is installed: their rows run as the Windows 10 goldens say.
void onWindows10WithEveryService(TestDesktop& desktop)
{
    desktop.memoryMachine.version = WindowsVersion{10, 0, 19045, false};
    for (const std::wstring& key : catalogueKeys(Lists::Designed))
        desktop.memoryMachine.memoryServices.services[key] = installed(StartMode::Disabled, RunState::Running);
}

struct StartRun {
    const char* name;
    std::function<void(ui::Program&)> start;
    const char* golden;           // on Windows XP
    const char* windows10Golden;  // on Windows 10, with the rows of its own list
    std::size_t servicesLeftAlone;  // the needed services the run would change
    std::size_t launchesLeftOut;    // and their command lines
};

// Each way a run starts, and how many launches leaving the needed services alone saves. The
// automatic and prompted runs stop 21 of them (NET stop, then sc config). Restoring sets 11 to
// manual (sc config alone) and 11 to a started automatic start (sc config, then NET start), one of
// them, HidServ, stopped and disabled instead.
const StartRun kStarts[] = {
    {"automatic button", [](ui::Program& p) { click(p.mainWindow.control(MainControls::AutomaticButton)); },
     "automatic", "windows10-automatic", 21, 2 * 21},
    {"restore button", [](ui::Program& p) { click(p.mainWindow.control(MainControls::RestoreButton)); },
     "restore", "windows10-restore", 22, 11 + 2 * 11},
    {"last question",
     [](ui::Program& p) {
         p.firstQuestion.show();
         click(p.firstQuestion.control(QuestionControls::YesButton));
         click(p.secondQuestion.control(QuestionControls::NoButton));
         click(p.thirdQuestion.control(QuestionControls::YesButton));
     },
     "prompted-yny", "windows10-prompted-ynyyyyyy", 21, 2 * 21},
};

}  // namespace

TEST_CASE("on Windows 10 a run that would change needed services asks first")
{
    for (const StartRun& way : kStarts) {
        CAPTURE(way.name);
        for (const Choice choice : {Choice::Yes, Choice::No, Choice::Cancel}) {
            CAPTURE(static_cast<int>(choice));
            ProgramFixture f;
            onWindows10WithEveryService(f.desktop);
            f.desktop.choice = choice;
            f.program.mainWindow.show();
            way.start(f.program);

            REQUIRE(f.desktop.warnings.size() == 1);
            const std::wstring& text = f.desktop.warnings[0].text;
            CHECK(f.desktop.warnings[0].caption == L"Quillora1.1");
            CHECK(text.find(L"Windows 10, 10.0.19045") != std::wstring::npos);
            // Each by its name, as the services window shows it, a few to a line.
            CHECK(text.find(L"\r\n\r\nApplication Layer Gateway Service，\r\nautomatic updates，\r\n"
                            L"Background Intelligent Transfer Service，\r\n") != std::wstring::npos);
            CHECK(text.find(L"RemoteRegistry") == std::wstring::npos);
            CHECK(text.find(L"系统菜单中的“查看服务(V)...”说明每个服务的作用。") != std::wstring::npos);
            // Backups only: the main window may already have saved the run's result beside its backup.
            const std::size_t backups = storedBackups(f.desktop.memoryMachine).size();
            const std::vector<std::wstring> golden = goldenCommandLines(way.windows10Golden);
            if (choice == Choice::Cancel) {
                CHECK(f.desktop.recorder.launches.empty());
                CHECK(backups == 0);
                CHECK_FALSE(f.program.progressWindow.isVisible());
            } else if (choice == Choice::No) {
                CHECK(f.desktop.recorder.launches.size() == golden.size());
                CHECK(f.program.progressWindow.text() == goldenLog(way.windows10Golden));
                CHECK(backups == 1);
            } else {
                CHECK(f.desktop.recorder.launches.size() == golden.size() - way.launchesLeftOut);
                // Besides the rows of Windows 10's list that the golden run keeps as they are.
                CHECK(countOf(f.program.progressWindow.text(), L":保留\r\n")
                      == countOf(goldenLog(way.windows10Golden), L":保留\r\n") + way.servicesLeftAlone);
                CHECK(countOf(f.program.progressWindow.text(), L"\r\n") == countOf(goldenLog(way.windows10Golden), L"\r\n"));
                CHECK(backups == 1);
            }
        }
    }
}

TEST_CASE("on Windows 10 the automatic run left alone: wuauserv launches nothing and logs 保留")
{
    ProgramFixture f;
    onWindows10WithEveryService(f.desktop);
    f.desktop.memoryMachine.version = WindowsVersion{10, 0, 22631, false};
    f.program.mainWindow.show();
    click(f.program.mainWindow.control(MainControls::AutomaticButton));
    REQUIRE(f.desktop.warnings.size() == 1);
    CHECK(f.desktop.warnings[0].text.find(L"Windows 11, 10.0.22631") != std::wstring::npos);
    CHECK(f.desktop.warnings[0].text.find(L"这次优化会更改下面这些服务") != std::wstring::npos);
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

namespace {

// The message box a call shows, measured and then cancelled by a timer that its own message loop
// runs. A timer procedure takes no context: the one box measured at a time is found here.
RECT measuredBox;
std::vector<std::wstring> measuredButtons;  // the captions of Yes, No and Cancel, where the box has them

void CALLBACK measureAndCancel(HWND, UINT, UINT_PTR timer, DWORD)
{
    const HWND box = FindWindowW(L"#32770", L"Quillora1.1");
    DWORD owner = 0;
    if (!box || GetWindowThreadProcessId(box, &owner) != GetCurrentThreadId() || !IsWindowVisible(box))
        return;
    GetWindowRect(box, &measuredBox);
    measuredButtons.clear();
    for (const int id : {IDYES, IDNO, IDCANCEL}) {
        if (const HWND button = GetDlgItem(box, id))
            measuredButtons.push_back(ui::windowText(button));
    }
    KillTimer(nullptr, timer);
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

TEST_CASE("the warning fits a 1024 x 768 screen with a taskbar, its buttons too, scaled by DPI/96")
{
    // The longest warning: restoring defaults changes 22 needed services.
    ProgramFixture f;
    onWindows10WithEveryService(f.desktop);
    f.desktop.choice = Choice::Cancel;
    f.program.mainWindow.show();
    click(f.program.mainWindow.control(MainControls::RestoreButton));
    REQUIRE(f.desktop.warnings.size() == 1);
    // The first eight by name, then how many more.
    CHECK(f.desktop.warnings[0].text.find(L"\r\n…另外 16 个服务\r\n") != std::wstring::npos);

    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    CAPTURE(dpi);
    // Windows 10's taskbar is 40 pixels tall at 96 DPI and grows with the scaling.
    const long workAreaHeight = 768 - MulDiv(40, dpi, 96);

    platform::WindowsDialogs dialogs;
    measuredBox = RECT{};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, measureAndCancel);
    REQUIRE(timer != 0);
    CHECK(dialogs.warnAndChoose(f.program.mainWindow.handle(), f.desktop.warnings[0].text, L"Quillora1.1")
          == Choice::Cancel);
    KillTimer(nullptr, timer);
    CAPTURE(measuredBox.bottom - measuredBox.top);
    CHECK(measuredBox.bottom - measuredBox.top > 0);
    CHECK(measuredBox.bottom - measuredBox.top <= workAreaHeight);
    CHECK(measuredBox.right - measuredBox.left <= 1024);
}

TEST_CASE("while the warning waits, no other window of the program takes input; the run keeps the choice read before it")
{
    ProgramFixture f;
    onWindows10WithEveryService(f.desktop);
    f.desktop.choice = Choice::No;
    f.program.mainWindow.show();
    f.program.progressWindow.show();
    f.program.helpWindow.show();
    f.program.firstQuestion.show();
    f.program.servicesWindow.open();
    const std::vector<HWND> others = {f.program.progressWindow.handle(), f.program.helpWindow.handle(),
                                      f.program.firstQuestion.handle(), f.program.servicesWindow.handle()};
    std::vector<int> enabledWhileWaiting;
    f.desktop.whileBoxWaits = [&] {
        for (const HWND window : others)
            enabledWhileWaiting.push_back(IsWindowEnabled(window));
        // The warning sends the user to the services window; a service unchecked there now is
        // for the next run, not for this one.
        f.program.skips.choose(Profile::Automatic, {L"Alerter"});
    };
    click(f.program.mainWindow.control(MainControls::AutomaticButton));

    REQUIRE(f.desktop.warnings.size() == 1);
    CHECK(f.desktop.warnings[0].owner == f.program.mainWindow.handle());
    CHECK(enabledWhileWaiting == std::vector<int>(others.size(), FALSE));
    for (const HWND window : others)
        CHECK(IsWindowEnabled(window));
    CHECK(IsWindowEnabled(f.program.mainWindow.handle()));
    // Steps and backup from one reading: Alerter is changed and saved before, so undo can put it back.
    CHECK(f.desktop.recorder.launches.size() == goldenCommandLines("automatic").size());
    CHECK(f.desktop.recorder.launches[0].commandLine == L"cmd /c NET stop Alerter");
    const std::vector<StoredBackup> backups = storedBackups(f.desktop.memoryMachine);
    REQUIRE(backups.size() == 1);
    CHECK(f.desktop.memoryMachine.memoryFiles.read(backups[0].path).find("\r\nAlerter\tdisabled\r\n") != std::string::npos);
}

TEST_CASE("on Windows 10 a warning names only what the run would change here: none after apply restore --all")
{
    {
        ProgramFixture f;
        onWindows10WithEveryService(f.desktop);
        f.program.mainWindow.show();
        REQUIRE(runCli({"apply", "restore", "--all"}, f.desktop.memoryMachine).status == 0);
        click(f.program.mainWindow.control(MainControls::RestoreButton));
        CHECK(f.desktop.warnings.empty());
        CHECK(f.program.progressWindow.text() == goldenLog("windows10-restore"));
    }
    // Every needed service but Task Scheduler already as the automatic run leaves it: it alone is named.
    ProgramFixture g;
    onWindows10WithEveryService(g.desktop);
    REQUIRE(runCli({"apply", "automatic", "--all"}, g.desktop.memoryMachine).status == 0);
    g.desktop.memoryMachine.memoryServices.services[L"Schedule"] = installed(StartMode::Automatic, RunState::Running);
    g.desktop.choice = Choice::Cancel;
    g.program.mainWindow.show();
    click(g.program.mainWindow.control(MainControls::AutomaticButton));
    REQUIRE(g.desktop.warnings.size() == 1);
    CHECK(g.desktop.warnings[0].text.find(L"\r\n\r\nTask Scheduler\r\n\r\n") != std::wstring::npos);
}

TEST_CASE("every box's buttons speak the windows' language, whatever language Windows writes them in")
{
    ProgramFixture f;
    onWindows10WithEveryService(f.desktop);
    f.desktop.choice = Choice::Cancel;
    f.program.mainWindow.show();
    for (const ui::Language language : {ui::Language::Chinese, ui::Language::English}) {
        CAPTURE(static_cast<int>(language));
        f.program.host.setLanguage(language);
        f.desktop.warnings.clear();
        click(f.program.mainWindow.control(MainControls::AutomaticButton));
        REQUIRE(f.desktop.warnings.size() == 1);
        const bool chinese = language == ui::Language::Chinese;
        // The warning's text names its buttons: they must read as it says.
        CHECK(f.desktop.warnings[0].text.find(chinese ? L"\r\n否：" : L"\r\nNo: ") != std::wstring::npos);

        platform::WindowsDialogs dialogs;
        dialogs.useButtonCaptions(f.desktop.buttonCaptions);
        measuredButtons.clear();
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, measureAndCancel);
        REQUIRE(timer != 0);
        CHECK(dialogs.warnAndChoose(f.program.mainWindow.handle(), f.desktop.warnings[0].text, L"Quillora1.1")
              == Choice::Cancel);
        KillTimer(nullptr, timer);
        // Windows' own words for these buttons in each language.
        CHECK(measuredButtons
              == (chinese ? std::vector<std::wstring>{L"是(&Y)", L"否(&N)", L"取消"}
                          : std::vector<std::wstring>{L"&Yes", L"&No", L"Cancel"}));
    }
}
