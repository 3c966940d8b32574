#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "engine/machine.h"
#include "engine/runner.h"
#include "platform/handles.h"
#include "platform/windows_machine.h"

namespace quillora::platform {

// Everything the windows need from the system besides windowing itself: the engine's launch and
// message processing, ending the program, a message box, and the machine whose services a run
// backs up. Tests put a recording double here.
class Desktop : public Platform {
public:
    enum class Choice { Yes, No, Cancel };

    virtual Machine& machine() = 0;
    // Ends the program at once. The Windows implementation never returns.
    virtual void endProgram() = 0;
    // Shows a modal error message to the user.
    virtual void showError(HWND owner, const std::wstring& text, const std::wstring& caption) = 0;
    // Asks the user a modal yes-or-no question; true for yes.
    virtual bool ask(HWND owner, const std::wstring& text, const std::wstring& caption) = 0;
    // Shows a modal message that needs no answer, as a warning or as information.
    virtual void inform(HWND owner, const std::wstring& text, const std::wstring& caption, bool warning) = 0;
    // Starts a command line as launch does and keeps its process, so that how it ended can be
    // asked later; returns the number to ask by.
    virtual std::size_t launchKept(const std::wstring& commandLine, int showState) = 0;
    // The exit status of a kept launch once its process has ended, nullopt while it runs; once
    // read, the process is let go.
    virtual std::optional<unsigned long> exitStatus(std::size_t launch) = 0;
    // Warns and asks yes, no or cancel, yes being the default.
    virtual Choice warnAndChoose(HWND owner, const std::wstring& text, const std::wstring& caption) = 0;
};

class WindowsDesktop final : public Desktop {
public:
    void launch(const std::wstring& commandLine, int showState) override;
    void processPendingMessages() override;
    [[noreturn]] void endProgram() override;
    void showError(HWND owner, const std::wstring& text, const std::wstring& caption) override;
    bool ask(HWND owner, const std::wstring& text, const std::wstring& caption) override;
    void inform(HWND owner, const std::wstring& text, const std::wstring& caption, bool warning) override;
    Choice warnAndChoose(HWND owner, const std::wstring& text, const std::wstring& caption) override;
    std::size_t launchKept(const std::wstring& commandLine, int showState) override;
    std::optional<unsigned long> exitStatus(std::size_t launch) override;
    Machine& machine() override { return machine_; }

private:
    WindowsMachine machine_;
    std::map<std::size_t, KernelHandle> kept_;
    std::size_t nextLaunch_ = 1;
};

}  // namespace quillora::platform
