// The program carries its pictures as BMPs; they must show exactly what decoding the drawn JPEG
// and GIF through OLE, as the program once did at every start, showed.
#include <doctest.h>

#include <windows.h>

#include "tests/support/text_helpers.h"
#include "tests/ui/test_desktop.h"
#include "tools/pictures/bitmaps.h"

using namespace quillora;

TEST_CASE("the carried pictures are pixel for pixel the decoded JPEG and GIF")
{
    const ui::Assets assets(GetModuleHandleW(nullptr));
    const std::pair<const char*, HBITMAP> pictures[] = {
        {"background.jpg", assets.background()},
        {"banner.gif", assets.banner()},
    };
    for (const auto& [source, carried] : pictures) {
        CAPTURE(source);
        const pictures::OlePicture decoded(testing::projectFile(std::string("resources/") + source));
        REQUIRE(decoded.bitmap());
        const std::vector<char> expected = pictures::pixels24(decoded.bitmap()).bytes;
        REQUIRE_FALSE(expected.empty());
        CHECK(pictures::pixels24(carried).bytes == expected);
    }
}
