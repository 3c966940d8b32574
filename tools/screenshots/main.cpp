// Takes pictures of every window of the real Quillora.exe into BMP files, for the README. Runs
// under Wine on a virtual display (make screenshots), with the recording stand-ins in place of
// net.exe, sc.exe and explorer.exe, so that the run it shows changes no service.
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>

#include "engine/run/runner.h"
#include "engine/text/utf8.h"
#include "platform/windows_machine.h"
#include "tools/driver/driver.h"
#include "tools/driver/keyboard.h"
#include "tools/pictures/bitmaps.h"
#include "ui/ids/identifiers.h"

namespace {

using namespace quillora;
using namespace quillora::e2e;

// Gives the program and Wine a moment to put what it painted on the screen.
void settle()
{
    Sleep(500);
}

// Copies a part of the screen into a 24-bit BMP file.
bool saveArea(const RECT& place, const std::wstring& path)
{
    const HDC screen = GetDC(nullptr);
    const bool written = pictures::writeBmp(pictures::pixelsOf(screen, place), path.c_str());
    ReleaseDC(nullptr, screen);
    return written;
}

// Copies the window as the screen shows it, frame included.
bool saveWindow(HWND window, const std::wstring& path)
{
    RECT place;
    GetWindowRect(window, &place);
    return saveArea(place, path);
}

// The main window with its system menu open (Alt+Space), as a user sees the undo item.
bool saveSystemMenu(HWND main, const std::wstring& path)
{
    SetForegroundWindow(main);
    keyboard::altSpace();
    HWND menu = nullptr;
    for (int tries = 0; tries < 100 && !(menu = FindWindowW(L"#32768", nullptr)); ++tries)
        Sleep(50);
    settle();
    RECT window, popup, both;
    GetWindowRect(main, &window);
    const bool saved = menu && GetWindowRect(menu, &popup) && UnionRect(&both, &window, &popup) && saveArea(both, path);
    keyboard::press(VK_ESCAPE);
    keyboard::press(VK_ESCAPE);
    settle();
    return saved;
}

// A picture of the progress window in the middle of a run: the program's thread is held while
// the picture is taken, so that the screen shows one moment of it.
bool saveDuringRun(HWND progress, const std::wstring& path)
{
    const HWND log = waitForControl(progress, ui::ProgressControls::LogBox);
    while (textOf(log).find(L"\r\n10:") == std::wstring::npos)
        Sleep(1);
    const HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(progress, nullptr));
    if (!thread)
        return false;
    SuspendThread(thread);
    settle();
    const bool saved = saveWindow(progress, path);
    ResumeThread(thread);
    CloseHandle(thread);
    return saved;
}

// The box that says how many services Windows refused, which comes once the run's commands have
// ended (the stand-ins change nothing, so Windows' own services of the catalogue stay as they
// were), answered No.
void dismissRefusalBox()
{
    for (int tries = 0; tries < 200; ++tries) {
        if (const HWND box = FindWindowW(L"#32770", ui::kMainCaption)) {
            postClick(GetDlgItem(box, IDNO));
            while (IsWindow(box))
                Sleep(20);
            return;
        }
        Sleep(50);
    }
}

// Sets a service's start mode through the Service Control Manager, as another tool or a person
// would behind the program's back.
bool setStartType(const wchar_t* key, DWORD startType)
{
    const SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    const SC_HANDLE service = manager ? OpenServiceW(manager, key, SERVICE_CHANGE_CONFIG) : nullptr;
    const bool set = service
        && ChangeServiceConfigW(service, SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE, nullptr, nullptr, nullptr,
                                nullptr, nullptr, nullptr, nullptr);
    if (service)
        CloseServiceHandle(service);
    if (manager)
        CloseServiceHandle(manager);
    return set;
}

// The services window from the system menu: the automatic profile on this machine, then the runs
// so far with what the run really did, and once more with automatic updates, which the run found
// disabled as it asks, set back to manual since: marked "changed since".
bool saveServicesWindow(const QuilloraProcess& program, const std::wstring& folder)
{
    SetForegroundWindow(program.mainWindow());
    keyboard::altSpace();
    keyboard::press('V');
    const HWND window = waitForWindow(program.process(), ui::kServicesCaption);
    const auto view = [&](int index, const wchar_t* name) {
        chooseServicesView(window, index);
        settle();
        return saveWindow(window, folder + name);
    };
    bool ok = view(1, L"\\services-window.bmp") & view(3, L"\\services-window-result.bmp");
    ok &= setStartType(L"wuauserv", SERVICE_DEMAND_START);
    // The view follows the machine by itself: its second line counts the change once it has.
    const HWND summary = GetDlgItem(window, ui::ServicesControls::RunSummary);
    for (int polls = 0; polls < 200 && textOf(summary).find(L"现在有 1 个") == std::wstring::npos; ++polls)
        Sleep(25);
    settle();
    ok &= saveWindow(window, folder + L"\\services-window-changed-since.bmp");
    PostMessageW(window, WM_CLOSE, 0, 0);
    return ok;
}

