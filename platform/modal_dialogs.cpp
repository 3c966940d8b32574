#include "platform/modal_dialogs.h"

namespace quillora::platform {

OtherWindowsDisabled::OtherWindowsDisabled(HWND owner) : ownerWindow_(owner ? GetAncestor(owner, GA_ROOT) : nullptr)
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

}  // namespace quillora::platform
