#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "engine/records/transaction/run_results.h"
#include "platform/handles.h"

namespace quillora::platform {

// The processes of the program: the commands it launches and keeps, its message processing and
// its end. Tests put a recording double here.
class Processes : public LaunchedProcesses {
public:
    // Starts a command line with the given window-show state and returns at once.
    virtual void launch(const std::wstring& commandLine, int showState) = 0;
    // Starts a command line as launch does and keeps its process, so that how it ended can be
    // asked later; returns the number to ask by.
    virtual std::size_t launchKept(const std::wstring& commandLine, int showState) = 0;
    // Handles every message already waiting, then returns.
    virtual void processPendingMessages() = 0;
    // Hides every window of the program at once.
    virtual void hideWindows() = 0;
    // Hides every window of the program at once, then waits until every kept process has ended,
    // for at most the time given: the program's end waits for its commands.
    virtual void waitForLaunched(std::chrono::milliseconds longest) = 0;
    // Ends the program at once. The Windows implementation never returns.
    virtual void endProgram() = 0;
};

class WindowsProcesses final : public Processes {
public:
    void launch(const std::wstring& commandLine, int showState) override;
    std::size_t launchKept(const std::wstring& commandLine, int showState) override;
    std::optional<unsigned long> exitStatus(std::size_t launch) override;
    void forget(std::size_t launch) override;
    std::unique_ptr<Timer> every(std::chrono::milliseconds period, std::function<void()> tick) override;
    void processPendingMessages() override;
    void hideWindows() override;
    void waitForLaunched(std::chrono::milliseconds longest) override;
    [[noreturn]] void endProgram() override;

private:
    std::map<std::size_t, KernelHandle> kept_;
    std::size_t nextLaunch_ = 1;
};

}  // namespace quillora::platform
