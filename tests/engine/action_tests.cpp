#include <doctest.h>

#include "action.h"
#include "answers.h"
#include "engine_doubles.h"
#include "service_step.h"
#include "wide_strings.h"

using namespace quillora;

TEST_CASE("each action kind launches its exact command lines in order")
{
    using Lines = std::vector<std::wstring>;
    CHECK(commandLines(ActionKind::StopAndDisable, L"Alerter")
          == Lines{L"cmd /c NET stop Alerter", L"cmd /c sc config Alerter start= disabled"});
    CHECK(commandLines(ActionKind::StopAndManual, L"CryptSvc")
          == Lines{L"cmd /c NET stop CryptSvc", L"cmd /c sc config CryptSvc start= demand"});
    CHECK(commandLines(ActionKind::ManualOnly, L"ALG") == Lines{L"cmd /c sc config ALG start= demand"});
    CHECK(commandLines(ActionKind::StartAndAutomatic, L"Themes")
          == Lines{L"cmd /c NET start Themes", L"cmd /c sc config Themes start= auto"});
}

TEST_CASE("mode words")
{
    CHECK(std::wstring(modeWord(ActionKind::StopAndDisable)) == L"禁用");
    CHECK(std::wstring(modeWord(ActionKind::StopAndManual)) == L"手动");
    CHECK(std::wstring(modeWord(ActionKind::ManualOnly)) == L"手动");
    CHECK(std::wstring(modeWord(ActionKind::StartAndAutomatic)) == L"自动");
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
        const ServiceStep step{L"3.2", L"Ati HotKey Poller", L"Ati HotKey Poller",
                               ActionKind::StopAndDisable, std::nullopt};
        CHECK(logLine(step, performedAction(step)) == L"3.2:Ati HotKey Poller:禁用");
    }
}

TEST_CASE("a question-dependent step follows its flag at the moment it is asked")
{
    const ServiceStep step{L"42", L"Print Spooler", L"Spooler", ActionKind::StopAndDisable,
                           AnswerFlag::Printer};
    testing::AnswersScope answers(0, -1, 0);

    CHECK(performedAction(step) == ActionKind::ManualOnly);
    CHECK(logLine(step, performedAction(step)) == L"42:Print Spooler:手动");

    Module1::AnswerPrinter = 0;
    CHECK(performedAction(step) == ActionKind::StopAndDisable);

    // Only exactly -1 is a yes.
    Module1::AnswerPrinter = 1;
    CHECK(performedAction(step) == ActionKind::StopAndDisable);
    CHECK(logLine(step, performedAction(step)) == L"42:Print Spooler:禁用");
}

TEST_CASE("each answer flag is its own variable and starts at zero")
{
    CHECK(Module1::AnswerCdBurner == 0);
    CHECK(Module1::AnswerPrinter == 0);
    CHECK(Module1::AnswerImaging == 0);
    testing::AnswersScope answers(0, 0, 0);
    answerFlag(AnswerFlag::Imaging) = kAnswerYes;
    CHECK(Module1::AnswerImaging == -1);
    CHECK(answeredYes(AnswerFlag::Imaging));
    CHECK_FALSE(answeredYes(AnswerFlag::CdBurner));
    CHECK_FALSE(answeredYes(AnswerFlag::Printer));
    static_assert(sizeof(Module1::AnswerCdBurner) == 2);
}
