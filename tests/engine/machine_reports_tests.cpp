#include <doctest.h>

#include <algorithm>
#include <map>
#include <set>

#include "engine/records/backups/backup_file.h"
#include "engine/records/backups/backup_on_machine.h"
#include "engine/records/backups/backup_store.h"
#include "engine/catalogue/catalogue.h"
#include "engine/machine/failure.h"
#include "engine/plan/plan.h"
#include "engine/plan/profile_on_machine.h"
#include "engine/text/utf8.h"
#include "tests/support/golden.h"
#include "tests/support/memory_machine.h"
#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"

using namespace quillora;
using quillora::testing::countOf;

using quillora::testing::installed;
using quillora::testing::GoldenEffect;
using quillora::testing::GoldenRun;
using quillora::testing::goldenEffects;
using quillora::testing::goldenRuns;
using quillora::testing::MemoryServices;

namespace {

// The profile's rows planned on these services now, for any Windows.
std::vector<PlannedRow> rowsOn(ServiceControl& services, Profile profile, const Answers& answers = {})
{
    PlanInputs inputs = inputsForOtherMachines(profile, answers, Lists::Designed);
    inputs.states = services.queryAll(catalogueKeys(Lists::Designed));
    return profilePlan(inputs);
}

}  // namespace

TEST_CASE("status shows every step, what the profile sets and whether it changes")
{
    testing::MemoryServices machine;
    machine.services[L"Alerter"] = installed(StartMode::Disabled, RunState::Stopped);
    machine.services[L"ALG"] = installed(StartMode::Manual, RunState::Running);
    const ServiceReport result = statusReport(rowsOn(machine, Profile::Automatic, Answers{}), std::nullopt);
    CHECK(result.text.rfind("1:Alerter (Alerter): now disabled, stopped; profile asks stop, disabled: no change\n"
                           "2:Application Layer Gateway Service (ALG): now manual, running; profile asks stop, disabled"
        ": would change\n"
                           "3.1:ASP.NET State Service (aspnet_state): profile asks stop, manual: not installed\n",
                           0) == 0);
    CHECK(countOf(result.text, "\n") == 60);
    CHECK(result.text.find("of 59 services: 1 would change, 1 no change, 57 not installed\n") != std::string::npos);
}

TEST_CASE("verify lists installed services that differ, status 1 if any")
{
    testing::MemoryServices machine;
    machine.services[L"Alerter"] = installed(StartMode::Disabled, RunState::Stopped);
    CHECK(verifyReport(rowsOn(machine, Profile::Automatic, Answers{}), std::nullopt).complete);

    machine.services[L"Spooler"] = installed(StartMode::Automatic, RunState::Running);
    const ServiceReport prompted = verifyReport(rowsOn(machine, Profile::Prompted, Answers{0, 0, 0}), std::nullopt);
    CHECK_FALSE(prompted.complete);
    CHECK(prompted.text == "42:Print Spooler (Spooler): is automatic, running; the profile asks stop, disabled\n"
                          "1 installed services differ from the profile\n");

    // A row that stops its service is not met while the service runs, whatever its mode; a row
    // that only sets the mode is met whether the service runs or not.
    machine.services[L"MSIServer"] = installed(StartMode::Manual, RunState::Running);
    machine.services[L"Spooler"] = installed(StartMode::Manual, RunState::Running);
    machine.services[L"Themes"] = installed(StartMode::Automatic, RunState::Stopped);
    const ServiceReport automatic = verifyReport(rowsOn(machine, Profile::Automatic, Answers{}), std::nullopt);
    CHECK(automatic.text == "75:Windows Installer (MSIServer): is manual, running; the profile asks stop, manual\n"
                            "1 installed services differ from the profile\n");
    const ServiceReport restore = verifyReport(rowsOn(machine, Profile::Restore, Answers{}), std::nullopt);
    CHECK(restore.text.find("79.1:Themes (Themes): is automatic, stopped; the profile asks automatic, start\n")
          != std::string::npos);
}

