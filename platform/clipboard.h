#pragma once

#include <windows.h>

#include <string>

namespace quillora::platform {

// Puts text on the clipboard as Unicode text, owned by the window. Throws PlatformFailure where
// the clipboard cannot be opened or cannot take the text (no memory for it, say): the user is
// never told a copy was made that was not.
void putOnClipboard(HWND owner, const std::wstring& text);

}  // namespace quillora::platform
