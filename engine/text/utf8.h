#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillora {

// UTF-8 from a wide string, whether wchar_t holds UTF-16 (Windows) or UTF-32 (Linux). An unpaired
// surrogate becomes U+FFFD rather than malformed output.
std::string toUtf8(const std::wstring& text);

// The length of the UTF-8 sequence starting at text[at], or 0 if no well-formed sequence starts
// there: overlong forms, surrogates, values above U+10FFFF, stray continuation bytes and cut-off
// sequences are all refused.
std::size_t utf8SequenceLength(const std::string& text, std::size_t at);

// Whether the whole text is well-formed UTF-8.
bool isUtf8(const std::string& text);

// A wide string from UTF-8; a byte that does not begin a valid sequence becomes U+FFFD.
std::wstring fromUtf8(const std::string& text);

// Why a file saved as UTF-16 (Notepad's "Unicode") is refused, in the one wording of every file the
// program reads.
inline constexpr char kUtf16Refused[] = "saved as UTF-16 (\"Unicode\"): save it as UTF-8";

// Whether two names are the same letters in any case, as Windows compares an ini file's names and
// the program its codes; only ASCII letters have a case here.
constexpr bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    const auto lowered = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lowered(x) == lowered(y); });
}

// The lines of a text that ends each with CR LF, without their line ends; what follows the last
// line end (a line cut short, or nothing) is left in rest.
std::vector<std::string> crlfLines(const std::string& text, std::string& rest);

// The fields of a tab-separated line, in order; a line without a tab is one field.
std::vector<std::string> tabFields(const std::string& line);

// The text without the blanks, tabs and carriage returns around it.
std::string trimmed(const std::string& text);

// The number a text of decimal digits alone writes, at most `longest` of them, so that it cannot
// overflow; nullopt for any other text.
std::optional<long long> decimalNumber(const std::string& text, std::size_t longest);

// UTF-16LE bytes, without a byte-order mark, whether wchar_t holds UTF-16 or UTF-32.
std::string toUtf16Le(const std::wstring& text);

}  // namespace quillora
