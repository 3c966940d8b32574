#include <doctest.h>

#include <functional>
#include <map>
#include <set>

#include "engine/records/run/run_result.h"
#include "engine/records/transaction/run_results.h"
#include "tests/support/memory_machine.h"
#include "tests/support/wide_strings.h"

using namespace quillora;
using quillora::testing::installed;
using quillora::testing::MemoryMachine;
using quillora::testing::kBackups;

namespace {

const RunOrigin kWindowRun{RunMaker::Window, Profile::Automatic, "", ""};

ServiceState state(StartMode mode, RunState run)
{
    return ServiceState{mode, false, run};
}

std::vector<ServiceCommand> commandsOf(ActionKind kind, const wchar_t* key)
{
    return serviceCommands(kind, key);
}

// A touched service whose commands ended with these statuses, in launch order; a status of -1
// could not be read, -2 has not ended.
TouchedService touched(ActionKind asked, std::vector<long> exits)
{
    TouchedService service{L"Alerter", asked, {}};
    const std::vector<ServiceCommand> commands = serviceCommands(asked, L"Alerter");
    for (std::size_t i = 0; i < exits.size(); ++i) {
        LaunchedCommand command{commands[i].kind, i, exits[i] != -2, std::nullopt};
        if (exits[i] >= 0)
            command.exitStatus = static_cast<unsigned long>(exits[i]);
        service.commands.push_back(command);
    }
    return service;
}

ServiceBefore before(StartMode mode, RunState run)
{
    return {BackupEntry{L"Alerter", mode, false}, state(mode, run)};
}

// Launches kept by a pretend system: each ends with the status a test gives, or runs on.
class FakeProcesses : public LaunchedProcesses {
public:
    std::optional<unsigned long> exitStatus(std::size_t launch) override
    {
        if (unreadable.count(launch))
            throw PlatformFailure(6, L"The handle is invalid.");
        const auto found = statuses.find(launch);
        if (found == statuses.end())
            return std::nullopt;
        held.erase(launch);
        return found->second;
    }
    void forget(std::size_t launch) override { held.erase(launch); }
    std::unique_ptr<Timer> every(std::chrono::milliseconds, std::function<void()> tick) override
    {
        ticks = std::move(tick);
        ++timers;
        return std::make_unique<Timer>();
    }

    std::size_t launch()
    {
        held.insert(next);
        return next++;
    }

    std::map<std::size_t, unsigned long> statuses;
    std::set<std::size_t> unreadable;
    std::set<std::size_t> held;  // launches whose process is still kept
    std::function<void()> ticks;
    int timers = 0;
    std::size_t next = 100;
};

// What the results tell, in order.
struct HeardResults : ResultListener {
    void resultsChanged() override { ++changes; }
    void resultArrived(const RunResult& result) override { arrived.push_back(result); }
    void resultProblem(const RunProblem& problem, const std::string&) override { problems.push_back(problem); }
    void resultsFailed(const PlatformFailure& failure) override { failed.push_back(failure); }
    int changes = 0;
    std::vector<RunResult> arrived;
    std::vector<RunProblem> problems;
    std::vector<PlatformFailure> failed;
};

// A listener that acts on what it is told, as the windows do: a box that lets a run start, or a
// failure of its own.
struct Reacting : ResultListener {
    void resultProblem(const RunProblem&, const std::string&) override { onProblem(); }
    void resultArrived(const RunResult&) override { onArrived(); }
    std::function<void()> onProblem = [] {};
    std::function<void()> onArrived = [] {};
};

struct ResultsFixture {
    ResultsFixture()
    {
        machine.memoryServices.services[L"Alerter"] = installed(StartMode::Automatic, RunState::Running);
        machine.memoryServices.services[L"ALG"] = installed(StartMode::Manual, RunState::Stopped);
        machine.memoryServices.services[L"BITS"] = installed(StartMode::Manual, RunState::Running);
        results.listen(heard);
    }

    // A run that saves its backup now and launches the commands of each step through the record.
    RunRecord& startRun()
    {
        stamp = stamp + 1;
        machine.stamp = "20261207-1015" + std::to_string(stamp);
        return results.runStarts(std::make_unique<MachineRun>(machine, kWindowRun));
    }

