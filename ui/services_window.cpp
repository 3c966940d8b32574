#include "ui/services_window.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <span>
#include <utility>

#include "engine/records/backup_store.h"
#include "engine/choice/settings.h"
#include "engine/catalogue/catalogue.h"
#include "engine/plan/plan.h"
#include "engine/text/printable.h"
#include "engine/text/utf8.h"
#include "platform/clipboard.h"
#include "platform/message_pump.h"
#include "platform/system_error.h"
#include "ui/going_back.h"
#include "ui/identifiers.h"
#include "ui/list_view.h"
#include "ui/reason_words.h"

namespace quillora::ui {
namespace {

constexpr int kRunsView = 3;
constexpr UINT_PTR kMachineChangedTimer = 1;
constexpr UINT kMachineChangedDelayMs = 300;  // after the last change of a burst
constexpr int kMarginTwips = 120;
constexpr int kListTopTwips = 540;
constexpr int kRunListTopTwips = 1095;  // below the two lines that say what has changed since
constexpr int kRunSummaryTwips = 510;
constexpr int kRunChoiceLeastTwips = 4140;  // the runs' drop-down as designed, and its list's height
constexpr int kRunChoiceDropTwips = 3000;
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
     FontRole::Body},
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
    {ControlKind::TextBox, ServicesControls::DescriptionBox, L"Text1", Text::Empty, {120, 4680, 8760, 1500}, 10,
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

// A profile each, as the main window's buttons name them, then the runs so far.
const std::vector<Text> kViews = {Text::QuestionsButton, Text::AutomaticButton, Text::RestoreButton, Text::ViewRuns};
constexpr Profile kProfiles[] = {Profile::Prompted, Profile::Automatic, Profile::Restore};
// Where the list is too narrow for every cell, the columns that give way, first to last: the
// service's name, its key, then the states; the columns that decide (what the profile does, whether
// Windows needs it, whether it changes; what was asked and the result) always show whole.
// Where the window is too narrow, the key, the mode before and what was asked give way before the
// name, which is what a reader looks for.
constexpr int kProfileGivesWay[] = {2, 3, 1};
constexpr int kResultGivesWay[] = {2, 3, 5, 7, 1};
constexpr int kNameColumn = 1;

// Posted when a Space key press has been handled whole, list view's own toggle included.
constexpr UINT kSpaceHandled = WM_APP + 1;
// Posted to say that the choice cannot be read or saved, once the window is up and the key press
// or click that met the problem is handled whole: a box opened inside a key press would let its
// messages through, and the list would take the key again.
constexpr UINT kSayChoiceProblem = WM_APP + 2;

// Whether a change of a row's state is a change of its check box (set, cleared, added or taken
// away).
bool checkChanges(const NMLISTVIEW& change)
{
    return (change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK);
}

std::vector<std::vector<std::wstring>> cellsOf(const std::vector<ServiceRow>& rows)
{
    std::vector<std::vector<std::wstring>> cells;
    for (const ServiceRow& row : rows)
        cells.push_back(row.cells);
    return cells;
}

}  // namespace

ServicesWindow::ServicesWindow(WindowHost& host, const RunController& runs, RunResults& results, ChosenSkips& skips,
                               platform::Dialogs& dialogs, Machine& machine, platform::Waits& waits)
    : Window(host), runs_(runs), results_(results), skips_(skips), dialogs_(dialogs), machine_(machine), waits_(waits)
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
    refresh();
}

void ServicesWindow::onLoaded()
{
    fillViewChoice(0);
    SendMessageW(control(ServicesControls::ServiceList), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                 LVS_EX_FULLROWSELECT);
    refresh();
    fitWindowToScreen();
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
    const int view = selectedView();
    return view == kRunsView ? std::nullopt : std::optional<Profile>(kProfiles[view]);
}

