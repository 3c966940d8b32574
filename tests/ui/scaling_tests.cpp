// The main window's pictures at the screen's DPI, held against the carried BMPs resized here by a
// bilinear filter of the test's own. Runs at 96 DPI with the other window tests, and at 120, 144
// and 192 DPI with the prefix's LogPixels set (scripts/at-dpi).
#include <doctest.h>

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"
#include "tests/ui/test_desktop.h"
#include "tools/pictures/bitmaps.h"
#include "ui/ids/identifiers.h"

using namespace quillora;
using namespace quillora::testing;

namespace {

struct Image {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;  // top-down rows, three bytes a pixel

    const std::uint8_t* at(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
};

// Top-down RGB from the bottom-up, padded BGR rows a BMP file and a DIB keep.
Image imageOf(const pictures::Pixels24& pixels)
{
    Image image{static_cast<int>(pixels.header.biWidth), static_cast<int>(pixels.header.biHeight), {}};
    const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) / 4 * 4;
    REQUIRE(pixels.bytes.size() >= stride * static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        const std::size_t row = stride * static_cast<std::size_t>(image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            for (int c = 2; c >= 0; --c)
                image.rgb.push_back(static_cast<std::uint8_t>(pixels.bytes[row + x * 3 + c]));
        }
    }
    return image;
}

// A 24-bit BMP file of the project, read from its bytes.
Image readBmp(const std::string& path)
{
    const std::string bytes = projectFile(path);
    REQUIRE(bytes.size() > sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER));
    REQUIRE(bytes.substr(0, 2) == "BM");
    pictures::Pixels24 pixels;
    std::memcpy(&pixels.header, bytes.data() + sizeof(BITMAPFILEHEADER), sizeof pixels.header);
    REQUIRE(pixels.header.biBitCount == 24);
    BITMAPFILEHEADER file{};
    std::memcpy(&file, bytes.data(), sizeof file);
    pixels.bytes.assign(bytes.begin() + file.bfOffBits, bytes.end());
    return imageOf(pixels);
}

// Bilinear resampling with pixel centres aligned, clamped at the edges.
Image resized(const Image& source, int width, int height)
{
    Image out{width, height, {}};
    for (int y = 0; y < height; ++y) {
        const double sy = std::clamp((y + 0.5) * source.height / height - 0.5, 0.0, source.height - 1.0);
        const int y0 = static_cast<int>(sy), y1 = std::min(y0 + 1, source.height - 1);
        for (int x = 0; x < width; ++x) {
            const double sx = std::clamp((x + 0.5) * source.width / width - 0.5, 0.0, source.width - 1.0);
            const int x0 = static_cast<int>(sx), x1 = std::min(x0 + 1, source.width - 1);
            for (int c = 0; c < 3; ++c) {
                const double top = source.at(x0, y0)[c] * (x1 - sx + (x0 == x1)) + source.at(x1, y0)[c] * (sx - x0);
                const double bottom = source.at(x0, y1)[c] * (x1 - sx + (x0 == x1)) + source.at(x1, y1)[c] * (sx - x0);
                const double fy = sy - y0;
                out.rgb.push_back(static_cast<std::uint8_t>(std::lround(top * (1 - fy) + bottom * fy)));
            }
        }
    }
    return out;
}

// What a window's client area shows, as it is.
Image shownIn(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    const HDC dc = GetDC(window);
    const Image image = imageOf(pictures::pixelsOf(dc, client));
    ReleaseDC(window, dc);
    return image;
}

// What a window's client area shows once it and its controls have drawn themselves again.
Image clientPixels(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    flushMessages();
    return shownIn(window);
}

// How far the shown pixels lie from the expected ones, on average per colour channel (0 to 255),
// over the pixels `counted` says to count; worst is the largest average of any 16-row band, so
// that a seam or a tiled stretch shows even where the rest agrees.
struct Difference {
    double mean = 0, worstBand = 0;
};

template <typename Counted>
Difference difference(const Image& shown, const Image& expected, Counted counted)
{
    double total = 0, pixels = 0;
    Difference result;
    for (int band = 0; band < shown.height; band += 16) {
        double bandTotal = 0, bandPixels = 0;
        for (int y = band; y < std::min(band + 16, shown.height); ++y) {
            for (int x = 0; x < shown.width; ++x) {
                if (!counted(x, y))
                    continue;
                for (int c = 0; c < 3; ++c)
                    bandTotal += std::abs(int(shown.at(x, y)[c]) - int(expected.at(x, y)[c]));
                bandPixels += 3;
            }
        }
        if (bandPixels > 0)
            result.worstBand = std::max(result.worstBand, bandTotal / bandPixels);
        total += bandTotal;
        pixels += bandPixels;
    }
    result.mean = pixels > 0 ? total / pixels : 0;
    return result;
}

