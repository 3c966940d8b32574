// Every control of every window sits where its design table puts it, converted from twips with
// the screen's real DPI. The expected pixels are worked out here, from the twips alone.
#include <doctest.h>

#include <windows.h>

#include "tests/support/wide_strings.h"
#include "tests/ui/test_desktop.h"

using namespace quillora;
using namespace quillora::testing;

namespace {

// Twips to pixels as a ruler gives them: 1440 twips to the inch, rounded to the nearest pixel.
int pixels(int twips, int dpi)
{
    return (twips * dpi + 720) / 1440;
}

RECT expectedPixels(const ui::TwipsRect& twips, SIZE dpi)
{
    const int left = pixels(twips.left, dpi.cx);
    const int top = pixels(twips.top, dpi.cy);
    return {left, top, left + pixels(twips.width, dpi.cx), top + pixels(twips.height, dpi.cy)};
}

}  // namespace

TEST_CASE("every window and control is placed as its design table says")
{
    ProgramFixture f;
    const SIZE dpi = ui::screenDpi();
    for (const auto& [window, design] : everyWindow(f.program)) {
        CAPTURE(std::wstring(ui::textIn(ui::Language::Chinese, design->caption)));
        const HWND handle = window->handle();
        // The services window opens wide enough for its columns; what reaches to the designed right
        // margin reaches to the widened one.
        const bool widensToFit = window == &f.program.servicesWindow;
        // It opens taller too, as far as its rows need: its controls are placed as designed at the
        // design's height.
        if (widensToFit) {
            RECT designed{0, 0, clientSize(handle).cx, pixels(design->clientHeight, dpi.cy)};
            AdjustWindowRectEx(&designed, static_cast<DWORD>(GetWindowLongW(handle, GWL_STYLE)), FALSE,
                               static_cast<DWORD>(GetWindowLongW(handle, GWL_EXSTYLE)));
            SetWindowPos(handle, nullptr, 0, 0, designed.right - designed.left, designed.bottom - designed.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        const long widened = clientSize(handle).cx - pixels(design->clientWidth, dpi.cx);
        CHECK(widened >= 0);
        CHECK((widened == 0 || widensToFit));
        CHECK(clientSize(handle).cy == pixels(design->clientHeight, dpi.cy));
        for (const ui::ControlDesign& control : design->controls) {
            CAPTURE(std::wstring(control.name));
            REQUIRE(window->control(control.id));
            RECT expected = expectedPixels(control.rect, dpi);
            const int rightMargin = design->controls.front().rect.left;
            if (widensToFit && control.rect.left + control.rect.width == design->clientWidth - rightMargin)
                expected.right += widened;
            // A drop-down list's height in the design is its open list's; closed, Windows sizes it
            // to its font.
            if (control.kind == ui::ControlKind::DropDownList)
                expected.bottom = rectInParent(window->control(control.id)).bottom;
            CHECK(rectInParent(window->control(control.id)) == expected);
        }
    }
}
