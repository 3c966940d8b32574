#include "progress_window.h"

#include "system_error.h"

namespace quillora::ui {
namespace {

const ControlDesign kControls[] = {
    {ControlKind::Label, ProgressWindow::Label1, L"Label1", L"正在优化系统服务，请稍等......",
     {480, 240, 4455, 375}, 0, FontRole::SimSunBold12},
    {ControlKind::TextBox, ProgressWindow::Text1, L"Text1", L"", {480, 720, 6015, 3375}, 1,
     FontRole::WindowDefault},
    {ControlKind::PushButton, ProgressWindow::Command1, L"Command1", L"退出", {2760, 4320, 1215, 375}, 2,
     FontRole::WindowDefault, WS_DISABLED},
};

const WindowDesign kDesign{
    L"正在优化系统服务...",
    7140,
    4800,
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
    WS_EX_APPWINDOW,
    true,
    Placement::CentredOnScreen,
    {},
    kControls,
};

constexpr COLORREF kStatusColour = RGB(255, 0, 0);
constexpr COLORREF kLogColour = RGB(0, 128, 0);

// Replaces a window's text and makes sure all of it arrived: a log that silently lost its end
// would tell the user that fewer services were changed than really were.
void replaceText(HWND window, const std::wstring& text)
{
    const bool accepted = SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != FALSE;
    if (!accepted || GetWindowTextLengthW(window) != static_cast<int>(text.size()))
        throw platform::systemFailure(ERROR_NOT_ENOUGH_MEMORY);
}

}  // namespace

const WindowDesign& ProgressWindow::windowDesign()
{
    return kDesign;
}

std::wstring ProgressWindow::text()
{
    return controlText(Text1);
}

void ProgressWindow::setText(const std::wstring& text)
{
    replaceText(control(Text1), text);
}

void ProgressWindow::setCaption(const std::wstring& caption)
{
    replaceText(handle(), caption);
}

void ProgressWindow::setStatusLabel(const std::wstring& status)
{
    replaceText(control(Label1), status);
}

void ProgressWindow::enableExit()
{
    EnableWindow(control(Command1), TRUE);
}

void ProgressWindow::onLoaded()
{
    // The log box has no limit of its own: without this an edit box stops at about 32,000
    // characters, typed or written.
    SendMessageW(control(Text1), EM_SETLIMITTEXT, 0, 0);
}

void ProgressWindow::onCommand(int controlId, int notification)
{
    if (controlId == Command1 && notification == BN_CLICKED)
        unload();
}

LRESULT ProgressWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto dc = reinterpret_cast<HDC>(wParam);
    const auto from = reinterpret_cast<HWND>(lParam);
    if (message == WM_CTLCOLORSTATIC && GetDlgCtrlID(from) == Label1) {
        SetTextColor(dc, kStatusColour);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    if (message == WM_CTLCOLOREDIT && GetDlgCtrlID(from) == Text1) {
        SetTextColor(dc, kLogColour);
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    return Window::onMessage(message, wParam, lParam);
}

}  // namespace quillora::ui