// The share of pixels that equal their right-hand neighbour. Stretching by s without smoothing
// repeats every pixel about s times, which raises the share of a picture whose share is p to
// about 1 - (1 - p) / s; smooth stretching keeps it near p.
double repeatedShare(const Image& image)
{
    double repeated = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x + 1 < image.width; ++x)
            repeated += std::equal(image.at(x, y), image.at(x, y) + 3, image.at(x + 1, y));
    }
    return repeated / (static_cast<double>(image.width - 1) * image.height);
}

// Smooth: nearer to the picture's own share than to what repeating its pixels would give.
void checkSmooth(const Image& picture, const Image& shown, double scale)
{
    const double own = repeatedShare(picture);
    const double blocky = 1 - (1 - own) / scale;
    const double seen = repeatedShare(shown);
    MESSAGE("repeated neighbours: picture " << own << ", shown " << seen << ", blocky would be " << blocky);
    CHECK(seen < (own + blocky) / 2);
}

int scaled(int pixels, int dpi)
{
    return (pixels * dpi + 48) / 96;
}

// The carried background as the screen's DPI should show it, resized by the test's own filter.
Image expectedBackground()
{
    const SIZE dpi = ui::screenDpi();
    const Image picture = readBmp("resources/background.bmp");
    return resized(picture, scaled(picture.width, dpi.cx), scaled(picture.height, dpi.cy));
}

}  // namespace

TEST_CASE("the background covers the main window as the picture scaled by DPI/96, smooth and untiled")
{
    ProgramFixture f;
    f.program.mainWindow.show();
    const HWND main = f.program.mainWindow.handle();
    const SIZE dpi = ui::screenDpi();
    const Image shown = clientPixels(main);
    const Image expected = expectedBackground();
    REQUIRE(expected.width >= shown.width);
    REQUIRE(expected.height >= shown.height);

    // The margins no control covers, with a few pixels kept clear of every control's edge.
    std::vector<RECT> controls;
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT place = rectInParent(child);
        InflateRect(&place, 4, 4);
        controls.push_back(place);
    }
    const auto uncovered = [&](int x, int y) {
        for (const RECT& place : controls) {
            if (x >= place.left && x < place.right && y >= place.top && y < place.bottom)
                return false;
        }
        return true;
    };
    const Difference seen = difference(shown, expected, uncovered);
    MESSAGE("background at " << dpi.cx << " DPI: mean " << seen.mean << ", worst band " << seen.worstBand);
    if (dpi.cx == ui::kDesignDpi) {
        CHECK(seen.worstBand == 0);  // drawn 1:1 from the top-left corner
    } else {
        CHECK(seen.mean < 4);
        CHECK(seen.worstBand < 8);
    }
}

