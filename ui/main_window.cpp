#include "ui/main_window.h"

#include "resources/site.h"
#include "ui/identifiers.h"
#include "ui/undo_last_run.h"

namespace quillora::ui {
namespace {

const ControlDesign kControls[] = {
    {ControlKind::PushButton, MainControls::QuestionsButton, L"Command1", L"按提问优化(建议)", {840, 120, 3495, 495}, 0,
     FontRole::Body},
    {ControlKind::Label, MainControls::QuestionsLabel, L"Label1", L"根据软件的提问一步一步进行优化，优化效果最佳!",
     {840, 720, 3495, 615}, 3, FontRole::WindowDefault},
    {ControlKind::PushButton, MainControls::AutomaticButton, L"Command2", L"自动优化", {840, 1200, 3495, 495}, 1,
     FontRole::Body},
    {ControlKind::Label, MainControls::AutomaticLabel, L"Label2", L"软件自动进行优化，适合对系统服务不熟悉的用户!",
     {840, 1800, 3495, 615}, 4, FontRole::WindowDefault},
    {ControlKind::PushButton, MainControls::RestoreButton, L"Command3", L"恢复系统默认", {840, 2280, 3495, 495}, 2,
     FontRole::Body},
    {ControlKind::Label, MainControls::RestoreLabel, L"Label3", L"对优化的服务恢复到系统默认状态！",
     {840, 2880, 3495, 375}, 5, FontRole::WindowDefault},
    {ControlKind::Picture, MainControls::Banner, L"Image1", L"", {240, 3300, 4110, 525}, kNoTabStop,
     FontRole::WindowDefault},
    {ControlKind::PushButton, MainControls::HelpButton, L"Command5", L"帮助", {4560, 3330, 615, 375}, 8,
     FontRole::WindowDefault},
    {ControlKind::PushButton, MainControls::ExitButton, L"Command4", L"退出", {4560, 3780, 615, 390}, 6,
     FontRole::WindowDefault},
    {ControlKind::Label, MainControls::WebLink, L"Label4", L"最新免费版下载地址" QUILLORA_WIDE(QUILLORA_WEB_ADDRESS),
     {240, 3900, 4095, 255}, 7, FontRole::Body, SS_NOTIFY},
};

const WindowDesign kDesign{
    kMainCaption,
    5250,
    4230,
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
    0,
    true,
    Placement::CentredOnScreen,
    {},
    kControls,
};

bool isTransparentLabel(int id)
{
    return id == MainControls::QuestionsLabel || id == MainControls::AutomaticLabel
        || id == MainControls::RestoreLabel;
}

constexpr UINT_PTR kResultTimer = 1;
constexpr UINT kResultPollMilliseconds = 500;

bool showsHandCursor(int id)
{
    return id == MainControls::Banner || id == MainControls::WebLink;
}

}  // namespace

MainWindow::MainWindow(WindowHost& host, RunController& runs, platform::Desktop& desktop, Window& firstQuestion,
                       Window& helpWindow, ServicesWindow& servicesWindow)
    : Window(host),
      runs_(runs),
      desktop_(desktop),
      firstQuestion_(firstQuestion),
      helpWindow_(helpWindow),
      servicesWindow_(servicesWindow)
{
}

const WindowDesign& MainWindow::windowDesign()
{
    return kDesign;
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
    // Once a run's commands have ended, what it really did is read back and saved.
    SetTimer(handle(), kResultTimer, kResultPollMilliseconds, nullptr);
}

void MainWindow::addToSystemMenu()
{
    const HMENU menu = GetSystemMenu(handle(), FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kUndoLastRunCommand, kUndoLastRunItem);
    AppendMenuW(menu, MF_STRING, kViewServicesCommand, kViewServicesItem);
}

// Whether there is a run to undo can change at any time (a run, quillora-cli, a backup deleted by
// hand), so it is decided each time the menu opens.
void MainWindow::updateSystemMenu()
{
    const UINT state = canUndoLastRun(desktop_, runs_) ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(GetSystemMenu(handle(), FALSE), kUndoLastRunCommand, MF_BYCOMMAND | state);
}

bool MainWindow::onSystemCommand(WPARAM command)
{
    switch (command & 0xFFF0) {
    case kUndoLastRunCommand:
        undoLastRun(desktop_, runs_, handle());
        return true;
    case kViewServicesCommand:
        servicesWindow_.open();
        return true;
    default:
        return false;
    }
}

void MainWindow::openWebSite()
{
    // The browser opens minimised and active.
    desktop_.launch(webSiteCommandLine(), SW_SHOWMINIMIZED);
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
    // The label paints the part of the background picture that lies under it.
    RECT place;
    GetWindowRect(label, &place);
    MapWindowPoints(nullptr, handle(), reinterpret_cast<POINT*>(&place), 2);
    SetBrushOrgEx(dc, -place.left, -place.top, nullptr);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(host().assets().backgroundBrush());
}

bool MainWindow::paintBackground(HDC dc)
{
    RECT client;
    GetClientRect(handle(), &client);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    FillRect(dc, &client, host().assets().backgroundBrush());
    return true;
}

LRESULT MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return paintBackground(reinterpret_cast<HDC>(wParam));
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
    case WM_TIMER:
        if (wParam == kResultTimer)
            runs_.collectResults();
        return 0;
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
