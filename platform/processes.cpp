#include "platform/processes.h"

#include "platform/message_pump.h"
#include "platform/process_launch.h"
#include "platform/system_error.h"
#include "platform/window_timer.h"

namespace quillora::platform {

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

void WindowsProcesses::endProgram()
{
    // Every window goes with the process; launched commands run on by themselves.
    ExitProcess(0);
}

}  // namespace quillora::platform
