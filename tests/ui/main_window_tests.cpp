#include <doctest.h>

#include "engine/catalogue/catalogue.h"
#include "resources/site.h"
#include "tests/support/golden.h"
#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"
#include "tests/ui/test_desktop.h"
#include "ui/ids/identifiers.h"

using namespace quillora;
using namespace quillora::testing;
using ui::MainWindow;
using ui::MainControls;
using ui::ProgressControls;
using ui::ProgressWindow;

namespace {

struct ControlExpectation {
    int id;
    const wchar_t* className;
    const wchar_t* caption;
    RECT pixels;
    const wchar_t* face;  // nullptr: the window's default font
};

const std::wstring kWebAddress = L"" QUILLORA_WEB_ADDRESS;

std::wstring className(HWND window)
{
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return name;
}


}  // namespace

TEST_CASE("the main window's design")
{
    ProgramFixture f;
    MainWindow& form = f.program.mainWindow;
    const HWND window = form.handle();
    CHECK(ui::windowText(window) == L"Quillora1.1");
    CHECK(clientSize(window).cx == 350);
    CHECK(clientSize(window).cy == 282);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    CHECK((style & WS_MINIMIZEBOX));
    CHECK_FALSE((style & (WS_MAXIMIZEBOX | WS_THICKFRAME)));
    CHECK(GetWindow(window, GW_OWNER) == nullptr);

    const ControlExpectation controls[] = {
        {MainControls::QuestionsButton, L"Button", L"按提问优化(建议)", {56, 8, 289, 41}, L"宋体"},
        {MainControls::QuestionsLabel, L"Static", L"根据软件的提问一步一步进行优化，优化效果最佳!", {56, 48, 289, 89}, nullptr},
        {MainControls::AutomaticButton, L"Button", L"自动优化", {56, 80, 289, 113}, L"宋体"},
        {MainControls::AutomaticLabel, L"Static", L"软件自动进行优化，适合对系统服务不熟悉的用户!", {56, 120, 289, 161}, nullptr},
        {MainControls::RestoreButton, L"Button", L"恢复系统默认", {56, 152, 289, 185}, L"宋体"},
        {MainControls::RestoreLabel, L"Static", L"对优化的服务恢复到系统默认状态！", {56, 192, 289, 217}, nullptr},
        {MainControls::Banner, L"Static", L"", {16, 220, 290, 255}, nullptr},
        {MainControls::HelpButton, L"Button", L"帮助", {304, 222, 345, 247}, nullptr},
        {MainControls::ExitButton, L"Button", L"退出", {304, 252, 345, 278}, nullptr},
        {MainControls::WebLink, L"Static", nullptr, {16, 260, 289, 277}, L"宋体"},
    };
    for (const ControlExpectation& expected : controls) {
        CAPTURE(expected.id);
        const HWND control = form.control(expected.id);
        REQUIRE(control);
        CHECK(lstrcmpiW(className(control).c_str(), expected.className) == 0);
        if (expected.caption)
            CHECK(ui::windowText(control) == expected.caption);
        CHECK(rectInParent(control) == expected.pixels);
        if (expected.face) {
            const LOGFONTW font = fontOf(control);
            CHECK(std::wstring(font.lfFaceName) == expected.face);
            CHECK(font.lfHeight == -14);
            CHECK(font.lfWeight == FW_NORMAL);
            CHECK(font.lfCharSet == GB2312_CHARSET);
        }
    }
    CHECK(ui::windowText(form.control(MainControls::WebLink)) == L"最新免费版下载地址" + kWebAddress);

    BITMAP banner{};
    const auto bitmap = reinterpret_cast<HBITMAP>(SendMessageW(form.control(MainControls::Banner), STM_GETIMAGE, IMAGE_BITMAP, 0));
    REQUIRE(GetObjectW(bitmap, sizeof banner, &banner));
    CHECK(banner.bmWidth == 274);
    CHECK(banner.bmHeight == 35);
}

