#include "ui/services/services_window.h"
#include "ui/services/services_parts.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <functional>
#include <span>
#include <utility>

#include "engine/records/backups/backup_store.h"
#include "engine/choice/settings.h"
#include "engine/catalogue/catalogue.h"
#include "engine/plan/plan.h"
#include "engine/text/printable.h"
#include "engine/text/utf8.h"
#include "platform/clipboard.h"
#include "platform/message_pump.h"
#include "platform/system_error.h"
#include "ui/runs/going_back.h"
#include "ui/ids/identifiers.h"
#include "ui/window/list_view.h"
#include "ui/words/reason_words.h"

namespace quillora::ui {

using namespace services_parts;

namespace {

constexpr int kMarginTwips = 120;
constexpr int kListTopTwips = 540;
constexpr int kRunListTopTwips = 1095;  // below the two lines that say what has changed since
constexpr int kRunSummaryTwips = 510;
constexpr int kRunChoiceDropTwips = 3000;  // the height of the runs' drop-down's list, as designed
constexpr int kButtonsTwips = 360;
constexpr int kDescriptionTwips = 1500;  // the least the explanation below the list is given
constexpr int kDescriptionShare = 4;     // of what the window grows beyond its design, the explanation's share

const ControlDesign kServicesControls[] = {
    {ControlKind::Label, ServicesControls::ViewLabel, L"Label1", Text::ViewLabel, {120, 165, 900, 255}, 0, FontRole::Body},
    {ControlKind::DropDownList, ServicesControls::ViewChoice, L"Combo1", Text::Empty, {1020, 120, 3600, 3000}, 1,
     FontRole::Body},
    {ControlKind::Label, ServicesControls::ChoiceCount, L"Label2", Text::Empty, {4740, 165, 4140, 255}, kNoTabStop,
     FontRole::Body},
    {ControlKind::DropDownList, ServicesControls::RunChoice, L"Combo2", Text::Empty, {4740, 120, 4140, 3000}, 2,
     FontRole::Body, CBS_OWNERDRAWFIXED | CBS_HASSTRINGS},
    {ControlKind::Label, ServicesControls::RunSummary, L"Label3", Text::Empty, {120, 540, 8760, 510}, kNoTabStop,
     FontRole::Body},
    {ControlKind::ListView, ServicesControls::ServiceList, L"List1", Text::Empty, {120, 540, 8760, 3540}, 3, FontRole::Body},
    {ControlKind::PushButton, ServicesControls::SelectAllButton, L"Command1", Text::SelectAllButton,
     {120, 4200, 1320, 360}, 4, FontRole::Body},
    {ControlKind::PushButton, ServicesControls::SelectNoneButton, L"Command2", Text::SelectNoneButton,
     {1500, 4200, 1320, 360}, 5, FontRole::Body},
    {ControlKind::PushButton, ServicesControls::SaveChoiceButton, L"Command3", Text::SaveChoiceButton,
     {2880, 4200, 1800, 360}, 6, FontRole::Body},
    {ControlKind::PushButton, ServicesControls::ReadChoiceButton, L"Command4", Text::ReadChoiceButton,
     {4740, 4200, 1800, 360}, 7, FontRole::Body},
    {ControlKind::PushButton, ServicesControls::RestoreBeforeButton, L"Command5", Text::RestoreBeforeButton,
     {120, 4200, 5100, 360}, 8, FontRole::Body},
    {ControlKind::PushButton, ServicesControls::SetAgainButton, L"Command6", Text::SetAgainButton,
     {5280, 4200, 2400, 360}, 9, FontRole::Body},
    {ControlKind::PushButton, ServicesControls::FillFromProfileButton, L"Command7", Text::FillFromProfileButton,
     {120, 4200, 1590, 360}, 10, FontRole::Body},
    {ControlKind::PushButton, ServicesControls::FillFromMachineButton, L"Command8", Text::FillFromMachineButton,
     {1770, 4200, 1560, 360}, 11, FontRole::Body},
    {ControlKind::PushButton, ServicesControls::SaveOwnButton, L"Command9", Text::SaveChoiceButton,
     {3390, 4200, 1500, 360}, 12, FontRole::Body},
    {ControlKind::PushButton, ServicesControls::ReadOwnButton, L"Command10", Text::ReadChoiceButton,
     {4950, 4200, 1590, 360}, 13, FontRole::Body},
    {ControlKind::PushButton, ServicesControls::RunOwnButton, L"Command11", Text::RunOwnButton,
     {6600, 4200, 2220, 360}, 14, FontRole::Body},
    {ControlKind::TextBox, ServicesControls::DescriptionBox, L"Text1", Text::Empty, {120, 4680, 8760, 1500}, 20,
     FontRole::Body, ES_READONLY},
};

// The buttons of the choice, in a row below the list; they and the count of the choice are shown in
// a profile's views and not in the runs'.
constexpr int kChoiceButtons[] = {ServicesControls::SelectAllButton, ServicesControls::SelectNoneButton,
                                  ServicesControls::SaveChoiceButton, ServicesControls::ReadChoiceButton};
// The runs' own: the choice of a run, what has changed since it, and the ways back.
constexpr int kRunControls[] = {ServicesControls::RunChoice, ServicesControls::RunSummary,
                                ServicesControls::RestoreBeforeButton, ServicesControls::SetAgainButton};
constexpr int kRunButtons[] = {ServicesControls::RestoreBeforeButton, ServicesControls::SetAgainButton};
// The own profile's: filled, carried in files, and run.
constexpr int kOwnButtons[] = {ServicesControls::FillFromProfileButton, ServicesControls::FillFromMachineButton,
                               ServicesControls::SaveOwnButton, ServicesControls::ReadOwnButton,
                               ServicesControls::RunOwnButton};

const WindowDesign kServicesDesign{
    Text::ServicesCaption,
    9000,
    6300,
    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
    0,
    false,
    Placement::CentredOnScreen,
    {},
    kServicesControls,
};

// Every view's second and third columns name the service and give its key.
constexpr int kNameColumn = 1;
constexpr int kKeyColumn = 2;


// Whether a change of a row's state is a change of its check box (set, cleared, added or taken
// away).
bool checkChanges(const NMLISTVIEW& change)
{
    return (change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK);
}

// A control's font selected into a device context, for drawing or measuring the control's text,
// and taken out again.
class ControlFont {
public:
    ControlFont(HDC dc, HWND control)
        : dc_(dc), before_(SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0))))
    {
    }
    ~ControlFont() { SelectObject(dc_, before_); }
    ControlFont(const ControlFont&) = delete;
    ControlFont& operator=(const ControlFont&) = delete;

