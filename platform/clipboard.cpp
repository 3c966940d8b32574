#include "platform/clipboard.h"

#include <cstring>

#include "platform/system_error.h"

namespace quillora::platform {
namespace {

// The clipboard, open for as long as it lives.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner)
    {
        if (!OpenClipboard(owner))
            throw systemFailure(GetLastError());
    }
    ~OpenedClipboard() { CloseClipboard(); }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

// Moveable memory holding the text, as the clipboard takes it; freed unless given away.
class ClipboardMemory {
public:
    explicit ClipboardMemory(const std::wstring& text)
    {
        const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        memory_ = GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (!memory_)
            throw systemFailure(GetLastError());
        void* locked = GlobalLock(memory_);
        if (!locked) {
            const DWORD error = GetLastError();
            GlobalFree(memory_);
            throw systemFailure(error);
        }
        std::memcpy(locked, text.c_str(), bytes);
        GlobalUnlock(memory_);
    }
    ~ClipboardMemory()
    {
        if (memory_)
            GlobalFree(memory_);
    }
    ClipboardMemory(const ClipboardMemory&) = delete;
    ClipboardMemory& operator=(const ClipboardMemory&) = delete;

    HGLOBAL get() const { return memory_; }
    // The clipboard owns the memory once it has taken it.
    void givenAway() { memory_ = nullptr; }

private:
    HGLOBAL memory_ = nullptr;
};

}  // namespace

void putOnClipboard(HWND owner, const std::wstring& text)
{
    ClipboardMemory memory(text);
    const OpenedClipboard clipboard(owner);
    if (!EmptyClipboard())
        throw systemFailure(GetLastError());
    if (!SetClipboardData(CF_UNICODETEXT, memory.get()))
        throw systemFailure(GetLastError());
    memory.givenAway();
}

}  // namespace quillora::platform
