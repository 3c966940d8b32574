#include "platform/console.h"

#include "engine/utf8.h"
#include "platform/system_error.h"

namespace quillora::platform {
namespace {

// Older consoles refuse very long writes; the pieces end where no surrogate pair is split.
constexpr std::size_t kConsolePiece = 8192;

bool isConsole(HANDLE stream)
{
    DWORD mode = 0;
    return GetConsoleMode(stream, &mode) != FALSE;
}

void writeToConsole(HANDLE console, const std::wstring& text)
{
    for (std::size_t start = 0; start < text.size();) {
        std::size_t length = std::min(kConsolePiece, text.size() - start);
        if (start + length < text.size() && IS_HIGH_SURROGATE(text[start + length - 1]))
            --length;
        DWORD written = 0;
        if (!WriteConsoleW(console, text.data() + start, static_cast<DWORD>(length), &written, nullptr))
            throw systemFailure(GetLastError());
        start += length;
    }
}

void writeBytes(HANDLE stream, const std::string& bytes)
{
    for (std::size_t start = 0; start < bytes.size();) {
        DWORD written = 0;
        if (!WriteFile(stream, bytes.data() + start, static_cast<DWORD>(bytes.size() - start), &written, nullptr))
            throw systemFailure(GetLastError());
        start += written;
    }
}

}  // namespace

std::string withCrLf(const std::string& text)
{
    std::string converted;
    converted.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            converted += '\r';
        converted += text[i];
    }
    return converted;
}

void writeStandard(HANDLE stream, const std::string& utf8)
{
    if (utf8.empty())
        return;
    if (isConsole(stream))
        writeToConsole(stream, fromUtf8(utf8));
    else
        writeBytes(stream, withCrLf(utf8));
}

}  // namespace quillora::platform
