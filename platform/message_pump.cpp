#include "platform/message_pump.h"

#include <windows.h>

namespace quillora::platform {
namespace {

// Esc means nothing to the designed windows, and closes a window that says it closes on it. Left
// to the controls, a multi-line edit box would turn it into WM_CLOSE for its window when the
// dialog navigation is on, and a list would give it to no one.
bool isEscapeKey(const MSG& message)
{
    return (message.message == WM_KEYDOWN || message.message == WM_CHAR) && message.wParam == VK_ESCAPE;
}

// Dispatches one message, giving the keyboard navigation of the window it belongs to (Tab,
// arrows) first go, so that every window of the program moves its focus like a dialog.
void dispatchMessage(MSG& message)
{
    const HWND topLevel = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (isEscapeKey(message)) {
        if (message.message == WM_KEYDOWN && topLevel && SendMessageW(topLevel, kClosesOnEscape, 0, 0))
            PostMessageW(topLevel, WM_CLOSE, 0, 0);
        return;
    }
    if (topLevel && IsDialogMessageW(topLevel, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

}  // namespace

void processPendingMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        dispatchMessage(message);
    }
}

int runMessageLoop()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        dispatchMessage(message);
    return static_cast<int>(message.wParam);
}

}  // namespace quillora::platform
