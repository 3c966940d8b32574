#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "engine/machine/failure.h"
#include "platform/dialogs.h"
#include "platform/handles.h"
#include "ui/window/assets.h"
#include "ui/words/texts.h"

namespace quillora::ui {

// The text of the message box that reports a failure: its number and the system's description.
std::wstring failureMessage(Language language, const PlatformFailure& failure);

// What is told when the language of the windows changes.
class LanguageListener {
public:
    virtual void languageChanged() = 0;

protected:
    ~LanguageListener() = default;
};

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
// way to tell the user about a failure; and the language every window speaks. It outlives every
// window that uses it.
class WindowHost {
public:
    // procedure: the window procedure of every window of the program.
    WindowHost(HINSTANCE instance, WNDPROC procedure, platform::Dialogs& dialogs, Language language);

    Language language() const { return language_; }
    // Switches every window to the language at once.
    void setLanguage(Language language);
    void listen(LanguageListener& listener);
    void stopListening(LanguageListener& listener);

    // A text of the windows, and a font, in the language of now.
    const wchar_t* text(Text id) const { return textIn(language_, id); }
    std::wstring text(Text id, std::initializer_list<std::wstring> values) const
    {
        return textIn(language_, id, values);
    }
    HFONT font(FontRole role) const { return assets_.font(role, language_); }

    HINSTANCE instance() const { return instance_; }
    const Assets& assets() const { return assets_; }
    const wchar_t* windowClassName() const { return windowClass_.name(); }
    // Owner of the windows that must not get a taskbar button; made when the first of them is.
    HWND hiddenOwner();
    // Loads the common controls before the first control of theirs is made; later calls find
    // them loaded.
    void needCommonControls();

    // Tells the user about a failure that stopped a handler; the program stays open.
    void reportFailure(HWND owner, const PlatformFailure& failure);

private:
    void captionBoxButtons();

    HINSTANCE instance_;
    platform::Dialogs& dialogs_;
    Language language_;
    std::vector<LanguageListener*> listeners_;
    platform::LibraryHandle commonControls_;  // kept loaded until every window is gone
    Assets assets_;
    WindowClass windowClass_;
    platform::WindowHandle hiddenOwner_;
};

}  // namespace quillora::ui
