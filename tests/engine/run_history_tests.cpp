// The runs kept on a machine: listed from the backup folder, read whole, what changed since, and
// the ways back.
#include <doctest.h>

#include "engine/records/transaction/going_back.h"
#include "engine/records/transaction/machine_run.h"
#include "engine/records/history/run_history.h"
#include "engine/records/run/run_journal.h"
#include "tests/support/memory_machine.h"

using namespace quillora;
using quillora::testing::AnsweringRestorePoints;
using quillora::testing::installed;
using quillora::testing::kBackups;
using quillora::testing::MemoryMachine;

namespace {

void put(MemoryMachine& machine, const std::string& name, const std::string& bytes, std::int64_t modified)
{
    machine.memoryFiles.folders.insert(kBackups);
    machine.memoryFiles.files[kBackups + "/" + name] = {bytes, modified};
}

}  // namespace

TEST_CASE("runs are listed newest first from the backups, the history file and, where it lacks them, the results")
{
    MemoryMachine machine;
    CHECK(runHistory(machine).empty());
    // A run of the designed list with its result counted in the history file; one of Windows 10's
    // list made by apply whose result was never saved; one of an earlier version, with a result
    // and no history line; one whose backup was broken by hand; a named backup, which is no run.
    put(machine, "auto-20261207-101500-01.txt", "quillora-backup 1\r\nAlerter\tauto\r\nend\r\n", 1);
    put(machine, "auto-20261207-101500-01.result.log",
        "quillora-result 1\r\nbackup\tauto-20261207-101500-01.txt\r\n"
        "Alerter\tauto\tstop, disabled\tdisabled, stopped\tchanged\r\nend\r\n", 2);
    put(machine, "auto-20261207-101600-01.txt", "quillora-backup 1\r\nXblGameSave\tdemand\r\nend\r\n", 3);
    put(machine, "auto-20261207-101700-01.txt", "quillora-backup 1\r\nALG\tdemand\r\nBITS\tauto\r\nend\r\n", 4);
    put(machine, "auto-20261207-101700-01.result.log",
        "quillora-result 1\r\nbackup\tauto-20261207-101700-01.txt\r\n"
        "ALG\tdemand\tmanual\tdemand, stopped\tunchanged\r\n"
        "BITS\tauto\tstop, manual\tauto, running\tfailed\tsc-config 5\r\n"
        "wuauserv\tnot saved\tstop, disabled\tauto, running\tleft alone: your choice\r\nend\r\n", 5);
    put(machine, "auto-20261207-101800-01.txt", "quillora-backup 1\r\nAlerter\tsometimes\r\nend\r\n", 6);
    put(machine, "mine.txt", "quillora-backup 1\r\nend\r\n", 7);
    put(machine, "history.log",
        "quillora-history 1\r\n"
        "20261207-101500-01\twindow automatic\t7\t8\t9\t1\r\n"
        "20261207-101600-01\tapply prompted yynnyyyy\r\n"
        "20261207-101800-01\twindow restore\r\n"
        "20261207-101900-01\twindow automatic\t1\t1\t1\t1\r\n"  // its backup is gone
        "20261207-101700-01\tsomething else\r\n",
        8);

    const std::vector<HistoryRun> runs = runHistory(machine);
    REQUIRE(runs.size() == 4);
    CHECK(runs[0].name == "20261207-101800-01");
    CHECK(runs[3].name == "20261207-101500-01");
    CHECK(runTimeOf(runs[3]) == "2026-12-07 10:15:00");
    CHECK(runs[3].origin == RunOrigin{RunMaker::Window, Profile::Automatic, "", ""});
    CHECK(runs[3].counts == RunCounts{7, 8, 9, 1});  // the history file's, not the result's
    CHECK(runs[2].origin == RunOrigin{RunMaker::Apply, Profile::Prompted, "yynnyyyy", ""});
    // Unfinished, in words: its result was never saved; what its backup saved counts as unknown.
    CHECK(runs[2].unfinished == Unfinished{Unfinished::Why::ProgramEnded, ""});
    CHECK(runs[2].counts == RunCounts{0, 0, 0, 0, 1, 0});
    CHECK_FALSE(runs[3].unfinished.has_value());
    CHECK_FALSE(runs[1].origin.has_value());  // its line cannot be read
    CHECK(runs[1].counts == RunCounts{0, 1, 1, 1});

    // Read whole: the one without a result shows what its backup saved, nothing known after.
    const RunDetail unsaved = readRun(machine, runs[2]);
    CHECK(unsaved.problems.empty());
    CHECK_FALSE(unsaved.result.has_value());
    REQUIRE(unsaved.shown.services.size() == 1);
    CHECK(unsaved.shown.services[0].outcome == Outcome::Unknown);
    CHECK(std::holds_alternative<std::monostate>(unsaved.shown.services[0].asked));
    // The broken backup is said, with the line at fault, and takes nothing else down.
    const RunDetail broken = readRun(machine, runs[0]);
    REQUIRE(broken.problems.size() == 1);
    CHECK(broken.problems[0].path == kBackups + "/auto-20261207-101800-01.txt");
    CHECK(broken.problems[0].english().rfind("line 2: ", 0) == 0);
    CHECK_FALSE(broken.backup.has_value());
    CHECK(broken.shown.services.empty());
    CHECK(readRun(machine, runs[1]).backup->size() == 2);
    // A backup touched since (copied, scanned, edited) is no newer a run: the order is when they
    // began, as the history's lines and the names say.
    machine.memoryFiles.files[kBackups + "/auto-20261207-101500-01.txt"].modified = 99;
    CHECK(runHistory(machine)[0].name == "20261207-101800-01");
    CHECK(newestRun(runHistory(machine))->name == "20261207-101800-01");

    // A new run's line keeps every other line as it was, one it cannot read too; a file that is
    // not a history is refused and left as it is.
    const RunOrigin undo = goingBack(RunMaker::Undo, "20261207-101800-01");
    const std::string before = machine.memoryFiles.files.at(kBackups + "/history.log").bytes;
    recordOrigin(machine, kBackups + "/auto-20261207-102000-01.txt", undo);
    CHECK(machine.memoryFiles.files.at(kBackups + "/history.log").bytes
          == before + "20261207-102000-01\tundo 20261207-101800-01\r\n");
    put(machine, "history.log", "my notes\r\n", 9);
    CHECK_THROWS_AS(recordOrigin(machine, kBackups + "/auto-20261207-102000-01.txt", undo), FileFailure);
    CHECK(machine.memoryFiles.files.at(kBackups + "/history.log").bytes == "my notes\r\n");
    // An empty file is a history with no run yet; of two lines for one run the first counts, read
    // or written. A clock set back between runs leaves the lines' order.
    put(machine, "history.log", "", 10);
    recordOrigin(machine, kBackups + "/auto-20261207-101800-01.txt", undo);
    CHECK(machine.memoryFiles.files.at(kBackups + "/history.log").bytes
          == "quillora-history 1\r\n20261207-101800-01\tundo 20261207-101800-01\r\n");
    put(machine, "history.log",
        "quillora-history 1\r\n20261207-101800-01\twindow automatic\r\n20261207-101500-01\twindow restore\r\n"
        "20261207-101500-01\twindow automatic\t1\t2\t3\t4\r\n", 11);
    recordCounts(machine, kBackups + "/auto-20261207-101500-01.txt", RunCounts{5, 0, 0, 0});
    const std::vector<HistoryRun> reordered = runHistory(machine);
    CHECK(reordered[0].name == "20261207-101500-01");
    CHECK(reordered[0].origin->profile == Profile::Restore);
    CHECK(reordered[0].counts == RunCounts{5, 0, 0, 0});
    CHECK(reordered[3].name == "20261207-101800-01");
}

