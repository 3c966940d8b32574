#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include <windows.h>

namespace quillora::platform {

// Asked of a top-level window when Esc is pressed in it: nonzero where Esc closes it. The designed
// windows give Esc no meaning and answer zero, as every window does by default.
inline constexpr UINT kClosesOnEscape = WM_APP + 40;

// Handles every message already waiting for this thread and returns when none is left. A WM_QUIT
// met on the way is put back for the main loop.
void processPendingMessages();

// Kernel objects the main message loop waits on beside the messages, each with what it does when
// the object is signalled: a change notification, say. Nothing polls, so the program idles at no
// cost. Each wait lasts as long as its Wait.
class Waits {
public:
    class Wait {
    public:
        Wait(Waits& waits, std::size_t id) : waits_(waits), id_(id) {}
        ~Wait() { waits_.signalled_.erase(id_); }
        Wait(const Wait&) = delete;
        Wait& operator=(const Wait&) = delete;

    private:
        Waits& waits_;
        std::size_t id_;
    };

    Waits() = default;
    Waits(const Waits&) = delete;
    Waits& operator=(const Waits&) = delete;

    // Calls signalled from the loop whenever the object is signalled; it must make the object
    // unsignalled again (re-arm a notification) before it returns.
    std::unique_ptr<Wait> add(HANDLE object, std::function<void()> signalled);

    // The main message loop; returns the exit code of WM_QUIT.
    int runMessageLoop();

private:
    std::map<std::size_t, std::pair<HANDLE, std::function<void()>>> signalled_;
    std::size_t nextId_ = 1;
};

}  // namespace quillora::platform
