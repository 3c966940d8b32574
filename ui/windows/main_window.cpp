#include "ui/windows/main_window.h"

#include "engine/choice/settings.h"
#include "engine/text/printable.h"
#include "resources/site.h"
#include "ui/ids/identifiers.h"
#include "ui/words/reason_words.h"
#include "ui/runs/going_back.h"

namespace quillora::ui {
namespace {

const ControlDesign kMainControls[] = {
    {ControlKind::PushButton, MainControls::QuestionsButton, L"Command1", Text::QuestionsButton, {840, 120, 3495, 495}, 0,
     FontRole::Body},
    {ControlKind::Label, MainControls::QuestionsLabel, L"Label1", Text::QuestionsLabel,
     {840, 720, 3495, 615}, 3, FontRole::WindowDefault},
    {ControlKind::PushButton, MainControls::AutomaticButton, L"Command2", Text::AutomaticButton, {840, 1200, 3495, 495}, 1,
     FontRole::Body},
    {ControlKind::Label, MainControls::AutomaticLabel, L"Label2", Text::AutomaticLabel,
     {840, 1800, 3495, 615}, 4, FontRole::WindowDefault},
    {ControlKind::PushButton, MainControls::RestoreButton, L"Command3", Text::RestoreButton, {840, 2280, 3495, 495}, 2,
     FontRole::Body},
    {ControlKind::Label, MainControls::RestoreLabel, L"Label3", Text::RestoreLabel,
     {840, 2880, 3495, 375}, 5, FontRole::WindowDefault},
    {ControlKind::Picture, MainControls::Banner, L"Image1", Text::Empty, {240, 3300, 4110, 525}, kNoTabStop,
     FontRole::WindowDefault},
    {ControlKind::PushButton, MainControls::HelpButton, L"Command5", Text::HelpButton, {4560, 3330, 615, 375}, 8,
     FontRole::WindowDefault},
    {ControlKind::PushButton, MainControls::ExitButton, L"Command4", Text::ExitButton, {4560, 3780, 615, 390}, 6,
     FontRole::WindowDefault},
    {ControlKind::Label, MainControls::WebLink, L"Label4", Text::WebLink,
     {240, 3900, 4095, 255}, 7, FontRole::Body, SS_NOTIFY},
};

const WindowDesign kMainDesign{
    Text::MainCaption,
    5250,
    4230,
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
    0,
    true,
    Placement::CentredOnScreen,
    {},
    kMainControls,
};

bool isTransparentLabel(int id)
{
    return id == MainControls::QuestionsLabel || id == MainControls::AutomaticLabel
        || id == MainControls::RestoreLabel;
}

bool showsHandCursor(int id)
{
    return id == MainControls::Banner || id == MainControls::WebLink;
}

}  // namespace

MainWindow::MainWindow(WindowHost& host, RunController& runs, RunResults& results, platform::Processes& processes,
                       platform::Dialogs& dialogs, Machine& machine, Window& firstQuestion, Window& helpWindow,
                       ServicesWindow& servicesWindow)
    : Window(host),
      runs_(runs),
      results_(results),
      processes_(processes),
      dialogs_(dialogs),
      machine_(machine),
      firstQuestion_(firstQuestion),
      helpWindow_(helpWindow),
      servicesWindow_(servicesWindow)
{
    results_.listen(*this);
}

MainWindow::~MainWindow()
{
    results_.stopListening(*this);
}

// A run that Windows refused in part ends as designed; the user is told once, here, and may look.
// Every box about results waits for the runs under way to end: a box would stop them.
void MainWindow::resultArrived(const RunResult& result)
{
    const std::size_t refused = failures(result);
    if (refused == 0)
        return;
    runs_.afterRuns([this, refused] {
        if (dialogs_.ask(handle(), host().text(Text::ServicesRefused, {std::to_wstring(refused)}), kMainCaption))
            servicesWindow_.openLastRun();
    });
}

void MainWindow::resultProblem(const RunProblem& problem, const std::string& resultPath)
{
    const std::wstring text = runProblemText(host().language(), problem, resultPath);
    runs_.afterRuns([this, text] { dialogs_.showError(handle(), text, kMainCaption); });
}

void MainWindow::resultsFailed(const PlatformFailure& failure)
{
    runs_.afterRuns([this, failure] { host().reportFailure(handle(), failure); });
}

const WindowDesign& MainWindow::windowDesign()
{
    return kMainDesign;
}

std::wstring MainWindow::webSiteCommandLine()
{
    return L"explorer " QUILLORA_WIDE(QUILLORA_WEB_ADDRESS);
}

void MainWindow::onLoaded()
{
    SendMessageW(control(MainControls::Banner), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(host().assets().banner()));
    addToSystemMenu();
}

void MainWindow::addToSystemMenu()
{
    const HMENU menu = GetSystemMenu(handle(), FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kUndoLastRunCommand, host().text(Text::UndoItem));
    AppendMenuW(menu, MF_STRING, kViewServicesCommand, host().text(Text::ServicesItem));
    AppendMenuW(menu, MF_STRING, kRestorePointCommand, host().text(Text::RestorePointItem));
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    for (const LanguageChoice& choice : kLanguageChoices)
        AppendMenuW(menu, MF_STRING, choice.command, choice.menuItem);
    checkLanguageItem();
}

// The item of the language the windows speak carries a check mark.
void MainWindow::checkLanguageItem()
{
    const HMENU menu = GetSystemMenu(handle(), FALSE);
    for (const LanguageChoice& choice : kLanguageChoices) {
        const UINT checked = choice.language == host().language() ? MF_CHECKED : MF_UNCHECKED;
        CheckMenuItem(menu, choice.command, MF_BYCOMMAND | checked);
    }
}

void MainWindow::onLanguageChanged()
{
    const HMENU menu = GetSystemMenu(handle(), FALSE);
    const std::pair<unsigned, Text> items[] = {{kUndoLastRunCommand, Text::UndoItem},
                                               {kViewServicesCommand, Text::ServicesItem},
                                               {kRestorePointCommand, Text::RestorePointItem}};
    for (const auto& [command, text] : items) {
        const UINT kept = GetMenuState(menu, command, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED);
        ModifyMenuW(menu, command, MF_BYCOMMAND | MF_STRING | kept, command, host().text(text));
    }
    checkLanguageItem();
}

// Switches every window to the chosen language and keeps the choice for the next start; a choice
// that cannot be kept is said, and the windows speak the new language all the same.
void MainWindow::chooseLanguage(const LanguageChoice& chosen)
{
    host().setLanguage(chosen.language);
    try {
        saveLanguage(machine_, tableLanguageOf(chosen.language));
    } catch (const PlatformFailure& failure) {
        dialogs_.showError(handle(), failureText(host().language(), Text::LanguageNotSaved, failure), kMainCaption);
    }
}

// Turns the restore point before each run of the windows on or off, and keeps the choice; a choice
// that cannot be kept is said, and holds until the program ends.
void MainWindow::toggleRestorePoints()
{
    try {
        runs_.chooseRestorePoints(!runs_.restorePointsOn());
    } catch (const PlatformFailure& failure) {
        dialogs_.showError(handle(), failureText(host().language(), Text::RestorePointNotSaved, failure), kMainCaption);
    }
}

// Whether there is a run to undo can change at any time (a run, its commands ending, quillora-cli, a
// backup deleted by hand), so it is decided each time the menu opens.
void MainWindow::updateSystemMenu()
{
    const UINT state = canUndoLastRun(machine_, runs_) ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(GetSystemMenu(handle(), FALSE), kUndoLastRunCommand, MF_BYCOMMAND | state);
    const UINT checked = runs_.restorePointsOn() ? MF_CHECKED : MF_UNCHECKED;
    CheckMenuItem(GetSystemMenu(handle(), FALSE), kRestorePointCommand, MF_BYCOMMAND | checked);
}

bool MainWindow::onSystemCommand(WPARAM command)
{
    switch (command & 0xFFF0) {
    case kUndoLastRunCommand:
        undoLastRun({dialogs_, machine_, runs_, results_, host().language(), handle()});
        return true;
    case kViewServicesCommand:
        servicesWindow_.open();
        return true;
    case kRestorePointCommand:
        toggleRestorePoints();
        return true;
    default:
        break;
    }
    for (const LanguageChoice& choice : kLanguageChoices) {
        if ((command & 0xFFF0) == choice.command) {
            chooseLanguage(choice);
            return true;
        }
    }
    return false;
}

void MainWindow::openWebSite()
{
    // The browser opens minimised and active.
    processes_.launch(webSiteCommandLine(), SW_SHOWMINIMIZED);
}

void MainWindow::onCommand(int controlId, int notification)
{
    if (notification != BN_CLICKED)  // STN_CLICKED has the same value
        return;
    switch (controlId) {
    case MainControls::QuestionsButton:
        firstQuestion_.show();
        break;
    case MainControls::AutomaticButton:
        runs_.start(Profile::Automatic, handle());
        break;
    case MainControls::RestoreButton:
        runs_.start(Profile::Restore, handle());
        break;
    case MainControls::ExitButton:
        onClose();
        break;
    case MainControls::HelpButton:
        helpWindow_.show();
        break;
    case MainControls::Banner:
    case MainControls::WebLink:
        openWebSite();
        break;
    default:
        break;
    }
}

// Closing the main window ends the program at once, during a run too.
void MainWindow::onClose()
{
    runs_.endProgram();
}

LRESULT MainWindow::labelColours(HDC dc, HWND label)
{
    const int id = GetDlgCtrlID(label);
    if (id == MainControls::WebLink) {
        SetBkColor(dc, kWebLinkBackground);
        return reinterpret_cast<LRESULT>(host().assets().webLinkBrush());
    }
    if (!isTransparentLabel(id))
        return defaultProcessing(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
    // The part of the background picture that lies under the label is painted first; the label
    // then writes its text over it and fills nothing.
    RECT place;
    GetWindowRect(label, &place);
    MapWindowPoints(nullptr, handle(), reinterpret_cast<POINT*>(&place), 2);
    host().assets().paintBackground(dc, {-place.left, -place.top});
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
}

LRESULT MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        host().assets().paintBackground(reinterpret_cast<HDC>(wParam), {0, 0});
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return labelColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
        if (showsHandCursor(GetDlgCtrlID(reinterpret_cast<HWND>(wParam)))) {
            SetCursor(host().assets().handCursor());
            return TRUE;
        }
        break;
    case WM_INITMENUPOPUP:
        if (HIWORD(lParam))
            updateSystemMenu();
        break;
    case WM_SYSCOMMAND:
        if (onSystemCommand(wParam))
            return 0;
        break;
    case WM_ENDSESSION:
        if (wParam)
            runs_.endProgram();
        return 0;
    case WM_DESTROY:
        runs_.endProgram();
        return 0;
    default:
        break;
    }
    return Window::onMessage(message, wParam, lParam);
}

}  // namespace quillora::ui
