// Takes pictures of every window of the real Quillora.exe into BMP files, for the README. Runs
// under Wine on a virtual display (make screenshots), with the recording stand-ins in place of
// net.exe, sc.exe and explorer.exe, so that the run it shows changes no service.
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>

#include "engine/runner.h"
#include "tools/driver/driver.h"
#include "tools/pictures/bitmaps.h"
#include "ui/identifiers.h"

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
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, place.right - place.left, place.bottom - place.top);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, place.right - place.left, place.bottom - place.top, screen, place.left, place.top, SRCCOPY);
    SelectObject(memory, previous);
    const bool written = pictures::writeBmp(pictures::pixels24(bitmap), path.c_str());
    DeleteObject(bitmap);
    DeleteDC(memory);
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

void press(BYTE key, DWORD flags = 0)
{
    keybd_event(key, static_cast<BYTE>(MapVirtualKeyW(key, 0)), flags, 0);
}

// The main window with its system menu open (Alt+Space), as a user sees the undo item.
bool saveSystemMenu(HWND main, const std::wstring& path)
{
    SetForegroundWindow(main);
    press(VK_MENU);
    press(VK_SPACE);
    press(VK_SPACE, KEYEVENTF_KEYUP);
    press(VK_MENU, KEYEVENTF_KEYUP);
    HWND menu = nullptr;
    for (int tries = 0; tries < 100 && !(menu = FindWindowW(L"#32768", nullptr)); ++tries)
        Sleep(50);
    settle();
    RECT window, popup, both;
    GetWindowRect(main, &window);
    const bool saved = menu && GetWindowRect(menu, &popup) && UnionRect(&both, &window, &popup) && saveArea(both, path);
    // The first Escape closes the menu, the second leaves menu mode.
    for (int i = 0; i < 2; ++i) {
        press(VK_ESCAPE);
        press(VK_ESCAPE, KEYEVENTF_KEYUP);
    }
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

// Sets the screen's DPI for programs started from now on, as the display settings do.
void setScreenDpi(DWORD dpi)
{
    const std::pair<HKEY, const wchar_t*> places[] = {
        {HKEY_CURRENT_USER, L"Control Panel\\Desktop"},
        {HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"},
    };
    for (const auto& [root, path] : places) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
            RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
            RegCloseKey(key);
        }
    }
}

// The main window of a second Quillora.exe started at 150 % display scaling (144 DPI).
bool saveMainWindowAt150(const std::wstring& path)
{
    setScreenDpi(144);
    bool saved = false;
    {
        QuilloraProcess scaled(builtFile(L"Quillora.exe"), temporaryFolder(L"quillora-screenshots"));
        settle();
        saved = saveWindow(scaled.mainWindow(), path);
        PostMessageW(scaled.mainWindow(), WM_CLOSE, 0, 0);
        scaled.waitForExit(10000);
    }
    setScreenDpi(96);
    return saved;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: quillora-screenshots FOLDER\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    installStandIns();
    QuilloraProcess program(builtFile(L"Quillora.exe"), temporaryFolder(L"quillora-screenshots"));
    const HWND main = program.mainWindow();
    bool ok = true;

    settle();
    ok &= saveWindow(main, folder + L"\\main-window.bmp");

    postClick(GetDlgItem(main, ui::MainControls::AutomaticButton));
    const HWND progress = waitForWindow(program.process(), ui::kProgressCaption);
    ok &= saveDuringRun(progress, folder + L"\\progress-window-running.bmp");
    waitForWindow(program.process(), kCompletedCaption, 180000);
    settle();
    ok &= saveWindow(progress, folder + L"\\progress-window-done.bmp");
    postClick(GetDlgItem(progress, ui::ProgressControls::ExitButton));

    // The run left a backup, so the undo item is there to choose.
    ok &= saveSystemMenu(main, folder + L"\\main-window-system-menu.bmp");

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

    ok &= saveMainWindowAt150(folder + L"\\main-window-150.bmp");
    return ok ? 0 : 1;
}
