// The windows in English by the user's choice, Chinese as designed by default.
#include <doctest.h>

#include <windows.h>

#include <set>

#include "engine/choice/settings.h"
#include "tests/support/golden.h"
#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"
#include "tests/ui/test_desktop.h"
#include "ui/ids/identifiers.h"
#include "ui/words/texts.h"

using namespace quillora;
using namespace quillora::testing;
using ui::Language;
using ui::MainControls;
using ui::Text;

namespace {

void chooseLanguageFromMenu(ui::Program& program, Language language)
{
    SendMessageW(program.mainWindow.handle(), WM_SYSCOMMAND, ui::choiceOf(language).command, 0);
}

bool itemChecked(HWND window, unsigned command)
{
    return (GetMenuState(GetSystemMenu(window, FALSE), command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

std::wstring menuItem(HWND window, unsigned command)
{
    wchar_t text[64] = L"";
    GetMenuStringW(GetSystemMenu(window, FALSE), command, text, 64, MF_BYCOMMAND);
    return text;
}

}  // namespace

TEST_CASE("every text has all three languages, and none is empty")
{
    for (int id = 0; id < static_cast<int>(Text::Count); ++id) {
        CAPTURE(id);
        for (const Language language : {Language::Chinese, Language::English, Language::TraditionalChinese}) {
            const wchar_t* text = ui::textIn(language, static_cast<Text>(id));
            REQUIRE(text);
            CHECK((static_cast<Text>(id) == Text::Empty) == (*text == L'\0'));
        }
    }
    CHECK(std::size(ui::kChineseTexts) == static_cast<std::size_t>(Text::Count));
    CHECK(std::size(ui::kEnglishTexts) == static_cast<std::size_t>(Text::Count));
    CHECK(std::size(ui::kTraditionalTexts) == static_cast<std::size_t>(Text::Count));
    // Counts in English take the plural they need; Chinese has none.
    CHECK(ui::textIn(Language::English, Text::ServiceCount, {L"1"}) == L"1 service");
    CHECK(ui::textIn(Language::English, Text::ServiceCount, {L"11"}) == L"11 services");
}

// A Traditional text that is the Simplified one character for character is a text left
// untranslated, but for these, which the two scripts write alike.
TEST_CASE("no Traditional Chinese text is the Simplified one, but where both scripts write it alike")
{
    const std::set<Text> alike = {
        Text::Empty,        Text::MainCaption,   Text::YesButton,    Text::NoButton,    Text::NameBetween,
        Text::ServiceNote,  Text::BoxYes,        Text::BoxNo,        Text::BoxCancel,   Text::StateStopped,
        Text::StateStopping, Text::StateUnknown, Text::ColumnBefore, Text::ColumnAsked, Text::NeededHere,
        Text::PaneCitation, Text::ReasonAtLine,  Text::AnswersShown, Text::YesWord,     Text::NoWord,
    };
    for (int id = 0; id < static_cast<int>(Text::Count); ++id) {
        const Text text = static_cast<Text>(id);
        CAPTURE(id);
        const std::wstring simplified = ui::textIn(Language::Chinese, text);
        const std::wstring traditional = ui::textIn(Language::TraditionalChinese, text);
        CHECK((simplified == traditional) == (alike.count(text) == 1));
    }
}

TEST_CASE("Chinese until the user chooses; the menu offers the three languages, switches every open window at once "
          "and keeps the choice")
{
    ProgramFixture f;
    f.program.mainWindow.show();
    f.program.helpWindow.show();
    const HWND main = f.program.mainWindow.handle();
    CHECK(f.program.mainWindow.controlText(MainControls::AutomaticButton) == L"自动优化");
    CHECK(menuItem(main, ui::kChineseCommand) == L"简体中文(&Z)");
    CHECK(menuItem(main, ui::kEnglishCommand) == L"&English");
    CHECK(menuItem(main, ui::kTraditionalChineseCommand) == L"繁體中文(&T)");
    CHECK(itemChecked(main, ui::kChineseCommand));
    CHECK_FALSE(itemChecked(main, ui::kEnglishCommand));

    chooseLanguageFromMenu(f.program, Language::English);
    CHECK(f.program.mainWindow.controlText(MainControls::AutomaticButton) == L"Automatic");
    CHECK(ui::windowText(f.program.helpWindow.handle()) == L"Help");
    CHECK(menuItem(main, ui::kChineseCommand) == L"简体中文(&Z)");
    CHECK(itemChecked(main, ui::kEnglishCommand));
    CHECK_FALSE(itemChecked(main, ui::kChineseCommand));
    CHECK(menuItem(main, ui::kUndoLastRunCommand) == L"&Undo last optimisation...");
    CHECK(f.desktop.memoryMachine.memoryFiles.files.at(kSettings).bytes == "[Quillora]\r\nlanguage=en\r\n");
    CHECK(fontOf(f.program.mainWindow.control(MainControls::AutomaticButton)).lfCharSet != GB2312_CHARSET);

    chooseLanguageFromMenu(f.program, Language::TraditionalChinese);
    CHECK(f.program.mainWindow.controlText(MainControls::AutomaticButton) == L"自動最佳化");
    CHECK(f.program.mainWindow.controlText(MainControls::QuestionsButton) == L"依提問最佳化(建議)");
    CHECK(f.program.mainWindow.controlText(MainControls::RestoreButton) == L"還原系統預設值");
    CHECK(ui::windowText(f.program.helpWindow.handle()) == L"說明");
    CHECK(menuItem(main, ui::kUndoLastRunCommand) == L"復原上次最佳化(&U)...");
    CHECK(itemChecked(main, ui::kTraditionalChineseCommand));
    CHECK(fontOf(f.program.mainWindow.control(MainControls::AutomaticButton)).lfCharSet == CHINESEBIG5_CHARSET);
    CHECK(f.desktop.memoryMachine.memoryFiles.files.at(kSettings).bytes == "[Quillora]\r\nlanguage=zh-TW\r\n");

    chooseLanguageFromMenu(f.program, Language::Chinese);
    CHECK(f.program.mainWindow.controlText(MainControls::AutomaticButton) == L"自动优化");
    CHECK(fontOf(f.program.mainWindow.control(MainControls::AutomaticButton)).lfCharSet == GB2312_CHARSET);
    CHECK(f.desktop.memoryMachine.memoryFiles.files.at(kSettings).bytes == "[Quillora]\r\nlanguage=zh\r\n");
}

TEST_CASE("the choice is kept for the next start; a choice for one start is not")
{
    TestDesktop desktop;
    const auto startAndRead = [&](std::optional<Language> chosen, std::optional<Language> fromMenu) {
        ui::Program program(GetModuleHandleW(nullptr), desktop, desktop, desktop.machine, desktop.restorePoints, chosen);
        program.mainWindow.show();
        if (fromMenu)
            chooseLanguageFromMenu(program, *fromMenu);
        return program.mainWindow.controlText(MainControls::AutomaticButton);
    };
    CHECK(startAndRead(std::nullopt, std::nullopt) == L"自动优化");
    CHECK(startAndRead(std::nullopt, Language::English) == L"Automatic");
    CHECK(startAndRead(std::nullopt, std::nullopt) == L"Automatic");          // kept
    CHECK(startAndRead(Language::Chinese, std::nullopt) == L"自动优化");      // /lang:zh, for one start
    CHECK(startAndRead(std::nullopt, std::nullopt) == L"Automatic");          // not kept
    CHECK(startAndRead(std::nullopt, Language::TraditionalChinese) == L"自動最佳化");
    CHECK(startAndRead(std::nullopt, std::nullopt) == L"自動最佳化");         // kept
    CHECK(startAndRead(std::nullopt, Language::Chinese) == L"自动优化");
    CHECK(startAndRead(std::nullopt, std::nullopt) == L"自动优化");
    CHECK(startAndRead(Language::English, std::nullopt) == L"Automatic");     // /lang:en
    CHECK(startAndRead(Language::TraditionalChinese, std::nullopt) == L"自動最佳化");  // /lang:zh-TW
    CHECK(desktop.memoryMachine.memoryFiles.files.at(kSettings).bytes == "[Quillora]\r\nlanguage=zh\r\n");
}

TEST_CASE("a choice that cannot be kept is said, and the windows switch all the same")
{
    ProgramFixture f;
    f.program.mainWindow.show();
    f.desktop.memoryMachine.memoryFiles.readOnly = true;
    chooseLanguageFromMenu(f.program, Language::English);
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
            chooseLanguageFromMenu(f.program, pump == 2 ? Language::English : Language::Chinese);
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
    chooseLanguageFromMenu(f.program, Language::English);
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

// The golden log is the designed one with the three words Microsoft's Traditional Chinese Windows
// uses for the start modes, and the completion sentence in Traditional Chinese.
TEST_CASE("a Traditional Chinese run: 停用, 手動, 自動 in the log, Traditional captions, the commands as designed")
{
    ProgramFixture f;
    f.program.host.setLanguage(Language::TraditionalChinese);
    f.program.mainWindow.show();
    CHECK(f.program.mainWindow.controlText(MainControls::QuestionsButton) == L"依提問最佳化(建議)");
    CHECK(f.program.mainWindow.controlText(MainControls::AutomaticButton) == L"自動最佳化");
    CHECK(f.program.mainWindow.controlText(MainControls::RestoreButton) == L"還原系統預設值");
    CHECK(f.program.mainWindow.controlText(MainControls::HelpButton) == L"說明");
    CHECK(f.program.mainWindow.controlText(MainControls::ExitButton) == L"結束");
    click(f.program.mainWindow.control(MainControls::AutomaticButton));
    const std::wstring log = f.program.progressWindow.text();
    CHECK(log.rfind(L"1:Alerter:停用\r\n", 0) == 0);
    CHECK(log == fromUtf8(goldenBytes("automatic", "zh-TW.log")));
    CHECK(ui::windowText(f.program.progressWindow.handle()) == L"最佳化完成！");
    std::vector<std::wstring> launched;
    for (const auto& launch : f.desktop.recorder.launches)
        launched.push_back(launch.commandLine);
    CHECK(launched == goldenCommandLines("automatic"));
}
