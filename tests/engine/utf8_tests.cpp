// The decoder against the table of well-formed UTF-8 byte sequences of the Unicode standard
// (chapter 3, "Well-Formed UTF-8 Byte Sequences"): the first and last sequence of every row, and
// sequences just outside each row.
#include <doctest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/text/utf8.h"
#include "tests/support/wide_strings.h"

using namespace quillora;

namespace {

// The code points of a wide string, whether wchar_t holds UTF-16 or UTF-32.
std::vector<char32_t> codePoints(const std::wstring& text)
{
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]) & (sizeof(wchar_t) == 2 ? 0xFFFF : 0x1FFFFF);
        if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size())
            c = 0x10000 + ((c - 0xD800) << 10) + ((static_cast<char32_t>(text[++i]) & 0xFFFF) - 0xDC00);
        points.push_back(c);
    }
    return points;
}

}  // namespace

TEST_CASE("every row of the standard's table of well-formed sequences decodes, first and last")
{
    struct Valid {
        std::string bytes;
        char32_t codePoint;
    };
    const Valid table[] = {
        {std::string(1, '\0'), 0x0000},
        {"\x7F", 0x007F},
        {"\xC2\x80", 0x0080},
        {"\xDF\xBF", 0x07FF},
        {"\xE0\xA0\x80", 0x0800},
        {"\xE0\xBF\xBF", 0x0FFF},
        {"\xE1\x80\x80", 0x1000},
        {"\xEC\xBF\xBF", 0xCFFF},
        {"\xED\x80\x80", 0xD000},
        {"\xED\x9F\xBF", 0xD7FF},
        {"\xEE\x80\x80", 0xE000},
        {"\xEF\xBF\xBF", 0xFFFF},
        {"\xF0\x90\x80\x80", 0x10000},
        {"\xF0\xBF\xBF\xBF", 0x3FFFF},
        {"\xF1\x80\x80\x80", 0x40000},
        {"\xF3\xBF\xBF\xBF", 0xFFFFF},
        {"\xF4\x80\x80\x80", 0x100000},
        {"\xF4\x8F\xBF\xBF", 0x10FFFF},
    };
    for (const Valid& row : table) {
        CAPTURE(row.codePoint);
        CHECK(utf8SequenceLength(row.bytes, 0) == row.bytes.size());
        CHECK(isUtf8(row.bytes));
        CHECK(codePoints(fromUtf8(row.bytes)) == std::vector<char32_t>{row.codePoint});
        CHECK(toUtf8(fromUtf8(row.bytes)) == row.bytes);
    }
}

TEST_CASE("sequences outside the table are refused: overlong, surrogates, beyond U+10FFFF, cut or stray")
{
    struct Invalid {
        const char* what;
        std::string bytes;
    };
    const Invalid table[] = {
        {"stray continuation byte 80", "\x80"},
        {"stray continuation byte BF", "\xBF"},
        {"C0: overlong form of '/'", "\xC0\xAF"},
        {"C1: overlong form of U+007F", "\xC1\xBF"},
        {"E0 below A0: overlong form of '/'", "\xE0\x80\xAF"},
        {"E0 below A0: overlong form of U+07FF", "\xE0\x9F\xBF"},
        {"F0 below 90: overlong form of '/'", "\xF0\x80\x80\xAF"},
        {"F0 below 90: overlong form of U+FFFF", "\xF0\x8F\xBF\xBF"},
        {"ED above 9F: high surrogate U+D800", "\xED\xA0\x80"},
        {"ED above 9F: low surrogate U+DFFF", "\xED\xBF\xBF"},
        {"F4 above 8F: U+110000", "\xF4\x90\x80\x80"},
        {"F5: beyond U+10FFFF", "\xF5\x80\x80\x80"},
        {"F8: a five-byte form", "\xF8\x88\x80\x80\x80"},
        {"FE", "\xFE"},
        {"FF", "\xFF"},
        {"two-byte sequence cut off", "\xC2"},
        {"three-byte sequence cut off", "\xE1\x80"},
        {"four-byte sequence cut off", "\xF1\x80\x80"},
        {"second byte not a continuation", "\xC2\x41"},
        {"third byte not a continuation", "\xE1\x80\x41"},
    };
    for (const Invalid& row : table) {
        CAPTURE(row.what);
        CHECK(utf8SequenceLength(row.bytes, 0) == 0);
        CHECK_FALSE(isUtf8(row.bytes));
        CHECK_FALSE(isUtf8("ok " + row.bytes + " ok"));
        // Each byte that starts no sequence becomes U+FFFD: no character is made of it.
        const std::vector<char32_t> decoded = codePoints(fromUtf8(row.bytes));
        CHECK(decoded.front() == 0xFFFD);
        CHECK(std::count(decoded.begin(), decoded.end(), U'/') == 0);
    }
}