TEST_CASE("restore sets each saved mode and reports every service")
{
    testing::MemoryServices machine;
    machine.services[L"Alerter"] = installed(StartMode::Disabled, RunState::Stopped);
    machine.services[L"ALG"] = installed(StartMode::Disabled, RunState::Stopped);
    machine.services[L"BITS"] = installed(StartMode::Manual, RunState::Stopped);
    const std::vector<BackupEntry> backup{
        {L"Alerter", StartMode::Disabled, false},
        {L"ALG", StartMode::Manual, false},
        {L"BITS", StartMode::Automatic, true},
        {L"Messenger", StartMode::Manual, false},
    };
    // What a restore would change is asked before it is done, and is what it then changes.
    const std::vector<ModeChange> expected{{L"ALG", StartMode::Disabled, false, StartMode::Manual, false},
                                           {L"BITS", StartMode::Manual, false, StartMode::Automatic, true}};
    CHECK(restoreWouldChange(machine, backup, std::nullopt) == expected);
    SUBCASE("every installed service set")
    {
        const RestoreResult result = restoreModes(machine, backup, std::nullopt);
        CHECK(result.report.complete);
        CHECK(result.report.text == "1:Alerter (Alerter): unchanged (disabled)\n"
                                   "2:Application Layer Gateway Service (ALG): changed from disabled to manual\n"
                                   "5:Background Intelligent Transfer Service (BITS): changed from manual to automatic "
                                   "(delayed)\n"
                                   "28:Messenger (Messenger): not installed\n");
        CHECK(result.changed == expected);
        CHECK(result.failures.empty());
        CHECK(machine.services[L"BITS"].delayed);
        CHECK(restoreWouldChange(machine, backup, std::nullopt).empty());
    }
    SUBCASE("a refused change fails the restore but the others go on")
    {
        machine.services[L"ALG"].accessDenied = true;
        const RestoreResult result = restoreModes(machine, backup, std::nullopt);
        CHECK_FALSE(result.report.complete);
        CHECK(result.report.text.find("2:Application Layer Gateway Service (ALG): failed (5: Access is denied.)\n")
              != std::string::npos);
        REQUIRE(result.failures.size() == 1);
        CHECK(result.failures[0].first == L"ALG");
        CHECK(result.failures[0].second.number() == 5);
        CHECK(result.changed.size() == 1);
        CHECK(machine.services[L"BITS"].mode == StartMode::Automatic);
    }
}

TEST_CASE("a backup holds every service of the catalogue")
{
    testing::MemoryServices machine;
    machine.services[L"W32Time"] = installed(StartMode::Automatic, RunState::Running, true);
    const std::vector<BackupEntry> entries = currentModes(machine, Lists::Designed);
    CHECK(entries.size() == 60);
    CHECK(entries[0] == BackupEntry{L"Alerter", std::nullopt, false});
    CHECK(std::count(entries.begin(), entries.end(), BackupEntry{L"W32Time", StartMode::Automatic, true}) == 1);
}

TEST_CASE("two programs saving an automatic backup in the same second both succeed, each under a name of its own")
{
    // Another program (quillora-cli apply, another start of Quillora) takes the first free name
    // between this one's look and its write.
    struct RacedFiles : testing::MemoryFiles {
        void writeAtomically(const std::string& path, const std::string& bytes, bool replace) override
        {
            if (!raced && path.find("-01.txt") != std::string::npos) {
                raced = true;
                testing::MemoryFiles::writeAtomically(path, "the other program's", false);
            }
            testing::MemoryFiles::writeAtomically(path, bytes, replace);
        }
        bool raced = false;
    };
    struct RacedMachine : testing::MemoryMachine {
        Files& files() override { return raced; }
        RacedFiles raced;
    } machine;
    const SavedBackup saved = saveAutomaticBackup(machine);
    CHECK(saved.path == "/home/user/Quillora/backups/auto-20261207-101500-02.txt");
    CHECK(machine.raced.read("/home/user/Quillora/backups/auto-20261207-101500-01.txt") == "the other program's");
    CHECK(machine.raced.read(saved.path) == formatBackup(saved.entries));
}