private:
    HDC dc_;
    HGDIOBJ before_;
};

// A control's own device context, with its font, for measuring its text.
class ControlDc {
public:
    explicit ControlDc(HWND control) : context_{control, GetDC(control)}, font_(context_.dc, control) {}
    ControlDc(const ControlDc&) = delete;
    ControlDc& operator=(const ControlDc&) = delete;
    HDC get() const { return context_.dc; }

private:
    struct Context {
        HWND control;
        HDC dc;
        ~Context() { ReleaseDC(control, dc); }
    };
    Context context_;
    ControlFont font_;  // taken out before the context is given back
};

std::vector<std::vector<std::wstring>> cellsOf(const std::vector<ServiceRow>& rows)
{
    std::vector<std::vector<std::wstring>> cells;
    for (const ServiceRow& row : rows)
        cells.push_back(row.cells);
    return cells;
}

}  // namespace

ServicesWindow::ServicesWindow(WindowHost& host, RunController& runs, RunResults& results, ChosenSkips& skips,
                               KeptOwnProfile& own, platform::Dialogs& dialogs, Machine& machine, platform::Waits& waits)
    : Window(host), runs_(runs), results_(results), skips_(skips), own_(own), dialogs_(dialogs), machine_(machine),
      waits_(waits)
{
    results_.listen(*this);
}

ServicesWindow::~ServicesWindow()
{
    results_.stopListening(*this);
}

const WindowDesign& ServicesWindow::windowDesign()
{
    return kServicesDesign;
}

