#include <doctest.h>

#include "engine/catalogue/catalogue.h"
#include "engine/machine/failure.h"
#include "engine/run/runner.h"
#include "tests/support/engine_doubles.h"
#include "tests/support/golden.h"
#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"

using namespace quillora;
using quillora::testing::countOf;
using testing::ReloadingProgressLog;
using testing::ScriptedPlatform;

namespace {

// Rows of each action kind, as the planner gives them: stop-and-disable, manual-only and
// start-and-automatic.
const PlannedRow kAlerter = testing::planned(Profile::Automatic, L"Alerter");
const PlannedRow kAlg = testing::planned(Profile::Restore, L"ALG");
const PlannedRow kThemes = testing::planned(Profile::Restore, L"Themes");

const std::wstring kBanner =
    L"-----------------------------------------------------------\r\n优化已经完成！";

}  // namespace

TEST_CASE("one step: launches, then one log line, then one message point")
{
    ScriptedPlatform platform;
    ReloadingProgressLog log;
    std::vector<std::size_t> launchesSeenAtMessages;
    std::wstring logSeenAtMessages;
    platform.atMessages = [&](int) {
        launchesSeenAtMessages.push_back(platform.launches.size());
        logSeenAtMessages = log.current().text;
    };

    SUBCASE("stop-and-disable")
    {
        runStep(kAlerter, false, log, platform);
        CHECK(platform.launches
              == std::vector<RecordingPlatform::Launch>{{L"cmd /c NET stop Alerter", 0},
                                                        {L"cmd /c sc config Alerter start= disabled", 0}});
        CHECK(log.current().text == L"1:Alerter:禁用\r\n");
        CHECK(platform.messagePumps == 1);
        CHECK(launchesSeenAtMessages == std::vector<std::size_t>{2});
        CHECK(logSeenAtMessages == L"1:Alerter:禁用\r\n");
    }
    SUBCASE("manual-only launches exactly one line")
    {
        runStep(kAlg, false, log, platform);
        REQUIRE(platform.launches.size() == 1);
        CHECK(platform.launches[0].commandLine == L"cmd /c sc config ALG start= demand");
        CHECK(log.current().text == L"2:Application Layer Gateway Service:手动\r\n");
    }
    SUBCASE("start-and-automatic starts the service, then sets it to auto")
    {
        runStep(kThemes, false, log, platform);
        REQUIRE(platform.launches.size() == 2);
        CHECK(platform.launches[0].commandLine == L"cmd /c NET start Themes");
        CHECK(platform.launches[1].commandLine == L"cmd /c sc config Themes start= auto");
        CHECK(log.current().text == L"79.1:Themes:自动\r\n");
    }
    SUBCASE("the step writes nothing but its log text")
    {
        runStep(kAlerter, false, log, platform);
        CHECK(log.current().caption == L"正在优化系统服务...");
        CHECK_FALSE(log.current().exitEnabled);
    }
}

TEST_CASE("question-dependent steps: -1 is yes, 0 and 1 are no")
{
    struct Case {
        std::int16_t flag;
        std::vector<std::wstring> lines;
        const wchar_t* logged;
    };
    const Case cases[] = {
        {-1, {L"cmd /c sc config stisvc start= demand"}, L"74:Windows Image Acquisition (WIA):手动\r\n"},
        {0,
         {L"cmd /c NET stop stisvc", L"cmd /c sc config stisvc start= disabled"},
         L"74:Windows Image Acquisition (WIA):禁用\r\n"},
        {1,
         {L"cmd /c NET stop stisvc", L"cmd /c sc config stisvc start= disabled"},
         L"74:Windows Image Acquisition (WIA):禁用\r\n"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.flag);
        const Answers answers{0, 0, c.flag};
        ScriptedPlatform platform;
        ReloadingProgressLog log;
        runStep(testing::planned(Profile::Prompted, L"stisvc", answers), false, log, platform);
        std::vector<std::wstring> launched;
        for (const auto& launch : platform.launches)
            launched.push_back(launch.commandLine);
        CHECK(launched == c.lines);
        CHECK(log.current().text == c.logged);
    }
}

