#include "utf8.h"

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

}  // namespace

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

}  // namespace quillora
