#include "platform/message_pump.h"

#include <windows.h>

#include <exception>
#include <vector>

namespace quillora::platform {
namespace {

// Esc means nothing to the designed windows, and closes a window that says it closes on it. Left
// to the controls, a multi-line edit box would turn it into WM_CLOSE for its window when the
// dialog navigation is on, and a list would give it to no one.
bool isEscapeKey(const MSG& message)
{
    return (message.message == WM_KEYDOWN || message.message == WM_CHAR) && message.wParam == VK_ESCAPE;
}

// Whether the message goes to a drop-down whose list is open: Esc closes that list, and nothing else.
bool toOpenDropDown(const MSG& message)
{
    wchar_t className[16] = L"";
    return message.hwnd && GetClassNameW(message.hwnd, className, 16) && lstrcmpiW(className, L"ComboBox") == 0
        && SendMessageW(message.hwnd, CB_GETDROPPEDSTATE, 0, 0);
}

// Dispatches one message, giving the keyboard navigation of the window it belongs to (Tab,
// arrows) first go, so that every window of the program moves its focus like a dialog.
void dispatchMessage(MSG& message)
{
    const HWND topLevel = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (isEscapeKey(message) && toOpenDropDown(message)) {
        SendMessageW(message.hwnd, CB_SHOWDROPDOWN, FALSE, 0);
        return;
    }
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

std::unique_ptr<Waits::Wait> Waits::add(HANDLE object, std::function<void()> signalled)
{
    const std::size_t id = nextId_++;
    signalled_.emplace(id, std::pair{object, std::move(signalled)});
    return std::make_unique<Wait>(*this, id);
}

int Waits::runMessageLoop()
{
    for (;;) {
        std::vector<HANDLE> objects;
        std::vector<std::size_t> ids;
        for (const auto& [id, wait] : signalled_) {
            if (objects.size() + 1 < MAXIMUM_WAIT_OBJECTS) {
                objects.push_back(wait.first);
                ids.push_back(id);
            }
        }
        const DWORD count = static_cast<DWORD>(objects.size());
        const DWORD woken = MsgWaitForMultipleObjects(count, objects.data(), FALSE, INFINITE, QS_ALLINPUT);
        if (woken < WAIT_OBJECT_0 + count) {
            // Taken out first: what it does may end its own wait.
            const auto found = signalled_.find(ids[woken - WAIT_OBJECT_0]);
            if (found != signalled_.end()) {
                const std::function<void()> call = found->second.second;
                try {
                    call();
                } catch (const std::exception&) {
                    // A change it could not tell is told by the next one; the loop goes on.
                }
            }
            continue;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return static_cast<int>(message.wParam);
            dispatchMessage(message);
        }
    }
}

}  // namespace quillora::platform
