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

bool atDesignDpi()
{
    const SIZE dpi = screenDpi();
    return dpi.cx == kDesignDpi && dpi.cy == kDesignDpi;
}

// A picture as the program's resources carry it: a packed DIB, its header followed by its pixels,
// in the program's image for as long as the program runs.
const BITMAPINFO& storedPicture(HINSTANCE instance, int resourceId)
{
    const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_BITMAP);
    const HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        throw platform::systemFailure(GetLastError());
    return *static_cast<const BITMAPINFO*>(data);
}

// Where a packed DIB's pixels start: after its header and its colour table, if it has one.
const void* pixelsOf(const BITMAPINFO& picture)
{
    const BITMAPINFOHEADER& header = picture.bmiHeader;
    const DWORD colours = header.biClrUsed ? header.biClrUsed : header.biBitCount <= 8 ? 1u << header.biBitCount : 0;
    const DWORD masks = header.biCompression == BI_BITFIELDS ? 3 : 0;
    return reinterpret_cast<const BYTE*>(&picture) + header.biSize + (colours + masks) * sizeof(RGBQUAD);
}

// A picture as a DIB section, pixel for pixel as stored, not converted to the screen's format.
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

// A stored picture scaled by DPI/96 with Windows' halftone stretching, which averages the pixels
// it spreads, so that it looks smooth rather than blocky: a 24-bit DIB section, with its header
// and where its pixels are.
struct ScaledPicture {
    platform::BitmapHandle bitmap;
    BITMAPINFOHEADER header;
    const void* pixels;
};

ScaledPicture scaledForScreen(const BITMAPINFO& stored)
{
    const SIZE dpi = screenDpi();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = MulDiv(stored.bmiHeader.biWidth, dpi.cx, kDesignDpi);
    info.bmiHeader.biHeight = MulDiv(stored.bmiHeader.biHeight, dpi.cy, kDesignDpi);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    platform::BitmapHandle scaled(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!scaled)
        throw platform::systemFailure(GetLastError());
    const DrawingOn to(scaled.get());
    SetStretchBltMode(to.dc(), HALFTONE);
    SetBrushOrgEx(to.dc(), 0, 0, nullptr);
    if (!StretchDIBits(to.dc(), 0, 0, info.bmiHeader.biWidth, info.bmiHeader.biHeight, 0, 0, stored.bmiHeader.biWidth,
                       stored.bmiHeader.biHeight, pixelsOf(stored), &stored, DIB_RGB_COLORS, SRCCOPY))
        throw platform::systemFailure(GetLastError());
    GdiFlush();
    return {std::move(scaled), info.bmiHeader, bits};
}

// The picture at the screen's DPI: at 96 DPI the picture itself, drawn 1:1; scaled at any other.
platform::BitmapHandle bitmapForScreen(HINSTANCE instance, int resourceId)
{
    if (atDesignDpi())
        return picture(instance, resourceId);
    return scaledForScreen(storedPicture(instance, resourceId)).bitmap;
}

// The picture as packed pixels at the screen's DPI: empty at 96 DPI, where the stored picture is
// drawn as it is; a copy scaled by DPI/96 at any other.
std::vector<BYTE> packedForScreen(const BITMAPINFO& stored)
{
    if (atDesignDpi())
        return {};
    const ScaledPicture scaled = scaledForScreen(stored);
    const auto* pixels = static_cast<const BYTE*>(scaled.pixels);
    std::vector<BYTE> packed(reinterpret_cast<const BYTE*>(&scaled.header),
                             reinterpret_cast<const BYTE*>(&scaled.header + 1));
    const std::size_t stride = (scaled.header.biWidth * 3 + 3) & ~3;
    packed.insert(packed.end(), pixels, pixels + stride * scaled.header.biHeight);
    return packed;
}

}  // namespace

Assets::Assets(HINSTANCE instance)
    : fonts_{fontsFor(Language::Chinese), fontsFor(Language::English), fontsFor(Language::TraditionalChinese)},
      banner_(bitmapForScreen(instance, IDB_BANNER)),
      storedBackground_(storedPicture(instance, IDB_BACKGROUND)),
      scaledBackground_(packedForScreen(storedBackground_)),
      webLinkBrush_(solidBrush(kWebLinkBackground)),
      helpTextBrush_(solidBrush(kHelpTextBackground)),
      handCursor_(static_cast<HCURSOR>(
          LoadImageW(instance, MAKEINTRESOURCEW(IDC_HAND_POINTER), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)))
{
    if (!handCursor_)
        throw platform::systemFailure(GetLastError());
}

// Straight from the picture's pixels: a pattern brush would keep a copy of them for the program's
// whole life, and make another in the screen's format at each paint.
void Assets::paintBackground(HDC dc, POINT origin) const
{
    const auto& picture = scaledBackground_.empty() ? storedBackground_
                                                    : *reinterpret_cast<const BITMAPINFO*>(scaledBackground_.data());
    const BITMAPINFOHEADER& header = picture.bmiHeader;
    SetDIBitsToDevice(dc, origin.x, origin.y, header.biWidth, header.biHeight, 0, 0, 0, header.biHeight,
                      pixelsOf(picture), &picture, DIB_RGB_COLORS);
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
