#include "ui/windows/help_window.h"

#include "ui/ids/identifiers.h"

namespace quillora::ui {
namespace {

const ControlDesign kHelpControls[] = {
    {ControlKind::TextBox, HelpControls::HelpText, L"Text1", Text::HelpText, {120, 240, 6975, 5055}, 1, FontRole::Body},
    {ControlKind::PushButton, HelpControls::ExitButton, L"OKButton", Text::ExitButton, {5880, 5400, 1215, 375}, 0,
     FontRole::WindowDefault},
};

const WindowDesign kHelpDesign{
    Text::HelpCaption,
    7260,
    5880,
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
    WS_EX_DLGMODALFRAME,
    false,
    Placement::FixedClientOrigin,
    {2760, 3750},
    kHelpControls,
};

}  // namespace

const WindowDesign& HelpWindow::windowDesign()
{
    return kHelpDesign;
}

std::wstring HelpWindow::helpText()
{
    return textIn(Language::Chinese, Text::HelpText);
}

void HelpWindow::onCommand(int controlId, int notification)
{
    if (controlId == HelpControls::ExitButton && notification == BN_CLICKED)
        unload();
}

LRESULT HelpWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CTLCOLOREDIT && GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == HelpControls::HelpText) {
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, kHelpTextBackground);
        return reinterpret_cast<LRESULT>(host().assets().helpTextBrush());
    }
    return Window::onMessage(message, wParam, lParam);
}

}  // namespace quillora::ui