void ServicesWindow::open()
{
    // The keyboard goes back there when this window closes, however it closes.
    const HWND active = GetForegroundWindow();
    if (!isLoaded() || active != handle())
        openedFrom_ = active;
    show();
    SetForegroundWindow(handle());
    BringWindowToTop(handle());
}

void ServicesWindow::openLastRun()
{
    open();
    chosenRun_.clear();
    if (selectedView() != kRunsView) {
        SendMessageW(control(ServicesControls::ViewChoice), CB_SETCURSEL, kRunsView, 0);
        sortColumn_ = 0;
        ascending_ = true;
    }
    showView();
}

// Another view: its rows, and the window grown to show them.
void ServicesWindow::showView()
{
    refresh();
    fitWindowToScreen(false);
}

void ServicesWindow::onLoaded()
{
    fitRunEntryHeight();
    fillViewChoice(0);
    SendMessageW(control(ServicesControls::ServiceList), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                 LVS_EX_FULLROWSELECT);
    refresh();
    fitWindowToScreen(true);
}

// Widths set by hand last until the window closes.
void ServicesWindow::onClose()
{
    for (std::map<int, int>& widths : widthsByHand_)
        widths.clear();
    machineWatch_.reset();
    unload();
    if (openedFrom_ && IsWindow(openedFrom_) && IsWindowVisible(openedFrom_))
        SetForegroundWindow(openedFrom_);
}

