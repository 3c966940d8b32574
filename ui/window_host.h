#pragma once

#include <windows.h>

#include <string>

#include "engine/failure.h"
#include "platform/desktop.h"
#include "platform/handles.h"
#include "ui/assets.h"

namespace quillora::ui {

// The text of the message box that reports a failure: its number and the system's description.
std::wstring failureMessage(const PlatformFailure& failure);

// The registered window class of every window of the program; unregistered when it goes.
class WindowClass {
public:
    WindowClass(HINSTANCE instance, WNDPROC procedure);
    ~WindowClass();
    WindowClass(const WindowClass&) = delete;
    WindowClass& operator=(const WindowClass&) = delete;
    const wchar_t* name() const;

private:
    HINSTANCE instance_;
};

// What every window of the program needs to exist: the instance, the window class, the fonts,
// brushes and pictures it draws with, the hidden owner of windows without a taskbar button, and a
// way to tell the user about a failure. It outlives every window that uses it.
class WindowHost {
public:
    // procedure: the window procedure of every window of the program.
    WindowHost(HINSTANCE instance, WNDPROC procedure, platform::Desktop& desktop);

    HINSTANCE instance() const { return instance_; }
    const Assets& assets() const { return assets_; }
    const wchar_t* windowClassName() const { return windowClass_.name(); }
    // Owner of the windows that must not get a taskbar button; made when the first of them is.
    HWND hiddenOwner();

    // Tells the user about a failure that stopped a handler; the program stays open.
    void reportFailure(HWND owner, const PlatformFailure& failure);

private:
    HINSTANCE instance_;
    platform::Desktop& desktop_;
    Assets assets_;
    WindowClass windowClass_;
    platform::WindowHandle hiddenOwner_;
};

}  // namespace quillora::ui