TEST_CASE("finishing a run")
{
    ScriptedPlatform platform;
    ReloadingProgressLog log;
    const std::vector<PlannedRow> steps{kAlerter, kAlg};

    SUBCASE("the banner follows the last line in the same write, then the completion signals")
    {
        std::vector<std::wstring> textAtEachMessagePoint;
        platform.atMessages = [&](int) {
            textAtEachMessagePoint.push_back(log.current().text);
            CHECK(log.current().caption == L"正在优化系统服务...");
            CHECK_FALSE(log.current().exitEnabled);
        };
        testing::runPlanned(steps, log, platform);
        CHECK(textAtEachMessagePoint
              == std::vector<std::wstring>{
                  L"1:Alerter:禁用\r\n",
                  L"1:Alerter:禁用\r\n2:Application Layer Gateway Service:手动\r\n" + kBanner});
        CHECK(log.current().caption == L"优化完成！");
        CHECK(log.current().statusLabel == L"优化完成！");
        CHECK(log.current().exitEnabled);
        CHECK(platform.messagePumps == 2);
    }
    SUBCASE("the dash line has 59 hyphens and the sentence no line end")
    {
        CHECK(closingBanner().substr(0, 61) == std::wstring(59, L'-') + L"\r\n");
        CHECK(closingBanner().size() == 59 + 2 + 7);
        CHECK(closingBanner().back() == L'！');
    }
    SUBCASE("text already in the box stays in front of the new lines")
    {
        log.current().text = L"typed by the user";
        testing::runPlanned(steps, log, platform);
        CHECK(log.current().text.rfind(L"typed by the user1:Alerter:禁用\r\n", 0) == 0);
    }
    SUBCASE("a second run in the same window starts on the completion sentence's line")
    {
        testing::runPlanned(steps, log, platform);
        testing::runPlanned(steps, log, platform);
        CHECK(countOf(log.current().text, L"优化已经完成！1:Alerter:禁用\r\n") == 1);
        CHECK(countOf(log.current().text, kBanner) == 2);
        CHECK(log.loads == 1);
    }
}

TEST_CASE("a run started from inside another run's message processing runs to its end first")
{
    ScriptedPlatform platform;
    ReloadingProgressLog log;
    const std::vector<PlannedRow> outer{kAlerter, kAlg, kThemes};
    const std::vector<PlannedRow> inner{kAlg, kThemes};
    bool nested = false;
    platform.atMessages = [&](int pump) {
        if (pump == 1 && !nested) {
            nested = true;
            testing::runPlanned(inner, log, platform);
            CHECK(log.current().exitEnabled);
        }
    };
    testing::runPlanned(outer, log, platform);

    CHECK(log.current().text
          == L"1:Alerter:禁用\r\n"
             L"2:Application Layer Gateway Service:手动\r\n79.1:Themes:自动\r\n" + kBanner
             + L"2:Application Layer Gateway Service:手动\r\n79.1:Themes:自动\r\n" + kBanner);
    REQUIRE(platform.launches.size() == 2 + 1 + 2 + 1 + 2);
    CHECK(platform.launches[2].commandLine == L"cmd /c sc config ALG start= demand");
    CHECK(platform.launches[5].commandLine == L"cmd /c sc config ALG start= demand");
    CHECK(platform.messagePumps == 5);
}

TEST_CASE("the progress window closed during a run")
{
    ScriptedPlatform platform;
    ReloadingProgressLog log;
    platform.atMessages = [&](int pump) {
        if (pump == 2)
            log.close();
    };
    runPlan(inputsForOtherMachines(Profile::Automatic, Answers{}, Lists::Designed), log, platform);

    // The run goes on: the next access loads a fresh window, which gets the rest.
    CHECK(log.loads == 2);
    CHECK(platform.launches.size() == 115);
    const std::wstring& text = log.current().text;
    CHECK(text.rfind(L"3.1:ASP.NET State Service:手动\r\n", 0) == 0);
    CHECK(text.find(L"1:Alerter") == std::wstring::npos);
    CHECK(text.size() == 1864 - std::wstring(L"1:Alerter:禁用\r\n2:Application Layer Gateway Service:禁用\r\n").size());
    CHECK(log.current().caption == L"优化完成！");
    CHECK(log.current().exitEnabled);
}

