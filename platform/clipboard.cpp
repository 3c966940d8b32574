#include "platform/clipboard.h"

#include <cstring>

#include "platform/system_error.h"

namespace quillora::platform {

void putOnClipboard(HWND owner, const std::wstring& text)
{
    if (!OpenClipboard(owner))
        throw systemFailure(GetLastError());
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory) {
        std::memcpy(GlobalLock(memory), text.c_str(), bytes);
        GlobalUnlock(memory);
        // The clipboard owns the memory once it takes it.
        if (!SetClipboardData(CF_UNICODETEXT, memory))
            GlobalFree(memory);
    }
    CloseClipboard();
}

}  // namespace quillora::platform