// A run started, a result arrived or a run was added: the runs' view shows it at once, the run
// chosen still chosen.
void ServicesWindow::resultsChanged()
{
    if (isVisible() && selectedView() == kRunsView)
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

// Every row's words are made again in the new language.
void ServicesWindow::onLanguageChanged()
{
    fitRunEntryHeight();
    fillViewChoice(selectedView());
    refresh();
}

int ServicesWindow::selectedView()
{
    const LRESULT selected = SendMessageW(control(ServicesControls::ViewChoice), CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? 0 : static_cast<int>(selected);
}

// The viewed profile where its choice can be made: a profile's view whose choice could be read.
std::optional<Profile> ServicesWindow::choosingProfile()
{
    return choice_ ? viewedProfile() : std::nullopt;
}

// Check boxes that change while this runs are the window's doing, not the user's.
void ServicesWindow::setByWindow(const std::function<void()>& change)
{
    const bool before = std::exchange(filling_, true);
    try {
        change();
    } catch (...) {
        filling_ = before;
        throw;
    }
    filling_ = before;
}

std::optional<Profile> ServicesWindow::viewedProfile()
{
    return viewKind() == ViewKind::Profile ? std::optional<Profile>(kProfiles[selectedView()]) : std::nullopt;
}

ViewKind ServicesWindow::viewKind()
{
    const int view = selectedView();
    return view == kRunsView ? ViewKind::Runs : view == kOwnView ? ViewKind::Own : ViewKind::Profile;
}

std::vector<std::wstring> ServicesWindow::columnTitles()
{
    const std::optional<WindowsVersion> windows = machine_.windowsVersion();
    const ViewKind kind = viewKind();
    std::vector<std::wstring> titles;
    for (const Text column : kind == ViewKind::Own ? ownColumns(windows)
                             : kind == ViewKind::Profile ? profileColumns(windows)
                                                         : resultColumns())
        titles.push_back(host().text(column));
    return titles;
}

void ServicesWindow::refresh()
{
    // Refilled under the keys of its open list, the drop-down would speak of one run and the list
    // of another: the refresh waits for the list to close.
    if (selectedView() == kRunsView && SendMessageW(control(ServicesControls::RunChoice), CB_GETDROPPEDSTATE, 0, 0)) {
        refreshWhenChoiceCloses_ = true;
        return;
    }
    fillRows();
    showRows();
    showDescription();
}

void ServicesWindow::fillRows()
{
    const Language language = host().language();
    const std::optional<Profile> profile = viewedProfile();
    const ViewKind kind = viewKind();
    ListView list(control(ServicesControls::ServiceList));
    setByWindow([&] { list.showCheckBoxes(false); });
    ShowWindow(control(ServicesControls::ChoiceCount), kind != ViewKind::Runs ? SW_SHOW : SW_HIDE);
    for (const int id : kChoiceButtons)
        ShowWindow(control(id), profile ? SW_SHOW : SW_HIDE);
    for (const int id : kRunControls)
        ShowWindow(control(id), kind == ViewKind::Runs ? SW_SHOW : SW_HIDE);
    for (const int id : kOwnButtons)
        ShowWindow(control(id), kind == ViewKind::Own ? SW_SHOW : SW_HIDE);
    RECT client{};
    GetClientRect(handle(), &client);
    layOut(client.right, client.bottom);  // the runs' view has a line of its own above the list
    const std::vector<std::wstring> titles = columnTitles();
    list.setColumns(titles, std::vector<int>(titles.size(), 0));
    if (kind == ViewKind::Runs) {
        fillRunChoice();
        fillRunRows(language);
        // Said again once read: until then the line would speak of the machine as it was.
        changedSinceLastSet_.reset();
        showRunSummary();
        PostMessageW(handle(), kShowLastSet, 0, 0);
        return;
    }
    watchMachine(false);
    ServiceControl* services = machine_.services();
    const std::vector<std::wstring> keys = catalogueKeys(listsFor(machine_.windowsVersion()));
    states_ = services ? services->queryAll(keys) : std::vector<std::optional<ServiceState>>(keys.size());
    if (kind == ViewKind::Own) {
        fillOwnRows(language);
        return;
    }
    choice_ = readChoice(*profile);
    // A choice that cannot be read offers no check boxes: a click would build on a choice made up.
    setByWindow([&] { list.showCheckBoxes(choice_.has_value()); });
    for (const int id : kChoiceButtons)
        EnableWindow(control(id), choice_.has_value());
    rows_ = profileRows(*profile, runs_.answersOrAllYes(), states_, machine_.windowsVersion(), language,
                        choice_.value_or(std::vector<std::wstring>{}));
}

void ServicesWindow::showRows()
{
    sortRows(rows_, static_cast<std::size_t>(sortColumn_), ascending_);
    const std::vector<std::vector<std::wstring>> cells = cellsOf(rows_);
    ListView list(control(ServicesControls::ServiceList));
    setByWindow([&] {
        list.setRows(cells);
        if (!choosingProfile())
            return;
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (rows_[i].choosable)
                list.setChecked(i, std::find(choice_->begin(), choice_->end(), rows_[i].serviceKey) == choice_->end());
            else
                list.hideCheckBox(i);
        }
    });
    fitColumns();
    showChoice();
}

// Every column as wide as its widest cell, or as the user made it; the room left over is shared
// out, and room missing is taken from the columns that give way, down to their titles.
void ServicesWindow::fitColumns()
{
    ListView list(control(ServicesControls::ServiceList));
    const std::vector<std::wstring> titles = columnTitles();
    const std::vector<std::vector<std::wstring>> cells = cellsOf(rows_);
    std::vector<int> widths = list.widthsToShow(titles, cells);
    const std::vector<int> needed = widths;
    const std::map<int, int>& byHand = widthsByHand_[static_cast<std::size_t>(viewKind())];
    int total = 0, sharing = 0;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const auto set = byHand.find(static_cast<int>(i));
        if (set != byHand.end())
            widths[i] = set->second;
        else
            sharing += widths[i];
        total += widths[i];
    }
    const int extra = list.room() - total;
    if (extra > 0 && sharing > 0) {
        // Each column not set by hand takes a share of the room left, in proportion to its width.
        for (std::size_t i = 0; i < widths.size(); ++i) {
            if (!byHand.count(static_cast<int>(i)))
                widths[i] += static_cast<int>(static_cast<long long>(extra) * widths[i] / sharing);
        }
    } else if (extra < 0) {
        // Every column shows whole before the widest takes what is left: the room missing comes
        // from the widest first, down to its title, then from the next widest. A state, a mode or
        // a result is never cut while a long name has room to give; the list ends a cut cell in "…".
        const std::vector<int> least = list.widthsToShow(titles, {});
        std::vector<std::size_t> widestFirst;
        for (std::size_t i = 0; i < widths.size(); ++i) {
            if (!byHand.count(static_cast<int>(i)))
                widestFirst.push_back(i);
        }
        std::stable_sort(widestFirst.begin(), widestFirst.end(),
                         [&](std::size_t a, std::size_t b) { return widths[a] > widths[b]; });
        int missing = -extra;
        for (const std::size_t i : widestFirst) {
            const int given = std::clamp(widths[i] - least[i], 0, missing);
            widths[i] -= given;
            missing -= given;
        }
    }
    nameCut_ = false;
    for (const int column : {kNameColumn, kKeyColumn}) {
        const auto i = static_cast<std::size_t>(column);
        nameCut_ = nameCut_ || (i < widths.size() && widths[i] < needed[i]);
    }
    const HWND handle = control(ServicesControls::ServiceList);
    for (std::size_t i = 0; i < widths.size(); ++i)
        SendMessageW(handle, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(widths[i], 0));
}