// What a window's client area shows once a control has drawn itself again over stale pixels, as it
// does alone when its text changes.
Image afterRedrawingAlone(HWND window, HWND control)
{
    clientPixels(window);
    const HDC dc = GetDC(control);
    RECT all;
    GetClientRect(control, &all);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(control, dc);
    RedrawWindow(control, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
    flushMessages();
    return shownIn(window);
}

// The three descriptions lie on the picture with no box of their own: around their words each shows
// the part of the picture under it, and the words are drawn over it, also when a description draws
// itself again alone.
TEST_CASE("the descriptions show the background under their words, scaled by DPI/96")
{
    ProgramFixture f;
    f.program.mainWindow.show();
    const HWND main = f.program.mainWindow.handle();
    const SIZE dpi = ui::screenDpi();
    const Image expected = expectedBackground();
    // Halftone stretching and the test's bilinear filter differ by a few levels.
    const int tolerance = dpi.cx == ui::kDesignDpi ? 0 : 24;
    for (const int id : {ui::MainControls::QuestionsLabel, ui::MainControls::AutomaticLabel,
                         ui::MainControls::RestoreLabel}) {
        CAPTURE(id);
        const HWND label = f.program.mainWindow.control(id);
        const Image shown = afterRedrawingAlone(main, label);
        const RECT place = rectInParent(label);
        double same = 0, all = 0;
        for (int y = place.top; y < place.bottom; ++y) {
            for (int x = place.left; x < place.right; ++x) {
                int apart = 0;
                for (int c = 0; c < 3; ++c)
                    apart += std::abs(int(shown.at(x, y)[c]) - int(expected.at(x, y)[c]));
                same += apart <= tolerance;
                ++all;
            }
        }
        MESSAGE("label " << id << " at " << dpi.cx << " DPI: " << same / all << " of its pixels show the picture");
        CHECK(same / all > 0.5);   // the picture around the words
        CHECK(same / all < 0.98);  // and the words
    }
}

TEST_CASE("the banner fills its box as the picture scaled by DPI/96")
{
    ProgramFixture f;
    f.program.mainWindow.show();
    const SIZE dpi = ui::screenDpi();
    const HWND banner = f.program.mainWindow.control(ui::MainControls::Banner);
    const Image picture = readBmp("resources/banner.bmp");
    const Image shown = clientPixels(banner);
    CHECK(shown.width == scaled(picture.width, dpi.cx));
    CHECK(shown.height == scaled(picture.height, dpi.cy));
    const Image expected = resized(picture, shown.width, shown.height);
    const Difference seen = difference(shown, expected, [](int, int) { return true; });
    MESSAGE("banner at " << dpi.cx << " DPI: mean " << seen.mean << ", worst band " << seen.worstBand);
    if (dpi.cx == ui::kDesignDpi) {
        CHECK(seen.worstBand == 0);
    } else {
        CHECK(seen.mean < 8);
        CHECK(seen.worstBand < 12);
        checkSmooth(picture, shown, dpi.cx / 96.0);
    }
}

namespace {

// The box a control's text needs in its own font, laid out so, within the control's width.
RECT neededFor(HWND control, UINT layout)
{
    RECT needed;
    GetClientRect(control, &needed);
    const HDC dc = GetDC(control);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    DrawTextW(dc, ui::windowText(control).c_str(), -1, &needed, layout | DT_CALCRECT);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return needed;
}

}  // namespace

TEST_CASE("in every language every control's text fits its box and every font keeps its point size, scaled by DPI/96")
{
    ProgramFixture f;
    const int dpi = ui::screenDpi().cy;

    // Points as a ruler gives them: 72 to the inch.
    const auto pixelHeight = [dpi](int tenthsOfPoint) { return (tenthsOfPoint * dpi + 360) / 720; };
    for (const ui::Language language : {ui::Language::Chinese, ui::Language::English, ui::Language::TraditionalChinese})
    for (const auto& [window, design] : everyWindow(f.program)) {
        f.program.host.setLanguage(language);
        CAPTURE(static_cast<int>(language));
        for (const ui::ControlDesign& control : design->controls) {
            CAPTURE(std::wstring(control.name));
            const HWND handle = window->control(control.id);
            if (control.font == ui::FontRole::Body)
                CHECK(-fontOf(handle).lfHeight == pixelHeight(105));
            if (control.font == ui::FontRole::Status)
                CHECK(-fontOf(handle).lfHeight == pixelHeight(120));
            if (control.kind != ui::ControlKind::Label && control.kind != ui::ControlKind::PushButton)
                continue;  // the text boxes scroll; the picture has no text
            RECT box;
            GetClientRect(handle, &box);
            const RECT needed = neededFor(handle, control.kind == ui::ControlKind::Label ? DT_WORDBREAK : DT_SINGLELINE);
            CHECK(needed.right - needed.left <= box.right - box.left);
            CHECK(needed.bottom - needed.top <= box.bottom - box.top);
        }
    }
    // The progress window's label says each wait of a run in one line, in every language.
    ui::ProgressWindow& progress = f.program.progressWindow;
    for (const ui::Language language : {ui::Language::Chinese, ui::Language::English, ui::Language::TraditionalChinese}) {
        f.program.host.setLanguage(language);
        for (const auto show : {&ui::ProgressWindow::showMakingRestorePoint, &ui::ProgressWindow::showWaitingForEarlierCommands}) {
            (progress.*show)();
            const HWND label = progress.control(ProgressControls::StatusLabel);
            CAPTURE(ui::windowText(label));
            RECT box;
            GetClientRect(label, &box);
            const RECT needed = neededFor(label, DT_SINGLELINE);
            CHECK(needed.right - needed.left <= box.right - box.left);
        }
    }
}
