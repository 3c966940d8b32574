// Holds Wine's desktop for a whole test session with a hidden window, until the session's
// wineserver ends it. Wine's desktop is a process of Wine's own explorer, started by the first
// window of a session and gone some seconds after the last one; started again by a program whose
// environment loads the stand-in explorer.exe (the end-to-end tests), it would never come back.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"QuilloraDesktopKeeper";
    RegisterClassW(&windowClass);
    if (!CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr))
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