std::vector<std::wstring> ServicesWindow::columnTitles()
{
    std::vector<std::wstring> titles;
    for (const Text column : viewedProfile() ? profileColumns(machine_.windowsVersion()) : resultColumns())
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
    ListView list(control(ServicesControls::ServiceList));
    setByWindow([&] { list.showCheckBoxes(false); });
    ShowWindow(control(ServicesControls::ChoiceCount), profile ? SW_SHOW : SW_HIDE);
    for (const int id : kChoiceButtons)
        ShowWindow(control(id), profile ? SW_SHOW : SW_HIDE);
    for (const int id : kRunControls)
        ShowWindow(control(id), profile ? SW_HIDE : SW_SHOW);
    RECT client{};
    GetClientRect(handle(), &client);
    layOut(client.right, client.bottom);  // the runs' view has a line of its own above the list
    const std::vector<std::wstring> titles = columnTitles();
    list.setColumns(titles, std::vector<int>(titles.size(), 0));
    watchMachine(!profile);
    if (!profile) {
        fillRunChoice();
        fillRunRows(language);
        return;
    }
    ServiceControl* services = machine_.services();
    const std::vector<std::wstring> keys = catalogueKeys(listsFor(machine_.windowsVersion()));
    states_ = services ? services->queryAll(keys) : std::vector<std::optional<ServiceState>>(keys.size());
    choice_ = readChoice(*profile);
    // A choice that cannot be read offers no check boxes: a click would build on a choice made up.
    setByWindow([&] { list.showCheckBoxes(choice_.has_value()); });
    for (const int id : kChoiceButtons)
        EnableWindow(control(id), choice_.has_value());
    rows_ = profileRows(*profile, runs_.answersOrAllYes(), states_, machine_.windowsVersion(), language,
                        choice_.value_or(std::vector<std::wstring>{}));
}

// The profile's choice as saved; nullopt where it cannot be read, which is said once until it can
// be read again.
std::optional<std::vector<std::wstring>> ServicesWindow::readChoice(Profile profile)
{
    try {
        std::vector<std::wstring> keys = skips_.skipped(profile);
        choiceUnreadableSaid_ = false;
        return keys;
    } catch (const PlatformFailure& failure) {
        if (!std::exchange(choiceUnreadableSaid_, true)) {
            // Said once the window is up: the list may be filled while it is still being made.
            sayChoiceProblem(failureText(host().language(), Text::ChoiceNotRead, failure));
        }
        return std::nullopt;
    }
}

void ServicesWindow::sayChoiceProblem(std::wstring text)
{
    choiceProblems_.push_back(std::move(text));
    PostMessageW(handle(), kSayChoiceProblem, 0, 0);
}

// Each problem in the order it arose, one box for each; a box lets messages through, so a problem
// that arises while one waits is said after it.
void ServicesWindow::sayNextChoiceProblem()
{
    if (choiceProblems_.empty())
        return;
    const std::wstring text = std::move(choiceProblems_.front());
    choiceProblems_.pop_front();
    dialogs_.showError(handle(), text, kMainCaption);
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
    const std::map<int, int>& byHand = widthsByHand_[viewedProfile() ? 0 : 1];
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
        const std::vector<int> least = list.widthsToShow(titles, {});
        int missing = -extra;
        const std::span<const int> givingWay = viewedProfile() ? std::span<const int>(kProfileGivesWay)
                                                               : std::span<const int>(kResultGivesWay);
        for (const int column : givingWay) {
            const auto i = static_cast<std::size_t>(column);
            if (i >= widths.size() || byHand.count(column))
                continue;
            const int given = std::clamp(widths[i] - least[i], 0, missing);
            widths[i] -= given;
            missing -= given;
        }
    }
    nameCut_ = widths.size() > kNameColumn && widths[kNameColumn] < needed[kNameColumn];
    const HWND handle = control(ServicesControls::ServiceList);
    for (std::size_t i = 0; i < widths.size(); ++i)
        SendMessageW(handle, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(widths[i], 0));
}