    std::vector<std::size_t> step(RunRecord& record, ActionKind kind, const wchar_t* key, std::size_t launches = 9)
    {
        const std::vector<ServiceCommand> commands = commandsOf(kind, key);
        record.stepStarts(key, kind, commands);
        std::vector<std::size_t> made;
        for (std::size_t i = 0; i < commands.size() && i < launches; ++i) {
            made.push_back(processes.launch());
            record.launched(made.back());
        }
        return made;
    }

    std::string savedFile(const RunRecord& record) { return machine.memoryFiles.read(resultPathFor(record.backupPath())); }

    MemoryMachine machine;
    FakeProcesses processes;
    RunResults results{processes, machine};
    HeardResults heard;
    int stamp = 10;
};

}  // namespace

TEST_CASE("a run's launches belong to the step that names them, even where a launch is refused half-way")
{
    RunRecord record("/b/auto-20261207-101500-01.txt", {{L"Alerter", StartMode::Automatic, false}},
                     {state(StartMode::Automatic, RunState::Running)});
    record.stepStarts(L"Alerter", ActionKind::StopAndDisable, commandsOf(ActionKind::StopAndDisable, L"Alerter"));
    record.launched(7);  // NET stop; the launch of sc config was refused, and the run stopped
    record.runOver();

    REQUIRE(record.touched().size() == 1);
    REQUIRE(record.touched()[0].commands.size() == 1);
    CHECK(record.touched()[0].commands[0].kind == CommandKind::NetStop);
    CHECK(record.running() == std::vector<std::size_t>{7});
    CHECK_FALSE(record.complete());
    record.ended(7, 0);
    CHECK(record.complete());
    CHECK(record.before(L"Alerter").state->state == RunState::Running);
    CHECK_FALSE(record.before(L"ALG").saved.has_value());

    // Judged with its service: the mode was never set.
    const ServiceResult judged = judge(record.touched()[0], record.before(L"Alerter"), state(StartMode::Automatic, RunState::Stopped));
    CHECK(judged.outcome == Outcome::Failed);
    // Blamed on the command that never ran, not on the one that reported success, and saved so.
    REQUIRE(judged.failure);
    CHECK(judged.failure->kind == CommandKind::ScConfig);
    CHECK_FALSE(judged.failure->launched);
    const RunResult result{"/b/auto-20261207-101500-01.txt", {judged}};
    const std::string saved = formatRunResult(result);
    CHECK(saved.find("\tfailed\tsc-config not-launched\r\n") != std::string::npos);
    CHECK(parseRunResult("/b/auto-20261207-101500-01.result.log", saved) == result);
}

