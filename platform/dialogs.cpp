#include "platform/dialogs.h"

namespace quillora::platform {

void WindowsDialogs::showError(HWND owner, const std::wstring& text, const std::wstring& caption)
{
    MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

bool WindowsDialogs::ask(HWND owner, const std::wstring& text, const std::wstring& caption)
{
    return MessageBoxW(owner, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void WindowsDialogs::inform(HWND owner, const std::wstring& text, const std::wstring& caption, bool warning)
{
    MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | (warning ? MB_ICONWARNING : MB_ICONINFORMATION));
}

Dialogs::Choice WindowsDialogs::warnAndChoose(HWND owner, const std::wstring& text, const std::wstring& caption)
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
