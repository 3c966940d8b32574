#include "ui/window/design.h"

namespace quillora::ui {
namespace {

constexpr int kTwipsPerInch = 1440;

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

}  // namespace quillora::ui
