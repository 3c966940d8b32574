#include "engine/text/utf8.h"

namespace quillora {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void appendCodePoint(std::string& out, char32_t c)
{
    if (c > 0x10FFFF || isHighSurrogate(c) || isLowSurrogate(c))
        c = kReplacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendWide(std::wstring& out, char32_t c)
{
    if (sizeof(wchar_t) == 2 && c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (c >> 10));
        out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<wchar_t>(c);
    }
}

// The well-formed UTF-8 byte sequences, by their first byte: how long the sequence is and the
// range its second byte must lie in (every later byte lies in 80..BF). This leaves out overlong
// forms (C0, C1, E0 80..9F, F0 80..8F), the surrogates (ED A0..BF) and everything above U+10FFFF
// (F4 90..BF, F5..FF).
struct SequenceShape {
    unsigned char firstLow, firstHigh;
    std::size_t length;
    unsigned char secondLow, secondHigh;
};

constexpr SequenceShape kShapes[] = {
    {0x00, 0x7F, 1, 0, 0},
    {0xC2, 0xDF, 2, 0x80, 0xBF},
    {0xE0, 0xE0, 3, 0xA0, 0xBF},
    {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F},
    {0xEE, 0xEF, 3, 0x80, 0xBF},
    {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF},
    {0xF4, 0xF4, 4, 0x80, 0x8F},
};

// Decodes the sequence at text[at]; returns its length, or 0 if it is not well-formed UTF-8.
std::size_t decode(const std::string& text, std::size_t at, char32_t& c)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(at);
    for (const SequenceShape& shape : kShapes) {
        if (first < shape.firstLow || first > shape.firstHigh)
            continue;
        if (at + shape.length > text.size())
            return 0;
        if (shape.length > 1 && (byte(at + 1) < shape.secondLow || byte(at + 1) > shape.secondHigh))
            return 0;
        c = shape.length == 1 ? first : first & (0x7F >> shape.length);
        for (std::size_t i = 1; i < shape.length; ++i) {
            if ((byte(at + i) & 0xC0) != 0x80)
                return 0;
            c = (c << 6) | (byte(at + i) & 0x3F);
        }
        return shape.length;
    }
    return 0;
}

}  // namespace

std::size_t utf8SequenceLength(const std::string& text, std::size_t at)
{
    char32_t ignored = 0;
    return decode(text, at, ignored);
}

bool isUtf8(const std::string& text)
{
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8SequenceLength(text, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

std::wstring fromUtf8(const std::string& text)
{
    std::wstring out;
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = kReplacement;
        const std::size_t length = decode(text, at, c);
        appendWide(out, length ? c : kReplacement);
        at += length ? length : 1;
    }
    return out;
}

std::string toUtf8(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            c &= 0xFFFF;
            const bool paired = isHighSurrogate(c) && i + 1 < text.size()
                && isLowSurrogate(static_cast<char32_t>(text[i + 1]) & 0xFFFF);
            if (paired) {
                const char32_t low = static_cast<char32_t>(text[++i]) & 0xFFFF;
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            }
        }
        appendCodePoint(out, c);
    }
    return out;
}

std::string toUtf16Le(const std::wstring& text)
{
    std::string out;
    const auto unit = [&out](char32_t value) {
        out += static_cast<char>(value & 0xFF);
        out += static_cast<char>((value >> 8) & 0xFF);
    };
    for (wchar_t wide : text) {
        const char32_t c = static_cast<char32_t>(wide) & (sizeof(wchar_t) == 2 ? 0xFFFF : 0x1FFFFF);
        if (c < 0x10000) {
            unit(c);
        } else {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::vector<std::string> crlfLines(const std::string& text, std::string& rest)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
        lines.push_back(text.substr(from, end - from));
    rest = text.substr(from);
    return lines;
}

std::vector<std::string> tabFields(const std::string& line)
{
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
        parts.push_back(line.substr(from, tab - from));
    parts.push_back(line.substr(from));
    return parts;
}

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::optional<long long> decimalNumber(const std::string& text, std::size_t longest)
{
    if (text.empty() || text.size() > longest || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoll(text);
}

}  // namespace quillora
