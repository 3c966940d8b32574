#pragma once

#include <windows.h>

#include <string>

#include "engine/runner.h"

namespace quillora::platform {

// Everything the windows need from the system besides windowing itself: the engine's launch and
// message processing, ending the program, and a message box. Tests put a recording double here.
class Desktop : public Platform {
public:
    // Ends the program at once. The Windows implementation never returns.
    virtual void endProgram() = 0;
    // Shows a modal error message to the user.
    virtual void showError(HWND owner, const std::wstring& text, const std::wstring& caption) = 0;
};

class WindowsDesktop final : public Desktop {
public:
    void launch(const std::wstring& commandLine, int showState) override;
    void processPendingMessages() override;
    [[noreturn]] void endProgram() override;
    void showError(HWND owner, const std::wstring& text, const std::wstring& caption) override;
};

}  // namespace quillora::platform
