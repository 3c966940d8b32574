#include "tests/ui/test_desktop.h"

namespace quillora::testing {

void flushMessages()
{
    platform::processPendingMessages();
}

RECT rectInParent(HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE clientSize(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

POINT offsetFromScreenCentre(HWND window)
{
    RECT place;
    GetWindowRect(window, &place);
    return {(place.left + place.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2,
            (place.top + place.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2};
}

LOGFONTW fontOf(HWND window)
{
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    GetObjectW(handle, sizeof font, &font);
    return font;
}

void click(HWND button)
{
    SendMessageW(button, BM_CLICK, 0, 0);
}

}  // namespace quillora::testing
