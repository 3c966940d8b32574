#include "platform/window_timer.h"

#include <exception>

#include "platform/system_error.h"

namespace quillora::platform {
namespace {

constexpr wchar_t kClassName[] = L"QuilloraTimer";
constexpr UINT_PTR kTimerId = 1;

// Registers the timers' window class the first time; later timers find it registered.
void registerClass(WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw systemFailure(GetLastError());
}

}  // namespace

WindowTimer::WindowTimer(std::chrono::milliseconds period, std::function<void()> tick) : tick_(std::move(tick))
{
    registerClass(&WindowTimer::procedure);
    window_.reset(CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                  nullptr));
    if (!window_)
        throw systemFailure(GetLastError());
    SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (!SetTimer(window_.get(), kTimerId, static_cast<UINT>(period.count()), nullptr))
        throw systemFailure(GetLastError());
}

WindowTimer::~WindowTimer()
{
    KillTimer(window_.get(), kTimerId);
}

LRESULT CALLBACK WindowTimer::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == kTimerId) {
        auto* timer = reinterpret_cast<WindowTimer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        try {
            if (timer)
                timer->tick_();
        } catch (const std::exception&) {
            // A tick says its own failures; one that escapes all the same must not cross into the
            // system's code, nor end the program. The next tick comes as usual.
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quillora::platform
