#include "platform/processes.h"

#include <algorithm>
#include <vector>

#include "platform/message_pump.h"
#include "platform/process_launch.h"
#include "platform/system_error.h"
#include "platform/window_timer.h"

namespace quillora::platform {
namespace {

BOOL CALLBACK hideWindow(HWND window, LPARAM)
{
    ShowWindow(window, SW_HIDE);
    return TRUE;
}

}  // namespace

void WindowsProcesses::launch(const std::wstring& commandLine, int showState)
{
    launchProcess(commandLine, showState);
}

std::size_t WindowsProcesses::launchKept(const std::wstring& commandLine, int showState)
{
    const std::size_t launch = nextLaunch_++;
    kept_.emplace(launch, launchProcess(commandLine, showState));
    return launch;
}

std::optional<unsigned long> WindowsProcesses::exitStatus(std::size_t launch)
{
    const auto found = kept_.find(launch);
    if (found == kept_.end())
        return std::nullopt;
    DWORD status = 0;
    if (!GetExitCodeProcess(found->second.get(), &status))
        throw systemFailure(GetLastError());
    if (status == STILL_ACTIVE && WaitForSingleObject(found->second.get(), 0) == WAIT_TIMEOUT)
        return std::nullopt;
    kept_.erase(found);
    return status;
}

void WindowsProcesses::forget(std::size_t launch)
{
    kept_.erase(launch);
}

std::unique_ptr<Timer> WindowsProcesses::every(std::chrono::milliseconds period, std::function<void()> tick)
{
    return std::make_unique<WindowTimer>(period, std::move(tick));
}

void WindowsProcesses::processPendingMessages()
{
    platform::processPendingMessages();
}

void WindowsProcesses::hideWindows()
{
    EnumThreadWindows(GetCurrentThreadId(), hideWindow, 0);
}

void WindowsProcesses::waitForLaunched(std::chrono::milliseconds longest)
{
    hideWindows();
    std::vector<HANDLE> running;
    for (const auto& [launch, process] : kept_)
        running.push_back(process.get());
    const DWORD until = GetTickCount() + static_cast<DWORD>(longest.count());
    // At most MAXIMUM_WAIT_OBJECTS at a time; whatever the first batches took is spent.
    for (std::size_t from = 0; from < running.size(); from += MAXIMUM_WAIT_OBJECTS) {
        const DWORD count = static_cast<DWORD>(std::min<std::size_t>(MAXIMUM_WAIT_OBJECTS, running.size() - from));
        const DWORD left = static_cast<DWORD>(std::max<long>(0, static_cast<long>(until - GetTickCount())));
        WaitForMultipleObjects(count, running.data() + from, TRUE, left);
    }
}

void WindowsProcesses::endProgram()
{
    // Every window goes with the process; a command still running past the wait runs on by itself.
    ExitProcess(0);
}

}  // namespace quillora::platform
