#include "platform/modal_dialogs.h"

namespace quillora::platform {

namespace {

bool canTakeInput(HWND window)
{
    return window && IsWindow(window) && IsWindowVisible(window) && IsWindowEnabled(window);
}

BOOL CALLBACK findInputWindow(HWND window, LPARAM found)
{
    if (!canTakeInput(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

OtherWindowsDisabled::OtherWindowsDisabled(HWND owner)
    : ownerWindow_(owner ? GetAncestor(owner, GA_ROOT) : nullptr), active_(GetActiveWindow())
{
    EnumThreadWindows(GetCurrentThreadId(), &OtherWindowsDisabled::disable, reinterpret_cast<LPARAM>(this));
}

OtherWindowsDisabled::~OtherWindowsDisabled()
{
    for (const HWND window : disabled_) {
        // A window closed while the box waited is gone; its handle may name nothing now.
        if (IsWindow(window))
            EnableWindow(window, TRUE);
    }
    activateAgain();
}

// The window the user was in, where it still takes input; else, where the box left none of the
// program's windows active, the topmost that takes input, so that the keyboard is never lost to a
// hidden window.
void OtherWindowsDisabled::activateAgain() const
{
    HWND back = canTakeInput(active_) ? active_ : nullptr;
    if (!back && !canTakeInput(GetActiveWindow()))
        EnumThreadWindows(GetCurrentThreadId(), findInputWindow, reinterpret_cast<LPARAM>(&back));
    if (back && back != GetActiveWindow())
        SetActiveWindow(back);
}

BOOL CALLBACK OtherWindowsDisabled::disable(HWND window, LPARAM self)
{
    auto& held = *reinterpret_cast<OtherWindowsDisabled*>(self);
    if (window != held.ownerWindow_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
        held.disabled_.push_back(window);
        EnableWindow(window, FALSE);
    }
    return TRUE;
}

void ProgramModalDialogs::showError(HWND owner, const std::wstring& text, const std::wstring& caption)
{
    const OtherWindowsDisabled held(owner);
    shown_.showError(owner, text, caption);
}

bool ProgramModalDialogs::ask(HWND owner, const std::wstring& text, const std::wstring& caption)
{
    const OtherWindowsDisabled held(owner);
    return shown_.ask(owner, text, caption);
}

void ProgramModalDialogs::inform(HWND owner, const std::wstring& text, const std::wstring& caption, bool warning)
{
    const OtherWindowsDisabled held(owner);
    shown_.inform(owner, text, caption, warning);
}

Dialogs::Choice ProgramModalDialogs::warnAndChoose(HWND owner, const std::wstring& text, const std::wstring& caption)
{
    const OtherWindowsDisabled held(owner);
    return shown_.warnAndChoose(owner, text, caption);
}

std::optional<std::wstring> ProgramModalDialogs::chooseFileToSave(HWND owner, const std::wstring& suggestedName)
{
    const OtherWindowsDisabled held(owner);
    return shown_.chooseFileToSave(owner, suggestedName);
}

std::optional<std::wstring> ProgramModalDialogs::chooseFileToOpen(HWND owner)
{
    const OtherWindowsDisabled held(owner);
    return shown_.chooseFileToOpen(owner);
}

std::optional<std::size_t> ProgramModalDialogs::chooseFromMenu(HWND owner, POINT at, const std::vector<std::wstring>& items,
                                                               std::optional<std::size_t> checked)
{
    const OtherWindowsDisabled held(owner);
    return shown_.chooseFromMenu(owner, at, items, checked);
}

}  // namespace quillora::platform
