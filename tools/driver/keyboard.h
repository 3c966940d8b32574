#pragma once

#include <windows.h>

// Keys pressed as a keyboard presses them: as input, which reaches the foreground window in order
// with the rest of its input, so that a key meant for a menu arrives once the menu is open.
namespace quillora::keyboard {

inline void key(BYTE virtualKey, DWORD flags)
{
    keybd_event(virtualKey, static_cast<BYTE>(MapVirtualKeyW(virtualKey, 0)), flags, 0);
}

// Down and up again.
inline void press(BYTE virtualKey)
{
    key(virtualKey, 0);
    key(virtualKey, KEYEVENTF_KEYUP);
}

// Alt+Space: opens the foreground window's system menu. Leaving a menu opened so takes Escape
// twice: the first closes the menu, the second the menu mode it returns to.
inline void altSpace()
{
    key(VK_MENU, 0);
    press(VK_SPACE);
    key(VK_MENU, KEYEVENTF_KEYUP);
}

}  // namespace quillora::keyboard
