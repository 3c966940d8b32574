// The windows in English by the user's choice, Chinese as designed by default.
#include <doctest.h>

#include <windows.h>

#include "engine/choice/settings.h"
#include "tests/support/golden.h"
#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"
#include "tests/ui/test_desktop.h"
#include "ui/identifiers.h"
#include "ui/texts.h"

using namespace quillora;
using namespace quillora::testing;
using ui::Language;
using ui::MainControls;
using ui::Text;

namespace {

const std::string kSettings = "/home/user/Quillora/settings.ini";

void chooseLanguageFromMenu(ui::Program& program)
{
    SendMessageW(program.mainWindow.handle(), WM_SYSCOMMAND, ui::kLanguageCommand, 0);
}

std::wstring menuItem(HWND window, unsigned command)
{
    wchar_t text[64] = L"";
    GetMenuStringW(GetSystemMenu(window, FALSE), command, text, 64, MF_BYCOMMAND);
    return text;
}

}  // namespace

TEST_CASE("every text has both languages, and none is empty")
{
    for (int id = 0; id < static_cast<int>(Text::Count); ++id) {
        CAPTURE(id);
        const wchar_t* chinese = ui::textIn(Language::Chinese, static_cast<Text>(id));
        const wchar_t* english = ui::textIn(Language::English, static_cast<Text>(id));
        REQUIRE(chinese);
        REQUIRE(english);
        CHECK((static_cast<Text>(id) == Text::Empty) == (*english == L'\0'));
        CHECK((static_cast<Text>(id) == Text::Empty) == (*chinese == L'\0'));
    }
    CHECK(std::size(ui::kChineseTexts) == static_cast<std::size_t>(Text::Count));
    CHECK(std::size(ui::kEnglishTexts) == static_cast<std::size_t>(Text::Count));
}

TEST_CASE("Chinese until the user chooses; the menu switches every open window at once and keeps the choice")
{
    ProgramFixture f;
    f.program.mainWindow.show();
    f.program.helpWindow.show();
    const HWND main = f.program.mainWindow.handle();
    CHECK(f.program.mainWindow.controlText(MainControls::AutomaticButton) == L"自动优化");
    CHECK(menuItem(main, ui::kLanguageCommand) == L"&English");

    chooseLanguageFromMenu(f.program);
    CHECK(f.program.mainWindow.controlText(MainControls::AutomaticButton) == L"Automatic");
    CHECK(ui::windowText(f.program.helpWindow.handle()) == L"Help");
    CHECK(menuItem(main, ui::kLanguageCommand) == L"中文(&Z)");
    CHECK(menuItem(main, ui::kUndoLastRunCommand) == L"&Undo last optimisation...");
    CHECK(f.desktop.memoryMachine.memoryFiles.files.at(kSettings).bytes == "[Quillora]\r\nlanguage=en\r\n");
    CHECK(fontOf(f.program.mainWindow.control(MainControls::AutomaticButton)).lfCharSet != GB2312_CHARSET);

    chooseLanguageFromMenu(f.program);
    CHECK(f.program.mainWindow.controlText(MainControls::AutomaticButton) == L"自动优化");
    CHECK(fontOf(f.program.mainWindow.control(MainControls::AutomaticButton)).lfCharSet == GB2312_CHARSET);
    CHECK(f.desktop.memoryMachine.memoryFiles.files.at(kSettings).bytes == "[Quillora]\r\nlanguage=zh\r\n");
}

TEST_CASE("the choice is kept for the next start; a choice for one start is not")
{
    TestDesktop desktop;
    const auto startAndRead = [&](std::optional<Language> chosen, bool switchLanguage) {
        ui::Program program(GetModuleHandleW(nullptr), desktop, desktop, desktop.machine, chosen);
        program.mainWindow.show();
        if (switchLanguage)
            chooseLanguageFromMenu(program);
        return program.mainWindow.controlText(MainControls::AutomaticButton);
    };
    CHECK(startAndRead(std::nullopt, false) == L"自动优化");
    CHECK(startAndRead(std::nullopt, true) == L"Automatic");
    CHECK(startAndRead(std::nullopt, false) == L"Automatic");          // kept
    CHECK(startAndRead(Language::Chinese, false) == L"自动优化");      // /lang:zh, for one start
    CHECK(startAndRead(std::nullopt, false) == L"Automatic");          // not kept
    CHECK(startAndRead(std::nullopt, true) == L"自动优化");
    CHECK(startAndRead(std::nullopt, false) == L"自动优化");
    CHECK(startAndRead(Language::English, false) == L"Automatic");     // /lang:en
    CHECK(desktop.memoryMachine.memoryFiles.files.at(kSettings).bytes == "[Quillora]\r\nlanguage=zh\r\n");
}

TEST_CASE("a choice that cannot be kept is said, and the windows switch all the same")
{
    ProgramFixture f;
    f.program.mainWindow.show();
    f.desktop.memoryMachine.memoryFiles.readOnly = true;
    chooseLanguageFromMenu(f.program);
    REQUIRE(f.desktop.errors.size() == 1);
    CHECK(f.desktop.errors[0].text.rfind(L"Could not save the choice of language /home/user/Quillora/settings.ini\r\n", 0)
          == 0);
    CHECK(f.program.mainWindow.controlText(MainControls::RestoreButton) == L"Restore defaults");
    CHECK(f.desktop.memoryMachine.memoryFiles.files.count(kSettings) == 0);
}

TEST_CASE("switching back and forth during a run keeps the log whole; new lines take the new language")
{
    ProgramFixture f;
    f.program.mainWindow.show();
    f.desktop.recorder.atMessages = [&](int pump) {
        if (pump == 2 || pump == 4)
            chooseLanguageFromMenu(f.program);
    };
    click(f.program.mainWindow.control(MainControls::AutomaticButton));
    const std::wstring log = f.program.progressWindow.text();
    // Lines 1 and 2 in Chinese, 3 and 4 in English, the rest in Chinese again.
    CHECK(log.rfind(L"1:Alerter:禁用\r\n2:Application Layer Gateway Service:禁用\r\n3.1:ASP.NET State Service:manual\r\n"
                    L"3.2:Ati HotKey Poller:disabled\r\n3.3:ATI Smart:禁用\r\n",
                    0)
          == 0);
    CHECK(countOf(log, L"\r\n") == countOf(goldenLog("automatic"), L"\r\n"));
    CHECK(f.desktop.recorder.launches.size() == goldenCommandLines("automatic").size());
    CHECK(ui::windowText(f.program.progressWindow.handle()) == L"优化完成！");

    // A finished window says so in the language chosen after it finished.
    chooseLanguageFromMenu(f.program);
    CHECK(ui::windowText(f.program.progressWindow.handle()) == L"Optimisation complete!");
    CHECK(f.program.progressWindow.controlText(ui::ProgressControls::StatusLabel) == L"Optimisation complete!");
    CHECK(f.program.progressWindow.text() == log);
}

TEST_CASE("an English run: the log in English words, the commands as in Chinese")
{
    ProgramFixture f;
    f.program.host.setLanguage(Language::English);
    f.program.mainWindow.show();
    click(f.program.mainWindow.control(MainControls::AutomaticButton));
    CHECK(f.program.progressWindow.text() == fromUtf8(goldenBytes("automatic", "en.log")));
    std::vector<std::wstring> launched;
    for (const auto& launch : f.desktop.recorder.launches)
        launched.push_back(launch.commandLine);
    CHECK(launched == goldenCommandLines("automatic"));
}
