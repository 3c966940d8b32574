#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

#include "engine/records/transaction/run_results.h"
#include "platform/handles.h"

namespace quillora::platform {

// A repeating timer on a message-only window of its own: it ticks from the thread's message loop,
// as the windows' own messages arrive, and needs no window of the program. A tick tells its own
// failures: whatever it throws is dropped at the window procedure.
class WindowTimer final : public Timer {
public:
    WindowTimer(std::chrono::milliseconds period, std::function<void()> tick);
    ~WindowTimer() override;
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::function<void()> tick_;
    WindowHandle window_;
};

}  // namespace quillora::platform
