#pragma once

#include <fstream>
#include <iterator>
#include <stdexcept>
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

// The lines of a text with these line ends (CR LF unless told); the part after the last line end
// is the last line.
inline std::vector<std::wstring> splitLines(const std::wstring& text, const std::wstring& lineEnd = L"\r\n")
{
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (auto end = text.find(lineEnd); end != std::wstring::npos; end = text.find(lineEnd, start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + lineEnd.size();
    }
    lines.push_back(text.substr(start));
    return lines;
}

// The bytes of a file of the project, named from its root.
inline std::string projectFile(const std::string& path)
{
    const std::string full = std::string(QUILLORA_SOURCE_DIR) + "/" + path;
    std::ifstream file(full, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + full);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace quillora::testing