TEST_CASE("a refused launch stops the run at that operation")
{
    ScriptedPlatform platform;
    ReloadingProgressLog log;

    SUBCASE("the first launch of a step")
    {
        platform.refusedLaunch = 4;  // NET stop aspnet_state, third step
        try {
            runPlan(inputsForOtherMachines(Profile::Automatic, Answers{}, Lists::Designed), log, platform);
            FAIL("the failure did not reach the caller");
        } catch (const PlatformFailure& failure) {
            CHECK(failure.number() == 2);
            CHECK(failure.description() == L"The system cannot find the file specified.");
        }
        CHECK(platform.launches.size() == 4);
        CHECK(platform.messagePumps == 2);
        CHECK(log.current().text == L"1:Alerter:禁用\r\n2:Application Layer Gateway Service:禁用\r\n");
        CHECK(log.current().caption == L"正在优化系统服务...");
        CHECK(log.current().statusLabel == L"正在优化系统服务，请稍等......");
        CHECK_FALSE(log.current().exitEnabled);
    }
    SUBCASE("the second launch of the last step: no line, no banner, no signals")
    {
        platform.refusedLaunch = 114;
        CHECK_THROWS_AS(runPlan(inputsForOtherMachines(Profile::Automatic, Answers{}, Lists::Designed), log, platform), PlatformFailure);
        CHECK(platform.launches.size() == 114);
        CHECK(log.current().text.find(L"WmiApSrv") == std::wstring::npos);
        CHECK(log.current().text.find(L"优化已经完成") == std::wstring::npos);
        CHECK(log.current().text.size() > 1700);
        CHECK_FALSE(log.current().exitEnabled);
    }
}

TEST_CASE("a log write the window refuses stops the run")
{
    class RefusingLog : public ReloadingProgressLog {
    public:
        void setText(const std::wstring& text) override
        {
            if (++writes == 3)
                throw PlatformFailure(8, L"Not enough memory.");
            ReloadingProgressLog::setText(text);
        }
        int writes = 0;
    };
    ScriptedPlatform platform;
    RefusingLog log;
    CHECK_THROWS_AS(runPlan(inputsForOtherMachines(Profile::Restore, Answers{}, Lists::Designed), log, platform), PlatformFailure);
    CHECK(platform.messagePumps == 2);
    CHECK(platform.launches.size() == 2 + 1 + 1);
    CHECK_FALSE(log.current().exitEnabled);
}

namespace {

// A log in memory that writes in English.
class EnglishLog : public MemoryProgressLog {
public:
    const Wording& words() override { return kEnglishWording; }
};

}  // namespace

TEST_CASE("every golden run in English: the same command lines, the log in English words")
{
    for (const testing::GoldenRun& run : testing::goldenRuns()) {
        CAPTURE(run.name);
        RecordingPlatform platform;
        EnglishLog log;
        runPlan(inputsForOtherMachines(testing::goldenProfile(run.name), testing::goldenAnswers(run.answers), Lists::Designed), log, platform);
        CHECK(log.log == fromUtf8(testing::goldenBytes(run.name, "en.log")));
        std::vector<std::wstring> launched;
        for (const RecordingPlatform::Launch& launch : platform.launches)
            launched.push_back(launch.commandLine);
        CHECK(launched == testing::goldenCommandLines(run.name));
        CHECK(log.caption == L"Optimisation complete!");
        CHECK(log.statusLabel == L"Optimisation complete!");
    }
}

TEST_CASE("a language changed during a run: lines already written stay, new lines use the new words")
{
    class SwitchingLog : public MemoryProgressLog {
    public:
        const Wording& words() override { return log.empty() ? kChineseWording : kEnglishWording; }
    };
    RecordingPlatform platform;
    SwitchingLog log;
    runPlan(inputsForOtherMachines(Profile::Automatic, Answers{}, Lists::Designed), log, platform);
    CHECK(log.log.rfind(L"1:Alerter:禁用\r\n2:Application Layer Gateway Service:disabled\r\n", 0) == 0);
    CHECK(log.log.find(L"禁用") == log.log.rfind(L"禁用"));
    CHECK(log.caption == L"Optimisation complete!");
}
