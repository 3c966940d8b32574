#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace quillora::platform {

// The captions of a message box's buttons, in the program's language: Windows writes them in its
// own, which need not be the one the box's text speaks.
struct ButtonCaptions {
    std::wstring yes, no, cancel, ok;
};

// The message boxes the windows show. Tests put a recording double here.
class Dialogs {
public:
    enum class Choice { Yes, No, Cancel };

    virtual ~Dialogs() = default;
    // The captions every box's buttons carry from now on.
    virtual void useButtonCaptions(const ButtonCaptions& captions) = 0;
    // Shows a modal error message to the user.
    virtual void showError(HWND owner, const std::wstring& text, const std::wstring& caption) = 0;
    // Asks the user a modal yes-or-no question; true for yes.
    virtual bool ask(HWND owner, const std::wstring& text, const std::wstring& caption) = 0;
    // Shows a modal message that needs no answer, as a warning or as information.
    virtual void inform(HWND owner, const std::wstring& text, const std::wstring& caption, bool warning) = 0;
    // Warns and asks yes, no or cancel, yes being the default.
    virtual Choice warnAndChoose(HWND owner, const std::wstring& text, const std::wstring& caption) = 0;
    // The file the user chooses to write, starting from a suggested name, or to read; nullopt when
    // the user cancels. Text files (*.txt) are offered first.
    virtual std::optional<std::wstring> chooseFileToSave(HWND owner, const std::wstring& suggestedName) = 0;
    virtual std::optional<std::wstring> chooseFileToOpen(HWND owner) = 0;
    // A menu of items at a point of the screen, the checked one marked; the index of the item
    // chosen, or nullopt when the user closes it. An item's "&" marks its key.
    virtual std::optional<std::size_t> chooseFromMenu(HWND owner, POINT at, const std::vector<std::wstring>& items,
                                                      std::optional<std::size_t> checked) = 0;
};

class WindowsDialogs final : public Dialogs {
public:
    void useButtonCaptions(const ButtonCaptions& captions) override { captions_ = captions; }
    void showError(HWND owner, const std::wstring& text, const std::wstring& caption) override;
    bool ask(HWND owner, const std::wstring& text, const std::wstring& caption) override;
    void inform(HWND owner, const std::wstring& text, const std::wstring& caption, bool warning) override;
    Choice warnAndChoose(HWND owner, const std::wstring& text, const std::wstring& caption) override;
    std::optional<std::wstring> chooseFileToSave(HWND owner, const std::wstring& suggestedName) override;
    std::optional<std::wstring> chooseFileToOpen(HWND owner) override;
    std::optional<std::size_t> chooseFromMenu(HWND owner, POINT at, const std::vector<std::wstring>& items,
                                              std::optional<std::size_t> checked) override;

private:
    int messageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style);
    std::optional<std::wstring> runFileDialog(const char* name, HWND owner, const std::wstring& suggestedName,
                                              DWORD flags);
    void* commonDialog(const char* name);

    LibraryHandle commonDialogs_;
    std::optional<ButtonCaptions> captions_;  // none: as Windows writes them
};

}  // namespace quillora::platform
