#include "ui/services_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/catalogue.h"
#include "engine/service_change.h"
#include "engine/windows_needs.h"
#include "platform/system_error.h"
#include "ui/identifiers.h"
#include "ui/service_words.h"

namespace quillora::ui {
namespace {

constexpr int kLastRunView = 3;
constexpr UINT_PTR kResultTimer = 1;
constexpr UINT kResultPollMilliseconds = 500;
constexpr int kMarginTwips = 120;
constexpr int kListTopTwips = 540;
constexpr int kDescriptionTwips = 1500;

const ControlDesign kControls[] = {
    {ControlKind::Label, ServicesControls::ViewLabel, L"Label1", Text::ViewLabel, {120, 165, 900, 255}, 0, FontRole::Body},
    {ControlKind::DropDownList, ServicesControls::ViewChoice, L"Combo1", Text::Empty, {1020, 120, 3600, 3000}, 1,
     FontRole::Body},
    {ControlKind::ListView, ServicesControls::ServiceList, L"List1", Text::Empty, {120, 540, 8760, 4020}, 2, FontRole::Body},
    {ControlKind::TextBox, ServicesControls::DescriptionBox, L"Text1", Text::Empty, {120, 4680, 8760, 1500}, 3,
     FontRole::Body, ES_READONLY},
};

const WindowDesign kDesign{
    Text::ServicesCaption,
    9000,
    6300,
    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
    0,
    false,
    Placement::CentredOnScreen,
    {},
    kControls,
};

// A profile each, as the main window's buttons name them, then the last run's result.
const std::vector<Text> kViews = {Text::QuestionsButton, Text::AutomaticButton, Text::RestoreButton, Text::ViewLastRun};
const std::vector<Text> kProfileColumns = {Text::ColumnLabel, Text::ColumnName, Text::ColumnKey,
                                           Text::ColumnNow,   Text::ColumnAction, Text::ColumnChange};
const std::vector<Text> kResultColumns = {Text::ColumnLabel,  Text::ColumnName,  Text::ColumnKey,   Text::ColumnBefore,
                                          Text::ColumnAsked,  Text::ColumnAfter, Text::ColumnResult};

Text outcomeText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Changed:
        return Text::OutcomeChanged;
    case Outcome::Unchanged:
        return Text::OutcomeUnchanged;
    case Outcome::NotInstalled:
        return Text::NotInstalled;
    case Outcome::Failed:
        break;
    }
    return Text::OutcomeFailed;
}

std::wstring beforeWords(Language language, const std::optional<BackupEntry>& before)
{
    return before && before->mode ? modeWord(language, *before->mode, before->delayed)
                                  : textIn(language, Text::NotInstalled);
}

// A log label as a number and its decimal, "38.1" as {38, 1}, so that labels sort as numbers.
std::pair<int, int> labelNumber(const std::wstring& label)
{
    std::pair<int, int> number{0, 0};
    int* part = &number.first;
    for (const wchar_t c : label) {
        if (c == L'.')
            part = &number.second;
        else if (c >= L'0' && c <= L'9')
            *part = *part * 10 + (c - L'0');
    }
    return number;
}

// Log labels sort as numbers: 3.1 comes after 3 and before 4, 10 after 9.
bool lessInColumn(const std::wstring& a, const std::wstring& b, int column)
{
    if (column == 0)
        return labelNumber(a) < labelNumber(b);
    return a < b;
}

const ServiceStep* stepFor(const std::vector<ServiceStep>& steps, const std::wstring& key)
{
    const auto found = std::find_if(steps.begin(), steps.end(), [&](const ServiceStep& s) { return s.serviceKey == key; });
    return found == steps.end() ? nullptr : &*found;
}

void putOnClipboard(HWND owner, const std::wstring& text)
{
    if (!OpenClipboard(owner))
        throw platform::systemFailure(GetLastError());
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

}  // namespace

ServicesWindow::ServicesWindow(WindowHost& host, RunController& runs, platform::Desktop& desktop)
    : Window(host), runs_(runs), desktop_(desktop)
{
}

const WindowDesign& ServicesWindow::windowDesign()
{
    return kDesign;
}

void ServicesWindow::open()
{
    show();
    SetForegroundWindow(handle());
    BringWindowToTop(handle());
}

