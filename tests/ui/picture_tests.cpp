// The program carries its pictures as BMPs; they must show exactly what decoding the drawn JPEG
// and GIF through OLE, as the program once did at every start, showed.
#include <doctest.h>

#include <windows.h>

#include "tests/support/text_helpers.h"
#include "tests/ui/test_desktop.h"
#include "tools/pictures/bitmaps.h"

using namespace quillora;

namespace {

// What the program paints as its background over a 24-bit bitmap of this size; the bitmap belongs
// to the caller.
HBITMAP paintedBackground(const ui::Assets& assets, const BITMAP& size)
{
    const BITMAPINFO info = pictures::info24(size.bmWidth, size.bmHeight);
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    assets.paintBackground(dc, {0, 0});
    SelectObject(dc, previous);
    DeleteDC(dc);
    return bitmap;
}

std::vector<char> decodedPixels(const char* source, BITMAP& size)
{
    const pictures::OlePicture decoded(testing::projectFile(std::string("resources/") + source));
    REQUIRE(decoded.bitmap());
    REQUIRE(GetObjectW(decoded.bitmap(), sizeof size, &size));
    return pictures::pixels24(decoded.bitmap()).bytes;
}

}  // namespace

TEST_CASE("the carried pictures are pixel for pixel the decoded JPEG and GIF")
{
    const ui::Assets assets(GetModuleHandleW(nullptr));
    BITMAP size{};

    SUBCASE("the background, as the program paints it")
    {
        const std::vector<char> expected = decodedPixels("background.jpg", size);
        REQUIRE_FALSE(expected.empty());
        const HBITMAP painted = paintedBackground(assets, size);
        CHECK(pictures::pixels24(painted).bytes == expected);
        DeleteObject(painted);
    }
    SUBCASE("the banner")
    {
        const std::vector<char> expected = decodedPixels("banner.gif", size);
        REQUIRE_FALSE(expected.empty());
        CHECK(pictures::pixels24(assets.banner()).bytes == expected);
    }
}
