#include "platform/desktop.h"

#include "platform/message_pump.h"
#include "platform/process_launch.h"
#include "platform/system_error.h"

namespace quillora::platform {

void WindowsDesktop::launch(const std::wstring& commandLine, int showState)
{
    launchProcess(commandLine, showState);
}

std::size_t WindowsDesktop::launchKept(const std::wstring& commandLine, int showState)
{
    const std::size_t launch = nextLaunch_++;
    kept_.emplace(launch, launchProcess(commandLine, showState));
    return launch;
}

std::optional<unsigned long> WindowsDesktop::exitStatus(std::size_t launch)
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

void WindowsDesktop::processPendingMessages()
{
    platform::processPendingMessages();
}

void WindowsDesktop::endProgram()
{
    // Every window goes with the process; launched commands run on by themselves.
    ExitProcess(0);
}

void WindowsDesktop::showError(HWND owner, const std::wstring& text, const std::wstring& caption)
{
    MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

bool WindowsDesktop::ask(HWND owner, const std::wstring& text, const std::wstring& caption)
{
    return MessageBoxW(owner, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void WindowsDesktop::inform(HWND owner, const std::wstring& text, const std::wstring& caption, bool warning)
{
    MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | (warning ? MB_ICONWARNING : MB_ICONINFORMATION));
}

Desktop::Choice WindowsDesktop::warnAndChoose(HWND owner, const std::wstring& text, const std::wstring& caption)
{
    switch (MessageBoxW(owner, text.c_str(), caption.c_str(), MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON1)) {
    case IDYES:
        return Choice::Yes;
    case IDNO:
        return Choice::No;
    default:
        return Choice::Cancel;
    }
}

}  // namespace quillora::platform
