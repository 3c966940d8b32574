#include "ui/windows/progress_window.h"

#include "platform/system_error.h"
#include "ui/ids/identifiers.h"

namespace quillora::ui {
namespace {

const ControlDesign kControls[] = {
    {ControlKind::Label, ProgressControls::StatusLabel, L"Label1", Text::RunningStatus,
     {480, 240, 4455, 375}, 0, FontRole::Status},
    {ControlKind::TextBox, ProgressControls::LogBox, L"Text1", Text::Empty, {480, 720, 6015, 3375}, 1,
     FontRole::WindowDefault},
    {ControlKind::PushButton, ProgressControls::ExitButton, L"Command1", Text::ExitButton, {2760, 4320, 1215, 375}, 2,
     FontRole::WindowDefault, WS_DISABLED},
};

const WindowDesign kDesign{
    Text::ProgressCaption,
    7140,
    4800,
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
    WS_EX_APPWINDOW,
    true,
    Placement::CentredOnScreen,
    {},
    kControls,
};

// Replaces a window's text and makes sure all of it arrived: a log that silently lost its end
// would tell the user that fewer services were changed than really were.
void replaceText(HWND window, const std::wstring& text)
{
    const bool accepted = SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != FALSE;
    if (!accepted || GetWindowTextLengthW(window) != static_cast<int>(text.size()))
        throw platform::systemFailure(ERROR_NOT_ENOUGH_MEMORY);
}

}  // namespace

const WindowDesign& ProgressWindow::windowDesign()
{
    return kDesign;
}

std::wstring ProgressWindow::text()
{
    return controlText(ProgressControls::LogBox);
}

void ProgressWindow::setText(const std::wstring& text)
{
    replaceText(control(ProgressControls::LogBox), text);
}

// Replacing the whole text makes the box lay out every line again, so a run's cost would grow
// with the log; inserting at the end lays out only the new lines. Afterwards the box is put in the
// state a new whole text leaves: caret at the start, first line at the top, nothing to undo, not
// modified.
void ProgressWindow::append(const std::wstring& more)
{
    const HWND box = control(ProgressControls::LogBox);
    const auto before = static_cast<std::size_t>(GetWindowTextLengthW(box));
    SendMessageW(box, WM_SETREDRAW, FALSE, 0);
    SendMessageW(box, EM_SETSEL, before, before);
    SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(more.c_str()));
    const bool complete = static_cast<std::size_t>(GetWindowTextLengthW(box)) == before + more.size();
    SendMessageW(box, EM_SETSEL, 0, 0);
    SendMessageW(box, WM_VSCROLL, SB_TOP, 0);
    SendMessageW(box, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageW(box, EM_SETMODIFY, FALSE, 0);
    SendMessageW(box, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box, nullptr, TRUE);
    // A box that took less than all of it would tell the user that fewer services were changed
    // than really were.
    if (!complete)
        throw platform::systemFailure(ERROR_NOT_ENOUGH_MEMORY);
}

// Asked of the box's last line, so that a run's start costs the same whatever the log holds: the
// whole text of a long log would be copied out only to read its last two characters.
bool ProgressWindow::atLineStart()
{
    const HWND box = control(ProgressControls::LogBox);
    // An empty log is at a line's start whatever the line messages answer for it: the first run's
    // first line never starts with an empty one.
    if (GetWindowTextLengthW(box) == 0)
        return true;
    const LRESULT lastLine = SendMessageW(box, EM_GETLINECOUNT, 0, 0) - 1;
    const LRESULT lastLineStart = SendMessageW(box, EM_LINEINDEX, static_cast<WPARAM>(lastLine), 0);
    return SendMessageW(box, EM_LINELENGTH, static_cast<WPARAM>(lastLineStart), 0) == 0;
}

void ProgressWindow::setCaption(const std::wstring& caption)
{
    replaceText(handle(), caption);
}

const Wording& ProgressWindow::words()
{
    return wordingFor(host().language());
}

// The log keeps the lines already written; a completed window, the one whose exit a run has
// enabled, says so in the new language.
void ProgressWindow::onLanguageChanged()
{
    if (!IsWindowEnabled(control(ProgressControls::ExitButton)))
        return;
    setCaption(words().completedCaption);
    setStatusLabel(words().completedCaption);
}

void ProgressWindow::setStatusLabel(const std::wstring& status)
{
    replaceText(control(ProgressControls::StatusLabel), status);
}

void ProgressWindow::present()
{
    // Presented again while it shows, it stays the window it was for the run.
    if (!isVisible())
        loadedForRun_ = !isLoaded();
    show();
}

void ProgressWindow::showMakingRestorePoint()
{
    setStatusLabel(host().text(Text::MakingRestorePoint));
}

void ProgressWindow::showWaitingForEarlierCommands()
{
    setStatusLabel(host().text(Text::WaitingForEarlierCommands));
}

void ProgressWindow::withdraw()
{
    if (loadedForRun_) {
        unload();
        return;
    }
    setCaption(words().completedCaption);
    setStatusLabel(words().completedCaption);
    enableExit();
}

void ProgressWindow::showRunning()
{
    setCaption(host().text(Text::ProgressCaption));
    setStatusLabel(host().text(Text::RunningStatus));
    EnableWindow(control(ProgressControls::ExitButton), FALSE);
}

void ProgressWindow::enableExit()
{
    EnableWindow(control(ProgressControls::ExitButton), TRUE);
}

void ProgressWindow::onLoaded()
{
    // The log box has no limit of its own: without this an edit box stops at about 32,000
    // characters, typed or written.
    SendMessageW(control(ProgressControls::LogBox), EM_SETLIMITTEXT, 0, 0);
}

void ProgressWindow::onCommand(int controlId, int notification)
{
    if (controlId == ProgressControls::ExitButton && notification == BN_CLICKED)
        unload();
}

LRESULT ProgressWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto dc = reinterpret_cast<HDC>(wParam);
    const auto from = reinterpret_cast<HWND>(lParam);
    if (message == WM_CTLCOLORSTATIC && GetDlgCtrlID(from) == ProgressControls::StatusLabel) {
        SetTextColor(dc, kStatusText);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    if (message == WM_CTLCOLOREDIT && GetDlgCtrlID(from) == ProgressControls::LogBox) {
        SetTextColor(dc, kLogText);
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    return Window::onMessage(message, wParam, lParam);
}

}  // namespace quillora::ui