TEST_CASE("apply brings each installed service to its row's state and says what kept one from it")
{
    testing::MemoryServices machine;
    machine.services[L"Alerter"] = installed(StartMode::Automatic, RunState::Running);
    machine.services[L"ALG"] = installed(StartMode::Disabled, RunState::Stopped);
    machine.services[L"aspnet_state"] = installed(StartMode::Automatic, RunState::Running);
    machine.services[L"Messenger"] = installed(StartMode::Automatic, RunState::Running);
    machine.services[L"Messenger"].dependants = {L"Dependant"};
    machine.services[L"Dependant"] = installed(StartMode::Automatic, RunState::Running);
    machine.services[L"W32Time"] = installed(StartMode::Automatic, RunState::Running);
    machine.services[L"W32Time"].hangsOnStop = true;
    machine.services[L"TrkWks"] = installed(StartMode::Manual, RunState::Stopped);
    machine.services[L"TrkWks"].accessDenied = true;
    const std::chrono::seconds timeout(5);

    const ServiceReport automatic = applyProfile(machine, rowsOn(machine, Profile::Automatic, Answers{}), timeout, std::nullopt);
    CHECK_FALSE(automatic.complete);
    const std::string lines[] = {
        "1:Alerter (Alerter): stopped; changed from automatic to disabled\n",
        "2:Application Layer Gateway Service (ALG): unchanged (disabled, stopped)\n",
        // A stop-and-manual row stops its service, as its NET stop command does.
        "3.1:ASP.NET State Service (aspnet_state): stopped; changed from automatic to manual\n",
        "3.2:Ati HotKey Poller (Ati HotKey Poller): not installed\n",
        "14:Distributed Link Tracking Client (TrkWks): failed (5: Access is denied.)\n",
        "28:Messenger (Messenger): changed from automatic to disabled; left running: running services depend on it "
        "(Dependant)\n",
        "78:Windows Time (W32Time): changed from automatic to disabled; left running: it did not stop within 5 s\n",
    };
    for (const std::string& line : lines) {
        CAPTURE(line);
        CHECK(automatic.text.find(line) != std::string::npos);
    }
    // A line a service and no totals: those are the judged result's.
    CHECK(countOf(automatic.text, "\n") == 59);
    CHECK(machine.services[L"Messenger"].state == RunState::Running);
    CHECK(machine.services[L"Dependant"].state == RunState::Running);
    CHECK(machine.services[L"aspnet_state"].state == RunState::Stopped);
    for (const auto wait : machine.waits)
        CHECK(wait == timeout);

    // Automatic rows are set, then started; a start that fails is a failure of that service only.
    machine.services[L"wuauserv"] = installed(StartMode::Disabled, RunState::Stopped);
    machine.services[L"wuauserv"].failsToStart = true;
    machine.services[L"Themes"] = installed(StartMode::Manual, RunState::Stopped);
    const ServiceReport restore = applyProfile(machine, rowsOn(machine, Profile::Restore, Answers{}), timeout, std::nullopt);
    CHECK(restore.text.find("4:automatic updates (wuauserv): failed (1066: The service has returned a "
                            "service-specific error code.)\n") != std::string::npos);
    CHECK(restore.text.find("79.1:Themes (Themes): changed from manual to automatic; started\n") != std::string::npos);
    CHECK(machine.services[L"Themes"].state == RunState::Running);
    CHECK_FALSE(restore.complete);
}