// Every window of a run, a walk through the questions, and the help window.
bool saveEveryWindow(const std::wstring& folder)
{
    QuilloraProcess program(builtFile(L"Quillora.exe"), temporaryFolder(L"quillora-screenshots"));
    const HWND main = program.mainWindow();
    bool ok = true;

    settle();
    ok &= saveWindow(main, folder + L"\\main-window.bmp");

    // Automatic updates as the run asks already (Wine has it manual), so that the run leaves it so
    // and the services window can show it changed since; it is manual again at the end.
    ok &= setStartType(L"wuauserv", SERVICE_DISABLED);
    postClick(GetDlgItem(main, ui::MainControls::AutomaticButton));
    const HWND progress = waitForWindow(program.process(), ui::kProgressCaption);
    ok &= saveDuringRun(progress, folder + L"\\progress-window-running.bmp");
    waitForWindow(program.process(), kCompletedCaption, 180000);
    settle();
    ok &= saveWindow(progress, folder + L"\\progress-window-done.bmp");
    postClick(GetDlgItem(progress, ui::ProgressControls::ExitButton));
    dismissRefusalBox();

    // The run left a backup, and its result is in, so the undo item is there to choose.
    ok &= saveSystemMenu(main, folder + L"\\main-window-system-menu.bmp");
    ok &= saveServicesWindow(program, folder);

    // The wizard, walked through its real buttons; the last question is left unanswered.
    postClick(GetDlgItem(main, ui::MainControls::QuestionsButton));
    const wchar_t* const questions[] = {L"您是否使用刻录机刻光盘？", L"您是否使用打印机打印文档？",
                                        L"这台电脑是否要连接扫描仪或照像机？"};
    for (int i = 0; i < 3; ++i) {
        const HWND question = waitForQuestion(program.process(), questions[i]);
        settle();
        ok &= saveWindow(question, folder + L"\\question-" + std::to_wstring(i + 1) + L".bmp");
        postClick(GetDlgItem(question, i < 2 ? ui::QuestionControls::YesButton : ui::QuestionControls::ExitButton));
    }

    postClick(GetDlgItem(main, ui::MainControls::HelpButton));
    const HWND help = waitForWindow(program.process(), ui::kHelpCaption);
    settle();
    ok &= saveWindow(help, folder + L"\\help-window.bmp");
    return ok;
}

// The main window and a finished run in English, started with /lang:en.
bool saveEnglish(const std::wstring& folder)
{
    QuilloraProcess program(builtFile(L"Quillora.exe"), temporaryFolder(L"quillora-screenshots"), L"/lang:en");
    settle();
    bool ok = saveWindow(program.mainWindow(), folder + L"\\main-window-en.bmp");
    postClick(GetDlgItem(program.mainWindow(), ui::MainControls::AutomaticButton));
    const HWND progress = waitForWindow(program.process(), L"Optimisation complete!", 180000);
    settle();
    ok &= saveWindow(progress, folder + L"\\progress-window-done-en.bmp");
    return ok;
}

// The services window's automatic view alone, in English and Chinese, and the view of your own
// settings filled from the machine, in all three languages, as the screen's DPI of the moment
// shows them: FOLDER\services-window[-en]-SUFFIX.bmp and FOLDER\services-window-own[-en|-zh-TW]-SUFFIX.bmp.
bool saveServicesViews(const std::wstring& folder, const std::wstring& suffix)
{
    struct Language {
        const wchar_t* name;      // in the pictures' names
        const wchar_t* argument;  // on the command line
        const wchar_t* caption;   // of the services window
    };
    const Language languages[] = {{L"", L"", ui::kServicesCaption}, {L"-en", L"/lang:en", L"Services"},
                                  {L"-zh-TW", L"/lang:zh-TW", L"檢視服務"}};
    // Your own settings start anew, so that filling them asks nothing, and are kept from one
    // language's start to the next.
    platform::WindowsMachine machine;
    DeleteFileW(fromUtf8(*machine.dataFolder() + "\\own-profile.txt").c_str());
    bool ok = true;
    bool filled = false;
    for (const Language& language : languages) {
        QuilloraProcess program(builtFile(L"Quillora.exe"), temporaryFolder(L"quillora-screenshots"), language.argument);
        SetForegroundWindow(program.mainWindow());
        keyboard::altSpace();
        keyboard::press('V');
        const HWND window = waitForWindow(program.process(), language.caption);
        const auto view = [&](int index) {
            chooseServicesView(window, index);
            settle();
        };
        const std::wstring name = language.name + (L"-" + suffix) + L".bmp";
        if (std::wstring(language.name) != L"-zh-TW") {
            view(1);
            ok &= saveWindow(window, folder + L"\\services-window" + name);
        }
        view(4);
        if (!std::exchange(filled, true)) {
            postClick(GetDlgItem(window, ui::ServicesControls::FillFromMachineButton));
            settle();
        }
        ok &= saveWindow(window, folder + L"\\services-window-own" + name);
        PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
        program.waitForExit(10000);
    }
    return ok;
}

// The main window alone, as the screen's DPI of the moment shows it.
bool saveMainWindow(const std::wstring& path)
{
    QuilloraProcess program(builtFile(L"Quillora.exe"), temporaryFolder(L"quillora-screenshots"));
    settle();
    const bool saved = saveWindow(program.mainWindow(), path);
    PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    program.waitForExit(10000);
    return saved;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const bool mainWindowOnly = argc == 3 && std::wstring(argv[1]) == L"--main-window";
    const bool servicesOnly = argc == 4 && std::wstring(argv[1]) == L"--services-window";
    if (argc != 2 && !mainWindowOnly && !servicesOnly) {
        std::fwprintf(stderr, L"usage: quillora-screenshots FOLDER | --main-window FILE | --services-window FOLDER SUFFIX\n");
        return 2;
    }
    installStandIns();
    const bool ok = mainWindowOnly ? saveMainWindow(argv[2])
        : servicesOnly             ? saveServicesViews(argv[2], argv[3])
                                   : saveEveryWindow(argv[1]) & saveEnglish(argv[1]);
    return ok ? 0 : 1;
}
