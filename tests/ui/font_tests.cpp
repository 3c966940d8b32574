// The fonts the windows draw with, as the test prefix resolves them. These checks fail if the
// prefix loses its Chinese outline font (a substitute without Chinese glyphs, or a face whose
// small embedded bitmap strikes Wine draws broken) or Wine's Marlett, which draws the title-bar
// buttons.
#include <doctest.h>

#include <windows.h>

#include <string>

#include "tests/support/wide_strings.h"
#include "tests/ui/test_desktop.h"
#include "ui/window/assets.h"

using namespace quillora;
using namespace quillora::testing;

namespace {

// Characters of the program's texts that broke when the prefix drew them from bitmap strikes.
const wchar_t kChineseSample[] = L"是否退出使用效果帮助提进对于来说常用占用禁用手动自动优化完成正在请稍等";

constexpr DWORD tableTag(char a, char b, char c, char d)
{
    return static_cast<DWORD>(a) | static_cast<DWORD>(b) << 8 | static_cast<DWORD>(c) << 16
        | static_cast<DWORD>(d) << 24;
}

// A screen-compatible DC with a font selected, released when it goes.
class FontContext {
public:
    explicit FontContext(HFONT font) : dc_(CreateCompatibleDC(nullptr)), previous_(SelectObject(dc_, font)) {}
    ~FontContext()
    {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    FontContext(const FontContext&) = delete;
    FontContext& operator=(const FontContext&) = delete;

    HDC dc() const { return dc_; }
    std::wstring face() const
    {
        wchar_t name[LF_FACESIZE] = {};
        GetTextFaceW(dc_, LF_FACESIZE, name);
        return name;
    }
    bool hasTable(DWORD tag) const { return GetFontData(dc_, tag, 0, nullptr, 0) != GDI_ERROR; }
    // The English family name in the font file itself (name 1, Windows platform, US English,
    // UTF-16BE): GetTextFace
    // only repeats the name that was asked for when the prefix substitutes another font.
    std::wstring family() const
    {
        const DWORD tag = tableTag('n', 'a', 'm', 'e');
        const DWORD size = GetFontData(dc_, tag, 0, nullptr, 0);
        if (size == GDI_ERROR)
            return {};
        std::vector<unsigned char> table(size);
        GetFontData(dc_, tag, 0, table.data(), size);
        const auto word = [&](std::size_t at) { return static_cast<unsigned>(table.at(at) << 8 | table.at(at + 1)); };
        constexpr unsigned kUsEnglish = 0x0409;
        const unsigned strings = word(4);
        for (unsigned record = 0; record < word(2); ++record) {
            const std::size_t at = 6 + 12 * record;
            if (word(at) != 3 || word(at + 4) != kUsEnglish || word(at + 6) != 1)
                continue;
            std::wstring name;
            for (unsigned i = 0; i + 1 < word(at + 8); i += 2)
                name += static_cast<wchar_t>(word(strings + word(at + 10) + i));
            return name;
        }
        return {};
    }
    int missingGlyphs(const std::wstring& text) const
    {
        std::vector<WORD> indices(text.size());
        GetGlyphIndicesW(dc_, text.c_str(), static_cast<int>(text.size()), indices.data(),
                         GGI_MARK_NONEXISTING_GLYPHS);
        int missing = 0;
        for (WORD index : indices)
            missing += index == 0xFFFF;
        return missing;
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace

TEST_CASE("every font of the windows draws Chinese from outlines")
{
    const ui::Assets assets(GetModuleHandleW(nullptr));
    for (ui::FontRole role : {ui::FontRole::WindowDefault, ui::FontRole::Body, ui::FontRole::Status}) {
        const FontContext context(assets.font(role, ui::Language::Chinese));
        const std::wstring family = context.family();
        CAPTURE(family);
        // The outline font the prefixes are given for 宋体 (scripts/wine-session).
        CHECK(family == L"WenQuanYi Micro Hei");
        CHECK(context.missingGlyphs(kChineseSample) == 0);
        CHECK(context.hasTable(tableTag('g', 'l', 'y', 'f')));
        // Embedded bitmap strikes: Wine takes small sizes from them instead of the outlines.
        CHECK_FALSE(context.hasTable(tableTag('E', 'B', 'L', 'C')));
        CHECK_FALSE(context.hasTable(tableTag('b', 'l', 'o', 'c')));
    }
}

TEST_CASE("the title-bar buttons have their symbol font")
{
    LOGFONTW request{};
    request.lfHeight = -13;
    request.lfCharSet = DEFAULT_CHARSET;
    wcscpy(request.lfFaceName, L"Marlett");
    const HFONT marlett = CreateFontIndirectW(&request);
    REQUIRE(marlett);
    {
        const FontContext context(marlett);
        CHECK(context.face() == std::wstring(L"Marlett"));
    }
    DeleteObject(marlett);
}