TEST_CASE("apply on services already in the profile's state changes nothing and is complete")
{
    testing::MemoryServices machine;
    machine.services[L"Alerter"] = installed(StartMode::Disabled, RunState::Stopped);
    machine.services[L"Spooler"] = installed(StartMode::Manual, RunState::Running);
    // The journal is told of each installed row before it is acted on, and of no other.
    std::vector<std::wstring> reached;
    const ServiceReport report = applyProfile(machine, rowsOn(machine, Profile::Prompted, Answers{-1, -1, 0}),
                                              std::chrono::seconds(30), std::nullopt, nullptr,
                                              [&](const PlannedRow& row) {
                                                  reached.push_back(row.step.serviceKey);
                                                  return true;
                                              });
    CHECK(report.complete);
    CHECK(report.text.find("42:Print Spooler (Spooler): unchanged (manual, running)\n") != std::string::npos);
    CHECK(reached == std::vector<std::wstring>{L"Alerter", L"Spooler"});
    CHECK(machine.changes.empty());
}


TEST_CASE("apply leaves every service as the program's own command lines for its row do")
{
    const std::map<std::string, StartMode> modes{
        {"disabled", StartMode::Disabled}, {"demand", StartMode::Manual}, {"auto", StartMode::Automatic}};
    // Every service installed, once all running and automatic, once all stopped and disabled, so
    // that each row has something to stop, start or set.
    for (const MemoryServices::Service& before :
         {installed(StartMode::Automatic, RunState::Running), installed(StartMode::Disabled, RunState::Stopped)}) {
        for (const GoldenRun& run : goldenRuns()) {
            CAPTURE(run.name);
            CAPTURE(runStateName(before.state));
            testing::MemoryServices machine;
            for (const std::wstring& key : catalogueKeys())
                machine.services[key] = before;
            const ServiceReport report =
                applyProfile(machine, rowsOn(machine, testing::goldenProfile(run.name), testing::goldenAnswers(run.answers)),
                             std::chrono::seconds(5), std::nullopt);
            CHECK(report.complete);
            const std::map<std::string, GoldenEffect> effects = goldenEffects(run.name);
            for (const std::wstring& key : catalogueKeys()) {
                CAPTURE(toUtf8(key));
                const MemoryServices::Service& after = machine.services.at(key);
                const auto effect = effects.find(toUtf8(key));
                if (effect == effects.end()) {
                    CHECK(after.mode == before.mode);  // a row the profile does not run
                    CHECK(after.state == before.state);
                    continue;
                }
                CHECK(after.mode == modes.at(effect->second.mode));
                const RunState state = effect->second.state == "stopped"   ? RunState::Stopped
                                       : effect->second.state == "started" ? RunState::Running
                                                                           : before.state;
                CHECK(after.state == state);
            }
        }
    }
}

TEST_CASE("a delayed automatic start: the row's plain automatic start changes it, everywhere alike")
{
    // The row's command, sc config KEY start= auto, leaves a plain automatic start.
    testing::MemoryServices machine;
    machine.services[L"wuauserv"] = installed(StartMode::Automatic, RunState::Running, true);

    CHECK(statusReport(rowsOn(machine, Profile::Restore), std::nullopt).text.find(
              "4:automatic updates (wuauserv): now automatic (delayed), running; profile asks automatic, start: "
              "would change\n")
          != std::string::npos);
    const ServiceReport differs = verifyReport(rowsOn(machine, Profile::Restore), std::nullopt);
    CHECK_FALSE(differs.complete);
    CHECK(differs.text == "4:automatic updates (wuauserv): is automatic (delayed), running; the profile asks automatic, start"
        "\n1 installed services differ from the profile\n");

    const ServiceReport applied = applyProfile(machine, rowsOn(machine, Profile::Restore), std::chrono::seconds(5), std::nullopt);
    CHECK(applied.text.find("4:automatic updates (wuauserv): changed from automatic (delayed) to automatic\n") != std::string::npos);
    CHECK_FALSE(machine.services[L"wuauserv"].delayed);
    // Once applied, all three agree that nothing is left to do.
    CHECK(verifyReport(rowsOn(machine, Profile::Restore), std::nullopt).complete);
    CHECK(statusReport(rowsOn(machine, Profile::Restore), std::nullopt).text.find("now automatic, running; profile asks automatic, start: no change")
          != std::string::npos);
    CHECK(applyProfile(machine, rowsOn(machine, Profile::Restore), std::chrono::seconds(5), std::nullopt).text.find(
              "4:automatic updates (wuauserv): unchanged (automatic, running)\n")
          != std::string::npos);
}

