#include "ui/assets.h"

#include "platform/system_error.h"
#include "resources/resource_ids.h"
#include "ui/identifiers.h"

namespace quillora::ui {
namespace {

// 宋体 (SimSun) with the GB2312 character set; the size in tenths of a point.
platform::FontHandle simSunFont(int tenthsOfPoint, int weight)
{
    LOGFONTW font{};
    font.lfHeight = -MulDiv(tenthsOfPoint, screenDpi().cy, 720);
    font.lfWeight = weight;
    font.lfCharSet = GB2312_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    wcscpy(font.lfFaceName, L"宋体");
    platform::FontHandle handle(CreateFontIndirectW(&font));
    if (!handle)
        throw platform::systemFailure(GetLastError());
    return handle;
}

platform::BrushHandle solidBrush(COLORREF colour)
{
    platform::BrushHandle brush(CreateSolidBrush(colour));
    if (!brush)
        throw platform::systemFailure(GetLastError());
    return brush;
}

// A picture of the program's resources, pixel for pixel as stored: a DIB section, not converted
// to the screen's format.
platform::BitmapHandle picture(HINSTANCE instance, int resourceId)
{
    platform::BitmapHandle bitmap(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap)
        throw platform::systemFailure(GetLastError());
    return bitmap;
}

// A bitmap chosen into a memory device context for as long as it lives.
class DrawingOn {
public:
    explicit DrawingOn(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr))
    {
        if (!dc_)
            throw platform::systemFailure(GetLastError());
        previous_ = SelectObject(dc_.get(), bitmap);
    }
    ~DrawingOn() { SelectObject(dc_.get(), previous_); }
    DrawingOn(const DrawingOn&) = delete;
    DrawingOn& operator=(const DrawingOn&) = delete;
    HDC dc() const { return dc_.get(); }

private:
    platform::MemoryDcHandle dc_;
    HGDIOBJ previous_;
};

// The picture at the screen's DPI. At 96 DPI it is the picture itself, drawn 1:1; at any other it
// is a copy scaled by DPI/96 with Windows' halftone stretching, which averages the pixels it
// spreads, so that it looks smooth rather than blocky.
platform::BitmapHandle forScreen(platform::BitmapHandle picture)
{
    const SIZE dpi = screenDpi();
    if (dpi.cx == kDesignDpi && dpi.cy == kDesignDpi)
        return picture;
    BITMAP original{};
    GetObjectW(picture.get(), sizeof original, &original);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = MulDiv(original.bmWidth, dpi.cx, kDesignDpi);
    info.bmiHeader.biHeight = MulDiv(original.bmHeight, dpi.cy, kDesignDpi);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    platform::BitmapHandle scaled(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!scaled)
        throw platform::systemFailure(GetLastError());
    const DrawingOn from(picture.get());
    const DrawingOn to(scaled.get());
    SetStretchBltMode(to.dc(), HALFTONE);
    SetBrushOrgEx(to.dc(), 0, 0, nullptr);
    if (!StretchBlt(to.dc(), 0, 0, info.bmiHeader.biWidth, info.bmiHeader.biHeight, from.dc(), 0, 0,
                    original.bmWidth, original.bmHeight, SRCCOPY))
        throw platform::systemFailure(GetLastError());
    return scaled;
}

}  // namespace

Assets::Assets(HINSTANCE instance)
    : defaultFont_(simSunFont(90, FW_NORMAL)),
      body_(simSunFont(105, FW_NORMAL)),
      status_(simSunFont(120, FW_BOLD)),
      background_(forScreen(picture(instance, IDB_BACKGROUND))),
      banner_(forScreen(picture(instance, IDB_BANNER))),
      backgroundBrush_(CreatePatternBrush(background_.get())),
      webLinkBrush_(solidBrush(kWebLinkBackground)),
      helpTextBrush_(solidBrush(kHelpTextBackground)),
      handCursor_(static_cast<HCURSOR>(
          LoadImageW(instance, MAKEINTRESOURCEW(IDC_HAND_POINTER), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)))
{
    if (!backgroundBrush_ || !handCursor_)
        throw platform::systemFailure(GetLastError());
}

HFONT Assets::font(FontRole role) const
{
    switch (role) {
    case FontRole::Body:
        return body_.get();
    case FontRole::Status:
        return status_.get();
    case FontRole::WindowDefault:
        break;
    }
    return defaultFont_.get();
}

}  // namespace quillora::ui
