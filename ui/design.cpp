#include "ui/design.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/system_error.h"
#include "ui/assets.h"

namespace quillora::ui {
namespace {

constexpr int kTwipsPerInch = 1440;

struct ControlClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ControlClass controlClass(ControlKind kind)
{
    switch (kind) {
    case ControlKind::PushButton:
        return {L"BUTTON", BS_PUSHBUTTON, 0};
    case ControlKind::Label:
        return {L"STATIC", SS_LEFT, 0};
    case ControlKind::TextBox:
        return {L"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::Picture:
        break;
    }
    return {L"STATIC", SS_BITMAP | SS_NOTIFY, 0};
}

// Labels carry a tab index in the design but never take the focus.
bool takesFocus(const ControlDesign& control)
{
    return control.tabIndex != kNoTabStop && control.kind != ControlKind::Label
        && control.kind != ControlKind::Picture;
}

std::vector<const ControlDesign*> inTabOrder(std::span<const ControlDesign> controls)
{
    std::vector<const ControlDesign*> ordered;
    for (const ControlDesign& control : controls)
        ordered.push_back(&control);
    std::stable_sort(ordered.begin(), ordered.end(), [](const ControlDesign* a, const ControlDesign* b) {
        const auto key = [](const ControlDesign* c) { return c->tabIndex == kNoTabStop ? INT_MAX : c->tabIndex; };
        return key(a) < key(b);
    });
    return ordered;
}

}  // namespace

SIZE screenDpi()
{
    const HDC screen = GetDC(nullptr);
    const SIZE dpi{GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
    ReleaseDC(nullptr, screen);
    return dpi;
}

int twipsToPixelsX(int twips)
{
    return MulDiv(twips, screenDpi().cx, kTwipsPerInch);
}

int twipsToPixelsY(int twips)
{
    return MulDiv(twips, screenDpi().cy, kTwipsPerInch);
}

RECT twipsToPixels(const TwipsRect& rect)
{
    const int left = twipsToPixelsX(rect.left);
    const int top = twipsToPixelsY(rect.top);
    return {left, top, left + twipsToPixelsX(rect.width), top + twipsToPixelsY(rect.height)};
}

RECT windowRectFor(const WindowDesign& design)
{
    RECT frame{0, 0, twipsToPixelsX(design.clientWidth), twipsToPixelsY(design.clientHeight)};
    AdjustWindowRectEx(&frame, design.style, FALSE, design.exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    POINT origin;
    if (design.placement == Placement::FixedClientOrigin) {
        origin = {twipsToPixelsX(design.clientOrigin.x) + frame.left,
                  twipsToPixelsY(design.clientOrigin.y) + frame.top};
    } else {
        origin = {(GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2};
    }
    return {origin.x, origin.y, origin.x + width, origin.y + height};
}

void createControls(HWND parent, const WindowDesign& design, const Assets& assets)
{
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    for (const ControlDesign* control : inTabOrder(design.controls)) {
        const ControlClass kind = controlClass(control->kind);
        const RECT box = twipsToPixels(control->rect);
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style | control->extraStyle;
        if (takesFocus(*control))
            style |= WS_TABSTOP;
        const HWND child = CreateWindowExW(kind.exStyle, kind.className, control->caption, style, box.left,
                                           box.top, box.right - box.left, box.bottom - box.top, parent,
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(control->id)),
                                           instance, nullptr);
        if (!child)
            throw platform::systemFailure(GetLastError());
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(assets.font(control->font)), FALSE);
    }
}

}  // namespace quillora::ui
