#include "platform/dialogs.h"

#include <commdlg.h>

#include "platform/process_launch.h"
#include "platform/system_error.h"

namespace quillora::platform {
namespace {

// The captions of the box about to be shown on this thread. A hook gets no data of its own: this
// is the one way to hand them to it, set only while the box is being made.
thread_local const ButtonCaptions* captionsToSet = nullptr;

// Gives the box's buttons their captions once it is made and before it is shown.
LRESULT CALLBACK captionButtons(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && captionsToSet) {
        const auto box = reinterpret_cast<HWND>(wParam);
        const std::pair<int, const std::wstring*> buttons[] = {
            {IDYES, &captionsToSet->yes}, {IDNO, &captionsToSet->no}, {IDCANCEL, &captionsToSet->cancel},
            {IDOK, &captionsToSet->ok}};
        for (const auto& [id, text] : buttons) {
            if (const HWND button = GetDlgItem(box, id))
                SetWindowTextW(button, text->c_str());
        }
        captionsToSet = nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A hook on this thread's windows for as long as it lives.
class CaptionHook {
public:
    explicit CaptionHook(const ButtonCaptions& captions)
        : hook_(SetWindowsHookExW(WH_CBT, &captionButtons, nullptr, GetCurrentThreadId()))
    {
        captionsToSet = hook_ ? &captions : nullptr;
    }
    ~CaptionHook()
    {
        captionsToSet = nullptr;
        if (hook_)
            UnhookWindowsHookEx(hook_);
    }
    CaptionHook(const CaptionHook&) = delete;
    CaptionHook& operator=(const CaptionHook&) = delete;

private:
    HHOOK hook_;
};

}  // namespace

// A box whose buttons speak the program's language where it has one.
int WindowsDialogs::messageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style)
{
    std::optional<CaptionHook> hook;
    if (captions_)
        hook.emplace(*captions_);
    return MessageBoxW(owner, text.c_str(), caption.c_str(), style);
}

void WindowsDialogs::showError(HWND owner, const std::wstring& text, const std::wstring& caption)
{
    messageBox(owner, text, caption, MB_OK | MB_ICONERROR);
}

bool WindowsDialogs::ask(HWND owner, const std::wstring& text, const std::wstring& caption)
{
    return messageBox(owner, text, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void WindowsDialogs::inform(HWND owner, const std::wstring& text, const std::wstring& caption, bool warning)
{
    messageBox(owner, text, caption, MB_OK | (warning ? MB_ICONWARNING : MB_ICONINFORMATION));
}

Dialogs::Choice WindowsDialogs::warnAndChoose(HWND owner, const std::wstring& text, const std::wstring& caption)
{
    switch (messageBox(owner, text, caption, MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON1)) {
    case IDYES:
        return Choice::Yes;
    case IDNO:
        return Choice::No;
    default:
        return Choice::Cancel;
    }
}

namespace {

using FileDialog = BOOL(WINAPI*)(OPENFILENAMEW*);
using ExtendedError = DWORD(WINAPI*)();

// The longest path Windows takes with the \\?\ prefix: a path in a deep folder, longer than
// MAX_PATH, is still a path the user chose.
constexpr DWORD kLongestPath = 32768;

}  // namespace

// The common file dialog of that name, run: the file chosen, or nullopt when the user cancels. A
// dialog that fails is said as the failure it is, never taken for a cancel.
std::optional<std::wstring> WindowsDialogs::runFileDialog(const char* name, HWND owner, const std::wstring& suggestedName,
                                                          DWORD flags)
{
    const auto dialog = reinterpret_cast<FileDialog>(commonDialog(name));
    const auto extendedError = reinterpret_cast<ExtendedError>(commonDialog("CommDlgExtendedError"));
    if (!dialog || !extendedError)
        throw systemFailure(GetLastError());
    std::wstring path(kLongestPath, L'\0');
    suggestedName.copy(path.data(), kLongestPath - 1);
    static constexpr wchar_t kFilter[] = L"*.txt\0*.txt\0*.*\0*.*\0";
    OPENFILENAMEW file{};
    file.lStructSize = sizeof file;
    file.hwndOwner = owner;
    file.lpstrFilter = kFilter;
    file.lpstrFile = path.data();
    file.nMaxFile = kLongestPath;
    file.lpstrDefExt = L"txt";
    file.Flags = flags | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!dialog(&file)) {
        if (const DWORD error = extendedError())
            throw PlatformFailure(error, L"The file dialog failed (CommDlgExtendedError " + std::to_wstring(error) + L").");
        return std::nullopt;
    }
    path.resize(path.find(L'\0'));
    return path;
}

// comdlg32 brings libraries of its own: it is loaded when a file is first chosen, not at every
// start of the program.
void* WindowsDialogs::commonDialog(const char* name)
{
    if (!commonDialogs_)
        commonDialogs_.reset(LoadLibraryW((systemDirectory() + L"\\comdlg32.dll").c_str()));
    return commonDialogs_ ? reinterpret_cast<void*>(GetProcAddress(commonDialogs_.get(), name)) : nullptr;
}

std::optional<std::wstring> WindowsDialogs::chooseFileToSave(HWND owner, const std::wstring& suggestedName)
{
    return runFileDialog("GetSaveFileNameW", owner, suggestedName, OFN_OVERWRITEPROMPT);
}

std::optional<std::wstring> WindowsDialogs::chooseFileToOpen(HWND owner)
{
    return runFileDialog("GetOpenFileNameW", owner, L"", OFN_FILEMUSTEXIST);
}

// The menu's commands are the items' indices counted from 1: TrackPopupMenu answers 0 for none.
std::optional<std::size_t> WindowsDialogs::chooseFromMenu(HWND owner, POINT at, const std::vector<std::wstring>& items,
                                                          std::optional<std::size_t> checked)
{
    const MenuHandle menu(CreatePopupMenu());
    if (!menu)
        return std::nullopt;
    for (std::size_t i = 0; i < items.size(); ++i)
        AppendMenuW(menu.get(), MF_STRING | (checked == i ? MF_CHECKED : 0), i + 1, items[i].c_str());
    // The owner must be the foreground window, or the menu would not close when the user clicks
    // elsewhere.
    SetForegroundWindow(owner);
    const UINT_PTR chosen = static_cast<UINT_PTR>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, at.x, at.y, 0, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    if (chosen == 0 || chosen > items.size())
        return std::nullopt;
    return static_cast<std::size_t>(chosen - 1);
}

}  // namespace quillora::platform