// The window opens wide enough for every column of its rows and tall enough for every row, as far
// as the screen's work area has room, centred in it.
void ServicesWindow::fitWindowToScreen()
{
    ListView list(control(ServicesControls::ServiceList));
    const std::vector<std::vector<std::wstring>> cells = cellsOf(rows_);
    int neededWidth = GetSystemMetrics(SM_CXVSCROLL) + 4 * GetSystemMetrics(SM_CXEDGE);
    for (const int width : list.widthsToShow(columnTitles(), cells))
        neededWidth += width;
    if (!viewedProfile()) {
        RECT choice{};
        GetWindowRect(control(ServicesControls::RunChoice), &choice);
        MapWindowPoints(nullptr, handle(), reinterpret_cast<POINT*>(&choice), 2);
        neededWidth = std::max(neededWidth, list.room() + choice.left + widestRunEntry_ - choice.right);
    }
    RECT work{}, window{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(handle(), &window);
    const int width = std::min<int>(window.right - window.left + std::max(0, neededWidth - list.room()),
                                    work.right - work.left);
    // The list grows by what its rows lack; the explanation below it grows in step with the window.
    const int missingHeight = std::max(0, list.heightToShow(rows_.size()) - list.height());
    const int grown = missingHeight * kDescriptionShare / (kDescriptionShare - 1);
    const int height = std::min<int>(window.bottom - window.top + grown, work.bottom - work.top);
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

// How wide a text is in a control's own font.
int ServicesWindow::textWidth(HWND control, const std::wstring& text)
{
    const HDC dc = GetDC(control);
    const HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, before);
    ReleaseDC(control, dc);
    return size.cx;
}

// While the runs' view shows, the machine is watched: a burst of changes (a run writes its backup,
// its history, and sets many services) is shown once, a moment after the last of them.
void ServicesWindow::watchMachine(bool on)
{
    if (!on) {
        machineWatch_.reset();
        return;
    }
    if (machineWatch_ || !machine_.services())
        return;
    std::string folder;
    try {
        folder = dataFolder(machine_);
    } catch (const PlatformFailure&) {
        // No folder to watch: the services still are.
    }
    machineWatch_ = std::make_unique<platform::ChangeWatch>(waits_, folder, [this] {
        SetTimer(handle(), kMachineChangedTimer, kMachineChangedDelayMs, nullptr);
    });
}

// The runs so far, newest first, each by when it started, what made it and its counts. The newest
// stays chosen as new runs come, an earlier run chosen stays chosen while it is listed, and the
// newest is chosen otherwise.
void ServicesWindow::fillRunChoice()
{
    const bool newestChosen = history_.empty() || history_.front().name == chosenRun_;
    historyProblem_.reset();
    try {
        history_ = machine_.services() ? runHistory(machine_) : std::vector<HistoryRun>{};
    } catch (const PlatformFailure& failure) {
        history_.clear();
        historyProblem_ = failure;
    }
    if (newestChosen || !findRun(history_, chosenRun_))
        chosenRun_ = history_.empty() ? "" : history_.front().name;
    const HWND choice = control(ServicesControls::RunChoice);
    SendMessageW(choice, CB_RESETCONTENT, 0, 0);
    std::vector<std::vector<std::wstring>> entries;
    for (std::size_t i = 0; i < history_.size(); ++i) {
        const HistoryRun& run = history_[i];
        std::wstring text = visibly(runTimeOf(run)) + L"  " + madeByWords(run);
        if (run.counts)
            text += L"  " + countWords(*run.counts);
        SendMessageW(choice, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (run.name == chosenRun_)
            SendMessageW(choice, CB_SETCURSEL, i, 0);
        entries.push_back({std::move(text)});
    }
    // Opened, its list shows every entry whole, measured in the box's own font; closed, the box
    // reaches to the window's edge, which grows to show the widest entry where the screen allows.
    widestRunEntry_ = 0;
    for (const std::vector<std::wstring>& entry : entries)
        widestRunEntry_ = std::max(widestRunEntry_, textWidth(choice, entry.front()));
    widestRunEntry_ += GetSystemMetrics(SM_CXVSCROLL) + 4 * GetSystemMetrics(SM_CXEDGE);
    SendMessageW(choice, CB_SETDROPPEDWIDTH, widestRunEntry_, 0);
}

const HistoryRun* ServicesWindow::chosenRun() const
{
    return findRun(history_, chosenRun_);
}

// What made a run, in the window's language: a profile as the main window's buttons name it, with
// the answers where it asked; apply as the command line says it; a way back, with the time of the
// run it went back to.
std::wstring ServicesWindow::madeByWords(const HistoryRun& run) const
{
    if (!run.origin)
        return host().text(Text::MadeByUnknown);
    const RunOrigin& origin = *run.origin;
    std::wstring answers;
    for (const char letter : origin.answers)
        answers += (answers.empty() ? L"" : wordingFor(host().language()).comma)
            + std::wstring(host().text(letter == 'y' ? Text::YesWord : Text::NoWord));
    const std::wstring answered = answers.empty() ? L"" : L" " + host().text(Text::AnswersShown, {answers});
    // A run no longer listed is named as the file says it, shown safely.
    const auto timeOf = [&](const std::string& name) {
        const HistoryRun* earlier = findRun(history_, name);
        return earlier ? visibly(runTimeOf(*earlier)) : visibly(name);
    };
    switch (origin.maker) {
    case RunMaker::Window: {
        // A profile's view is named as its button.
        const auto view = std::find(std::begin(kProfiles), std::end(kProfiles), *origin.profile) - std::begin(kProfiles);
        return host().text(kViews[static_cast<std::size_t>(view)]) + answered;
    }
    case RunMaker::Apply:
        return fromUtf8("quillora-cli apply " + std::string(profileName(*origin.profile))) + answered;
    case RunMaker::RestoreBefore:
        return host().text(Text::MadeByRestoreBefore, {timeOf(origin.run)});
    case RunMaker::SetAgain:
        return host().text(Text::MadeBySetAgain, {timeOf(origin.run)});
    case RunMaker::RestoreFile:
        return host().text(Text::MadeByRestoreFile, {visibly(origin.run)});
    case RunMaker::SetAgainDrifted:
        return host().text(Text::MadeBySetAgainDrifted);
    case RunMaker::Undo:
        break;
    }
    return host().text(Text::MadeByUndo, {timeOf(origin.run)});
}

// What Windows answered when the run asked for a restore point.
std::wstring ServicesWindow::restorePointWords(const RestorePointAnswer& answer) const
{
    switch (answer.kind) {
    case RestorePointAnswer::Kind::Made:
        return host().text(Text::RestorePointMade, {std::to_wstring(answer.sequence)});
    case RestorePointAnswer::Kind::AlreadyMade:
        return host().text(Text::RestorePointAlreadyMade, {std::to_wstring(answer.sequence)});
    case RestorePointAnswer::Kind::Off:
        break;
    case RestorePointAnswer::Kind::Refused:
        // Wine, for one, answers no without a reason.
        return answer.error == 0 ? std::wstring(host().text(Text::RestorePointNoReason))
                                 : host().text(Text::RestorePointRefused, {std::to_wstring(answer.error)});
    }
    return host().text(Text::RestorePointOff);
}

// "已更改 3，未更改 5，失败 0，保留 2": in the words of the result column.
std::wstring ServicesWindow::countWords(const RunCounts& counts) const
{
    const Wording& words = wordingFor(host().language());
    const auto part = [](const wchar_t* word, int count) { return word + (L" " + std::to_wstring(count)); };
    return part(words.changed, counts.changed) + words.comma + part(words.unchanged, counts.unchanged) + words.comma
        + part(words.failed, counts.failed) + words.comma + part(words.leftAlone, counts.kept);
}

// The chosen run's services as its result has them, or its backup where none was saved, and what
// has changed since: each mode it left that differs now.
void ServicesWindow::fillRunRows(Language language)
{
    rows_.clear();
    changedSince_.clear();
    runDetail_.reset();
    changedSinceLastSet_.reset();
    if (ServiceControl* services = machine_.services(); services && !results_.anyPending()) {
        const std::vector<LastSet> lastSet = lastSetModes(machine_, history_);
        if (!lastSet.empty())
            changedSinceLastSet_ = changedSinceLastSet(lastSet, *services, machine_.windowsVersion());
    }
    const HistoryRun* run = chosenRun();
    if (run && !results_.pending(run->backup.path)) {
        runDetail_ = readRun(machine_, *run);
        ServiceControl* services = machine_.services();
        if (runDetail_->result && services)
            changedSince_ = changedSince(*runDetail_->result, *services, machine_.windowsVersion());
        const bool resultUnusable = run->backup.hasResult && !runDetail_->result;
        rows_ = resultRows(runDetail_->shown, language, [](unsigned long error) { return platform::systemErrorText(error); },
                           changedSince_, resultUnusable ? WithoutResult::Unusable : WithoutResult::NotSaved);
    }
    showRunSummary();
}

// The lines above the list: what has changed since the chosen run, and since the program last set
// each service, whichever run set it; and which way back the chosen run offers now.
void ServicesWindow::showRunSummary()
{
    std::wstring summary = !runDetail_ || !runDetail_->result ? L""
        : changedSince_.empty() ? host().text(Text::NoneChangedSince)
                                : host().text(Text::ChangedSinceCount, {std::to_wstring(changedSince_.size())});
    if (changedSinceLastSet_)
        summary += (summary.empty() ? L"" : L"\r\n")
            + (changedSinceLastSet_->empty()
                   ? std::wstring(host().text(Text::LastSetNoneChanged))
                   : host().text(Text::LastSetChangedCount, {std::to_wstring(changedSinceLastSet_->size())}));
    SetWindowTextW(control(ServicesControls::RunSummary), summary.c_str());
    const bool finished = runsFinished(runs_, results_) && machine_.services();
    EnableWindow(control(ServicesControls::RestoreBeforeButton), finished && runDetail_ && runDetail_->backup);
    EnableWindow(control(ServicesControls::SetAgainButton), finished && !changedSince_.empty());
    // A button greyed under the keyboard would leave it nowhere: Esc and Tab would stop working.
    const HWND focus = GetFocus();
    if (focus && GetParent(focus) == handle() && !IsWindowEnabled(focus))
        SetFocus(control(ServicesControls::RunChoice));
}

// What the pane says of the chosen run as a whole: when it started and what made it, still
// running, no result saved, or a file of it that cannot be used; none yet.
std::wstring ServicesWindow::runText()
{
    const HistoryRun* run = chosenRun();
    if (!run) {
        return historyProblem_ ? failureText(host().language(), Text::HistoryNotRead, *historyProblem_)
                               : std::wstring(host().text(Text::NoRunYet));
    }
    std::wstring text = host().text(Text::ResultOfRun, {visibly(runTimeOf(*run))}) + L"\r\n" + madeByWords(*run);
    if (run->counts)
        text += L"\r\n" + countWords(*run->counts);
    if (!runDetail_)
        return text + L"\r\n" + host().text(Text::CommandsRunning);
    if (!runDetail_->result && runDetail_->problems.empty())
        text += L"\r\n" + std::wstring(host().text(Text::RunWithoutResult));
    if (runDetail_->result && runDetail_->result->restorePoint)
        text += L"\r\n" + restorePointWords(*runDetail_->result->restorePoint);
    for (const RunFileProblem& problem : runDetail_->problems) {
        const auto* found = std::get_if<FileProblemError>(&problem.why);
        text += L"\r\n" + std::wstring(host().text(Text::RunFileUnusable)) + L"\r\n"
            + visibly(problem.path, problem.path.size()) + L"\r\n"
            + (found ? reasonIn(host().language(), *found) : reasonIn(host().language(), std::get<PlatformFailure>(problem.why)));
    }
    return text;
}

void ServicesWindow::goBackFromChosen(bool again)
{
    const HistoryRun* run = chosenRun();
    if (!run)
        return;
    const std::string name = run->name;
    const GoingBackPlace place{dialogs_, machine_, runs_, results_, host().language(), handle()};
    // A run that went back is told to the results' listeners, this window among them, which shows
    // it at once.
    if (again)
        setAgain(place, name);
    else
        restoreBeforeRun(place, name);
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
            text += row.cells[kNameColumn] + L"\r\n\r\n";
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

// Space checks or unchecks every selected row that has a box, once, as the focused row's box
// goes (or, where it has none, the first selected box); the list's own toggle of the focused row,
// which follows the key, is refused while this key press lasts.
void ServicesWindow::onSpace()
{
    ListView list(control(ServicesControls::ServiceList));
    std::vector<std::size_t> boxes;
    selectedAtSpace_ = list.selected();
    for (const std::size_t selected : selectedAtSpace_) {
        if (selected < rows_.size() && rows_[selected].choosable)
            boxes.push_back(selected);
    }
    spaceHandled_ = true;
    PostMessageW(handle(), kSpaceHandled, 0, 0);
    if (boxes.empty() || !choosingProfile())
        return;
    const int focused = list.focused();
    const bool focusedHasBox = focused >= 0 && static_cast<std::size_t>(focused) < rows_.size()
        && rows_[static_cast<std::size_t>(focused)].choosable;
    const bool checked = !list.isChecked(focusedHasBox ? static_cast<std::size_t>(focused) : boxes.front());
    setByWindow([&] {
        for (const std::size_t row : boxes)
            list.setChecked(row, checked);
    });
    keepChoice();
}

// Whether the list may change a row's check box: only a row that has one, never during a Space
// already applied, and always when the window sets them itself.
bool ServicesWindow::mayChangeCheck(int row) const
{
    if (filling_)
        return true;
    return !spaceHandled_ && row >= 0 && static_cast<std::size_t>(row) < rows_.size()
        && rows_[static_cast<std::size_t>(row)].choosable && choice_.has_value();
}

void ServicesWindow::checkAll(bool checked)
{
    const std::optional<Profile> profile = choosingProfile();
    if (!profile)
        return;
    ListView list(control(ServicesControls::ServiceList));
    setByWindow([&] {
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (rows_[i].choosable)
                list.setChecked(i, checked);
        }
    });
    keepChoice();
}

// The unchecked rows are the profile's services left alone by choice, from now on; the choice is
// kept for the next start, and a failure to keep it is said once.
void ServicesWindow::keepChoice()
{
    const std::optional<Profile> profile = choosingProfile();
    if (!profile)
        return;
    ListView list(control(ServicesControls::ServiceList));
    std::vector<std::wstring> skipped;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].choosable && !list.isChecked(i))
            skipped.push_back(rows_[i].serviceKey);
    }
    try {
        skips_.choose(*profile, skipped);
    } catch (const PlatformFailure& failure) {
        if (!std::exchange(choiceFailureSaid_, true))
            sayChoiceProblem(failureText(host().language(), Text::ChoiceNotSaved, failure));
    }
    choice_ = skipped;
    // Whether each row would change follows the choice at once.
    const std::vector<ServiceRow> now = profileRows(*profile, runs_.answersOrAllYes(), states_, machine_.windowsVersion(),
                                                    host().language(), *choice_);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        for (const ServiceRow& fresh : now) {
            if (fresh.serviceKey == rows_[i].serviceKey && fresh.cells.back() != rows_[i].cells.back()) {
                rows_[i].cells.back() = fresh.cells.back();
                list.setCell(i, rows_[i].cells.size() - 1, rows_[i].cells.back());
            }
        }
    }
    fitColumns();
    showChoice();
}

