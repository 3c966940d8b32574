#include "ui/assets.h"

#include "platform/system_error.h"
#include "resources/resource_ids.h"
#include "ui/identifiers.h"

namespace quillora::ui {
namespace {

// A font of the face and character set; the size in tenths of a point.
platform::FontHandle makeFont(const wchar_t* face, BYTE charset, int tenthsOfPoint, int weight)
{
    LOGFONTW font{};
    font.lfHeight = -MulDiv(tenthsOfPoint, screenDpi().cy, 720);
    font.lfWeight = weight;
    font.lfCharSet = charset;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    platform::FontHandle handle(CreateFontIndirectW(&font));
    if (!handle)
        throw platform::systemFailure(GetLastError());
    return handle;
}

// The face the system writes its messages in: Tahoma on XP, Segoe UI on later Windows.
std::wstring messageFontFace()
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        throw platform::systemFailure(GetLastError());
    return metrics.lfMessageFont.lfFaceName;
}

// The designed fonts: 宋体 with GB2312 for Chinese; in English the system's message font at the
// same sizes; in Traditional Chinese 新細明體 (PMingLiU) with Big5, which Windows XP with East Asian
// support has, as every Windows since.
Assets::Fonts fontsFor(Language language)
{
    const std::wstring face = language == Language::English              ? messageFontFace()
        : language == Language::TraditionalChinese ? std::wstring(L"新細明體")
                                                   : std::wstring(L"宋体");
    const BYTE charset = language == Language::English              ? DEFAULT_CHARSET
        : language == Language::TraditionalChinese ? CHINESEBIG5_CHARSET
                                                   : GB2312_CHARSET;
    return {makeFont(face.c_str(), charset, 90, FW_NORMAL), makeFont(face.c_str(), charset, 105, FW_NORMAL),
            makeFont(face.c_str(), charset, 120, FW_BOLD)};
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
    : fonts_{fontsFor(Language::Chinese), fontsFor(Language::English), fontsFor(Language::TraditionalChinese)},
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

HFONT Assets::font(FontRole role, Language language) const
{
    const Fonts& fonts = fonts_[static_cast<std::size_t>(language)];
    switch (role) {
    case FontRole::Body:
        return fonts.body.get();
    case FontRole::Status:
        return fonts.status.get();
    case FontRole::WindowDefault:
        break;
    }
    return fonts.windowDefault.get();
}

}  // namespace quillora::ui
