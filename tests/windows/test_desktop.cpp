#include "test_desktop.h"

#include "catalogue.h"

namespace quillora::testing {

PlannedRun plannedRun(Profile profile)
{
    RecordingPlatform platform;
    MemoryProgressLog log;
    runProfile(profileSteps(profile), log, platform);
    return {platform.launches, log.log};
}

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