void ServicesWindow::showChoice()
{
    const std::wstring text = !viewedProfile() ? L""
        : choice_                                 ? host().text(Text::ChoiceCount, {std::to_wstring(choice_->size())})
                                                  : host().text(Text::ChoiceUnreadable);
    SetWindowTextW(control(ServicesControls::ChoiceCount), text.c_str());
}

void ServicesWindow::saveChoiceToFile()
{
    const std::optional<Profile> profile = choosingProfile();
    if (!profile)
        return;
    const std::string name = profileName(*profile);
    const std::optional<std::wstring> path = dialogs_.chooseFileToSave(handle(), fromUtf8("quillora-skip-" + name + ".txt"));
    if (!path)
        return;
    try {
        machine_.files().writeAtomically(toUtf8(*path), formatSkipFile(name, *choice_), true);
    } catch (const PlatformFailure& failure) {
        host().reportFailure(handle(), failure);
    }
}

void ServicesWindow::readChoiceFromFile()
{
    const std::optional<Profile> profile = choosingProfile();
    if (!profile)
        return;
    const std::optional<std::wstring> path = dialogs_.chooseFileToOpen(handle());
    if (!path)
        return;
    std::wstring problem;
    try {
        // The choice, its check marks and the saved file change together, or none of them.
        skips_.replace(*profile, parseSkipFile(readFile(machine_.files(), toUtf8(*path))));
        refresh();
        return;
    } catch (const SkipFileError& error) {
        problem = reasonIn(host().language(), error);
    } catch (const PlatformFailure& failure) {
        problem = reasonIn(host().language(), failure);
    }
    dialogs_.showError(handle(), host().text(Text::ChoiceFileRefused, {visibly(*path, path->size()), problem}),
                       kMainCaption);
}

