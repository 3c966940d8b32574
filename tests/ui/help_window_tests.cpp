#include <doctest.h>

#include "resources/site.h"
#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"
#include "tests/ui/test_desktop.h"
#include "ui/ids/identifiers.h"

using namespace quillora;
using namespace quillora::testing;
using ui::HelpWindow;
using ui::Language;
using ui::HelpControls;
using ui::MainControls;
using ui::MainWindow;

namespace {


POINT clientOrigin(HWND window)
{
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return origin;
}

}  // namespace

TEST_CASE("the help window's design and text")
{
    ProgramFixture f;
    click(f.program.mainWindow.control(MainControls::HelpButton));
    HelpWindow& help = f.program.helpWindow;
    REQUIRE(help.isVisible());
    flushMessages();
    const HWND window = help.handle();
    CHECK(ui::windowText(window) == L"帮助");
    CHECK(clientSize(window).cx == 484);
    CHECK(clientSize(window).cy == 392);
    CHECK(clientOrigin(window).x == 184);
    CHECK(clientOrigin(window).y == 250);
    CHECK_FALSE((GetWindowLongW(window, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)));
    CHECK(GetWindow(window, GW_OWNER) == f.program.host.hiddenOwner());

    const HWND text = help.control(HelpControls::HelpText);
    CHECK(rectInParent(text) == RECT{8, 16, 473, 353});
    const LONG style = GetWindowLongW(text, GWL_STYLE);
    CHECK((style & ES_MULTILINE));
    CHECK((style & WS_VSCROLL));
    CHECK_FALSE((style & (WS_HSCROLL | ES_READONLY)));
    CHECK(std::wstring(fontOf(text).lfFaceName) == L"宋体");
    CHECK(fontOf(text).lfHeight == -14);
    const HWND exit = help.control(HelpControls::ExitButton);
    CHECK(ui::windowText(exit) == L"退出");
    CHECK(rectInParent(exit) == RECT{392, 360, 473, 385});
    CHECK(GetFocus() == exit);
    DWORD selectionStart = 1, selectionEnd = 1;
    SendMessageW(text, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart), reinterpret_cast<LPARAM>(&selectionEnd));
    CHECK(selectionStart == selectionEnd);

    const std::wstring shown = ui::windowText(text);
    const std::vector<std::wstring> lines = splitLines(shown);
    REQUIRE(lines.size() == 13);
    CHECK(lines[0].empty());
    CHECK(lines[1] == L"    对XP系统服务进行优化的软件，这个软件是免费的，你可以无偿获");
    CHECK(lines[2] == L"取，下载网址为" QUILLORA_WIDE(QUILLORA_SITE_HOST) L"，它对系统常用的近百个服务进行优化，");
    CHECK(lines[3] == L"大大提高系统运行速度，对于未优化过的系统来说，开机速度可以提高");
    CHECK(lines[4] == L"20%以上，并减少内存的占用。建议使用“按提问优化”以达到最好效果");
    CHECK(lines[5] == L"，对于不懂电脑的人来说，可以使用“自动优化”，另外，“恢复默认");
    CHECK(lines[6] == L"设置”可以恢复到优化前的系统默认状态，可能对解决一些系统问题有");
    CHECK(lines[7] == L"帮助！");
    CHECK(lines[8].empty());
    CHECK(lines[9] == QUILLORA_WIDE(QUILLORA_SITE_NAME) QUILLORA_WIDE(QUILLORA_WEB_ADDRESS));
    CHECK(lines[10] == L"QQ:10001");
    CHECK(lines[11] == L"mail:" QUILLORA_WIDE(QUILLORA_MAIL_ADDRESS));
    CHECK(lines[12].empty());
    CHECK(shown == HelpWindow::helpText());
}

