#include "engine/text/printable.h"

#include <cstdio>

#include "engine/text/utf8.h"

namespace quillora {
namespace {

// Appends the sequence at text[at], escaped where it must be, and returns its length in text.
std::size_t appendPrintable(std::string& out, const std::string& text, std::size_t at)
{
    const unsigned char first = static_cast<unsigned char>(text[at]);
    const std::size_t length = utf8SequenceLength(text, at);
    const bool controlByte = first < 0x20 || first == 0x7F || length == 0;
    const bool c1 = length == 2 && first == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0;
    char escaped[8];
    if (controlByte) {
        std::snprintf(escaped, sizeof escaped, "\\x%02X", first);
        out += escaped;
        return 1;
    }
    if (c1) {
        std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned char>(text[at + 1]));
        out += escaped;
    } else {
        out.append(text, at, length);
    }
    return length;
}

}  // namespace

std::string printable(const std::string& text)
{
    std::string out;
    for (std::size_t at = 0; at < text.size();)
        at += appendPrintable(out, text, at);
    return out;
}

std::string printable(const std::wstring& text)
{
    return printable(toUtf8(text));
}

std::string printableList(const std::vector<std::wstring>& texts)
{
    std::string list;
    for (const std::wstring& text : texts)
        list += (list.empty() ? "" : ", ") + printable(text);
    return list;
}

std::string quoted(const std::string& text, std::size_t longest)
{
    std::string out = "'";
    std::size_t at = 0;
    while (at < text.size() && at < longest)
        at += appendPrintable(out, text, at);
    if (at < text.size())
        return out + "...' (" + std::to_string(text.size()) + " bytes)";
    return out + "'";
}

std::wstring visibly(const std::wstring& text, std::size_t longest)
{
    std::wstring shown;
    for (std::size_t i = 0; i < text.size() && i < longest; ++i) {
        const wchar_t c = text[i];
        const bool control = c < 0x20 || (c >= 0x7F && c < 0xA0);
        shown += c == L'\t' ? L'\u2192' : control ? L'\u25A1' : c;
    }
    if (text.size() <= longest)
        return shown;
    // Never half a character: a UTF-16 pair is cut whole.
    if (!shown.empty() && shown.back() >= 0xD800 && shown.back() <= 0xDBFF)
        shown.pop_back();
    return shown + L'\u2026';
}

std::wstring visibly(const std::string& text, std::size_t longest)
{
    return visibly(fromUtf8(text), longest);
}

}  // namespace quillora