TEST_CASE("what changed since a run, set again as a run of its own; a way back warns of what Windows 10 needs")
{
    MemoryMachine machine;
    auto& services = machine.memoryServices.services;
    services[L"Alerter"] = installed(StartMode::Automatic, RunState::Running);  // left disabled
    services[L"ALG"] = installed(StartMode::Manual, RunState::Stopped);         // left manual
    services[L"BITS"] = installed(StartMode::Automatic, RunState::Running);     // kept by choice
    services[L"wuauserv"] = installed(StartMode::Manual, RunState::Stopped);    // failed: left as it was
    RunResult result{kBackups + "/auto-20261207-101500-01.txt", {}};
    const auto state = [](StartMode mode) { return ServiceState{mode, false, RunState::Stopped}; };
    result.services = {
        {L"Alerter", std::nullopt, ActionKind::StopAndDisable, state(StartMode::Disabled), Outcome::Changed, std::nullopt},
        {L"ALG", std::nullopt, ActionKind::ManualOnly, state(StartMode::Manual), Outcome::Unchanged, std::nullopt},
        {L"BITS", std::nullopt, ActionKind::StopAndManual, state(StartMode::Manual), Outcome::LeftAloneByChoice, std::nullopt},
        {L"wuauserv", std::nullopt, ActionKind::StopAndDisable, state(StartMode::Automatic), Outcome::Failed, std::nullopt},
        {L"Browser", std::nullopt, ActionKind::StopAndDisable, state(StartMode::Disabled), Outcome::Changed, std::nullopt},
    };
    // Browser is gone since: not installed is not changed.
    const std::vector<ModeChange> since = restoreWouldChange(machine.memoryServices, modesLeft(result), machine.version);
    CHECK(since == std::vector<ModeChange>{{L"Alerter", StartMode::Automatic, false, StartMode::Disabled, false}});

    machine.stamp = "20261207-101600";
    {
        MachineRun run(machine, goingBack(RunMaker::SetAgain, "20261207-101500-01"));
        putBack(run, {{L"Alerter", StartMode::Disabled, false}});
        CHECK(run.problems().empty());
        CHECK(machine.claimsHeld == 1);  // until the run is done with
    }
    CHECK(machine.claimsHeld == 0);
    CHECK(services[L"Alerter"].mode == StartMode::Disabled);
    CHECK(services[L"Alerter"].state == RunState::Running);  // neither stopped nor started
    CHECK(machine.memoryFiles.files.count(kBackups + "/auto-20261207-101600-01.txt") == 1);
    CHECK(machine.memoryFiles.files.at(kBackups + "/auto-20261207-101600-01.result.log").bytes
          == "quillora-result 1\r\nbackup\tauto-20261207-101600-01.txt\r\n"
             "made-by\tset-again 20261207-101500-01\r\n"
             "Alerter\tauto\tput back disabled\tdisabled, running\tchanged\r\nend\r\n");
    const std::vector<HistoryRun> runs = runHistory(machine);
    REQUIRE(runs.size() == 1);
    CHECK(runs[0].origin == RunOrigin{RunMaker::SetAgain, std::nullopt, "", "20261207-101500-01"});
    CHECK(runs[0].counts == RunCounts{1, 0, 0, 0});

    // Refused by Windows: failed, blamed on the refusal; the run is kept all the same. A service of
    // the other generation's list (Windows 10's, on XP) is not installed.
    services[L"ALG"].accessDenied = true;
    machine.stamp = "20261207-101700";
    MachineRun refused(machine, goingBack(RunMaker::RestoreBefore, "20261207-101600-01"));
    putBack(refused, {{L"ALG", StartMode::Disabled, false}, {L"XblGameSave", StartMode::Manual, false}});
    REQUIRE(refused.result()->services.size() == 2);
    CHECK(refused.result()->services[0].outcome == Outcome::Failed);
    CHECK(refused.result()->services[0].failure == CommandFailure{std::nullopt, 5UL});
    CHECK(refused.result()->services[1].outcome == Outcome::NotInstalled);
    CHECK(runHistory(machine)[0].counts == RunCounts{0, 0, 1, 0});

    // A history that cannot be written is named, and the services are set all the same.
    machine.memoryFiles.files.erase(kBackups + "/history.log");
    machine.memoryFiles.folders.insert(kBackups + "/history.log");
    machine.stamp = "20261207-101800";
    MachineRun unkept(machine, goingBack(RunMaker::Undo, "x"));
    putBack(unkept, {{L"Alerter", StartMode::Manual, false}});
    REQUIRE(unkept.problems().size() == 1);  // said once, though the run wrote to it twice
    CHECK(unkept.problems()[0].file == RunFile::History);
    CHECK(unkept.problems()[0].failure.path() == kBackups + "/history.log");
    CHECK(services[L"Alerter"].mode == StartMode::Manual);
    // Its result says it was an undo, so the next undo does not take it for a profile's run.
    machine.memoryFiles.folders.erase(kBackups + "/history.log");
    const std::vector<HistoryRun> withUndo = runHistory(machine);
    CHECK(withUndo[0].origin == RunOrigin{RunMaker::Undo, std::nullopt, "", "x"});
    CHECK(newestRun(withUndo, true)->name == "20261207-101700-01");
    CHECK(machine.memoryServices.unclaimed.empty());
    CHECK(machine.memoryFiles.unclaimed.empty());

    // The services cannot be read back after a change: that is said, and the result keeps what is known.
    machine.stamp = "20261207-101900";
    {
        MachineRun unread(machine, goingBack(RunMaker::Undo, "x"));
        machine.memoryServices.queriesLeft = 1;  // the restore's read before it sets the mode
        putBack(unread, {{L"Alerter", StartMode::Disabled, false}});
        CHECK(services[L"Alerter"].mode == StartMode::Disabled);
        REQUIRE(unread.problems().size() == 1);
        CHECK(unread.problems()[0].kind == RunProblem::Kind::ServicesNotReadBack);
        CHECK(unread.result()->services[0].outcome == Outcome::Unknown);
    }
    machine.memoryServices.queriesLeft.reset();
    CHECK(runHistory(machine)[0].counts == RunCounts{0, 0, 0, 0, 1, 0});

    // A restore point asked before the backup: Windows' answer kept in the result; the same number
    // as an earlier run's is one Windows made earlier (it keeps one a day); ended once, after.
    AnsweringRestorePoints points;
    const auto runAnswered = [&](const char* stamp, RestorePointAnswer answer) {
        machine.stamp = stamp;
        points.answer = answer;
        const std::size_t endedBefore = points.ended.size();
        MachineRun run(machine, goingBack(RunMaker::Undo, "x"), std::vector<BackupEntry>{}, {}, nullptr, &points);
        CHECK(points.ended.size() == endedBefore);  // not before the run is over
        return *run.finish({}).restorePoint;
    };
    const RestorePointAnswer made{RestorePointAnswer::Kind::Made, 41};
    CHECK(runAnswered("20261207-102000", made) == made);
    CHECK(points.ended == std::vector<std::int64_t>{41});
    CHECK(runAnswered("20261207-102100", made) == RestorePointAnswer{RestorePointAnswer::Kind::AlreadyMade, 41});
    // Windows answered success all the same: what it began is ended, once.
    CHECK(points.ended == std::vector<std::int64_t>{41, 41});

    // Shared by the runs of one program: a run begun while a point is open shares it, and it is
    // ended once, after the last of them; no second request while Windows has not answered.
    {
        SharedRestorePoints shared(points);
        points.answer = RestorePointAnswer{RestorePointAnswer::Kind::Made, 42};
        machine.stamp = "20261207-102150";
        auto first = std::make_unique<MachineRun>(machine, goingBack(RunMaker::Undo, "x"), std::vector<BackupEntry>{},
                                                  std::vector<std::wstring>{}, nullptr, &shared);
        auto second = std::make_unique<MachineRun>(machine, goingBack(RunMaker::Undo, "x"), std::vector<BackupEntry>{},
                                                   std::vector<std::wstring>{}, nullptr, &shared);
        CHECK(points.begun.size() == 3);
        CHECK(second->restorePoint() == RestorePointAnswer{RestorePointAnswer::Kind::Shared, 42});
        first.reset();
        CHECK(points.ended.size() == 2);
        second->finish({});
        CHECK(points.ended == std::vector<std::int64_t>{41, 41, 42});
        second.reset();
        CHECK(points.ended.size() == 3);
        struct Reentered : RestorePoints {
            RestorePointAnswer begin(const std::wstring&, const std::function<void()>&) override
            {
                CHECK_THROWS_AS(outer->begin(L"nested"), RestorePointBusy);
                return {RestorePointAnswer::Kind::Off};
            }
            void end(std::int64_t) override {}
            SharedRestorePoints* outer = nullptr;
        } reentered;
        SharedRestorePoints asking(reentered);
        reentered.outer = &asking;
        CHECK(asking.begin(L"first").kind == RestorePointAnswer::Kind::Off);
    }
    const RestorePointAnswer turnedDown{RestorePointAnswer::Kind::Refused, 0, 1058};
    CHECK(runAnswered("20261207-102200", turnedDown) == turnedDown);
    CHECK(readRun(machine, runHistory(machine)[0]).result->restorePoint == turnedDown);
    CHECK(points.begun.back() == L"Quillora: undo x");

    // On Windows 10, ALG, Netlogon and wuauserv are needed: a way back that would disable one, or
    // turn its automatic start to a manual one, is warned of; one that starts it more readily is
    // not; on XP nothing is.
    const std::vector<ModeChange> changing{{L"ALG", StartMode::Manual, false, StartMode::Disabled, false},
                                           {L"Netlogon", StartMode::Automatic, false, StartMode::Manual, false},
                                           {L"wuauserv", StartMode::Manual, false, StartMode::Automatic, false},
                                           {L"Alerter", StartMode::Manual, false, StartMode::Disabled, false}};
    CHECK(neededStartedLess(changing, WindowsVersion{10, 0, 19045, false}) == std::vector<std::wstring>{L"ALG", L"Netlogon"});
    CHECK(neededStartedLess(changing, WindowsVersion{}).empty());
    CHECK(without({{L"ALG", StartMode::Disabled, false}, {L"Alerter", StartMode::Disabled, false}}, {L"ALG"})
          == std::vector<BackupEntry>{{L"Alerter", StartMode::Disabled, false}});
}