TEST_CASE("results judged whole: the mode and the running state a row asks for, before and after")
{
    struct Case {
        const char* name;
        ActionKind asked;
        std::vector<long> exits;
        ServiceBefore before;
        std::optional<ServiceState> after;
        Outcome outcome;
        std::optional<CommandKind> blamed;
        std::optional<unsigned long> status;
    };
    const Case cases[] = {
        {"disabled and stopped, automatic and running before", ActionKind::StopAndDisable, {0, 0},
         before(StartMode::Automatic, RunState::Running), state(StartMode::Disabled, RunState::Stopped), Outcome::Changed,
         std::nullopt, std::nullopt},
        {"stopped by the run at the mode it had", ActionKind::StopAndDisable, {0, 0},
         before(StartMode::Disabled, RunState::Running), state(StartMode::Disabled, RunState::Stopped), Outcome::Changed,
         std::nullopt, std::nullopt},
        {"started by the run at the mode it had", ActionKind::StartAndAutomatic, {0, 0},
         before(StartMode::Automatic, RunState::Stopped), state(StartMode::Automatic, RunState::Running), Outcome::Changed,
         std::nullopt, std::nullopt},
        {"already stopped and disabled: NET stop's failure is harmless", ActionKind::StopAndDisable, {2, 0},
         before(StartMode::Disabled, RunState::Stopped), state(StartMode::Disabled, RunState::Stopped),
         Outcome::Unchanged, std::nullopt, std::nullopt},
        {"mode not set: sc config's status, not NET's", ActionKind::StopAndDisable, {2, 5},
         before(StartMode::Automatic, RunState::Stopped), state(StartMode::Automatic, RunState::Stopped), Outcome::Failed,
         CommandKind::ScConfig, 5UL},
        {"state not reached: NET's status", ActionKind::StopAndDisable, {2, 0},
         before(StartMode::Automatic, RunState::Running), state(StartMode::Disabled, RunState::Running), Outcome::Failed,
         CommandKind::NetStop, 2UL},
        {"not started: NET start's status", ActionKind::StartAndAutomatic, {2, 0},
         before(StartMode::Manual, RunState::Stopped), state(StartMode::Automatic, RunState::Stopped), Outcome::Failed,
         CommandKind::NetStart, 2UL},
        {"every command reported success, yet it still runs", ActionKind::StopAndDisable, {0, 0},
         before(StartMode::Automatic, RunState::Running), state(StartMode::Disabled, RunState::Running), Outcome::Failed,
         std::nullopt, std::nullopt},
        {"sc config's status could not be read", ActionKind::ManualOnly, {-1},
         before(StartMode::Automatic, RunState::Stopped), state(StartMode::Automatic, RunState::Stopped), Outcome::Failed,
         CommandKind::ScConfig, std::nullopt},
        {"not installed", ActionKind::StopAndDisable, {2, 1060}, {std::nullopt, std::nullopt}, std::nullopt,
         Outcome::NotInstalled, std::nullopt, std::nullopt},
        {"a command still runs", ActionKind::StopAndDisable, {0, -2},
         before(StartMode::Automatic, RunState::Running), state(StartMode::Disabled, RunState::Stopped), Outcome::Unknown,
         std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        const ServiceResult r = judge(touched(c.asked, c.exits), c.before, c.after);
        CHECK(r.outcome == c.outcome);
        CHECK(r.failure.has_value() == c.blamed.has_value());
        if (r.failure && c.blamed) {
            CHECK(r.failure->kind == *c.blamed);
            CHECK(r.failure->exitStatus == c.status);
        }
    }
}

TEST_CASE("the saved result: one fixed form, read back as it was saved")
{
    CHECK(resultPathFor("C:\\b\\auto-20261207-101500-01.txt") == "C:\\b\\auto-20261207-101500-01.result.log");
    RunResult result{"C:\\b\\auto-20261207-101500-01.txt", {}};
    result.services.push_back({L"Alerter", BackupEntry{L"Alerter", StartMode::Automatic, false},
                               ActionKind::StopAndDisable, state(StartMode::Disabled, RunState::Stopped),
                               Outcome::Changed, std::nullopt});
    result.services.push_back({L"wuauserv", BackupEntry{L"wuauserv", StartMode::Automatic, true},
                               ActionKind::StopAndDisable, ServiceState{StartMode::Automatic, true, RunState::Running},
                               Outcome::Failed, CommandFailure{CommandKind::ScConfig, 5UL}});
    result.services.push_back({L"BITS", BackupEntry{L"BITS", StartMode::Manual, false}, ActionKind::StopAndManual,
                               state(StartMode::Manual, RunState::Running), Outcome::Failed,
                               CommandFailure{CommandKind::NetStop, std::nullopt}});
    result.services.push_back({L"Themes", BackupEntry{L"Themes", StartMode::Manual, false},
                               ActionKind::StartAndAutomatic, state(StartMode::Automatic, RunState::Stopped),
                               Outcome::Failed, std::nullopt});
    result.services.push_back({L"SENS", BackupEntry{L"SENS", StartMode::Automatic, false}, ActionKind::StopAndDisable,
                               std::nullopt, Outcome::Unknown, std::nullopt});
    result.services.push_back({L"ALG", std::nullopt, ActionKind::ManualOnly, std::nullopt, Outcome::NotInstalled,
                               std::nullopt});
    result.services.push_back({L"Spooler", BackupEntry{L"Spooler", StartMode::Automatic, false}, ActionKind::StopAndManual,
                               std::nullopt, Outcome::NotLaunched, std::nullopt});
    const std::string file = "quillora-result 1\r\n"
                             "backup\tauto-20261207-101500-01.txt\r\n"
                             "Alerter\tauto\tstop, disabled\tdisabled, stopped\tchanged\r\n"
                             "wuauserv\tauto (delayed)\tstop, disabled\tauto (delayed), running\tfailed\tsc-config 5\r\n"
                             "BITS\tdemand\tstop, manual\tdemand, running\tfailed\tnet-stop ?\r\n"
                             "Themes\tdemand\tautomatic, start\tauto, stopped\tfailed\treported-success\r\n"
                             "SENS\tauto\tstop, disabled\tnot read\tunknown\r\n"
                             "ALG\tabsent\tmanual\tabsent\tnot installed\r\n"
                             "Spooler\tauto\tstop, manual\tnot read\tnot launched\r\n"
                             "end\r\n";
    CHECK(formatRunResult(result) == file);
    CHECK(parseRunResult("C:\\b\\auto-20261207-101500-01.result.log", file) == result);
    // A result of an earlier version wrote "absent" for a service it did not read.
    std::string earlier = file;
    earlier.replace(earlier.find("not read\tunknown"), 8, "absent");
    CHECK(parseRunResult("C:\\b\\auto-20261207-101500-01.result.log", earlier) == result);

    SUBCASE("a file that is not a whole result is refused")
    {
        const std::pair<const char*, std::string> bad[] = {
            {"cut before end", file.substr(0, file.size() - 5)},
            {"LF line ends", "quillora-result 1\nbackup\tauto-1.txt\nend\n"},
            {"another version", "quillora-result 2\r\nbackup\tauto-1.txt\r\nend\r\n"},
            {"a backup in another folder", "quillora-result 1\r\nbackup\t..\\auto-1.txt\r\nend\r\n"},
            {"an unknown key", "quillora-result 1\r\nbackup\ta.txt\r\nNoSuchSvc\tauto\tmanual\tabsent\tnot installed\r\nend\r\n"},
            {"an unknown outcome", "quillora-result 1\r\nbackup\ta.txt\r\nALG\tauto\tmanual\tabsent\tbroken\r\nend\r\n"},
            {"a failure without its reason", "quillora-result 1\r\nbackup\ta.txt\r\nALG\tauto\tmanual\tauto, stopped\tfailed\r\nend\r\n"},
            {"a reason on a change", "quillora-result 1\r\nbackup\ta.txt\r\nALG\tauto\tmanual\tdemand, stopped\tchanged\tsc-config 5\r\nend\r\n"},
            {"a status beyond 32 bits", "quillora-result 1\r\nbackup\ta.txt\r\nALG\tauto\tmanual\tauto, stopped\tfailed\tsc-config 4294967296\r\nend\r\n"},
            {"an unknown command", "quillora-result 1\r\nbackup\ta.txt\r\nALG\tauto\tmanual\tauto, stopped\tfailed\tnet-pause 2\r\nend\r\n"},
        };
        for (const auto& refused : bad) {
            CAPTURE(refused.first);
            CHECK_FALSE(parseRunResult("/b/a.result.log", refused.second).has_value());
        }
    }
}

TEST_CASE("results: collected once a run is over and every command has ended, then saved and told")
{
    ResultsFixture f;
    RunRecord& run = f.startRun();
    CHECK(f.processes.timers == 1);
    CHECK(f.results.lastRunPending());
    CHECK(f.heard.changes == 1);
    const std::vector<std::size_t> alerter = f.step(run, ActionKind::StopAndDisable, L"Alerter");
    const std::vector<std::size_t> alg = f.step(run, ActionKind::ManualOnly, L"ALG");
    f.machine.memoryServices.services[L"Alerter"] = installed(StartMode::Disabled, RunState::Stopped);
    f.processes.statuses = {{alerter[0], 0}, {alerter[1], 0}, {alg[0], 0}};
    f.processes.ticks();
    CHECK(f.results.lastRunPending());  // every command ended, but the run goes on
    CHECK(f.heard.arrived.empty());

    const std::vector<std::size_t> bits = f.step(run, ActionKind::StopAndManual, L"BITS");
    f.results.runOver(run);
    f.processes.ticks();
    CHECK(f.results.lastRunPending());  // BITS's commands still run
    f.processes.statuses[bits[0]] = 2;
    f.processes.statuses[bits[1]] = 0;
    const std::string backup = run.backupPath();
    f.processes.ticks();

    CHECK_FALSE(f.results.lastRunPending());
    REQUIRE(f.heard.arrived.size() == 1);
    CHECK(f.heard.changes == 2);
    REQUIRE(f.results.lastResult().has_value());
    const RunResult& result = *f.results.lastResult();
    REQUIRE(result.services.size() == 3);
    CHECK(result.services[0].outcome == Outcome::Changed);
    CHECK(result.services[1].outcome == Outcome::Unchanged);  // manual before already
    CHECK(result.services[2].outcome == Outcome::Failed);   // NET stop ended with 2, BITS still runs
    CHECK(result.services[2].failure->kind == CommandKind::NetStop);
    CHECK(f.machine.memoryFiles.read(resultPathFor(backup)) == formatRunResult(result));
    CHECK(f.processes.held.empty());
    CHECK(failures(result) == 1);
}

TEST_CASE("the program ending with commands still running saves the result at once, those services unknown")
{
    ResultsFixture f;
    RunRecord& run = f.startRun();
    const std::vector<std::size_t> alerter = f.step(run, ActionKind::StopAndDisable, L"Alerter");
    const std::vector<std::size_t> alg = f.step(run, ActionKind::ManualOnly, L"ALG");
    f.step(run, ActionKind::StopAndDisable, L"Messenger");  // not installed before the run; runs on too
    f.processes.statuses = {{alerter[0], 0}, {alerter[1], 0}};  // ALG's sc config runs on
    f.machine.memoryServices.services[L"Alerter"] = installed(StartMode::Disabled, RunState::Stopped);
    const std::string backup = run.backupPath();
    f.results.programEnds();

    const std::optional<RunResult> saved = parseRunResult(resultPathFor(backup), f.machine.memoryFiles.read(resultPathFor(backup)));
    REQUIRE(saved);
    REQUIRE(saved->services.size() == 3);
    CHECK(saved->services[0].serviceKey == L"Alerter");
    CHECK(saved->services[0].outcome == Outcome::Changed);
    CHECK(saved->services[1].serviceKey == L"ALG");
    CHECK(saved->services[1].outcome == Outcome::Unknown);
    CHECK(saved->services[2].serviceKey == L"Messenger");
    CHECK(saved->services[2].outcome == Outcome::NotInstalled);
    CHECK(f.processes.held.empty());  // no process handle outlives the result
    CHECK(f.heard.arrived.empty());   // nothing is shown as the program goes

    // The run under way stops after its current step and ends as every run does: its record is
    // still there, and nothing more is saved or told (under AddressSanitizer too).
    const std::string savedBytes = f.machine.memoryFiles.read(resultPathFor(backup));
    f.results.runOver(run);
    CHECK(run.over());
    f.processes.ticks();
    CHECK(f.machine.memoryFiles.read(resultPathFor(backup)) == savedBytes);
    CHECK(f.heard.arrived.empty());
}

TEST_CASE("nested runs: each result judges its own rows, and the last run is the last one started")
{
    ResultsFixture f;
    RunRecord& outer = f.startRun();
    const std::vector<std::size_t> alerter = f.step(outer, ActionKind::StopAndDisable, L"Alerter");
    RunRecord& inner = f.startRun();  // started from a message the outer run let through
    const std::vector<std::size_t> alg = f.step(inner, ActionKind::StartAndAutomatic, L"ALG");
    f.results.runOver(inner);
    const std::vector<std::size_t> bits = f.step(outer, ActionKind::StopAndManual, L"BITS");
    f.results.runOver(outer);
    CHECK(outer.backupPath() != inner.backupPath());
    const std::string outerBackup = outer.backupPath();

    f.processes.statuses = {{alerter[0], 0}, {alerter[1], 0}, {bits[0], 0}, {bits[1], 0}};
    f.processes.ticks();  // the outer run is complete; the last run, the inner one, is not
    REQUIRE(f.heard.arrived.size() == 1);
    CHECK(f.heard.arrived[0].backupPath == outerBackup);
    CHECK(f.heard.arrived[0].services.size() == 2);  // Alerter and BITS, not ALG
    CHECK(f.results.lastRunPending());
    CHECK_FALSE(f.results.lastResult().has_value());

    f.processes.statuses[alg[0]] = 0;
    f.processes.statuses[alg[1]] = 0;
    f.processes.ticks();
    CHECK_FALSE(f.results.lastRunPending());
    REQUIRE(f.results.lastResult().has_value());
    REQUIRE(f.results.lastResult()->services.size() == 1);
    CHECK(f.results.lastResult()->services[0].serviceKey == L"ALG");
}

TEST_CASE("problems are said once a run; an earlier start's result is the last result after a restart")
{
    SUBCASE("an exit status that cannot be read is said once, not at every tick")
    {
        ResultsFixture f;
        RunRecord& run = f.startRun();
        const std::vector<std::size_t> alg = f.step(run, ActionKind::ManualOnly, L"ALG");
        f.processes.unreadable.insert(alg[0]);
        f.results.runOver(run);
        f.processes.ticks();
        f.processes.ticks();
        CHECK(f.heard.problems.size() == 1);
        CHECK(f.heard.problems[0].kind == RunProblem::Kind::ServicesNotReadBack);
        REQUIRE(f.results.lastResult());
        CHECK(f.results.lastResult()->services[0].outcome == Outcome::Unchanged);  // manual already
    }
    SUBCASE("a result that cannot be saved is said once and still kept; the history's failure is said too")
    {
        ResultsFixture f;
        RunRecord& run = f.startRun();
        f.step(run, ActionKind::ManualOnly, L"ALG", 0);  // its launch was refused
        const std::string backup = run.backupPath();
        f.machine.memoryFiles.readOnly = true;
        f.results.runOver(run);
        f.processes.ticks();
        f.processes.ticks();
        REQUIRE(f.heard.problems.size() == 2);
        CHECK(f.heard.problems[0].file == RunFile::Result);
        CHECK(f.heard.problems[0].failure.path() == resultPathFor(backup));
        CHECK(f.heard.problems[1].file == RunFile::History);
        CHECK(f.heard.problems[1].failure.path() == kBackups + "/history.log");
        CHECK(f.results.lastResult().has_value());
    }
    SUBCASE("after a restart the run is in the history: what made it, its counts and its result")
    {
        MemoryMachine machine;
        machine.memoryServices.services[L"ALG"] = installed(StartMode::Manual, RunState::Stopped);
        const RunOrigin prompted{RunMaker::Window, Profile::Prompted, "yny", ""};
        {
            FakeProcesses processes;
            RunResults before(processes, machine);
            RunRecord& run = before.runStarts(std::make_unique<MachineRun>(machine, prompted));
            run.stepStarts(L"ALG", ActionKind::ManualOnly, commandsOf(ActionKind::ManualOnly, L"ALG"));
            before.runOver(run);
            before.collect();
        }
        const std::vector<HistoryRun> runs = runHistory(machine);
        REQUIRE(runs.size() == 1);
        CHECK(runs[0].name == "20261207-101500-01");
        CHECK(runs[0].origin == prompted);
        CHECK(runs[0].counts == RunCounts{0, 1, 0, 0});  // ALG was manual already
        const RunDetail detail = readRun(machine, runs[0]);
        REQUIRE(detail.result.has_value());
        CHECK(detail.result->services.size() == 1);
        CHECK(detail.problems.empty());
    }
}

TEST_CASE("a listener may start runs or fail while it is told; the results stay whole and go on")
{
    ResultsFixture f;
    Reacting reacting;
    f.results.listen(reacting);
    RunRecord& first = f.startRun();
    const std::vector<std::size_t> alg = f.step(first, ActionKind::ManualOnly, L"ALG");
    RunRecord& second = f.startRun();  // still under way: the results track two runs
    f.results.runOver(first);
    const std::string firstBackup = first.backupPath();
    const std::string secondBackup = second.backupPath();
    f.processes.unreadable.insert(alg[0]);

    SUBCASE("runs started from the box that says a problem, while the first result is collected")
    {
        std::vector<std::string> started;
        reacting.onProblem = [&] {
            for (int i = 0; i < 8; ++i)  // enough to move the list of tracked runs
                started.push_back(f.startRun().backupPath());
        };
        f.processes.ticks();
        REQUIRE(f.heard.problems.size() == 1);
        REQUIRE(f.heard.arrived.size() == 1);
        CHECK(f.heard.arrived[0].backupPath == firstBackup);
        CHECK(f.machine.memoryFiles.files.count(resultPathFor(firstBackup)) == 1);
        REQUIRE(started.size() == 8);
        CHECK(f.results.lastRunPending());  // the newest of them is the last run now
        CHECK(f.heard.failed.empty());
        // Every run started meanwhile is tracked and ends with a result of its own.
        f.results.runOver(second);
        f.processes.ticks();
        CHECK(f.machine.memoryFiles.files.count(resultPathFor(secondBackup)) == 1);
        CHECK(f.machine.memoryFiles.files.count(resultPathFor(started.back())) == 0);
    }
    SUBCASE("a listener that throws: the others are still told, the failure is told, the next tick works")
    {
        reacting.onArrived = [] { throw PlatformFailure(1400, L"Invalid window handle."); };
        reacting.onProblem = [] { throw std::runtime_error("unexpected"); };
        f.processes.ticks();
        CHECK(f.heard.problems.size() == 1);
        CHECK(f.heard.arrived.size() == 1);
        REQUIRE(f.heard.failed.size() == 2);
        CHECK(f.heard.failed[0].number() == windows_error::kInternalError);
        CHECK(f.heard.failed[1].number() == 1400);
        CHECK(f.heard.failed[1].description() == L"Invalid window handle.");
        f.results.runOver(second);
        f.processes.ticks();
        CHECK_FALSE(f.results.lastRunPending());
        CHECK(f.heard.arrived.size() == 2);
    }
    f.results.stopListening(reacting);
}

TEST_CASE("a run's result holds every row: those left alone say why, and are read back as saved")
{
    RunRecord record("/b/auto-20261207-101500-01.txt",
                     {{L"wuauserv", StartMode::Automatic, true}, {L"ALG", StartMode::Manual, false}},
                     {ServiceState{StartMode::Automatic, true, RunState::Running}, state(StartMode::Manual, RunState::Stopped)});
    record.stepStarts(L"Alerter", ActionKind::StopAndDisable, {}, LeftAlone::ByChoice);
    record.stepStarts(L"ALG", ActionKind::StopAndDisable, commandsOf(ActionKind::StopAndDisable, L"ALG"));
    record.launched(1);
    record.launched(2);
    record.stepStarts(L"wuauserv", ActionKind::StopAndDisable, {}, LeftAlone::Needed);
    record.runOver();
    CHECK(record.running() == std::vector<std::size_t>{1, 2});  // nothing runs for the rows left alone
    record.ended(1, 0);
    record.ended(2, 0);
    REQUIRE(record.complete());

    testing::MemoryMachine machine;
    machine.memoryServices.services[L"Alerter"] = installed(StartMode::Automatic, RunState::Running);
    machine.memoryServices.services[L"ALG"] = installed(StartMode::Disabled, RunState::Stopped);
    machine.memoryServices.services[L"wuauserv"] = installed(StartMode::Automatic, RunState::Running, true);
    const RunResult result = readBack(record, machine.memoryServices);
    REQUIRE(result.services.size() == 3);
    CHECK(result.services[0].outcome == Outcome::LeftAloneByChoice);
    CHECK(result.services[1].outcome == Outcome::Changed);
    CHECK(result.services[2].outcome == Outcome::LeftAloneNeeded);
    CHECK(failures(result) == 0);
    const std::string saved = formatRunResult(result);
    CHECK(saved
          == "quillora-result 1\r\nbackup\tauto-20261207-101500-01.txt\r\n"
             "Alerter\tnot saved\tstop, disabled\tauto, running\tleft alone: your choice\r\n"
             "ALG\tdemand\tstop, disabled\tdisabled, stopped\tchanged\r\n"
             "wuauserv\tauto (delayed)\tstop, disabled\tauto (delayed), running\tleft alone: needed by Windows\r\n"
             "end\r\n");
    CHECK(parseRunResult("/b/auto-20261207-101500-01.result.log", saved) == result);
    // "not saved" belongs to a row left alone by choice alone.
    CHECK_FALSE(parseRunResult("/b/a.result.log",
                               "quillora-result 1\r\nbackup\ta.txt\r\nALG\tnot saved\tmanual\tabsent\tchanged\r\nend\r\n")
                    .has_value());
}