TEST_CASE("the English help reads as English, no line break inside a sentence; the Traditional help breaks as Traditional Chinese does")
{
    ProgramFixture f;
    f.program.host.setLanguage(Language::English);
    click(f.program.mainWindow.control(MainControls::HelpButton));
    REQUIRE(f.program.helpWindow.isVisible());
    const std::wstring shown = ui::windowText(f.program.helpWindow.control(HelpControls::HelpText));
    for (const wchar_t c : shown)
        CHECK_MESSAGE((c < 0x2E80 || c > 0xFFEF), static_cast<int>(c));
    // Every line ends where a sentence or a contact line ends; the box wraps the rest.
    const std::vector<std::wstring> lines = splitLines(shown);
    REQUIRE(lines.size() == 7);
    CHECK(lines[0].empty());
    CHECK(lines[1].rfind(L"    Quillora tunes the system services of Windows XP.", 0) == 0);
    CHECK(lines[1].find(L"never optimised, start-up can be more than 20% faster, and less memory is used.")
          != std::wstring::npos);
    CHECK(lines[1].back() == L'.');
    CHECK(lines[2].empty());
    CHECK(lines[3] == L"Quillora software site: " QUILLORA_WIDE(QUILLORA_WEB_ADDRESS));
    CHECK(lines[4] == L"QQ:10001");
    CHECK(lines[5] == L"mail:" QUILLORA_WIDE(QUILLORA_MAIL_ADDRESS));

    // In Traditional Chinese every line the box shows, wrapped or not, starts where Traditional
    // Chinese starts a line: never with the punctuation that ends a clause.
    f.program.host.setLanguage(Language::TraditionalChinese);
    const HWND box = f.program.helpWindow.control(HelpControls::HelpText);
    CHECK(ui::windowText(box).find(L"Quillora軟體站") != std::wstring::npos);
    const auto shownLines = static_cast<int>(SendMessageW(box, EM_GETLINECOUNT, 0, 0));
    CHECK(shownLines == 15);  // as many as the text has: none wraps
    for (int line = 0; line < shownLines; ++line) {
        wchar_t text[128] = {static_cast<wchar_t>(std::size(text))};
        const auto length = static_cast<int>(SendMessageW(box, EM_GETLINE, line, reinterpret_cast<LPARAM>(text)));
        CAPTURE(line);
        CHECK((length == 0 || std::wstring(L"，。；：！、）」").find(text[0]) == std::wstring::npos));
    }
}

TEST_CASE("one help window; Esc leaves it open; edits are gone after a close")
{
    ProgramFixture f;
    MainWindow& form = f.program.mainWindow;
    form.show();
    click(form.control(MainControls::HelpButton));
    HelpWindow& help = f.program.helpWindow;
    const HWND first = help.handle();
    click(form.control(MainControls::HelpButton));
    CHECK(help.handle() == first);

    const HWND text = help.control(HelpControls::HelpText);
    SetFocus(text);
    PostMessageW(text, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(text, WM_CHAR, VK_ESCAPE, 0);
    flushMessages();
    CHECK(help.isVisible());

    SendMessageW(text, EM_SETSEL, 0, 0);
    SendMessageW(text, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"typed"));
    CHECK(ui::windowText(text).rfind(L"typed", 0) == 0);
    click(help.control(HelpControls::ExitButton));
    CHECK_FALSE(help.isLoaded());

    click(form.control(MainControls::HelpButton));
    CHECK(ui::windowText(help.control(HelpControls::HelpText)) == HelpWindow::helpText());
}

TEST_CASE("the help window opens at its place whatever the main window's place")
{
    ProgramFixture f;
    MainWindow& form = f.program.mainWindow;
    form.show();
    SetWindowPos(form.handle(), nullptr, 600, 500, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    click(form.control(MainControls::HelpButton));
    CHECK(clientOrigin(f.program.helpWindow.handle()).x == 184);
    CHECK(clientOrigin(f.program.helpWindow.handle()).y == 250);
    SendMessageW(f.program.helpWindow.handle(), WM_CLOSE, 0, 0);
    CHECK_FALSE(f.program.helpWindow.isLoaded());
    CHECK(f.desktop.programEnds == 0);
}
