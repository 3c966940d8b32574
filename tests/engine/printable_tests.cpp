#include <doctest.h>

#include <string>

#include "engine/text/printable.h"

using quillora::printable;
using quillora::quoted;

TEST_CASE("text from outside is printed with every control character escaped and nothing else changed")
{
    struct Case {
        const char* what;
        std::string text;
        std::string shown;
        std::wstring inWindow;  // as a box shows it
    };
    const Case cases[] = {
        {"plain text", "C:\\Users\\me\\backup 1.txt", "C:\\Users\\me\\backup 1.txt", L"C:\\Users\\me\\backup 1.txt"},
        {"Chinese", "\xE8\x87\xAA\xE5\x8A\xA8", "\xE8\x87\xAA\xE5\x8A\xA8", L"\u81EA\u52A8"},
        {"a terminal title sequence", "a\x1B]0;owned\x07z", "a\\x1B]0;owned\\x07z", L"a\u25A1]0;owned\u25A1z"},
        {"tab, line feed and carriage return", "a\tb\nc\rd", "a\\x09b\\x0Ac\\x0Dd", L"a\u2192b\u25A1c\u25A1d"},
        {"NUL and DEL", std::string("a\0b\x7F", 4), "a\\x00b\\x7F", L"a\u25A1b\u25A1"},
        {"C1 controls: CSI and NEL", "\xC2\x9B" "2J\xC2\x85", "\\u009B2J\\u0085", L"\u25A12J\u25A1"},
        {"the first character after C1 stays", "\xC2\xA0", "\xC2\xA0", L"\u00A0"},
        {"bytes that are not UTF-8", "a\xC0\xAF\xFF", "a\\xC0\\xAF\\xFF", L"a\uFFFD\uFFFD\uFFFD"},
        {"a surrogate in UTF-8 form", "\xED\xA0\x80", "\\xED\\xA0\\x80", L"\uFFFD\uFFFD\uFFFD"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.what);
        CHECK(printable(c.text) == c.shown);
        // What is printed once prints the same again: an escape is never escaped twice.
        CHECK(printable(c.shown) == c.shown);
        CHECK(quillora::visibly(c.text) == c.inWindow);
    }
    // Cut at 60 characters, Chinese ones too.
    CHECK(quillora::visibly(std::string(20, 'x') + std::string(41, '\t')) == std::wstring(20, L'x') + std::wstring(40, L'\u2192') + L"\u2026");
}

TEST_CASE("a quoted text is cut at a character, never inside one, and says how long it was")
{
    CHECK(quoted("backup.txt") == "'backup.txt'");
    CHECK(quoted(std::string(61, 'x')) == "'" + std::string(60, 'x') + "...' (61 bytes)");
    CHECK(quoted(std::string(60, 'x')) == "'" + std::string(60, 'x') + "'");
    // 59 letters and a three-byte character: the character is kept whole.
    const std::string text = std::string(59, 'x') + "\xE8\x87\xAA" + "y";
    CHECK(quoted(text) == "'" + std::string(59, 'x') + "\xE8\x87\xAA...' (63 bytes)");
    CHECK(quoted("\x1B\x1B\x1B", 2) == "'\\x1B\\x1B...' (3 bytes)");
}
