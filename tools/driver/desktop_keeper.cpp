// Holds Wine's desktop for a whole test session with a hidden window, until the session's
// wineserver ends it. Wine's desktop is a process of Wine's own explorer, started by the first
// window of a session and gone some seconds after the last one; started again by a program whose
// environment loads the stand-in explorer.exe (the end-to-end tests), it would never come back.
//
//   quillora-desktop-keeper.exe [READY-FILE]
//
// With READY-FILE it makes that file once its window stands, and with it the desktop: the session
// waits for it, so that no test can put a stand-in in place of explorer.exe before Wine's own
// explorer has started.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"QuilloraDesktopKeeper";
    RegisterClassW(&windowClass);
    if (!CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr))
        return 1;
    if (*commandLine) {
        const HANDLE ready = CreateFileW(commandLine, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (ready != INVALID_HANDLE_VALUE)
            CloseHandle(ready);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
