#include <doctest.h>

#include "tests/support/wide_strings.h"
#include "tests/ui/test_desktop.h"
#include "ui/ids/identifiers.h"

using namespace quillora;
using namespace quillora::testing;
using ui::ProgressControls;
using ui::ProgressWindow;

namespace {

const wchar_t kLoadCaption[] = L"正在优化系统服务...";
const wchar_t kLoadStatus[] = L"正在优化系统服务，请稍等......";

HWND item(ProgressWindow& window, int id)
{
    return window.control(id);
}

}  // namespace

TEST_CASE("the progress window's design")
{
    ProgramFixture f;
    ProgressWindow& list = f.program.progressWindow;
    CHECK_FALSE(list.isLoaded());

    // Any access loads it hidden, in its load state.
    CHECK(list.text().empty());
    CHECK(list.isLoaded());
    CHECK_FALSE(list.isVisible());
    const HWND window = list.handle();
    CHECK(ui::windowText(window) == kLoadCaption);

    CHECK(clientSize(window).cx == 476);
    CHECK(clientSize(window).cy == 320);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    CHECK((style & WS_SYSMENU));
    CHECK_FALSE((style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)));
    CHECK(GetWindow(window, GW_OWNER) == nullptr);

    CHECK(std::abs(offsetFromScreenCentre(window).x) <= 1);
    CHECK(std::abs(offsetFromScreenCentre(window).y) <= 1);

    const HWND label = item(list, ProgressControls::StatusLabel);
    CHECK(ui::windowText(label) == kLoadStatus);
    CHECK(rectInParent(label) == RECT{32, 16, 329, 41});
    const LOGFONTW labelFont = fontOf(label);
    CHECK(std::wstring(labelFont.lfFaceName) == L"宋体");
    CHECK(labelFont.lfHeight == -16);
    CHECK(labelFont.lfWeight == FW_BOLD);
    CHECK(labelFont.lfCharSet == GB2312_CHARSET);

    const HWND log = item(list, ProgressControls::LogBox);
    CHECK(rectInParent(log) == RECT{32, 48, 433, 273});
    const LONG logStyle = GetWindowLongW(log, GWL_STYLE);
    CHECK((logStyle & ES_MULTILINE));
    CHECK((logStyle & WS_VSCROLL));
    CHECK_FALSE((logStyle & (WS_HSCROLL | ES_READONLY)));
    CHECK(std::wstring(fontOf(log).lfFaceName) == L"宋体");

    const HWND exit = item(list, ProgressControls::ExitButton);
    CHECK(ui::windowText(exit) == L"退出");
    CHECK(rectInParent(exit) == RECT{184, 288, 265, 313});
    CHECK_FALSE(IsWindowEnabled(exit));
}

TEST_CASE("the progress window shown: the log box has the focus; showing again changes nothing")
{
    ProgramFixture f;
    ProgressWindow& list = f.program.progressWindow;
    list.show();
    flushMessages();
    CHECK(list.isVisible());
    CHECK(GetFocus() == item(list, ProgressControls::LogBox));

    SetWindowPos(list.handle(), nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    list.setText(L"kept");
    list.show();
    RECT place;
    GetWindowRect(list.handle(), &place);
    CHECK(place.left == 10);
    CHECK(place.top == 20);
    CHECK(list.text() == L"kept");
}

TEST_CASE("the exit button and the title-bar close unload the window")
{
    ProgramFixture f;
    ProgressWindow& list = f.program.progressWindow;
    list.show();
    list.setText(L"old log");
    list.setCaption(L"优化完成！");
    list.enableExit();

    SUBCASE("exit button")
    {
        click(item(list, ProgressControls::ExitButton));
    }
    SUBCASE("title-bar close")
    {
        SendMessageW(list.handle(), WM_CLOSE, 0, 0);
    }
    CHECK_FALSE(list.isLoaded());
    list.show();
    CHECK(list.text().empty());
    CHECK(ui::windowText(list.handle()) == kLoadCaption);
    CHECK_FALSE(IsWindowEnabled(item(list, ProgressControls::ExitButton)));
}

TEST_CASE("the log box keeps text of any length")
{
    ProgramFixture f;
    ProgressWindow& list = f.program.progressWindow;
    const HWND log = item(list, ProgressControls::LogBox);

    // Pasted by the user: a megabyte of text, far beyond an edit box's usual 32,000 characters.
    std::wstring pasted;
    while (pasted.size() < 1024 * 1024)
        pasted += L"pasted by the user, line " + std::to_wstring(pasted.size()) + L" of the notes\r\n";
    SendMessageW(log, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted.c_str()));
    CHECK(GetWindowTextLengthW(log) == static_cast<int>(pasted.size()));

    list.setText(list.text() + L"1:Alerter:禁用\r\n");
    const std::wstring text = list.text();
    CHECK(text.size() == pasted.size() + 14);
    CHECK(text.substr(0, pasted.size()) == pasted);
    CHECK(text.substr(pasted.size()) == L"1:Alerter:禁用\r\n");
}
