#include "ui/services_window.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "engine/backup_store.h"
#include "engine/catalogue.h"
#include "engine/utf8.h"
#include "platform/clipboard.h"
#include "platform/system_error.h"
#include "ui/identifiers.h"
#include "ui/list_view.h"

namespace quillora::ui {
namespace {

constexpr int kLastRunView = 3;
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
constexpr Profile kProfiles[] = {Profile::Prompted, Profile::Automatic, Profile::Restore};
constexpr int kColumnTwips[] = {600, 2700, 1800, 1650, 1650, 1200, 900};

// The run a result belongs to, as its backup's name tells: "2026-12-07 10:15:00".
std::optional<std::string> runTime(const RunResult& result)
{
    const std::size_t slash = result.backupPath.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? result.backupPath : result.backupPath.substr(slash + 1);
    return automaticBackupTime(StoredBackup{result.backupPath, name, true, 0, true});
}

}  // namespace

ServicesWindow::ServicesWindow(WindowHost& host, const RunController& runs, RunResults& results, Machine& machine)
    : Window(host), runs_(runs), results_(results), machine_(machine)
{
    results_.listen(*this);
}

ServicesWindow::~ServicesWindow()
{
    results_.stopListening(*this);
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

void ServicesWindow::openLastRun()
{
    open();
    if (selectedView() != kLastRunView) {
        SendMessageW(control(ServicesControls::ViewChoice), CB_SETCURSEL, kLastRunView, 0);
        sortColumn_ = 0;
        ascending_ = true;
        refresh();
    }
}

void ServicesWindow::onLoaded()
{
    fillViewChoice(0);
    SendMessageW(control(ServicesControls::ServiceList), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                 LVS_EX_FULLROWSELECT);
    refresh();
}

// A run started or a result arrived: the result view shows it at once.
void ServicesWindow::resultsChanged()
{
    if (isVisible() && selectedView() == kLastRunView)
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

void ServicesWindow::refresh()
{
    fillRows();
    showRows();
    showDescription();
}

void ServicesWindow::fillRows()
{
    const Language language = host().language();
    const int view = selectedView();
    const std::vector<Text>& columns = view == kLastRunView ? resultColumns() : profileColumns();
    std::vector<std::wstring> titles;
    std::vector<int> widths;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        titles.push_back(host().text(columns[i]));
        widths.push_back(twipsToPixelsX(kColumnTwips[i]));
    }
    ListView(control(ServicesControls::ServiceList)).setColumns(titles, widths);
    if (view == kLastRunView) {
        const std::optional<RunResult>& result = results_.lastResult();
        rows_ = result && !results_.lastRunPending()
            ? resultRows(*result, language, [](unsigned long error) { return platform::systemErrorText(error); })
            : std::vector<ServiceRow>{};
        return;
    }
    ServiceControl* services = machine_.services();
    const std::vector<std::wstring> keys = catalogueKeys();
    const std::vector<std::optional<ServiceState>> states =
        services ? services->queryAll(keys) : std::vector<std::optional<ServiceState>>(keys.size());
    rows_ = profileRows(kProfiles[view], runs_.answersOrAllYes(), states, machine_.windowsVersion(), language);
}

void ServicesWindow::showRows()
{
    sortRows(rows_, static_cast<std::size_t>(sortColumn_), ascending_);
    std::vector<std::vector<std::wstring>> cells;
    for (const ServiceRow& row : rows_)
        cells.push_back(row.cells);
    ListView(control(ServicesControls::ServiceList)).setRows(cells);
}

void ServicesWindow::sortBy(int column)
{
    ascending_ = column == sortColumn_ ? !ascending_ : true;
    sortColumn_ = column;
    showRows();
    showDescription();
}

// What the result view says of the last run as a whole: still running, none yet, or when it was.
std::wstring ServicesWindow::lastRunText()
{
    if (results_.lastRunPending())
        return host().text(Text::CommandsRunning);
    const std::optional<RunResult>& result = results_.lastResult();
    if (!result)
        return host().text(Text::NoRunYet);
    const std::optional<std::string> time = runTime(*result);
    return time ? host().text(Text::ResultOfRun, {fromUtf8(*time)}) : L"";
}

// Windows' own description of the chosen service, in its own language; why a run failed on it.
void ServicesWindow::showDescription()
{
    std::wstring text = selectedView() == kLastRunView ? lastRunText() : L"";
    const int selected = ListView(control(ServicesControls::ServiceList)).focused();
    if (selected >= 0 && selected < static_cast<int>(rows_.size())) {
        const ServiceRow& row = rows_[static_cast<std::size_t>(selected)];
        ServiceControl* services = machine_.services();
        const std::wstring description = services ? services->description(row.serviceKey) : L"";
        if (!text.empty())
            text += L"\r\n\r\n";
        if (!row.note.empty())
            text += host().text(Text::FailureReason) + row.note + L"\r\n\r\n";
        const bool installed = services && services->query(row.serviceKey);
        text += description.empty() && !installed ? host().text(Text::NotInstalled) : description;
    }
    SetWindowTextW(control(ServicesControls::DescriptionBox), text.c_str());
}

std::vector<std::wstring> ServicesWindow::rowTexts()
{
    handle();
    std::vector<std::wstring> texts;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        std::wstring line = copiedText(rows_, {i});
        texts.push_back(line.substr(0, line.size() - 2));
    }
    return texts;
}

// The selected rows as tab-separated text, for a spreadsheet or a mail.
void ServicesWindow::copySelection()
{
    const std::wstring text = copiedText(rows_, ListView(control(ServicesControls::ServiceList)).selected());
    if (!text.empty())
        platform::putOnClipboard(handle(), text);
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
    default:
        break;
    }
    return Window::onMessage(message, wParam, lParam);
}

}  // namespace quillora::ui