void ServicesWindow::onLoaded()
{
    fillViewChoice(0);
    SendMessageW(control(ServicesControls::ServiceList), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                 LVS_EX_FULLROWSELECT);
    SetTimer(handle(), kResultTimer, kResultPollMilliseconds, nullptr);
    refresh();
}

void ServicesWindow::fillViewChoice(int selected)
{
    const HWND choice = control(ServicesControls::ViewChoice);
    SendMessageW(choice, CB_RESETCONTENT, 0, 0);
    for (const Text view : kViews)
        SendMessageW(choice, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(host().text(view)));
    SendMessageW(choice, CB_SETCURSEL, selected, 0);
}

void ServicesWindow::onLanguageChanged()
{
    fillViewChoice(selectedView());
    refresh();
}

int ServicesWindow::selectedView()
{
    const LRESULT selected = SendMessageW(control(ServicesControls::ViewChoice), CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? 0 : static_cast<int>(selected);
}

void ServicesWindow::refresh()
{
    const int view = selectedView();
    if (view == kLastRunView) {
        fillResultRows();
    } else {
        constexpr Profile kProfiles[] = {Profile::Prompted, Profile::Automatic, Profile::Restore};
        fillProfileRows(kProfiles[view]);
    }
    showRows();
    showDescription();
}

void ServicesWindow::showColumns(const std::vector<Text>& titles)
{
    const HWND list = control(ServicesControls::ServiceList);
    while (SendMessageW(list, LVM_DELETECOLUMN, 0, 0)) {
    }
    const int widthsTwips[] = {600, 2700, 1800, 1650, 1650, 1200, 900};
    for (std::size_t i = 0; i < titles.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(host().text(titles[i]));
        column.cx = twipsToPixelsX(widthsTwips[i]);
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

// What the profile would do here: every service of the catalogue, with its state now.
void ServicesWindow::fillProfileRows(Profile profile)
{
    showColumns(kProfileColumns);
    rows_.clear();
    const std::vector<ServiceStep> steps = profileSteps(profile);
    const Answers answers = runs_.answersOrAllYes();
    const std::optional<WindowsVersion> windows = desktop_.machine().windowsVersion();
    const Language language = host().language();
    ServiceControl* services = desktop_.machine().services();
    const std::vector<std::wstring> keys = catalogueKeys();
    const std::vector<std::optional<ServiceState>> states =
        services ? services->queryAll(keys) : std::vector<std::optional<ServiceState>>(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::wstring& key = keys[i];
        const std::optional<ServiceState>& now = states[i];
        const ServiceStep* step = stepFor(steps, key);
        std::wstring action = L"-";
        std::wstring change = L"-";
        if (step) {
            const ActionKind kind = performedAction(*step, answers);
            action = actionWords(logWordsFor(language), kind);
            if (windows && touchesNeeded(*step, generationOf(*windows)))
                action += host().text(Text::NeededHere);
            if (now)
                change = host().text(pendingChange(targetOf(effectOf(kind)), *now).any() ? Text::WouldChange : Text::NoChange);
        }
        const std::wstring state = now ? stateWords(language, *now) : host().text(Text::NotInstalled);
        rows_.push_back({key, {labelOf(key), displayNameOf(key), key, state, action, change}, L""});
    }
}

// What the last run really did, once its commands have ended.
void ServicesWindow::fillResultRows()
{
    showColumns(kResultColumns);
    rows_.clear();
    showedPending_ = runs_.lastResultPending();
    const std::optional<RunResult>& result = runs_.lastResult();
    if (showedPending_ || !result)
        return;
    const Language language = host().language();
    for (const ServiceResult& service : result->services) {
        const std::wstring& key = service.serviceKey;
        const std::wstring after = service.after ? stateWords(language, *service.after) : host().text(Text::NotInstalled);
        rows_.push_back({key,
                         {labelOf(key), displayNameOf(key), key, beforeWords(language, service.before),
                          actionWords(logWordsFor(language), service.asked), after, host().text(outcomeText(service.outcome))},
                         service.reason});
    }
}

void ServicesWindow::showRows()
{
    std::stable_sort(rows_.begin(), rows_.end(), [this](const Row& a, const Row& b) {
        const std::wstring& left = a.cells[sortColumn_];
        const std::wstring& right = b.cells[sortColumn_];
        return ascending_ ? lessInColumn(left, right, sortColumn_) : lessInColumn(right, left, sortColumn_);
    });
    const HWND list = control(ServicesControls::ServiceList);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<wchar_t*>(rows_[i].cells[0].c_str());
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (std::size_t column = 1; column < rows_[i].cells.size(); ++column) {
            item.iSubItem = static_cast<int>(column);
            item.pszText = const_cast<wchar_t*>(rows_[i].cells[column].c_str());
            SendMessageW(list, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
        }
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void ServicesWindow::sortBy(int column)
{
    ascending_ = column == sortColumn_ ? !ascending_ : true;
    sortColumn_ = column;
    showRows();
    showDescription();
}

// Windows' own description of the chosen service, in its own language; why a run failed on it.
void ServicesWindow::showDescription()
{
    std::wstring text;
    if (selectedView() == kLastRunView && rows_.empty())
        text = host().text(showedPending_ ? Text::CommandsRunning : Text::NoRunYet);
    // The row with the focus: the one the user last chose, among several selected for copying.
    const int selected = static_cast<int>(
        SendMessageW(control(ServicesControls::ServiceList), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (selected >= 0 && selected < static_cast<int>(rows_.size())) {
        const Row& row = rows_[selected];
        ServiceControl* services = desktop_.machine().services();
        const std::wstring description = services ? services->description(row.serviceKey) : L"";
        text = row.note.empty() ? L"" : host().text(Text::FailureReason) + row.note + L"\r\n\r\n";
        const bool installed = services && services->query(row.serviceKey);
        text += description.empty() && !installed ? host().text(Text::NotInstalled) : description;
    }
    SetWindowTextW(control(ServicesControls::DescriptionBox), text.c_str());
}

std::vector<std::wstring> ServicesWindow::rowTexts()
{
    handle();
    std::vector<std::wstring> texts;
    for (const Row& row : rows_) {
        std::wstring line;
        for (std::size_t i = 0; i < row.cells.size(); ++i)
            line += (i ? L"\t" : L"") + row.cells[i];
        texts.push_back(line);
    }
    return texts;
}

// The selected rows as tab-separated text, for a spreadsheet or a mail.
void ServicesWindow::copySelection()
{
    const HWND list = control(ServicesControls::ServiceList);
    const std::vector<std::wstring> texts = rowTexts();
    std::wstring text;
    for (int i = -1; (i = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0;)
        text += texts[i] + L"\r\n";
    if (!text.empty())
        putOnClipboard(handle(), text);
}

void ServicesWindow::selectAll()
{
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(control(ServicesControls::ServiceList), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&item));
}

// The list takes the room the window has, the description a fixed band below it.
void ServicesWindow::layOut(int width, int height)
{
    const int margin = twipsToPixelsX(kMarginTwips);
    const int top = twipsToPixelsY(kListTopTwips);
    const int band = twipsToPixelsY(kDescriptionTwips);
    const int listHeight = std::max(0, height - top - band - 2 * margin);
    MoveWindow(control(ServicesControls::ServiceList), margin, top, std::max(0, width - 2 * margin), listHeight, TRUE);
    MoveWindow(control(ServicesControls::DescriptionBox), margin, top + listHeight + margin,
               std::max(0, width - 2 * margin), band, TRUE);
}

bool ServicesWindow::onListNotification(const NMHDR& header)
{
    switch (header.code) {
    case LVN_COLUMNCLICK:
        sortBy(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        return true;
    case LVN_ITEMCHANGED:
        showDescription();
        return true;
    case LVN_KEYDOWN: {
        const WORD key = reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey;
        const bool control = GetKeyState(VK_CONTROL) < 0;
        if (key == VK_F5)
            refresh();
        else if (control && key == 'C')
            copySelection();
        else if (control && key == 'A')
            selectAll();
        return true;
    }
    default:
        return false;
    }
}

void ServicesWindow::onCommand(int controlId, int notification)
{
    if (controlId == ServicesControls::ViewChoice && notification == CBN_SELCHANGE) {
        sortColumn_ = 0;
        ascending_ = true;
        refresh();
    }
}

LRESULT ServicesWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        layOut(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.idFrom == ServicesControls::ServiceList && onListNotification(header))
            return 0;
        break;
    }
    case WM_TIMER:
        // The result view fills in once the last run's commands have ended.
        if (wParam == kResultTimer && selectedView() == kLastRunView && showedPending_ && !runs_.lastResultPending())
            refresh();
        return 0;
    default:
        break;
    }
    return Window::onMessage(message, wParam, lParam);
}

}  // namespace quillora::ui