TEST_CASE("the main window at start: centred, focus on the questions button, Tab walks the buttons")
{
    ProgramFixture f;
    MainWindow& form = f.program.mainWindow;
    form.show();
    flushMessages();
    CHECK(std::abs(offsetFromScreenCentre(form.handle()).x) <= 1);
    REQUIRE(GetFocus() == form.control(MainControls::QuestionsButton));

    const int expectedOrder[] = {MainControls::AutomaticButton, MainControls::RestoreButton, MainControls::ExitButton, MainControls::HelpButton,
                                 MainControls::QuestionsButton};
    for (int expected : expectedOrder) {
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        flushMessages();
        CHECK(GetDlgCtrlID(GetFocus()) == expected);
    }
    CHECK(f.desktop.recorder.launches.empty());
    CHECK_FALSE(f.program.progressWindow.isLoaded());
}

TEST_CASE("the hand cursor over the banner and the link label only")
{
    ProgramFixture f;
    MainWindow& form = f.program.mainWindow;
    form.show();
    for (int id : {MainControls::Banner, MainControls::WebLink}) {
        CHECK(SendMessageW(form.handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.control(id)),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) == TRUE);
        CHECK(GetCursor() == f.program.host.assets().handCursor());
    }
    CHECK(SendMessageW(form.handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.control(MainControls::QuestionsLabel)),
                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) == FALSE);
}

TEST_CASE("the automatic and restore buttons show the progress window and run their profile")
{
    struct Case {
        int button;
        const char* golden;
        std::size_t launches;
    };
    for (const Case& c : {Case{MainControls::AutomaticButton, "automatic", 115}, Case{MainControls::RestoreButton, "restore", 83}}) {
        CAPTURE(c.button);
        ProgramFixture f;
        f.program.mainWindow.show();
        bool visibleDuringRun = false;
        f.desktop.recorder.atMessages = [&](int) { visibleDuringRun = f.program.progressWindow.isVisible(); };

        click(f.program.mainWindow.control(c.button));

        CHECK(f.desktop.recorder.launches.size() == c.launches);
        std::vector<std::wstring> launched;
        for (const auto& launch : f.desktop.recorder.launches) {
            CHECK(launch.showState == SW_HIDE);
            launched.push_back(launch.commandLine);
        }
        CHECK(launched == goldenCommandLines(c.golden));
        CHECK(visibleDuringRun);
        ProgressWindow& progress = f.program.progressWindow;
        CHECK(progress.text() == goldenLog(c.golden));
        CHECK(ui::windowText(progress.handle()) == L"优化完成！");
        CHECK(progress.controlText(ProgressControls::StatusLabel) == L"优化完成！");
        CHECK(IsWindowEnabled(progress.control(ProgressControls::ExitButton)));
        CHECK(f.desktop.errors.empty());
    }
}

TEST_CASE("a second run in the progress window left open appends to its log, from a line of its own")
{
    ProgramFixture f;
    click(f.program.mainWindow.control(MainControls::AutomaticButton));
    click(f.program.mainWindow.control(MainControls::RestoreButton));
    // As designed the second run's first line followed the completion sentence on its line
    // ("优化已经完成！1:Alerter:..."); it starts a line of its own, and nothing before it is lost.
    CHECK(f.program.progressWindow.text() == goldenLog("automatic") + L"\r\n" + goldenLog("restore"));
    CHECK(f.desktop.recorder.launches.size() == 115 + 83);
}

TEST_CASE("a click during a run's message processing runs a whole second run first")
{
    ProgramFixture f;
    f.program.mainWindow.show();
    f.desktop.recorder.atMessages = [&](int pump) {
        if (pump == 3)
            click(f.program.mainWindow.control(MainControls::RestoreButton));
    };
    click(f.program.mainWindow.control(MainControls::AutomaticButton));

    const std::wstring automatic = goldenLog("automatic");
    const std::wstring restore = goldenLog("restore");
    std::size_t thirdLineEnd = 0;
    for (int line = 0; line < 3; ++line)
        thirdLineEnd = automatic.find(L"\r\n", thirdLineEnd) + 2;
    CHECK(f.program.progressWindow.text()
          == automatic.substr(0, thirdLineEnd) + restore + L"\r\n" + automatic.substr(thirdLineEnd));
    CHECK(f.desktop.recorder.launches.size() == 115 + 83);
    CHECK(f.desktop.recorder.launches[6].commandLine == L"cmd /c NET stop Alerter");  // the nested run's first
    CHECK(countOf(f.program.progressWindow.text(), L"优化已经完成！") == 2);
}

