#include <doctest.h>

#include <map>
#include <set>

#include "engine/catalogue/catalogue.h"
#include "engine/run/recording.h"
#include "tests/support/engine_doubles.h"
#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"

using namespace quillora;

namespace {

struct Run {
    std::vector<std::wstring> commandLines;
    MemoryProgressLog log;
};

Run runOnEmptyLog(Profile profile, const Answers& answers = {})
{
    const RecordedRun recorded = recordRun(inputsForOtherMachines(profile, answers, Lists::Designed));
    Run run{{}, recorded.log};
    for (const auto& launch : recorded.platform.launches) {
        CHECK(launch.showState == 0);
        run.commandLines.push_back(launch.commandLine);
    }
    CHECK(recorded.platform.messagePumps == static_cast<int>(profileSteps(profile, Lists::Designed).size()));
    return run;
}


std::map<ActionKind, int> kindCounts(const std::vector<ServiceStep>& steps, int& questions)
{
    std::map<ActionKind, int> counts;
    questions = 0;
    for (const ServiceStep& step : steps) {
        if (step.question.has_value())
            ++questions;
        else
            ++counts[step.action];
    }
    return counts;
}

}  // namespace

TEST_CASE("each profile has its column's mix of action kinds")
{
    struct Expected {
        Profile profile;
        std::size_t steps;
        int disable, stopManual, manual, automatic, questions;
    };
    const Expected table[] = {
        {Profile::Prompted, 59, 39, 17, 0, 0, 3},
        {Profile::Automatic, 59, 39, 17, 3, 0, 0},
        {Profile::Restore, 60, 8, 1, 37, 14, 0},
    };
    CHECK(catalogueKeys(Lists::Designed).size() == 60);
    for (const Expected& e : table) {
        CAPTURE(static_cast<int>(e.profile));
        const auto steps = profileSteps(e.profile, Lists::Designed);
        int questions = 0;
        auto counts = kindCounts(steps, questions);
        CHECK(steps.size() == e.steps);
        CHECK(counts[ActionKind::StopAndDisable] == e.disable);
        CHECK(counts[ActionKind::StopAndManual] == e.stopManual);
        CHECK(counts[ActionKind::ManualOnly] == e.manual);
        CHECK(counts[ActionKind::StartAndAutomatic] == e.automatic);
        CHECK(questions == e.questions);
        CHECK(steps.back().serviceKey == L"WmiApSrv");
    }
}

TEST_CASE("labels, names and keys are the same in every profile; Themes is the restore's alone")
{
    const auto restore = profileSteps(Profile::Restore, Lists::Designed);
    const auto automatic = profileSteps(Profile::Automatic, Lists::Designed);
    std::set<std::wstring> labels;
    std::size_t a = 0;
    for (const ServiceStep& step : restore) {
        CHECK(labels.insert(step.label).second);
        if (step.serviceKey == L"Themes") {
            CHECK(step.label == L"79.1");
            continue;
        }
        REQUIRE(a < automatic.size());
        CHECK(automatic[a].label == step.label);
        CHECK(automatic[a].displayName == step.displayName);
        CHECK(automatic[a].serviceKey == step.serviceKey);
        ++a;
    }
    CHECK(a == automatic.size());
    CHECK(restore[58].serviceKey == L"Themes");
    CHECK(restore[5].displayName == L"automatic updates");
    for (const wchar_t* absent : {L"3", L"7", L"53", L"76"})
        CHECK(labels.count(absent) == 0);
}

TEST_CASE("nine rows act the same in all three profiles")
{
    const auto prompted = profileSteps(Profile::Prompted, Lists::Designed);
    const auto automatic = profileSteps(Profile::Automatic, Lists::Designed);
    const auto restore = profileSteps(Profile::Restore, Lists::Designed);
    std::set<std::wstring> same;
    for (std::size_t i = 0; i < automatic.size(); ++i) {
        const ServiceStep& r = restore[i < 58 ? i : i + 1];
        if (!prompted[i].question && prompted[i].action == automatic[i].action && automatic[i].action == r.action)
            same.insert(automatic[i].serviceKey);
    }
    CHECK(same == std::set<std::wstring>{L"Alerter", L"ClipSrv", L"HidServ", L"Messenger", L"NetDDE",
                                         L"RemoteAccess", L"srservice", L"TlntSvr", L"NetDDEdsdm"});
}

TEST_CASE("the automatic profile never reads the answer flags")
{
    const Run run = runOnEmptyLog(Profile::Automatic, Answers{0, 0, 0});
    CHECK(run.commandLines.size() == 115);
    CHECK(run.log.log.find(L"42:Print Spooler:手动") != std::wstring::npos);
}

// Whole runs are compared with the golden files byte for byte (tests/companion/golden_tests.cpp).
TEST_CASE("the prompted profile follows each answer on its own row")
{
    SUBCASE("yes, yes, yes is the automatic run")
    {
        const Run prompted = runOnEmptyLog(Profile::Prompted, Answers{-1, -1, -1});
        const Run automatic = runOnEmptyLog(Profile::Automatic);
        CHECK(prompted.commandLines == automatic.commandLines);
        CHECK(prompted.log.log == automatic.log.log);
    }
    SUBCASE("a flag changed during the run counts if its row is still ahead")
    {
        Answers answers{-1, -1, -1};
        testing::ScriptedPlatform platform;
        MemoryProgressLog log;
        platform.atMessages = [&answers](int pump) {
            if (pump == 20)
                answers.AnswerCdBurner = 0;  // row 18 is behind: too late
            if (pump == 30)
                answers.AnswerPrinter = 0;  // row 35 is ahead
        };
        runPlan(inputsForOtherMachines(Profile::Prompted, answers, Lists::Designed), log, platform);
        CHECK(log.log.find(L"23:IMAPI CD-Burning COM Service:手动\r\n") != std::wstring::npos);
        CHECK(log.log.find(L"42:Print Spooler:禁用\r\n") != std::wstring::npos);
        CHECK(platform.launches.size() == 116);
    }
}