TEST_CASE("Windows heeds the delayed flag only for an automatic start")
{
    // Windows keeps the flag when a delayed service is set to manual, and ignores it there.
    testing::MemoryServices machine;
    machine.services[L"BITS"] = installed(StartMode::Manual, RunState::Stopped, true);
    machine.services[L"ALG"] = installed(StartMode::Manual, RunState::Stopped, true);

    // The restore profile's manual-only rows find nothing to do.
    CHECK(verifyReport(rowsOn(machine, Profile::Restore, Answers{}), std::nullopt).complete);
    const ServiceReport applied = applyProfile(machine, rowsOn(machine, Profile::Restore, Answers{}), std::chrono::seconds(5), std::nullopt);
    CHECK(applied.text.find("5:Background Intelligent Transfer Service (BITS): unchanged") != std::string::npos);
    CHECK(machine.changes.empty());

    // A backup marks no delay on a manual start, so that it can be read back.
    const std::vector<BackupEntry> entries = currentModes(machine, Lists::Designed);
    CHECK(std::count(entries.begin(), entries.end(), BackupEntry{L"BITS", StartMode::Manual, false}) == 1);
    CHECK(parseBackup(formatBackup(entries)) == entries);

    // The undo's count: a saved manual start is met; a saved delayed start differs from a plain one.
    CHECK(restoreWouldChange(machine, {{L"BITS", StartMode::Manual, false}}, std::nullopt).empty());
    machine.services[L"W32Time"] = installed(StartMode::Automatic, RunState::Running, false);
    machine.services[L"Schedule"] = installed(StartMode::Automatic, RunState::Running, true);
    CHECK(restoreWouldChange(machine, {{L"W32Time", StartMode::Automatic, true}, {L"Schedule", StartMode::Automatic, false}},
                             std::nullopt)
          == std::vector<ModeChange>{{L"W32Time", StartMode::Automatic, false, StartMode::Automatic, true},
                                     {L"Schedule", StartMode::Automatic, true, StartMode::Automatic, false}});
}

TEST_CASE("Windows XP has no delayed start: a backup's delayed mark is restored as a plain automatic start")
{
    // As Windows XP answers a delayed start: the level of information is unknown to it.
    testing::MemoryServices machine;
    machine.withoutDelayedStart = true;
    machine.services[L"W32Time"] = installed(StartMode::Manual, RunState::Stopped);
    machine.services[L"Schedule"] = installed(StartMode::Automatic, RunState::Running);
    const std::vector<BackupEntry> backup{{L"W32Time", StartMode::Automatic, true}, {L"Schedule", StartMode::Automatic, true}};
    const WindowsVersion xp;

    CHECK(restoreWouldChange(machine, backup, xp)
          == std::vector<ModeChange>{{L"W32Time", StartMode::Manual, false, StartMode::Automatic, false}});
    const RestoreResult result = restoreModes(machine, backup, xp);
    CHECK(result.report.complete);
    CHECK(result.failures.empty());
    CHECK(result.report.text
          == "78:Windows Time (W32Time): changed from manual to automatic\n"
             "62:Task Scheduler (Schedule): unchanged (automatic)\n");
    CHECK(machine.services[L"W32Time"].mode == StartMode::Automatic);
    CHECK(restoreWouldChange(machine, backup, xp).empty());

    // Where the Windows is not known the mark counts, and a Windows without it refuses it.
    machine.services[L"W32Time"] = installed(StartMode::Manual, RunState::Stopped);
    CHECK_FALSE(restoreModes(machine, backup, std::nullopt).report.complete);
}