TEST_CASE("a run cut at any step is unfinished, says how far it got, and drift compares only what it reached")
{
    MemoryMachine machine;
    auto& services = machine.memoryServices.services;
    services[L"Alerter"] = installed(StartMode::Automatic, RunState::Stopped);
    services[L"ALG"] = installed(StartMode::Manual, RunState::Stopped);
    services[L"Messenger"] = installed(StartMode::Automatic, RunState::Stopped);
    const std::vector<BackupEntry> meant{{L"Alerter", StartMode::Disabled, false},
                                         {L"ALG", StartMode::Disabled, false},
                                         {L"Messenger", StartMode::Disabled, false}};
    // An earlier, finished run set Messenger to manual and ALG to automatic.
    {
        MachineRun earlier(machine, goingBack(RunMaker::Undo, "x"),
                           {{L"Messenger", StartMode::Manual, false}, {L"ALG", StartMode::Automatic, false}});
        putBack(earlier, {{L"Messenger", StartMode::Manual, false}, {L"ALG", StartMode::Automatic, false}});
    }
    const std::string journal = kBackups + "/auto-20261207-101600-01.journal.log";
    const auto cut = [&](int reached) {
        machine.stamp = "20261207-101600";
        const Answers none;
        MachineRun run(machine, profileOrigin(RunMaker::Window, inputsForOtherMachines(Profile::Automatic, none, Lists::Designed)),
                       meant);
        for (int i = 0; i < reached; ++i) {
            run.reached(meant[i]);
            services[meant[i].serviceKey].mode = StartMode::Disabled;
        }
        // The program is killed here: no result, the claim gone with the process.
    };

    SUBCASE("after the backup and the journal, before the first act: nothing reached, nothing drifts")
    {
        cut(0);
        CHECK(machine.memoryFiles.files.at(journal).bytes
              == "quillora-journal 1\r\nintent\tAlerter\tdisabled\r\nintent\tALG\tdisabled\r\n"
                 "intent\tMessenger\tdisabled\r\n");
        const HistoryRun newest = runHistory(machine).front();
        CHECK(newest.unfinished == Unfinished{Unfinished::Why::ProgramEnded, ""});
        CHECK(newest.counts == RunCounts{0, 0, 0, 0, 0, 3});
        const std::vector<LastSet> lastSet = lastSetModes(machine, runHistory(machine));
        REQUIRE(lastSet.size() == 3);
        for (const LastSet& set : lastSet)
            CHECK(set.kind == LastSet::Kind::NotReached);  // the older run's modes do not decide them
        CHECK(changedSinceLastSet(lastSet, machine.memoryServices, std::nullopt).empty());
    }
    SUBCASE("between acts: what it reached is compared with what it meant, the rest is not reached")
    {
        cut(1);
        const RunDetail detail = readRun(machine, runHistory(machine).front());
        REQUIRE(detail.shown.services.size() == 3);
        CHECK(detail.shown.services[0].outcome == Outcome::Unknown);  // reached: how it ended unknown
        CHECK(detail.shown.services[1].outcome == Outcome::NotLaunched);
        CHECK(runHistory(machine).front().counts == RunCounts{0, 0, 0, 0, 1, 2});
        services[L"Alerter"].mode = StartMode::Manual;  // changed from outside since
        const std::vector<LastSet> lastSet = lastSetModes(machine, runHistory(machine));
        CHECK(changedSinceLastSet(lastSet, machine.memoryServices, std::nullopt)
              == std::vector<ModeChange>{{L"Alerter", StartMode::Manual, false, StartMode::Disabled, false}});
        CHECK(lastSet[0].run == "20261207-101600-01");

        // Kept between readings: a run whose files are as listed before is not read again; one
        // whose journal grew is.
        LastSetReadings readings;
        CHECK(lastSetModes(machine, runHistory(machine), &readings) == lastSet);
        machine.memoryFiles.unreadable.insert(journal);
        CHECK(lastSetModes(machine, runHistory(machine), &readings) == lastSet);
        machine.memoryFiles.files.at(journal).bytes += reachedLine(meant[1]);
        CHECK(lastSetModes(machine, runHistory(machine), &readings)[0].kind == LastSet::Kind::Unreadable);
    }
    SUBCASE("while its last line was written: the cut line counts for nothing")
    {
        cut(2);
        machine.memoryFiles.files.at(journal).bytes += "reached\tMess";
        CHECK(runHistory(machine).front().counts == RunCounts{0, 0, 0, 0, 2, 1});
    }
    SUBCASE("a journal not the program's, or a result that cannot be read: named, and no older run decides")
    {
        cut(3);
        machine.memoryFiles.files.at(journal).bytes += "reached\tNoSuchService\tdisabled\r\n";
        // Which services it meant is not known: every one its backup saved is named.
        std::vector<LastSet> lastSet = lastSetModes(machine, runHistory(machine));
        REQUIRE(lastSet.size() == catalogueKeys(Lists::Designed).size());
        CHECK(std::all_of(lastSet.begin(), lastSet.end(), [](const LastSet& set) { return set.kind == LastSet::Kind::Unreadable; }));
        CHECK(lastSet[0].why == "not a whole Quillora journal");
        CHECK(changedSinceLastSet(lastSet, machine.memoryServices, std::nullopt).empty());
        machine.memoryFiles.files[kBackups + "/auto-20261207-101600-01.result.log"] = {"damaged", 1};
        CHECK(runHistory(machine).front().unfinished->why == Unfinished::Why::ResultUnreadable);
        lastSet = lastSetModes(machine, runHistory(machine));
        CHECK(lastSet[2].kind == LastSet::Kind::Unreadable);
        CHECK(lastSet[2].why == "not a whole Quillora result");
    }
    SUBCASE("a run of an earlier version, without a journal, reads as before: the older run decides")
    {
        cut(3);
        machine.memoryFiles.files.erase(journal);
        const std::vector<LastSet> lastSet = lastSetModes(machine, runHistory(machine));
        REQUIRE(lastSet.size() == 2);
        CHECK(lastSet[0].mode == BackupEntry{L"Messenger", StartMode::Manual, false});
        const int saved = static_cast<int>(catalogueKeys(Lists::Designed).size());
        CHECK(runHistory(machine).front().counts == RunCounts{0, 0, 0, 0, saved, 0});
    }
    SUBCASE("a finished run's journal is the whole journal, each service reached once")
    {
        machine.stamp = "20261207-101600";
        MachineRun run(machine, goingBack(RunMaker::Undo, "x"), meant);
        putBack(run, meant);
        const std::optional<RunJournal> read = parseJournal(machine.memoryFiles.files.at(journal).bytes);
        REQUIRE(read);
        CHECK(read->intent == meant);
        CHECK(read->reached == meant);
        CHECK_FALSE(runHistory(machine).front().unfinished.has_value());
    }
}
