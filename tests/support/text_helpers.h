#pragma once

#include <string>
#include <vector>

namespace quillora::testing {

// How often piece occurs in text, overlapping occurrences included.
template <typename Text>
std::size_t countOf(const Text& text, const Text& piece)
{
    std::size_t count = 0;
    for (auto at = text.find(piece); at != Text::npos; at = text.find(piece, at + 1))
        ++count;
    return count;
}

inline std::size_t countOf(const std::wstring& text, const wchar_t* piece)
{
    return countOf(text, std::wstring(piece));
}

inline std::size_t countOf(const std::string& text, const char* piece)
{
    return countOf(text, std::string(piece));
}

// The lines of a text with CR LF line ends; the part after the last line end is the last line.
inline std::vector<std::wstring> splitLines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (auto end = text.find(L"\r\n"); end != std::wstring::npos; end = text.find(L"\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    lines.push_back(text.substr(start));
    return lines;
}

}  // namespace quillora::testing
