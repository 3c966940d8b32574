#include <doctest.h>

#include "engine/run_result.h"
#include "tests/support/wide_strings.h"

using namespace quillora;

namespace {

ServiceStep step(const wchar_t* key, ActionKind action, bool leftAlone = false)
{
    ServiceStep s{L"1", key, key, action, std::nullopt};
    s.leftAlone = leftAlone;
    return s;
}

ServiceState state(StartMode mode, RunState run)
{
    return ServiceState{mode, false, run};
}

TouchedService touched(ActionKind asked, std::vector<unsigned long> exits)
{
    TouchedService service{L"Svc", asked, {}};
    const wchar_t* lines[] = {L"cmd /c NET stop Svc", L"cmd /c sc config Svc start= disabled"};
    for (std::size_t i = 0; i < exits.size(); ++i)
        service.commands.push_back({i, lines[i % 2], exits[i]});
    return service;
}

}  // namespace

TEST_CASE("a run's launches belong to the step whose log line follows them")
{
    RunRecord record({step(L"Alerter", ActionKind::StopAndDisable), step(L"ALG", ActionKind::ManualOnly),
                      step(L"wuauserv", ActionKind::StopAndDisable, true), step(L"BITS", ActionKind::StopAndManual)},
                     "/b/auto-20261207-101500-01.txt", {{L"Alerter", StartMode::Automatic, false}});
    record.launched(7, L"cmd /c NET stop Alerter");
    record.launched(8, L"cmd /c sc config Alerter start= disabled");
    record.stepLogged({});
    record.launched(9, L"cmd /c sc config ALG start= demand");
    record.stepLogged({});
    record.stepLogged({});  // left alone: launched nothing, touched nothing
    CHECK_FALSE(record.complete());

    REQUIRE(record.touched().size() == 2);
    CHECK(record.touched()[0].serviceKey == L"Alerter");
    CHECK(record.touched()[0].commands.size() == 2);
    CHECK(record.touched()[1].serviceKey == L"ALG");
    CHECK(record.touched()[1].asked == ActionKind::ManualOnly);
    CHECK(record.running() == std::vector<std::size_t>{7, 8, 9});

    record.ended(8, 0);
    record.ended(7, 2);
    CHECK(record.running() == std::vector<std::size_t>{9});
    record.ended(9, 0);
    CHECK_FALSE(record.complete());  // every command ended, but the run goes on
    record.runOver();
    CHECK(record.complete());
    CHECK(record.touched()[0].commands[0].exitStatus == 2UL);
    CHECK(record.before(L"Alerter")->mode == StartMode::Automatic);
    CHECK_FALSE(record.before(L"ALG").has_value());
}

TEST_CASE("results judged from the state read back, with the command that failed")
{
    const BackupEntry wasAutomatic{L"Svc", StartMode::Automatic, false};
    const BackupEntry wasDisabled{L"Svc", StartMode::Disabled, false};
    SUBCASE("changed: disabled and stopped as asked, automatic before")
    {
        const ServiceResult r = judge(touched(ActionKind::StopAndDisable, {0, 0}), wasAutomatic,
                                      state(StartMode::Disabled, RunState::Stopped));
        CHECK(r.outcome == Outcome::Changed);
        CHECK_FALSE(r.failedCommand);
    }
    SUBCASE("unchanged: it was disabled already")
    {
        CHECK(judge(touched(ActionKind::StopAndDisable, {0, 0}), wasDisabled, state(StartMode::Disabled, RunState::Stopped))
                  .outcome
              == Outcome::Unchanged);
    }
    SUBCASE("not installed")
    {
        CHECK(judge(touched(ActionKind::StopAndDisable, {2, 1060}), std::nullopt, std::nullopt).outcome
              == Outcome::NotInstalled);
    }
    SUBCASE("refused: sc config ended with access denied, the service is as before")
    {
        const ServiceResult r = judge(touched(ActionKind::StopAndDisable, {0, 5}), wasAutomatic,
                                      state(StartMode::Automatic, RunState::Stopped));
        CHECK(r.outcome == Outcome::Failed);
        REQUIRE(r.failedCommand);
        CHECK(r.failedCommand->exitStatus == 5UL);
        CHECK(isScConfig(r.failedCommand->commandLine));
    }
    SUBCASE("every command reported success, yet the service still runs")
    {
        const ServiceResult r = judge(touched(ActionKind::StopAndDisable, {0, 0}), wasAutomatic,
                                      state(StartMode::Disabled, RunState::Running));
        CHECK(r.outcome == Outcome::Failed);
        CHECK_FALSE(r.failedCommand);
    }
    SUBCASE("NET stop failed on a service that was stopped: judged by the state, a change")
    {
        const ServiceResult r = judge(touched(ActionKind::StopAndDisable, {2, 0}), wasAutomatic,
                                      state(StartMode::Disabled, RunState::Stopped));
        CHECK(r.outcome == Outcome::Changed);
        CHECK_FALSE(isScConfig(L"cmd /c NET stop Svc"));
    }
}

TEST_CASE("the saved result: beside the backup, one line per service")
{
    CHECK(resultPathFor("C:\\b\\auto-20261207-101500-01.txt") == "C:\\b\\auto-20261207-101500-01.result.log");
    RunResult result{"C:\\b\\auto-20261207-101500-01.txt", {}};
    result.services.push_back({L"Alerter", BackupEntry{L"Alerter", StartMode::Automatic, false},
                               ActionKind::StopAndDisable, state(StartMode::Disabled, RunState::Stopped),
                               Outcome::Changed, std::nullopt, L""});
    result.services.push_back({L"wuauserv", BackupEntry{L"wuauserv", StartMode::Automatic, true},
                               ActionKind::StopAndDisable, ServiceState{StartMode::Automatic, true, RunState::Running},
                               Outcome::Failed, std::nullopt, L"Access is denied.\r\n"});
    result.services.push_back({L"ALG", std::nullopt, ActionKind::ManualOnly, std::nullopt, Outcome::NotInstalled,
                               std::nullopt, L""});
    CHECK(formatRunResult(result) == "quillora-result 1\r\n"
                                     "backup\tauto-20261207-101500-01.txt\r\n"
                                     "Alerter\tauto\tstop, disabled\tdisabled, stopped\tchanged\r\n"
                                     "wuauserv\tauto (delayed)\tstop, disabled\tauto (delayed), running\tfailed\t"
                                     "Access is denied.\\x0D\\x0A\r\n"
                                     "ALG\tabsent\tmanual\tabsent\tnot installed\r\n"
                                     "end\r\n");
}