TEST_CASE("the progress window closed during a run: the run goes on into a fresh hidden window")
{
    ProgramFixture f;
    f.desktop.recorder.atMessages = [&](int pump) {
        if (pump == 2)
            SendMessageW(f.program.progressWindow.handle(), WM_CLOSE, 0, 0);
    };
    click(f.program.mainWindow.control(MainControls::AutomaticButton));

    ProgressWindow& progress = f.program.progressWindow;
    CHECK(f.desktop.recorder.launches.size() == 115);
    CHECK(progress.isLoaded());
    CHECK_FALSE(progress.isVisible());
    const std::wstring automatic = goldenLog("automatic");
    CHECK(progress.text() == automatic.substr(automatic.find(L"3.1:")));
    CHECK(ui::windowText(progress.handle()) == L"优化完成！");
    CHECK(IsWindowEnabled(progress.control(ProgressControls::ExitButton)));

    // The next run shows that window with everything it holds and appends to it, from a line of
    // its own, and says it is under way again.
    click(f.program.mainWindow.control(MainControls::RestoreButton));
    CHECK(progress.isVisible());
    CHECK(progress.text() == automatic.substr(automatic.find(L"3.1:")) + L"\r\n" + goldenLog("restore"));
}

TEST_CASE("the user edits the log box during a run")
{
    ProgramFixture f;
    ProgressWindow& progress = f.program.progressWindow;
    SUBCASE("typed text stays and the next line follows it")
    {
        f.desktop.recorder.atMessages = [&](int pump) {
            if (pump != 1)
                return;
            const HWND log = progress.control(ProgressControls::LogBox);
            SendMessageW(log, EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
            for (wchar_t c : std::wstring(L"note"))
                SendMessageW(log, WM_CHAR, c, 0);
        };
        click(f.program.mainWindow.control(MainControls::AutomaticButton));
        CHECK(progress.text().rfind(L"1:Alerter:禁用\r\nnote2:Application Layer Gateway Service:禁用\r\n", 0) == 0);
    }
    SUBCASE("an emptied box goes on from the next line")
    {
        f.desktop.recorder.atMessages = [&](int pump) {
            if (pump == 58)
                SetWindowTextW(progress.control(ProgressControls::LogBox), L"");
        };
        click(f.program.mainWindow.control(MainControls::AutomaticButton));
        CHECK(progress.text() == L"80:WMI Performance Adapter:禁用\r\n" + std::wstring(59, L'-') + L"\r\n优化已经完成！");
    }
}

TEST_CASE("closing the main window ends the program at once, during a run too")
{
    ProgramFixture f;
    MainWindow& form = f.program.mainWindow;

    SUBCASE("during a run: nothing more is launched or written")
    {
        f.desktop.recorder.atMessages = [&](int pump) {
            if (pump == 5)
                SendMessageW(form.handle(), WM_CLOSE, 0, 0);
        };
        click(form.control(MainControls::AutomaticButton));
        CHECK(f.desktop.programEnds == 1);
        CHECK(f.desktop.recorder.launches.size() == 10);
        CHECK(f.desktop.recorder.messagePumps == 5);
        CHECK(countOf(f.program.progressWindow.text(), L"\r\n") == 5);
        CHECK(ui::windowText(f.program.progressWindow.handle()) == L"正在优化系统服务...");
        CHECK_FALSE(IsWindowEnabled(f.program.progressWindow.control(ProgressControls::ExitButton)));
        CHECK(f.desktop.errors.empty());
    }
    SUBCASE("by its exit button")
    {
        click(form.control(MainControls::ExitButton));
        CHECK(f.desktop.programEnds == 1);
    }
    SUBCASE("by the system ending the session")
    {
        SendMessageW(form.handle(), WM_ENDSESSION, TRUE, 0);
        CHECK(f.desktop.programEnds == 1);
    }
}

TEST_CASE("a refused launch stops the run, is shown, and leaves the program open")
{
    ProgramFixture f;
    f.program.mainWindow.show();
    f.desktop.recorder.refusedLaunch = 4;
    click(f.program.mainWindow.control(MainControls::AutomaticButton));

    REQUIRE(f.desktop.errors.size() == 1);
    CHECK(f.desktop.errors[0].text == L"运行时错误 '2':\r\n\r\nThe system cannot find the file specified.");
    CHECK(f.desktop.errors[0].caption == L"Quillora1.1");
    CHECK(f.desktop.programEnds == 0);
    CHECK(f.program.mainWindow.isVisible());
    ProgressWindow& progress = f.program.progressWindow;
    CHECK(progress.isVisible());
    CHECK(progress.text() == L"1:Alerter:禁用\r\n2:Application Layer Gateway Service:禁用\r\n");
    CHECK(ui::windowText(progress.handle()) == L"正在优化系统服务...");
    CHECK_FALSE(IsWindowEnabled(progress.control(ProgressControls::ExitButton)));

    // The program still works: the next run appends to the log that was kept.
    f.desktop.recorder.refusedLaunch.reset();
    click(f.program.mainWindow.control(MainControls::RestoreButton));
    CHECK(progress.text() == L"1:Alerter:禁用\r\n2:Application Layer Gateway Service:禁用\r\n" + goldenLog("restore"));
}

TEST_CASE("the banner and the link label each launch the web site, minimised")
{
    ProgramFixture f;
    MainWindow& form = f.program.mainWindow;
    form.show();
    for (int id : {MainControls::Banner, MainControls::WebLink}) {
        const HWND link = form.control(id);
        SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    }
    const RecordingPlatform::Launch web{L"explorer " + kWebAddress, 2};
    CHECK(f.desktop.recorder.launches == std::vector<RecordingPlatform::Launch>{web, web});
    CHECK_FALSE(f.program.progressWindow.isLoaded());

    SUBCASE("a refused web-site launch is shown and changes nothing else")
    {
        f.desktop.recorder.refusedLaunch = 2;
        SendMessageW(form.control(MainControls::WebLink), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        CHECK(f.desktop.errors.size() == 1);
        CHECK(f.desktop.programEnds == 0);
        CHECK(form.isVisible());
    }
}

TEST_CASE("the labels do nothing when clicked")
{
    ProgramFixture f;
    f.program.mainWindow.show();
    for (int id : {MainControls::QuestionsLabel, MainControls::AutomaticLabel, MainControls::RestoreLabel}) {
        SendMessageW(f.program.mainWindow.control(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        SendMessageW(f.program.mainWindow.control(id), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    }
    flushMessages();
    CHECK(f.desktop.recorder.launches.empty());
    CHECK_FALSE(f.program.progressWindow.isLoaded());
}

namespace {

WNDPROC originalLogProcedure = nullptr;

// A log box that cannot take any more text, as when memory runs out.
LRESULT CALLBACK fullLogBox(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT || message == EM_REPLACESEL)
        return FALSE;
    return CallWindowProcW(originalLogProcedure, window, message, wParam, lParam);
}

}  // namespace

TEST_CASE("a log write the box refuses stops the run and is shown, never lost silently")
{
    ProgramFixture f;
    f.program.progressWindow.show();
    const HWND log = f.program.progressWindow.control(ProgressControls::LogBox);
    originalLogProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(log, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&fullLogBox)));

    click(f.program.mainWindow.control(MainControls::RestoreButton));

    REQUIRE(f.desktop.errors.size() == 1);
    CHECK(f.desktop.errors[0].text.rfind(L"运行时错误 '8':", 0) == 0);
    CHECK(f.desktop.recorder.launches.size() == 2);  // the first step's commands, nothing after
    CHECK(f.desktop.recorder.messagePumps == 0);
    CHECK(ui::windowText(f.program.progressWindow.handle()) == L"正在优化系统服务...");
    SetWindowLongPtrW(log, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalLogProcedure));
}

TEST_CASE("the main window minimises and comes back with the same layout")
{
    ProgramFixture f;
    MainWindow& form = f.program.mainWindow;
    form.show();
    flushMessages();
    const RECT before = rectInParent(form.control(MainControls::RestoreButton));
    ShowWindow(form.handle(), SW_MINIMIZE);
    flushMessages();
    CHECK(IsIconic(form.handle()));
    ShowWindow(form.handle(), SW_RESTORE);
    flushMessages();
    CHECK(clientSize(form.handle()).cx == 350);
    CHECK(clientSize(form.handle()).cy == 282);
    CHECK(rectInParent(form.control(MainControls::RestoreButton)) == before);
    CHECK(f.desktop.programEnds == 0);
}