// The window opens wide enough for every column of its rows and tall enough for every row, as far
// as the screen's work area has room, centred in it; a view chosen later widens it as far.
void ServicesWindow::fitWindowToScreen(bool opening)
{
    ListView list(control(ServicesControls::ServiceList));
    const std::vector<std::vector<std::wstring>> cells = cellsOf(rows_);
    int neededWidth = GetSystemMetrics(SM_CXVSCROLL) + 4 * GetSystemMetrics(SM_CXEDGE);
    for (const int width : list.widthsToShow(columnTitles(), cells))
        neededWidth += width;
    if (viewKind() == ViewKind::Runs) {
        RECT choice{};
        GetWindowRect(control(ServicesControls::RunChoice), &choice);
        MapWindowPoints(nullptr, handle(), reinterpret_cast<POINT*>(&choice), 2);
        neededWidth = std::max(neededWidth, list.room() + widestRunEntry_ - static_cast<int>(choice.right - choice.left));
    }
    RECT work{}, window{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(handle(), &window);
    const int width = std::min<int>(window.right - window.left + std::max(0, neededWidth - list.room()),
                                    work.right - work.left);
    // The list grows by what its rows lack; the explanation below it grows in step with the window.
    const int missingHeight = std::max(0, list.heightToShow(rows_.size()) - list.height());
    const int grown = missingHeight * kDescriptionShare / (kDescriptionShare - 1);
    const int height = std::min<int>(window.bottom - window.top + (opening ? grown : 0), work.bottom - work.top);
    if (!opening) {
        // Another view grows the window where it has more to show, and keeps it where the user put
        // it, as far as the screen allows.
        if (width == window.right - window.left)
            return;
        const int left = std::max<int>(work.left, std::min<int>(window.left, work.right - width));
        SetWindowPos(handle(), nullptr, left, window.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
        // Drawn whole at once: the controls moved in it would otherwise show their old places
        // until the messages before their paint are handled.
        RedrawWindow(handle(), nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        return;
    }
    const int left = work.left + (work.right - work.left - width) / 2;
    const int top = work.top + (work.bottom - work.top - height) / 2;
    SetWindowPos(handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ServicesWindow::sortBy(int column)
{
    ascending_ = column == sortColumn_ ? !ascending_ : true;
    sortColumn_ = column;
    showRows();
    showDescription();
}

// A control's row of the design table.
const ControlDesign& ServicesWindow::designOf(int id)
{
    return *std::find_if(std::begin(kServicesControls), std::end(kServicesControls),
                         [&](const ControlDesign& control) { return control.id == id; });
}

// The runs' drop-down draws its entries itself, one line of its font high, so that the closed box,
// where the window cannot be wide enough, ends its entry in "…" as the list's cells do.
void ServicesWindow::fitRunEntryHeight()
{
    const HWND runs = control(ServicesControls::RunChoice);
    TEXTMETRICW metrics{};
    GetTextMetricsW(ControlDc(runs).get(), &metrics);
    const int height = metrics.tmHeight + 2 * GetSystemMetrics(SM_CYEDGE);
    SendMessageW(runs, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);
    SendMessageW(runs, CB_SETITEMHEIGHT, 0, height);
}

void ServicesWindow::drawRunEntry(const DRAWITEMSTRUCT& item)
{
    const bool selected = item.itemState & ODS_SELECTED;
    const bool greyed = item.itemState & ODS_DISABLED;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID != static_cast<UINT>(-1)) {
        const LRESULT length = SendMessageW(item.hwndItem, CB_GETLBTEXTLEN, item.itemID, 0);
        std::wstring text(length > 0 ? static_cast<std::size_t>(length) : 0, L'\0');
        if (length > 0)
            SendMessageW(item.hwndItem, CB_GETLBTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, GetSysColor(greyed ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        const ControlFont font(item.hDC, item.hwndItem);
        RECT room = item.rcItem;
        room.left += GetSystemMetrics(SM_CXEDGE);
        DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &room,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}

// How wide a text is in a control's own font.
int ServicesWindow::textWidth(HWND control, const std::wstring& text)
{
    SIZE size{};
    GetTextExtentPoint32W(ControlDc(control).get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// Windows' own description of the chosen service, in its own language; why a run failed on it.
void ServicesWindow::showDescription()
{
    std::wstring text = selectedView() == kRunsView ? runText() : L"";
    const int selected = ListView(control(ServicesControls::ServiceList)).focused();
    if (selected >= 0 && selected < static_cast<int>(rows_.size())) {
        const ServiceRow& row = rows_[static_cast<std::size_t>(selected)];
        ServiceControl* services = machine_.services();
        const std::wstring description = services ? services->description(row.serviceKey) : L"";
        if (!text.empty())
            text += L"\r\n\r\n";
        // A name the list cuts short is read here whole.
        if (nameCut_)
            text += row.cells[kNameColumn] + L" (" + row.serviceKey + L")\r\n\r\n";
        if (!row.note.empty())
            text += host().text(row.unknown ? Text::UnknownReason : Text::FailureReason) + row.note + L"\r\n\r\n";
        const std::wstring machineName = services ? services->displayName(row.serviceKey) : L"";
        const std::wstring notes = guidanceNotes(row.serviceKey, machineName, host().language());
        if (!notes.empty())
            text += notes + L"\r\n";
        text += description.empty() && !row.installed ? fateWord(wordingFor(host().language()), Fate::NotInstalled)
                                                      : description;
    }
    SetWindowTextW(control(ServicesControls::DescriptionBox), text.c_str());
}

std::vector<std::wstring> ServicesWindow::rowTexts()
{
    handle();
    std::vector<std::wstring> texts;
    for (const ServiceRow& row : rows_)
        texts.push_back(rowText(row));
    return texts;
}

// The selected rows as tab-separated text under the column titles, for a spreadsheet or a mail.
void ServicesWindow::copySelection()
{
    const std::wstring text =
        copiedText(columnTitles(), rows_, ListView(control(ServicesControls::ServiceList)).selected());
    if (!text.empty())
        platform::putOnClipboard(handle(), text);
}

// The list takes what the window has to spare; the explanation below it grows with the window, so
// that a tall window shows a whole quotation of Microsoft's; a row of buttons stands between them,
// the choice's in a profile's views and the ways back in the runs'. In the runs' view a line above
// the list says what has changed since the run.
void ServicesWindow::layOut(int width, int height)
{
    const int margin = twipsToPixelsX(kMarginTwips);
    const int top = twipsToPixelsY(viewKind() != ViewKind::Runs ? kListTopTwips : kRunListTopTwips);
    const int buttons = twipsToPixelsY(kButtonsTwips) + margin;
    const int band = twipsToPixelsY(kDescriptionTwips)
        + std::max(0, height - twipsToPixelsY(kServicesDesign.clientHeight)) / kDescriptionShare;
    const int listHeight = std::max(0, height - top - buttons - band - 2 * margin);
    MoveWindow(control(ServicesControls::ServiceList), margin, top, std::max(0, width - 2 * margin), listHeight, TRUE);
    MoveWindow(control(ServicesControls::RunSummary), margin, twipsToPixelsY(kListTopTwips), std::max(0, width - 2 * margin),
               twipsToPixelsY(kRunSummaryTwips), TRUE);
    // What stands right of the view's choice, the runs' drop-down and the choice's count, reaches to
    // the window's edge.
    for (const int id : {ServicesControls::RunChoice, ServicesControls::ChoiceCount}) {
        RECT place{};
        const HWND beside = control(id);
        GetWindowRect(beside, &place);
        MapWindowPoints(nullptr, handle(), reinterpret_cast<POINT*>(&place), 2);
        const int height = id == ServicesControls::RunChoice ? twipsToPixelsY(kRunChoiceDropTwips) : place.bottom - place.top;
        // Narrower than designed only where the window itself is (a 1024-pixel screen at 200 %).
        MoveWindow(beside, place.left, place.top, std::max(0, width - margin - static_cast<int>(place.left)), height, TRUE);
    }
    // A row of buttons keeps its design where the window has room for it, and narrows in proportion
    // where it has not (a 1024-pixel screen at 200 %).
    for (const std::span<const int> row : {std::span<const int>(kChoiceButtons), std::span<const int>(kRunButtons),
                                           std::span<const int>(kOwnButtons)}) {
        const TwipsRect first = designOf(row.front()).rect, last = designOf(row.back()).rect;
        const int designedSpan = twipsToPixelsX(last.left + last.width - first.left);
        const double scale = std::min(1.0, static_cast<double>(std::max(0, width - 2 * margin)) / std::max(1, designedSpan));
        for (const int id : row) {
            const TwipsRect designed = designOf(id).rect;
            MoveWindow(control(id), twipsToPixelsX(first.left) + static_cast<int>(twipsToPixelsX(designed.left - first.left) * scale),
                       top + listHeight + margin, static_cast<int>(twipsToPixelsX(designed.width) * scale),
                       twipsToPixelsY(kButtonsTwips), TRUE);
        }
    }
    MoveWindow(control(ServicesControls::DescriptionBox), margin, top + listHeight + buttons + margin,
               std::max(0, width - 2 * margin), band, TRUE);
    if (!rows_.empty())
        fitColumns();
}

bool ServicesWindow::onListNotification(const NMHDR& header, LRESULT& answer)
{
    switch (header.code) {
    case LVN_ITEMCHANGING: {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        answer = checkChanges(change) && !mayChangeCheck(change.iItem);
        return true;
    }
    case LVN_COLUMNCLICK:
        sortBy(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        return true;
    case LVN_ITEMCHANGED: {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        // A box that was there and changed: one the user toggled, not one given or taken away.
        const bool toggled = checkChanges(change) && (change.uOldState & LVIS_STATEIMAGEMASK);
        if (toggled && !filling_ && change.iItem >= 0 && viewedProfile())
            keepChoice();
        // The explanation follows the row that gets the focus; marks and selections alone leave it
        // be, so that Space on every row (Ctrl+A) shows its marks at once.
        if ((change.uChanged & LVIF_STATE) && (change.uNewState & ~change.uOldState & LVIS_FOCUSED))
            showDescription();
        return true;
    }
    case NM_SETFOCUS: {
        // Tabbed into, the list shows where the keyboard is: the first selected row, or the first.
        ListView list(control(ServicesControls::ServiceList));
        if (list.focused() < 0 && !rows_.empty()) {
            const std::vector<std::size_t> selected = list.selected();
            list.focus(selected.empty() ? 0 : selected.front());
        }
        return false;
    }
    case LVN_KEYDOWN: {
        const WORD key = reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey;
        const bool control = GetKeyState(VK_CONTROL) < 0;
        if (viewKind() == ViewKind::Own && !control && onOwnKey(key))
            return true;
        if (key == VK_SPACE)
            onSpace();
        else if (key == VK_F5)
            refresh();
        else if (control && key == 'C')
            copySelection();
        else if (control && key == 'A')
            ListView(this->control(ServicesControls::ServiceList)).selectAll();
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
        chosenRun_.clear();
        showView();
        return;
    }
    if (controlId == ServicesControls::RunChoice && notification == CBN_DROPDOWN) {
        // Open, the list shows every entry whole where the screen has room, and never runs off it.
        RECT choice{}, work{};
        GetWindowRect(control(ServicesControls::RunChoice), &choice);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int room = std::max<int>(static_cast<int>(choice.right - choice.left), work.right - choice.left);
        SendMessageW(control(ServicesControls::RunChoice), CB_SETDROPPEDWIDTH, std::min(widestRunEntry_, room), 0);
        return;
    }
    if (controlId == ServicesControls::RunChoice && notification == CBN_SELCHANGE) {
        const LRESULT chosen = SendMessageW(control(ServicesControls::RunChoice), CB_GETCURSEL, 0, 0);
        if (chosen >= 0 && static_cast<std::size_t>(chosen) < history_.size())
            chosenRun_ = history_[static_cast<std::size_t>(chosen)].name;
        // The drop-down keeps its entries: the chosen run's rows and lines follow it.
        fillRunRows(host().language());
        showRows();
        showDescription();
        return;
    }
    if (controlId == ServicesControls::RunChoice && notification == CBN_CLOSEUP && std::exchange(refreshWhenChoiceCloses_, false)) {
        refresh();
        return;
    }
    if (notification != BN_CLICKED)
        return;
    switch (controlId) {
    case ServicesControls::SelectAllButton:
        checkAll(true);
        break;
    case ServicesControls::SelectNoneButton:
        checkAll(false);
        break;
    case ServicesControls::SaveChoiceButton:
        saveChoiceToFile();
        break;
    case ServicesControls::ReadChoiceButton:
        readChoiceFromFile();
        break;
    case ServicesControls::RestoreBeforeButton:
        goBackFromChosen(false);
        break;
    case ServicesControls::SetAgainButton:
        goBackFromChosen(true);
        break;
    case ServicesControls::FillFromProfileButton:
        fillOwnFromProfile();
        break;
    case ServicesControls::FillFromMachineButton:
        fillOwnFromMachine();
        break;
    case ServicesControls::SaveOwnButton:
        saveOwnToFile();
        break;
    case ServicesControls::ReadOwnButton:
        readOwnFromFile();
        break;
    case ServicesControls::RunOwnButton:
        runs_.start(Profile::Own, handle());
        break;
    default:
        break;
    }
}

LRESULT ServicesWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        layOut(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case kSpaceHandled:
        // The list makes Space select the focused row alone, after the window has applied it to
        // every selected row: the selection is given back, so that the next Space goes the same way.
        spaceHandled_ = false;
        ListView(control(ServicesControls::ServiceList)).select(selectedAtSpace_);
        return 0;
    case kSayChoiceProblem:
        sayNextChoiceProblem();
        return 0;
    case platform::kClosesOnEscape:
        return TRUE;
    case kShowLastSet:
        showWhatDiffersFromLastSet();
        return 0;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlID != ServicesControls::RunChoice)
            break;
        drawRunEntry(item);
        return TRUE;
    }
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == control(ServicesControls::ServiceList) && viewKind() == ViewKind::Own) {
            showOwnMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam != kMachineChangedTimer)
            break;
        KillTimer(handle(), kMachineChangedTimer);
        if (isVisible() && selectedView() == kRunsView) {
            // A run's files changed: read the view again; only the services: follow their modes.
            const bool folder = std::exchange(folderChanged_, false);
            const bool services = std::exchange(servicesChanged_, false);
            if (folder)
                refresh();
            else if (services)
                followServices();
        }
        return 0;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        LRESULT answer = 0;
        if (header.idFrom == ServicesControls::ServiceList && onListNotification(header, answer))
            return answer;
        // A column widened or narrowed by hand keeps its width across changes of view.
        if ((header.code == HDN_ENDTRACKW || header.code == HDN_ENDTRACKA)
            && header.hwndFrom == reinterpret_cast<HWND>(SendMessageW(control(ServicesControls::ServiceList),
                                                                      LVM_GETHEADER, 0, 0))) {
            const auto& track = reinterpret_cast<const NMHEADERW&>(header);
            if (track.pitem && (track.pitem->mask & HDI_WIDTH))
                widthsByHand_[static_cast<std::size_t>(viewKind())][track.iItem] = track.pitem->cxy;
        }
        break;
    }
    default:
        break;
    }
    return Window::onMessage(message, wParam, lParam);
}

}  // namespace quillora::ui
