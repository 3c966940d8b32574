#pragma once

#include <windows.h>

#include <string>

#include "ui/window/design.h"
#include "ui/window/window_host.h"

namespace quillora::ui {

// One of the program's windows: a single shared instance that lives as long as the program and
// loads its Windows window on first use. Closing the window destroys the Windows window; the next
// access loads it afresh, in its design state.
class Window : public LanguageListener {
public:
    explicit Window(WindowHost& host);
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The window's handle; loads the window, hidden, if it is not loaded.
    HWND handle();
    bool isLoaded() const { return hwnd_ != nullptr; }
    bool isVisible() const { return hwnd_ && IsWindowVisible(hwnd_); }

    // Loads the window if needed and makes it visible; a visible window stays as it is.
    void show();
    // Makes the window invisible; it keeps its content and its place.
    void hide();
    // Destroys the window and all its content.
    void unload();

    // A control of the window, by its id; loads the window first.
    HWND control(int id);
    std::wstring controlText(int id);

    // Puts the window's captions and fonts in the host's language of now.
    void languageChanged() override;

    // The window procedure of every window of the program.
    static LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual const WindowDesign& design() const = 0;
    // Called once the controls of a freshly loaded window exist.
    virtual void onLoaded() {}
    virtual void onCommand(int controlId, int notification);
    // Every message of the window; the default handles closing, commands and the focus.
    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // What the title-bar close does; unloads the window unless a window says otherwise.
    virtual void onClose() { unload(); }
    // Called after the captions of a loaded window have changed language, for the rest it shows.
    virtual void onLanguageChanged() {}

    LRESULT defaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);
    WindowHost& host() const { return host_; }

private:
    void load();
    void restoreFocus();
    void clickFocusedButton();
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    WindowHost& host_;
    HWND hwnd_ = nullptr;
    HWND lastFocus_ = nullptr;
};

// Text of any window or control.
std::wstring windowText(HWND window);

}  // namespace quillora::ui
