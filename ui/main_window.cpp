#include "main_window.h"

#include "catalogue.h"
#include "program.h"
#include "site.h"

namespace quillora::ui {
namespace {

constexpr int kShowMinimized = 2;  // SW_SHOWMINIMIZED: the browser opens minimised and active

const ControlDesign kControls[] = {
    {ControlKind::PushButton, MainWindow::Command1, L"Command1", L"按提问优化(建议)", {840, 120, 3495, 495}, 0,
     FontRole::SimSun},
    {ControlKind::Label, MainWindow::Label1, L"Label1", L"根据软件的提问一步一步进行优化，优化效果最佳!",
     {840, 720, 3495, 615}, 3, FontRole::WindowDefault},
    {ControlKind::PushButton, MainWindow::Command2, L"Command2", L"自动优化", {840, 1200, 3495, 495}, 1,
     FontRole::SimSun},
    {ControlKind::Label, MainWindow::Label2, L"Label2", L"软件自动进行优化，适合对系统服务不熟悉的用户!",
     {840, 1800, 3495, 615}, 4, FontRole::WindowDefault},
    {ControlKind::PushButton, MainWindow::Command3, L"Command3", L"恢复系统默认", {840, 2280, 3495, 495}, 2,
     FontRole::SimSun},
    {ControlKind::Label, MainWindow::Label3, L"Label3", L"对优化的服务恢复到系统默认状态！",
     {840, 2880, 3495, 375}, 5, FontRole::WindowDefault},
    {ControlKind::Picture, MainWindow::Image1, L"Image1", L"", {240, 3300, 4110, 525}, kNoTabStop,
     FontRole::WindowDefault},
    {ControlKind::PushButton, MainWindow::Command5, L"Command5", L"帮助", {4560, 3330, 615, 375}, 8,
     FontRole::WindowDefault},
    {ControlKind::PushButton, MainWindow::Command4, L"Command4", L"退出", {4560, 3780, 615, 390}, 6,
     FontRole::WindowDefault},
    {ControlKind::Label, MainWindow::Label4, L"Label4", L"最新免费版下载地址" QUILLORA_WIDE(QUILLORA_WEB_ADDRESS),
     {240, 3900, 4095, 255}, 7, FontRole::SimSun, SS_NOTIFY},
};

const WindowDesign kDesign{
    L"Quillora1.1",
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
    return id == MainWindow::Label1 || id == MainWindow::Label2 || id == MainWindow::Label3;
}

bool showsHandCursor(int id)
{
    return id == MainWindow::Image1 || id == MainWindow::Label4;
}

}  // namespace

const WindowDesign& MainWindow::windowDesign()
{
    return kDesign;
}

std::wstring MainWindow::webSiteCommandLine()
{
    return L"explorer " QUILLORA_WIDE(QUILLORA_WEB_ADDRESS);
}

void MainWindow::youhua1()
{
    runProfile(profileSteps(Profile::Prompted), program().list, program().runPlatform());
}

void MainWindow::youhua2()
{
    runProfile(profileSteps(Profile::Automatic), program().list, program().runPlatform());
}

void MainWindow::youhua3()
{
    runProfile(profileSteps(Profile::Restore), program().list, program().runPlatform());
}

void MainWindow::onLoaded()
{
    SendMessageW(control(Image1), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(program().assets().banner()));
}

void MainWindow::showProgressAndRun(void (MainWindow::*run)())
{
    program().list.show();
    (this->*run)();
}

void MainWindow::openWebSite()
{
    program().desktop().launch(webSiteCommandLine(), kShowMinimized);
}

void MainWindow::onCommand(int controlId, int notification)
{
    if (notification != BN_CLICKED)  // STN_CLICKED has the same value
        return;
    switch (controlId) {
    case Command1:
        program().Dialog.show();
        break;
    case Command2:
        showProgressAndRun(&MainWindow::youhua2);
        break;
    case Command3:
        showProgressAndRun(&MainWindow::youhua3);
        break;
    case Command4:
        onClose();
        break;
    case Command5:
        program().help.show();
        break;
    case Image1:
    case Label4:
        openWebSite();
        break;
    default:
        break;
    }
}

// Closing the main window ends the program at once, during a run too.
void MainWindow::onClose()
{
    program().end();
}

LRESULT MainWindow::labelColours(HDC dc, HWND label)
{
    const int id = GetDlgCtrlID(label);
    if (id == Label4) {
        SetBkColor(dc, RGB(255, 255, 0));
        return reinterpret_cast<LRESULT>(program().assets().yellowBrush());
    }
    if (!isTransparentLabel(id))
        return defaultProcessing(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
    // The label paints the part of the background picture that lies under it.
    RECT place;
    GetWindowRect(label, &place);
    MapWindowPoints(nullptr, handle(), reinterpret_cast<POINT*>(&place), 2);
    SetBrushOrgEx(dc, -place.left, -place.top, nullptr);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(program().assets().backgroundBrush());
}

bool MainWindow::paintBackground(HDC dc)
{
    RECT client;
    GetClientRect(handle(), &client);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    FillRect(dc, &client, program().assets().backgroundBrush());
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
            SetCursor(program().assets().handCursor());
            return TRUE;
        }
        break;
    case WM_ENDSESSION:
        if (wParam)
            program().end();
        return 0;
    case WM_DESTROY:
        program().end();
        return 0;
    default:
        break;
    }
    return Window::onMessage(message, wParam, lParam);
}

}  // namespace quillora::ui
