#include "ui/window/assets.h"

#include "platform/system_error.h"
#include "resources/resource_ids.h"
#include "ui/ids/identifiers.h"

#include <algorithm>
#include <cstring>

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

std::size_t strideOf(const BITMAPINFOHEADER& header)
{
    return (static_cast<std::size_t>(header.biWidth) * 3 + 3) & ~std::size_t{3};
}

// The carried picture's rows decoded one after another, bottom-up as a DIB keeps them.
class DecodedRows {
public:
    explicit DecodedRows(const PictureRuns& picture) : picture_(picture), at_(picture.runs) {}

    // Writes the next row's pixels; a run that is missing, empty or reaches past the row is a
    // picture the build did not make.
    void next(BYTE* row)
    {
        const int width = picture_.header.biWidth;
        for (int x = 0; x < width;) {
            const int count = picture_.end - at_ >= 4 ? at_[0] : 0;
            if (count == 0 || count > width - x)
                throw platform::systemFailure(ERROR_INVALID_DATA);
            for (const int last = x + count; x < last; ++x)
                std::memcpy(row + x * 3, at_ + 1, 3);
            at_ += 4;
        }
    }
    bool atEnd() const { return at_ == picture_.end; }

private:
    const PictureRuns& picture_;
    const BYTE* at_;
};

// The only header the build writes: a bottom-up 24-bit picture of plain pixels, no colour table
// and no compression, of a size a screen can show. Every other field would change where the
// scaling and painting find the pixels.
bool isPlainPicture(const BITMAPINFOHEADER& header)
{
    constexpr LONG kLargestSide = 16384;
    return header.biSize == sizeof header && header.biPlanes == 1 && header.biBitCount == 24
        && header.biCompression == BI_RGB && header.biClrUsed == 0 && header.biWidth > 0
        && header.biWidth <= kLargestSide && header.biHeight > 0 && header.biHeight <= kLargestSide;
}

// The picture as the program's resources carry it, checked whole once, so that painting never
// meets a fault.
PictureRuns storedRuns(HINSTANCE instance, int resourceId)
{
    const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
    const HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const auto* data = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    if (!data)
        throw platform::systemFailure(GetLastError());
    PictureRuns picture{{}, data + sizeof picture.header, data + SizeofResource(instance, found)};
    if (picture.end < picture.runs)
        throw platform::systemFailure(ERROR_INVALID_DATA);
    std::memcpy(&picture.header, data, sizeof picture.header);
    if (!isPlainPicture(picture.header))
        throw platform::systemFailure(ERROR_INVALID_DATA);
    DecodedRows rows(picture);
    std::vector<BYTE> row(strideOf(picture.header));
    for (int y = 0; y < picture.header.biHeight; ++y)
        rows.next(row.data());
    if (!rows.atEnd())
        throw platform::systemFailure(ERROR_INVALID_DATA);
    return picture;
}

// The picture as a packed DIB, its header followed by all its pixels.
std::vector<BYTE> packedWhole(const PictureRuns& picture)
{
    const std::size_t stride = strideOf(picture.header);
    std::vector<BYTE> packed(sizeof picture.header + stride * static_cast<std::size_t>(picture.header.biHeight));
    std::memcpy(packed.data(), &picture.header, sizeof picture.header);
    DecodedRows rows(picture);
    for (int y = 0; y < picture.header.biHeight; ++y)
        rows.next(packed.data() + sizeof picture.header + y * stride);
    return packed;
}

// At 96 DPI nothing: the carried picture is drawn as it is. At any other DPI the picture scaled by
// DPI/96, as a packed DIB.
std::vector<BYTE> packedForScreen(const PictureRuns& picture)
{
    if (atDesignDpi())
        return {};
    const std::vector<BYTE> whole = packedWhole(picture);
    const ScaledPicture scaled = scaledForScreen(*reinterpret_cast<const BITMAPINFO*>(whole.data()));
    const auto* pixels = static_cast<const BYTE*>(scaled.pixels);
    std::vector<BYTE> packed(reinterpret_cast<const BYTE*>(&scaled.header),
                             reinterpret_cast<const BYTE*>(&scaled.header + 1));
    packed.insert(packed.end(), pixels, pixels + strideOf(scaled.header) * scaled.header.biHeight);
    return packed;
}

}  // namespace

Assets::Assets(HINSTANCE instance)
    : fonts_{fontsFor(Language::Chinese), fontsFor(Language::English), fontsFor(Language::TraditionalChinese)},
      banner_(bitmapForScreen(instance, IDB_BANNER)),
      background_(storedRuns(instance, IDR_BACKGROUND_RUNS)),
      scaledBackground_(packedForScreen(background_)),
      webLinkBrush_(solidBrush(kWebLinkBackground)),
      helpTextBrush_(solidBrush(kHelpTextBackground)),
      handCursor_(static_cast<HCURSOR>(
          LoadImageW(instance, MAKEINTRESOURCEW(IDC_HAND_POINTER), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)))
{
    if (!handCursor_)
        throw platform::systemFailure(GetLastError());
}

// Straight from the carried runs, a band of rows at a time, so that the picture's pixels are never
// held whole: a pattern brush would keep a copy of them for the program's whole life and make
// another in the screen's format at each paint.
void Assets::paintBackground(HDC dc, POINT origin) const
{
    if (!scaledBackground_.empty()) {
        const auto& scaled = *reinterpret_cast<const BITMAPINFO*>(scaledBackground_.data());
        const BITMAPINFOHEADER& header = scaled.bmiHeader;
        SetDIBitsToDevice(dc, origin.x, origin.y, header.biWidth, header.biHeight, 0, 0, 0, header.biHeight,
                          pixelsOf(scaled), &scaled, DIB_RGB_COLORS);
        return;
    }
    constexpr int kBandRows = 16;
    const int width = background_.header.biWidth;
    const int height = background_.header.biHeight;
    const std::size_t stride = strideOf(background_.header);
    std::vector<BYTE> band(stride * kBandRows);
    BITMAPINFO bandInfo{};
    bandInfo.bmiHeader = background_.header;
    RECT visible{};
    GetClipBox(dc, &visible);
    DecodedRows rows(background_);
    // Bottom-up: the band's first row is the lowest on the screen.
    for (int first = 0; first < height; first += kBandRows) {
        const int count = std::min(kBandRows, height - first);
        for (int i = 0; i < count; ++i)
            rows.next(band.data() + i * stride);
        const RECT place{origin.x, origin.y + height - first - count, origin.x + width, origin.y + height - first};
        RECT shown;
        if (!IntersectRect(&shown, &place, &visible))
            continue;
        bandInfo.bmiHeader.biHeight = count;
        SetDIBitsToDevice(dc, place.left, place.top, width, count, 0, 0, 0, count, band.data(), &bandInfo,
                          DIB_RGB_COLORS);
    }
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
