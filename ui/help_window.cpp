#include "ui/help_window.h"

#include "resources/site.h"
#include "ui/identifiers.h"

namespace quillora::ui {
namespace {

const wchar_t kHelpText[] =
    L"\r\n"
    L"    对XP系统服务进行优化的软件，这个软件是免费的，你可以无偿获\r\n"
    L"取，下载网址为" QUILLORA_WIDE(QUILLORA_SITE_HOST) L"，它对系统常用的近百个服务进行优化，\r\n"
    L"大大提高系统运行速度，对于未优化过的系统来说，开机速度可以提高\r\n"
    L"20%以上，并减少内存的占用。建议使用“按提问优化”以达到最好效果\r\n"
    L"，对于不懂电脑的人来说，可以使用“自动优化”，另外，“恢复默认\r\n"
    L"设置”可以恢复到优化前的系统默认状态，可能对解决一些系统问题有\r\n"
    L"帮助！\r\n"
    L"\r\n"
    QUILLORA_WIDE(QUILLORA_SITE_NAME) QUILLORA_WIDE(QUILLORA_WEB_ADDRESS) L"\r\n"
    QUILLORA_WIDE(QUILLORA_MESSAGING_CONTACT) L"\r\n"
    L"mail:" QUILLORA_WIDE(QUILLORA_MAIL_ADDRESS) L"\r\n";

const ControlDesign kControls[] = {
    {ControlKind::TextBox, HelpControls::HelpText, L"Text1", kHelpText, {120, 240, 6975, 5055}, 1, FontRole::Body},
    {ControlKind::PushButton, HelpControls::ExitButton, L"OKButton", L"退出", {5880, 5400, 1215, 375}, 0,
     FontRole::WindowDefault},
};

const WindowDesign kDesign{
    kHelpCaption,
    7260,
    5880,
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
    WS_EX_DLGMODALFRAME,
    false,
    Placement::FixedClientOrigin,
    {2760, 3750},
    kControls,
};

}  // namespace

const WindowDesign& HelpWindow::windowDesign()
{
    return kDesign;
}

std::wstring HelpWindow::helpText()
{
    return kHelpText;
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
