#include "ui/window/window.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/system_error.h"

namespace quillora::ui {
namespace {

struct ControlClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ControlClass controlClass(ControlKind kind)
{
    switch (kind) {
    case ControlKind::PushButton:
        return {L"BUTTON", BS_PUSHBUTTON, 0};
    case ControlKind::Label:
        return {L"STATIC", SS_LEFT, 0};
    case ControlKind::TextBox:
        return {L"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::DropDownList:
        return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 0};
    case ControlKind::ListView:
        return {WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE};
    case ControlKind::Picture:
        break;
    }
    return {L"STATIC", SS_BITMAP | SS_NOTIFY, 0};
}

// Labels carry a tab index in the design but never take the focus.
bool takesFocus(const ControlDesign& control)
{
    return control.tabIndex != kNoTabStop && control.kind != ControlKind::Label
        && control.kind != ControlKind::Picture;
}

std::vector<const ControlDesign*> inTabOrder(std::span<const ControlDesign> controls)
{
    std::vector<const ControlDesign*> ordered;
    for (const ControlDesign& control : controls)
        ordered.push_back(&control);
    std::stable_sort(ordered.begin(), ordered.end(), [](const ControlDesign* a, const ControlDesign* b) {
        const auto key = [](const ControlDesign* c) { return c->tabIndex == kNoTabStop ? INT_MAX : c->tabIndex; };
        return key(a) < key(b);
    });
    return ordered;
}

// Creates the controls of the design in tab order, so that Tab walks them as designed and earlier
// controls lie above later ones where they overlap.
void createControls(HWND parent, const WindowDesign& design, WindowHost& host)
{
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    for (const ControlDesign* control : inTabOrder(design.controls)) {
        if (control->kind == ControlKind::ListView)
            host.needCommonControls();
        const ControlClass kind = controlClass(control->kind);
        const RECT box = twipsToPixels(control->rect);
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style | control->extraStyle;
        if (takesFocus(*control))
            style |= WS_TABSTOP;
        const HWND child = CreateWindowExW(kind.exStyle, kind.className, host.text(control->caption), style, box.left,
                                           box.top, box.right - box.left, box.bottom - box.top, parent,
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(control->id)),
                                           instance, nullptr);
        if (!child)
            throw platform::systemFailure(GetLastError());
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(host.font(control->font)), FALSE);
    }
}

bool canTakeFocus(HWND control)
{
    return (GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(control)
        && IsWindowEnabled(control);
}

HWND firstTabStop(HWND window)
{
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (canTakeFocus(child))
            return child;
    }
    return nullptr;
}

bool isPushButton(HWND control)
{
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    return lstrcmpiW(className, L"BUTTON") == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

}  // namespace

std::wstring windowText(HWND window)
{
    std::vector<wchar_t> buffer(GetWindowTextLengthW(window) + 1);
    const int length = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), length);
}

Window::Window(WindowHost& host) : host_(host)
{
    host_.listen(*this);
}

Window::~Window()
{
    host_.stopListening(*this);
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

HWND Window::handle()
{
    if (!hwnd_)
        load();
    return hwnd_;
}

void Window::show()
{
    if (!isVisible())
        ShowWindow(handle(), SW_SHOW);
}

void Window::hide()
{
    if (hwnd_)
        ShowWindow(hwnd_, SW_HIDE);
}

void Window::unload()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
}

HWND Window::control(int id)
{
    return GetDlgItem(handle(), id);
}

std::wstring Window::controlText(int id)
{
    return windowText(control(id));
}

void Window::load()
{
    const WindowDesign& look = design();
    const RECT place = windowRectFor(look);
    const HWND owner = look.ownTaskbarButton ? nullptr : host_.hiddenOwner();
    const HWND created = CreateWindowExW(look.exStyle, host_.windowClassName(), host_.text(look.caption), look.style,
                                         place.left, place.top, place.right - place.left,
                                         place.bottom - place.top, owner, nullptr, host_.instance(), this);
    if (!created)
        throw platform::systemFailure(GetLastError());
    try {
        createControls(created, look, host_);
        onLoaded();
    } catch (...) {
        DestroyWindow(created);
        throw;
    }
}

void Window::languageChanged()
{
    if (!hwnd_)
        return;
    const WindowDesign& look = design();
    SetWindowTextW(hwnd_, host_.text(look.caption));
    for (const ControlDesign& control : look.controls) {
        const HWND child = GetDlgItem(hwnd_, control.id);
        if (control.caption != Text::Empty)
            SetWindowTextW(child, host_.text(control.caption));
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(host_.font(control.font)), TRUE);
    }
    onLanguageChanged();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Window::onCommand(int, int) {}

LRESULT Window::defaultProcessing(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

// The keyboard focus goes back to the control that had it, or to the first control of the tab
// order, whenever the window becomes active, as in a dialog.
void Window::restoreFocus()
{
    if (!lastFocus_ || !IsChild(hwnd_, lastFocus_) || !canTakeFocus(lastFocus_))
        lastFocus_ = firstTabStop(hwnd_);
    if (lastFocus_)
        SetFocus(lastFocus_);
}

// Enter on a focused button clicks it; no window has a default button.
void Window::clickFocusedButton()
{
    const HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus) && isPushButton(focus))
        SendMessageW(focus, BM_CLICK, 0, 0);
}

LRESULT Window::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        onClose();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && lParam == 0)
            clickFocusedButton();
        else if (lParam != 0)
            onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(hwnd_, focus))
                lastFocus_ = focus;
        } else {
            restoreFocus();
        }
        return 0;
    default:
        return defaultProcessing(message, wParam, lParam);
    }
}

// Failures never leave a window procedure: they stop the handler they happened in and are shown to
// the user, and the program stays open with everything it shows.
LRESULT Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        return onMessage(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        host_.reportFailure(hwnd_, platform::systemFailure(ERROR_NOT_ENOUGH_MEMORY));
    } catch (const std::exception& error) {
        host_.reportFailure(hwnd_, failureOf(error));
    }
    return 0;
}

LRESULT CALLBACK Window::windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->hwnd_ = hwnd;
        window->lastFocus_ = nullptr;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->hwnd_ = nullptr;
        window->lastFocus_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return window->handleMessage(message, wParam, lParam);
}

}  // namespace quillora::ui
