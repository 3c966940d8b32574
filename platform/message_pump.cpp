#include "platform/message_pump.h"

#include <windows.h>

namespace quillora::platform {
namespace {

// No window of the program gives Esc a meaning. Left alone, a multi-line edit box would turn it
// into WM_CLOSE for its window when the dialog navigation is on.
bool isEscapeKey(const MSG& message)
{
    return (message.message == WM_KEYDOWN || message.message == WM_CHAR) && message.wParam == VK_ESCAPE;
}

// Dispatches one message, giving the keyboard navigation of the window it belongs to (Tab,
// arrows) first go, so that every window of the program moves its focus like a dialog.
void dispatchMessage(MSG& message)
{
    if (isEscapeKey(message))
        return;
    const HWND topLevel = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
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
