#pragma once

#include <windows.h>

#include <string>

namespace quillora::platform {

// The message boxes the windows show. Tests put a recording double here.
class Dialogs {
public:
    enum class Choice { Yes, No, Cancel };

    virtual ~Dialogs() = default;
    // Shows a modal error message to the user.
    virtual void showError(HWND owner, const std::wstring& text, const std::wstring& caption) = 0;
    // Asks the user a modal yes-or-no question; true for yes.
    virtual bool ask(HWND owner, const std::wstring& text, const std::wstring& caption) = 0;
    // Shows a modal message that needs no answer, as a warning or as information.
    virtual void inform(HWND owner, const std::wstring& text, const std::wstring& caption, bool warning) = 0;
    // Warns and asks yes, no or cancel, yes being the default.
    virtual Choice warnAndChoose(HWND owner, const std::wstring& text, const std::wstring& caption) = 0;
};

class WindowsDialogs final : public Dialogs {
public:
    void showError(HWND owner, const std::wstring& text, const std::wstring& caption) override;
    bool ask(HWND owner, const std::wstring& text, const std::wstring& caption) override;
    void inform(HWND owner, const std::wstring& text, const std::wstring& caption, bool warning) override;
    Choice warnAndChoose(HWND owner, const std::wstring& text, const std::wstring& caption) override;
};

}  // namespace quillora::platform
