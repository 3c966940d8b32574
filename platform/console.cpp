#include "platform/console.h"

#include <atomic>

#include "engine/text/utf8.h"
#include "platform/handles.h"
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

void writeFileToStandard(HANDLE stream, const std::string& bytes)
{
    if (bytes.empty())
        return;
    if (!isConsole(stream)) {
        writeBytes(stream, bytes);
        return;
    }
    const bool utf16 = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
    if (!utf16) {
        writeToConsole(stream, fromUtf8(bytes));
        return;
    }
    // Windows' wchar_t is a UTF-16 unit: the bytes after the mark, a pair to a unit.
    std::wstring text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    writeToConsole(stream, text);
}

namespace {

// What the handler, which Windows calls on a thread of its own and gives no context, shares with
// the program: whether a stop was asked, and an event set once the program is done.
struct StopState {
    std::atomic<bool> requested{false};
    KernelHandle done;
};

StopState& stopState()
{
    static StopState state;
    return state;
}

// Windows ends the process 5 s after a close event whatever the handler does; a little less.
constexpr DWORD kLongestCloseWait = 4500;

BOOL WINAPI askToStop(DWORD event)
{
    StopState& state = stopState();
    state.requested = true;
    const bool ending = event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
    if (ending && state.done)
        WaitForSingleObject(state.done.get(), kLongestCloseWait);
    return TRUE;
}

}  // namespace

ConsoleStop::ConsoleStop()
{
    stopState().done.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    SetConsoleCtrlHandler(askToStop, TRUE);
}

ConsoleStop::~ConsoleStop()
{
    SetEvent(stopState().done.get());
    SetConsoleCtrlHandler(askToStop, FALSE);
}

bool ConsoleStop::requested() const
{
    return stopState().requested;
}

}  // namespace quillora::platform