// The list takes what the window has to spare; the explanation below it grows with the window, so
// that a tall window shows a whole quotation of Microsoft's; a row of buttons stands between them,
// the choice's in a profile's views and the ways back in the runs'. In the runs' view a line above
// the list says what has changed since the run.
void ServicesWindow::layOut(int width, int height)
{
    const int margin = twipsToPixelsX(kMarginTwips);
    const int top = twipsToPixelsY(viewedProfile() ? kListTopTwips : kRunListTopTwips);
    const int buttons = twipsToPixelsY(kButtonsTwips) + margin;
    const int band = twipsToPixelsY(kDescriptionTwips)
        + std::max(0, height - twipsToPixelsY(kServicesDesign.clientHeight)) / kDescriptionShare;
    const int listHeight = std::max(0, height - top - buttons - band - 2 * margin);
    MoveWindow(control(ServicesControls::ServiceList), margin, top, std::max(0, width - 2 * margin), listHeight, TRUE);
    MoveWindow(control(ServicesControls::RunSummary), margin, twipsToPixelsY(kListTopTwips), std::max(0, width - 2 * margin),
               twipsToPixelsY(kRunSummaryTwips), TRUE);
    // The runs' drop-down reaches to the window's edge.
    RECT choice{};
    const HWND runChoice = control(ServicesControls::RunChoice);
    GetWindowRect(runChoice, &choice);
    MapWindowPoints(nullptr, handle(), reinterpret_cast<POINT*>(&choice), 2);
    MoveWindow(runChoice, choice.left, choice.top, std::max(twipsToPixelsX(kRunChoiceLeastTwips), width - margin - choice.left),
               twipsToPixelsY(kRunChoiceDropTwips), TRUE);
    for (const std::span<const int> row : {std::span<const int>(kChoiceButtons), std::span<const int>(kRunButtons)}) {
        for (const int id : row) {
            const HWND button = control(id);
            RECT place;
            GetWindowRect(button, &place);
            MapWindowPoints(nullptr, handle(), reinterpret_cast<POINT*>(&place), 2);
            MoveWindow(button, place.left, top + listHeight + margin, place.right - place.left,
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
        refresh();
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
    case WM_TIMER:
        if (wParam != kMachineChangedTimer)
            break;
        KillTimer(handle(), kMachineChangedTimer);
        if (isVisible() && selectedView() == kRunsView)
            refresh();
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
                widthsByHand_[viewedProfile() ? 0 : 1][track.iItem] = track.pitem->cxy;
        }
        break;
    }
    default:
        break;
    }
    return Window::onMessage(message, wParam, lParam);
}

}  // namespace quillora::ui
