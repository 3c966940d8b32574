#include "ui/window/window_host.h"

#include <algorithm>

#include "platform/common_controls.h"
#include "platform/system_error.h"
#include "resources/resource_ids.h"
#include "ui/ids/identifiers.h"
#include "ui/words/reason_words.h"

namespace quillora::ui {
namespace {

HWND createHiddenOwner(HINSTANCE instance)
{
    const HWND owner = CreateWindowExW(0, L"STATIC", kMainCaption, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                       instance, nullptr);
    if (!owner)
        throw platform::systemFailure(GetLastError());
    return owner;
}

}  // namespace

std::wstring failureMessage(Language language, const PlatformFailure& failure)
{
    return textIn(language, Text::RuntimeError, {std::to_wstring(failure.number()), reasonIn(language, failure)});
}

WindowClass::WindowClass(HINSTANCE instance, WNDPROC procedure) : instance_(instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    // Icons loaded this way are shared by the system and never destroyed by us.
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClassName;
    if (!RegisterClassExW(&windowClass))
        throw platform::systemFailure(GetLastError());
}

WindowClass::~WindowClass()
{
    UnregisterClassW(kWindowClassName, instance_);
}

const wchar_t* WindowClass::name() const
{
    return kWindowClassName;
}

WindowHost::WindowHost(HINSTANCE instance, WNDPROC procedure, platform::Dialogs& dialogs, Language language)
    : instance_(instance), dialogs_(dialogs), language_(language), assets_(instance), windowClass_(instance, procedure)
{
    captionBoxButtons();
}

// Every box's buttons in the windows' language, whatever language Windows writes them in.
void WindowHost::captionBoxButtons()
{
    dialogs_.useButtonCaptions({text(Text::BoxYes), text(Text::BoxNo), text(Text::BoxCancel), text(Text::BoxOk)});
}

void WindowHost::needCommonControls()
{
    if (!commonControls_)
        commonControls_ = platform::loadCommonControls();
}

void WindowHost::setLanguage(Language language)
{
    language_ = language;
    captionBoxButtons();
    for (LanguageListener* listener : listeners_)
        listener->languageChanged();
}

void WindowHost::listen(LanguageListener& listener)
{
    listeners_.push_back(&listener);
}

void WindowHost::stopListening(LanguageListener& listener)
{
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), &listener), listeners_.end());
}

HWND WindowHost::hiddenOwner()
{
    if (!hiddenOwner_)
        hiddenOwner_.reset(createHiddenOwner(instance_));
    return hiddenOwner_.get();
}

void WindowHost::reportFailure(HWND owner, const PlatformFailure& failure)
{
    dialogs_.showError(owner, failureMessage(language_, failure), text(Text::MainCaption));
}

}  // namespace quillora::ui
