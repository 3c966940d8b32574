#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace quillora::platform {

// For as long as it lives, every other visible top-level window of the thread takes no input:
// each one enabled when it was made is disabled, and enabled again when it goes. The owner's own
// window is left to the box, which disables it while it waits. When it goes, the window that was
// active before is active again: a closing box activates its owner, which may be hidden (a question
// window the wizard has left) or another window than the user's (the main window, under the
// progress window the user watched).
class OtherWindowsDisabled {
public:
    explicit OtherWindowsDisabled(HWND owner);
    ~OtherWindowsDisabled();
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK disable(HWND window, LPARAM self);
    void activateAgain() const;

    HWND ownerWindow_;
    HWND active_;  // the thread's active window as the box opened; may be gone when it closes
    std::vector<HWND> disabled_;
};

// The program's boxes and file dialogs as they hold the whole program: while one waits, no other
// window of the program takes input, whichever window owns it. The boxes themselves are shown by
// the dialogs it is given.
class ProgramModalDialogs final : public Dialogs {
public:
    explicit ProgramModalDialogs(Dialogs& shown) : shown_(shown) {}

    void useButtonCaptions(const ButtonCaptions& captions) override { shown_.useButtonCaptions(captions); }
    void showError(HWND owner, const std::wstring& text, const std::wstring& caption) override;
    bool ask(HWND owner, const std::wstring& text, const std::wstring& caption) override;
    void inform(HWND owner, const std::wstring& text, const std::wstring& caption, bool warning) override;
    Choice warnAndChoose(HWND owner, const std::wstring& text, const std::wstring& caption) override;
    std::optional<std::wstring> chooseFileToSave(HWND owner, const std::wstring& suggestedName) override;
    std::optional<std::wstring> chooseFileToOpen(HWND owner) override;
    std::optional<std::size_t> chooseFromMenu(HWND owner, POINT at, const std::vector<std::wstring>& items,
                                              std::optional<std::size_t> checked) override;

private:
    Dialogs& shown_;
};

}  // namespace quillora::platform
