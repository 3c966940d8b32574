#include <doctest.h>

#include "engine/catalogue/action.h"
#include "engine/catalogue/answers.h"
#include "engine/catalogue/catalogue.h"
#include "tests/support/engine_doubles.h"
#include "tests/support/wide_strings.h"

using namespace quillora;

namespace {

using Lines = std::vector<std::wstring>;

Lines commandLines(ActionKind kind, const std::wstring& key)
{
    Lines lines;
    for (const ServiceCommand& command : serviceCommands(kind, key))
        lines.push_back(command.line);
    return lines;
}

std::vector<CommandKind> commandKinds(ActionKind kind)
{
    std::vector<CommandKind> kinds;
    for (const ServiceCommand& command : serviceCommands(kind, L"Svc"))
        kinds.push_back(command.kind);
    return kinds;
}

}  // namespace

TEST_CASE("each action kind launches its exact command lines in order, each of its kind")
{
    using Kinds = std::vector<CommandKind>;
    CHECK(commandKinds(ActionKind::StopAndDisable) == Kinds{CommandKind::NetStop, CommandKind::ScConfig});
    CHECK(commandKinds(ActionKind::StopAndManual) == Kinds{CommandKind::NetStop, CommandKind::ScConfig});
    CHECK(commandKinds(ActionKind::ManualOnly) == Kinds{CommandKind::ScConfig});
    CHECK(commandKinds(ActionKind::StartAndAutomatic) == Kinds{CommandKind::NetStart, CommandKind::ScConfig});
    CHECK(commandLines(ActionKind::StopAndDisable, L"Alerter")
          == Lines{L"cmd /c NET stop Alerter", L"cmd /c sc config Alerter start= disabled"});
    CHECK(commandLines(ActionKind::StopAndManual, L"CryptSvc")
          == Lines{L"cmd /c NET stop CryptSvc", L"cmd /c sc config CryptSvc start= demand"});
    CHECK(commandLines(ActionKind::ManualOnly, L"ALG") == Lines{L"cmd /c sc config ALG start= demand"});
    CHECK(commandLines(ActionKind::StartAndAutomatic, L"Themes")
          == Lines{L"cmd /c NET start Themes", L"cmd /c sc config Themes start= auto"});
}

TEST_CASE("what each action kind does: stopped first, the mode it sets, started after, its log word")
{
    struct Expected {
        ActionKind kind;
        bool stopsFirst;
        StartMode mode;
        bool startsAfter;
        const wchar_t* modeWord;
        const wchar_t* englishWord;
        const char* description;
    };
    const Expected table[] = {
        {ActionKind::StopAndDisable, true, StartMode::Disabled, false, L"禁用", L"disabled", "stop, disabled"},
        {ActionKind::StopAndManual, true, StartMode::Manual, false, L"手动", L"manual", "stop, manual"},
        {ActionKind::ManualOnly, false, StartMode::Manual, false, L"手动", L"manual", "manual"},
        {ActionKind::StartAndAutomatic, false, StartMode::Automatic, true, L"自动", L"automatic", "automatic, start"},
    };
    for (const Expected& row : table) {
        CAPTURE(row.description);
        const ActionEffect& effect = effectOf(row.kind);
        CHECK(effect.stopsFirst == row.stopsFirst);
        CHECK(effect.mode == row.mode);
        CHECK(effect.startsAfter == row.startsAfter);
        CHECK(std::wstring(modeWordOf(kChineseWording, effect.mode)) == row.modeWord);
        CHECK(std::wstring(modeWordOf(kEnglishWording, effect.mode)) == row.englishWord);
        CHECK(actionDescription(row.kind) == row.description);
    }
}

TEST_CASE("key quoting")
{
    SUBCASE("a key with blanks is quoted in both command lines")
    {
        CHECK(commandLines(ActionKind::StopAndDisable, L"Ati HotKey Poller")
              == std::vector<std::wstring>{L"cmd /c NET stop \"Ati HotKey Poller\"",
                                           L"cmd /c sc config \"Ati HotKey Poller\" start= disabled"});
        CHECK(commandLines(ActionKind::ManualOnly, L"ATI Smart")
              == std::vector<std::wstring>{L"cmd /c sc config \"ATI Smart\" start= demand"});
    }
    SUBCASE("a key without blanks is never quoted")
    {
        CHECK(quotedKey(L"aspnet_state") == L"aspnet_state");
        CHECK(quotedKey(L"") == L"");
    }
    SUBCASE("the log line carries no quotation marks")
    {
        CHECK(logLine(testing::planned(Profile::Automatic, L"Ati HotKey Poller")) == L"3.2:Ati HotKey Poller:禁用");
    }
}

TEST_CASE("a question-dependent step follows its flag at the moment it is asked")
{
    const ServiceStep step{L"42", L"Print Spooler", L"Spooler", ActionKind::StopAndDisable,
                           RowQuestion{AnswerFlag::Printer, ActionKind::ManualOnly}};
    Answers answers{0, -1, 0};

    CHECK(performedAction(step, answers) == ActionKind::ManualOnly);
    CHECK(logLine(testing::planned(Profile::Prompted, L"Spooler", answers)) == L"42:Print Spooler:手动");

    answers.AnswerPrinter = 0;
    CHECK(performedAction(step, answers) == ActionKind::StopAndDisable);

    // Only exactly -1 is a yes.
    answers.AnswerPrinter = 1;
    CHECK(performedAction(step, answers) == ActionKind::StopAndDisable);
    CHECK(logLine(testing::planned(Profile::Prompted, L"Spooler", answers)) == L"42:Print Spooler:禁用");

    // The other two answers do not count for this row.
    CHECK(performedAction(step, Answers{-1, 0, -1}) == ActionKind::StopAndDisable);

    // Both actions come from the row itself, whatever they are.
    const ServiceStep unusual{L"9", L"Unusual", L"Unusual", ActionKind::StartAndAutomatic,
                              RowQuestion{AnswerFlag::Imaging, ActionKind::StopAndManual}};
    CHECK(performedAction(unusual, Answers{0, 0, -1}) == ActionKind::StopAndManual);
    CHECK(performedAction(unusual, Answers{-1, -1, 0}) == ActionKind::StartAndAutomatic);
}

TEST_CASE("each answer is its own 16-bit value and starts at zero")
{
    Answers answers;
    CHECK(answers.AnswerCdBurner == 0);
    CHECK(answers.AnswerPrinter == 0);
    CHECK(answers.AnswerImaging == 0);
    answers[AnswerFlag::Imaging] = kAnswerYes;
    CHECK(answers.AnswerImaging == -1);
    CHECK(answers.AnswerCdBurner == 0);
    CHECK(answers.AnswerPrinter == 0);
    CHECK(answers.yes(AnswerFlag::Imaging));
    CHECK_FALSE(answers.yes(AnswerFlag::CdBurner));
    CHECK_FALSE(answers.yes(AnswerFlag::Printer));
    answers[AnswerFlag::CdBurner] = kAnswerYes;
    CHECK(answers.AnswerCdBurner == -1);
    CHECK(answers.AnswerPrinter == 0);
    static_assert(sizeof(answers.AnswerCdBurner) == 2);
}
