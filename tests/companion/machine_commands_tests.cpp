#include <doctest.h>

#include "companion/cli.h"
#include "engine/records/backups/backup_store.h"
#include "engine/records/history/run_history.h"
#include "engine/catalogue/catalogue.h"
#include "tests/support/memory_machine.h"
#include "tests/support/text_helpers.h"

using namespace quillora;
using quillora::testing::countOf;
using quillora::testing::MemoryMachine;
using quillora::testing::installed;
using quillora::testing::kBackups;

namespace {

// A machine with three of the catalogue's services, in modes no profile gives them all.
MemoryMachine machineWithServices()
{
    MemoryMachine machine;
    machine.memoryServices.services[L"Alerter"] = installed(StartMode::Automatic, RunState::Running);
    machine.memoryServices.services[L"ALG"] = installed(StartMode::Manual, RunState::Stopped);
    machine.memoryServices.services[L"wuauserv"] = installed(StartMode::Automatic, RunState::Running, true);
    return machine;
}

}  // namespace

TEST_CASE("apply keeps the modes from before in an automatic backup, and restore --last puts them back")
{
    MemoryMachine machine = machineWithServices();
    const CliResult applied = runCli({"apply", "automatic"}, machine);
    CHECK(applied.status == 0);
    const std::string backup = kBackups + "/auto-20261207-101500-01.txt";
    CHECK(applied.out.rfind("saved the start modes from before in " + backup + "\n", 0) == 0);
    CHECK(applied.out.find("3 changed, 0 unchanged, 56 not installed, 0 failed\n") != std::string::npos);
    const std::string saved = machine.memoryFiles.files.at(backup).bytes;
    CHECK(saved.find("\r\nAlerter\tauto\r\n") != std::string::npos);
    CHECK(saved.find("\r\nALG\tdemand\r\n") != std::string::npos);
    CHECK(saved.find("\r\nwuauserv\tauto\tdelayed\r\n") != std::string::npos);
    CHECK(machine.memoryServices.services[L"Alerter"].mode == StartMode::Disabled);
    CHECK(machine.memoryServices.services[L"Alerter"].state == RunState::Stopped);

    CHECK(runCli({"verify", "automatic"}, machine).status == 0);

    // A second apply in the same second gets a backup of its own.
    CHECK(runCli({"apply", "automatic"}, machine).out.find(kBackups + "/auto-20261207-101500-02.txt") != std::string::npos);

    // --last takes the newest automatic backup: the one from before the second apply would change
    // nothing, so restore the first by making it the newest.
    machine.memoryFiles.files.erase(kBackups + "/auto-20261207-101500-02.txt");
    const CliResult restored = runCli({"restore", "--last"}, machine);
    CHECK(restored.status == 0);
    CHECK(restored.out.rfind("restoring " + backup + "\n", 0) == 0);
    // Labelled as apply labels them, and counted as apply counts. The machine is Windows XP, which
    // has no delayed start: the backup's mark is passed over (Windows 10's restore keeps it).
    CHECK(restored.out.find("\n4:automatic updates (wuauserv): changed from disabled to automatic\n")
          != std::string::npos);
    CHECK(restored.out.find("\n3 changed, 0 unchanged, 57 not installed, 0 failed\n") != std::string::npos);
    CHECK(machine.memoryServices.services[L"Alerter"].mode == StartMode::Automatic);
    CHECK(machine.memoryServices.services[L"ALG"].mode == StartMode::Manual);
    CHECK_FALSE(machine.memoryServices.services[L"wuauserv"].delayed);
    CHECK(runCli({"verify", "automatic"}, machine).status == 1);
}

TEST_CASE("a backup saved again by Notepad, with a byte-order mark and LF line ends, restores")
{
    MemoryMachine machine = machineWithServices();
    machine.memoryFiles.files["/tmp/notepad.txt"] = {"\xEF\xBB\xBFquillora-backup 1\nAlerter\tdisabled\nALG\tauto\nend\n", 1};
    const CliResult restored = runCli({"restore", "/tmp/notepad.txt"}, machine);
    CHECK(restored.status == 0);
    CHECK(restored.out.find("2 changed, 0 unchanged, 0 not installed, 0 failed\n") != std::string::npos);
    // The restore is a run of its own: its history counts what it printed.
    CHECK(runCli({"history"}, machine).out.find("\trestore notepad.txt\t2\t0\t0\t0\t0\t0\t\n") != std::string::npos);
    CHECK(machine.memoryServices.services[L"ALG"].mode == StartMode::Automatic);
    CHECK(machine.memoryServices.services[L"Alerter"].mode == StartMode::Disabled);
}

TEST_CASE("backups lists automatic and named backups, newest first")
{
    MemoryMachine machine = machineWithServices();
    CHECK(runCli({"backups"}, machine).out == "no backups yet in " + kBackups + "\n");
    CHECK(runCli({"backup", "--name", "before-holiday"}, machine).status == 0);
    machine.stamp = "20261207-101501";
    CHECK(runCli({"apply", "restore"}, machine).status == 0);
    const CliResult listed = runCli({"backups"}, machine);
    CHECK(listed.status == 0);
    const auto named = listed.out.find("named      " + kBackups + "/before-holiday.txt\n");
    // apply keeps its result beside its backup, as the program's runs do.
    const auto automatic = listed.out.find("automatic  " + kBackups
                                           + "/auto-20261207-101501-01.txt  (result: auto-20261207-101501-01.result.log)\n");
    REQUIRE(named != std::string::npos);
    REQUIRE(automatic != std::string::npos);
    CHECK(automatic < named);
    CHECK(countOf(listed.out, "\n") == 2);

    // A named backup is no automatic one: --last does not take it.
    machine.memoryFiles.files.erase(kBackups + "/auto-20261207-101501-01.txt");
    const CliResult none = runCli({"restore", "--last"}, machine);
    CHECK(none.status == 3);
    CHECK(none.err == "quillora-cli: '" + kBackups + "': holds no automatic backup yet\n");
}

TEST_CASE("file errors name the file and exit with status 3, changing nothing")
{
    MemoryMachine machine = machineWithServices();
    machine.memoryFiles.folders.insert("/tmp/backups");
    machine.memoryFiles.files["/tmp/kept.txt"] = {"precious", 1};
    machine.memoryFiles.files["/tmp/broken.txt"] = {"quillora-backup 1\r\nAlerter\tdisabled\r\nALG\tmanual\r\nend\r\n", 1};
    machine.memoryFiles.files["/tmp/unicode.txt"] = {std::string("\xFF\xFEq\0u\0i\0", 8), 1};
    machine.memoryFiles.files["/tmp/README.txt"] = {"\xEF\xBB\xBF# Quillora\r\n\r\nQuillora is a small program\r\n", 1};
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"backup", "/tmp/backups"}, "'/tmp/backups': is a folder; give the name of a file in it"},
        {{"backup", "/tmp/backups", "--force"}, "'/tmp/backups': is a folder; give the name of a file in it"},
        {{"backup", "/nowhere/b.txt"}, "'/nowhere/b.txt': The system cannot find the path specified. (error 3)"},
        {{"backup", "/tmp/kept.txt"}, "'/tmp/kept.txt': exists already; give --force to replace it"},
        {{"restore", "/tmp/missing.txt"},
         "'/tmp/missing.txt': The system cannot find the file specified. (error 2)"},
        {{"restore", "/tmp/broken.txt"},
         "'/tmp/broken.txt': line 3: unknown start mode (the modes are auto, demand, disabled, boot, system, absent): "
         "'ALG\\x09manual'; nothing was changed"},
        {{"restore", "/tmp/unicode.txt"},
         "'/tmp/unicode.txt': line 1: saved as UTF-16 (\"Unicode\"): save it as UTF-8; nothing was changed"},
        {{"restore", "/tmp/README.txt"},
         "'/tmp/README.txt': line 1: not a Quillora backup (the first line must be 'quillora-backup 1'); nothing was "
         "changed"},
        {{"restore", "/tmp/backups"}, "'/tmp/backups': is a folder"},
        {{"export", "--from-backup", "/tmp/backups", "--format", "inf"}, "'/tmp/backups': is a folder"},
        {{"export", "automatic", "--format", "inf", "--output", "/tmp/kept.txt"},
         "'/tmp/kept.txt': exists already; give --force to replace it"},
        {{"export", "--from-backup", "/tmp/missing.txt", "--format", "ansible"},
         "'/tmp/missing.txt': The system cannot find the file specified. (error 2)"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.message);
        const CliResult result = runCli(c.args, machine);
        CHECK(result.status == 3);
        CHECK(result.out.empty());
        CHECK(result.err == "quillora-cli: " + c.message + "\n");
    }
    CHECK(machine.memoryFiles.files.at("/tmp/kept.txt").bytes == "precious");
    CHECK(machine.memoryServices.changes.empty());

    // A system call refused: status 3 as well, not 1, which means differences.
    machine.memoryFiles.readOnly = true;
    const CliResult refused = runCli({"apply", "automatic"}, machine);
    CHECK(refused.status == 3);
    CHECK(refused.err == "quillora-cli: '" + kBackups + "': Access is denied. (error 5)\n");
    CHECK(machine.memoryServices.changes.empty());

    // Another program's run holds the services: apply and restore take no backup and change nothing,
    // while a command that only reads goes on.
    machine.memoryFiles.readOnly = false;
    machine.heldElsewhere = true;
    const std::size_t filesBefore = machine.memoryFiles.files.size();
    for (const std::vector<std::string>& args : {std::vector<std::string>{"apply", "automatic"},
                                                 {"restore", "--last"}, {"restore", "/tmp/broken.txt"}}) {
        const CliResult busy = runCli(args, machine);
        CHECK(busy.status == 3);
        CHECK(busy.err == "quillora-cli: another run is changing this machine's services; nothing was changed\n");
    }
    CHECK(machine.memoryFiles.files.size() == filesBefore);
    CHECK(machine.memoryServices.changes.empty());
    CHECK(runCli({"verify", "automatic"}, machine).status == 1);
    // A usage error is still a usage error.
    CHECK(runCli({"restore", "--last", "/tmp/kept.txt"}, machine).status == 2);
}

TEST_CASE("on Windows 10 status, apply and verify leave the services it needs alone unless --all, and agree")
{
    MemoryMachine machine = machineWithServices();
    machine.version = WindowsVersion{10, 0, 19045, false};

    // Of the three installed services, ALG and wuauserv are needed; the other 56 rows are not
    // installed, whatever Windows needs, and neither are the 14 services of Windows 10's own list.
    const CliResult status = runCli({"status", "automatic"}, machine);
    CHECK(status.out.find("4:automatic updates (wuauserv): now automatic (delayed), running; profile asks stop, disabled"
        ": kept (needed here): needed by Windows 10 (--all includes it)\n")
          != std::string::npos);
    CHECK(status.out.find("1:Alerter (Alerter): now automatic, running; profile asks stop, disabled: would change\n")
          != std::string::npos);
    CHECK(status.out.find("33:Network DDE (NetDDE): profile asks stop, disabled: not installed\n")
          != std::string::npos);
    CHECK(countOf(status.out, "needed by Windows 10") == 21);
    CHECK(status.out.find("of 73 services: 1 would change, 70 not installed, 2 kept (needed here)\n")
          != std::string::npos);

    const CliResult applied = runCli({"apply", "automatic"}, machine);
    CHECK(applied.status == 0);  // leaving a needed service alone is not a failure
    CHECK(applied.out.find("4:automatic updates (wuauserv): kept (needed here): needed by Windows 10 (--all changes it too)\n")
          != std::string::npos);
    CHECK(applied.out.find("1 changed, 0 unchanged, 70 not installed, 0 failed, 2 kept (needed here)\n")
          != std::string::npos);
    CHECK(machine.memoryServices.services[L"wuauserv"].mode == StartMode::Automatic);
    CHECK(machine.memoryServices.services[L"ALG"].mode == StartMode::Manual);
    CHECK(machine.memoryServices.services[L"Alerter"].mode == StartMode::Disabled);

    // After it, status counts nothing that would change, and verify judges what apply did.
    CHECK(runCli({"status", "automatic"}, machine).out.find(
              "of 73 services: 1 no change, 70 not installed, 2 kept (needed here)\n")
          != std::string::npos);
    const CliResult verified = runCli({"verify", "automatic"}, machine);
    CHECK(verified.status == 0);
    CHECK(verified.out.find("2:Application Layer Gateway Service (ALG): kept (needed here): needed by Windows 10 (--all "
                            "checks it too)\n")
          != std::string::npos);
    CHECK(verified.out.find("every installed service is as the profile sets it, 2 kept (needed here)\n")
          != std::string::npos);
    // With --all, verify checks the needed services too, which apply left as they were.
    CHECK(runCli({"verify", "automatic", "--all"}, machine).status == 1);

    const CliResult all = runCli({"apply", "automatic", "--all"}, machine);
    CHECK(all.out.find("kept") == std::string::npos);
    CHECK(machine.memoryServices.services[L"wuauserv"].mode == StartMode::Disabled);
    CHECK(runCli({"verify", "automatic", "--all"}, machine).status == 0);
    CHECK(runCli({"status", "automatic", "--all"}, machine).out.find("of 73 services: 3 no change, 70 not installed\n")
          != std::string::npos);

    // On Windows XP nothing is named and nothing left alone.
    machine.version = WindowsVersion{};
    CHECK(runCli({"status", "restore"}, machine).out.find("needed by") == std::string::npos);
    CHECK(runCli({"verify", "restore"}, machine).out.find("kept") == std::string::npos);
}

TEST_CASE("restoring defaults on Windows 10 leaves RemoteRegistry as it was; on XP it sets it")
{
    MemoryMachine machine;
    machine.memoryServices.services[L"RemoteRegistry"] = installed(StartMode::Manual, RunState::Stopped);
    machine.version = WindowsVersion{10, 0, 19045, false};
    CHECK(runCli({"apply", "restore"}, machine).status == 0);
    CHECK(machine.memoryServices.services[L"RemoteRegistry"].mode == StartMode::Manual);
    CHECK(machine.memoryServices.services[L"RemoteRegistry"].state == RunState::Stopped);

    machine.version = WindowsVersion{5, 1, 2600, false};
    CHECK(runCli({"apply", "restore"}, machine).status == 0);
    CHECK(machine.memoryServices.services[L"RemoteRegistry"].mode == StartMode::Automatic);
    CHECK(machine.memoryServices.services[L"RemoteRegistry"].state == RunState::Running);
}

TEST_CASE("backups names the result saved beside a backup")
{
    MemoryMachine machine = machineWithServices();
    machine.memoryFiles.createFolders(kBackups);
    machine.memoryFiles.files[kBackups + "/auto-20261207-101500-01.txt"] = {"quillora-backup 1\r\nend\r\n", 100};
    machine.memoryFiles.files[kBackups + "/auto-20261207-101500-01.result.log"] = {"quillora-result 1\r\nend\r\n", 101};
    machine.memoryFiles.files[kBackups + "/auto-20261207-101500-02.txt"] = {"quillora-backup 1\r\nend\r\n", 102};
    const CliResult listed = runCli({"backups"}, machine);
    CHECK(listed.status == 0);
    CHECK(countOf(listed.out, "\n") == 2);  // the result is not a backup
    CHECK(listed.out.find(kBackups + "/auto-20261207-101500-01.txt  (result: auto-20261207-101500-01.result.log)\n")
          != std::string::npos);
    CHECK(listed.out.find(kBackups + "/auto-20261207-101500-02.txt\n") != std::string::npos);
}

TEST_CASE("--skip FILE: the services in it are left alone by plan, apply, status, verify and export, and named")
{
    MemoryMachine machine = machineWithServices();
    const std::string skip = "/tmp/skip.txt";
    machine.memoryFiles.files[skip] = {"\xEF\xBB\xBF# Quillora: the automatic profile\r\nAlerter\r\n\r\n  ALG  \r\n", 1};

    SUBCASE("plan launches nothing for them and logs them as kept")
    {
        const CliResult commands = runCli({"plan", "automatic", "--skip", skip, "--commands"}, machine);
        CHECK(commands.status == 0);
        CHECK(commands.out.find("Alerter") == std::string::npos);
        CHECK(commands.out.find(" ALG ") == std::string::npos);
        CHECK(countOf(commands.out, std::string("\n")) == 115 - 2 - 2);
        const CliResult log = runCli({"plan", "automatic", "--skip", skip, "--log"}, machine);
        CHECK(log.out.rfind("1:Alerter:保留\r\n2:Application Layer Gateway Service:保留\r\n", 0) == 0);
    }
    SUBCASE("apply changes nothing of them, and says so; verify and status agree")
    {
        const CliResult applied = runCli({"apply", "automatic", "--skip", skip}, machine);
        CHECK(applied.status == 0);
        CHECK(applied.out.find("1:Alerter (Alerter): kept (your choice)\n") != std::string::npos);
        CHECK(applied.out.find("1 changed, 0 unchanged, 56 not installed, 0 failed, 2 kept (your choice)\n")
              != std::string::npos);
        CHECK(machine.memoryServices.services[L"Alerter"].mode == StartMode::Automatic);
        CHECK(machine.memoryServices.services[L"ALG"].mode == StartMode::Manual);
        CHECK(machine.memoryServices.services[L"wuauserv"].mode == StartMode::Disabled);
        // Its backup leaves them out, as the window's runs do: restore --last leaves them alone.
        const std::string backup = machine.memoryFiles.files.at(kBackups + "/auto-20261207-101500-01.txt").bytes;
        CHECK(backup.find("Alerter") == std::string::npos);
        CHECK(backup.find("\r\nALG\t") == std::string::npos);
        CHECK(backup.find("\r\nwuauserv\tauto\tdelayed\r\n") != std::string::npos);
        CHECK(countOf(backup, std::string("\r\n")) == 2 + 60 - 2);
        CHECK(runCli({"verify", "automatic", "--skip", skip}, machine).status == 0);
        CHECK(runCli({"verify", "automatic"}, machine).status == 1);
        const CliResult status = runCli({"status", "automatic", "--skip", skip}, machine);
        CHECK(status.out.find("of 59 services: 1 no change, 56 not installed, 2 kept (your choice)\n") != std::string::npos);
    }
    SUBCASE("export leaves them out and names them")
    {
        const CliResult exported = runCli({"export", "automatic", "--format", "ansible", "--skip", skip}, machine);
        CHECK(exported.status == 0);
        CHECK(exported.out.find("skipped by choice (--skip): Alerter, ALG") != std::string::npos);
        CHECK(exported.out.find("{name: \"Alerter\"") == std::string::npos);
        CHECK(exported.out.find("{name: \"ALG\"") == std::string::npos);
        CHECK(exported.out.find("{name: \"ClipSrv\"") != std::string::npos);
        const CliResult inf = runCli({"export", "automatic", "--format", "inf", "--skip", skip}, machine);
        CHECK(inf.status == 0);
        CHECK(inf.out.find(std::string("\"\0A\0l\0e\0r\0t\0e\0r\0\"\0", 16)) == std::string::npos);
        CHECK(inf.out.find(std::string("\"\0C\0l\0i\0p\0S\0r\0v\0\"\0", 16)) != std::string::npos);
        // A backup's export holds the machine's own modes: nothing to skip.
        CHECK(runCli({"export", "--from-backup", "/tmp/b.txt", "--format", "inf", "--skip", skip}, machine).status == 2);
    }
}

TEST_CASE("a --skip file that cannot be taken is refused with status 2, naming the line and the problem")
{
    MemoryMachine machine = machineWithServices();
    struct Bad {
        const char* name;
        std::string bytes;
        const char* said;
    };
    const Bad bad[] = {
        {"an unknown key", "Alerter\r\nNoSuchService\r\n", "line 2: unknown service key 'NoSuchService'"},
        {"a key given twice", "# mine\r\nAlerter\r\nALG\r\nAlerter\r\n", "line 4: service key 'Alerter' given twice"},
        {"not UTF-8", "Alerter\r\nAl\xE9rter\r\n", "line 2: not UTF-8 text"},
        {"saved as Unicode", std::string("\xFF\xFE" "A\0l\0", 6), "UTF-16"},
    };
    for (const Bad& file : bad) {
        CAPTURE(file.name);
        machine.memoryFiles.files["/tmp/bad.txt"] = {file.bytes, 1};
        const CliResult result = runCli({"apply", "automatic", "--skip", "/tmp/bad.txt"}, machine);
        CHECK(result.status == 2);
        CHECK(result.err.find("/tmp/bad.txt") != std::string::npos);
        CHECK(result.err.find(file.said) != std::string::npos);
        CHECK(machine.memoryServices.changes.empty());
        CHECK(storedBackups(machine).empty());
    }
    CHECK(runCli({"plan", "automatic", "--skip", "/tmp/none.txt"}, machine).status == 3);
}

TEST_CASE("a run that left every service alone has a backup that says so, and restore --last says so too")
{
    MemoryMachine machine = machineWithServices();
    std::vector<std::wstring> every;
    for (const ServiceStep& step : profileSteps(Profile::Restore, Lists::Designed))
        every.push_back(step.serviceKey);
    const SavedBackup saved = saveAutomaticBackup(machine, every);
    CHECK(machine.memoryFiles.files.at(saved.path).bytes == "quillora-backup 1\r\nend\r\n");

    const CliResult restored = runCli({"restore", "--last"}, machine);
    CHECK(restored.status == 0);
    CHECK(restored.out
          == "restoring " + saved.path + "\nthe backup lists no service: the run it was saved before left every service "
             "alone; no run was made\n");
    // As a way back of the windows that would change nothing: no run.
    CHECK(runHistory(machine).size() == 1);
    CHECK(machine.memoryServices.services[L"Alerter"].mode == StartMode::Automatic);

    // A newer backup that cannot be used is named, never passed over for the good one before it.
    machine.stamp = "20261207-111500";
    const SavedBackup newer = saveAutomaticBackup(machine);
    machine.memoryFiles.files[newer.path].bytes = "quillora-backup 1\r\nAlerter\tauto\r\n";
    const CliResult refused = runCli({"restore", "--last"}, machine);
    CHECK(refused.status == 3);
    CHECK(refused.err.find(newer.path) != std::string::npos);
    CHECK(refused.err.find("the end line is missing") != std::string::npos);
}

TEST_CASE("skip keys in any case are Windows' keys, in the catalogue's spelling; an export names each service once")
{
    MemoryMachine machine = machineWithServices();
    machine.memoryFiles.files["/tmp/skip.txt"] = {"alerter\r\nSCHEDULE\r\n", 1};
    const CliResult planned = runCli({"plan", "automatic", "--skip", "/tmp/skip.txt", "--log"}, machine);
    CHECK(planned.status == 0);
    CHECK(planned.out.rfind("1:Alerter:保留\r\n", 0) == 0);
    const CliResult commands = runCli({"plan", "automatic", "--skip", "/tmp/skip.txt", "--commands"}, machine);
    CHECK(commands.out.find("Alerter") == std::string::npos);
    CHECK(commands.out.find("Schedule") == std::string::npos);
    machine.memoryFiles.files["/tmp/twice.txt"] = {"Alerter\r\nALERTER\r\n", 1};
    CHECK(runCli({"plan", "automatic", "--skip", "/tmp/twice.txt"}, machine).status == 2);

    const CliResult exported =
        runCli({"export", "automatic", "--all", "--format", "ansible", "--skip", "/tmp/skip.txt"}, machine);
    CHECK(exported.status == 0);
    CHECK(exported.out.find("left out: skipped by choice (--skip): Alerter, Schedule") != std::string::npos);
    CHECK(countOf(exported.out, std::string("Schedule")) == 1);
    CHECK(exported.out.find("this export changes them (--all): ") != std::string::npos);
}

TEST_CASE("history lists the runs; drift finds what changed since one, --fix sets it again; restore --before goes back")
{
    MemoryMachine machine = machineWithServices();
    CHECK(runCli({"history"}, machine).out == "no runs yet in " + kBackups + "\n");
    CHECK(runCli({"drift"}, machine).err == "quillora-cli: '" + kBackups + "': holds no run yet: nothing to compare with\n");
    REQUIRE(runCli({"apply", "automatic"}, machine).status == 0);
    const std::string first = "20261207-101500-01";
    CHECK(runCli({"history"}, machine).out
          == "RUN\tSTARTED\tMADE BY\tCHANGED\tUNCHANGED\tFAILED\tKEPT\tUNKNOWN\tNOT LAUNCHED\tNOTE\n" + first
                 + "\t2026-12-07 10:15:00\tapply automatic\t3\t0\t0\t0\t0\t0\t\n");
    const CliResult none = runCli({"drift"}, machine);
    CHECK(none.status == 0);
    CHECK(none.out == "no start mode has changed since the program last set them\n");

    // Changed behind the program's back.
    machine.memoryServices.services[L"Alerter"].mode = StartMode::Manual;
    const CliResult drifted = runCli({"drift", "--run", first}, machine);
    CHECK(drifted.status == 1);
    CHECK(drifted.out == "1 service changed since run " + first + ":\n1:Alerter (Alerter): left disabled by run " + first + ", now manual\n");
    const CliResult one = runCli({"history", first}, machine);
    CHECK(one.out.find("\n1\tAlerter\tauto\tstop, disabled\tdisabled, stopped\tchanged\t\tdisabled -> demand\n") != std::string::npos);

    machine.stamp = "20261207-101700";
    const CliResult fixed = runCli({"drift", "--fix"}, machine);
    CHECK(fixed.status == 0);
    CHECK(fixed.out.find("setting them again\nsaved the start modes from before in " + kBackups + "/auto-20261207-101700-01.txt\n")
          != std::string::npos);
    CHECK(fixed.out.find("1:Alerter (Alerter): changed from manual to disabled\n") != std::string::npos);
    CHECK(machine.memoryServices.services[L"Alerter"].mode == StartMode::Disabled);
    CHECK(runCli({"drift"}, machine).status == 0);
    CHECK(runCli({"drift", "--run", first}, machine).status == 0);
    // After that narrow run, a service only the first run set still counts: what the program last set.
    const StartMode leftByFirst = machine.memoryServices.services[L"wuauserv"].mode;
    machine.memoryServices.services[L"wuauserv"].mode = StartMode::Manual;
    const CliResult sinceFirst = runCli({"drift"}, machine);
    CHECK(sinceFirst.status == 1);
    CHECK(sinceFirst.out.find("automatic updates (wuauserv): left disabled by run " + first + ", now manual\n") != std::string::npos);
    CHECK(runCli({"drift", "--run", "20261207-101700-01"}, machine).status == 0);
    machine.memoryServices.services[L"wuauserv"].mode = leftByFirst;

    machine.stamp = "20261207-101800";
    const CliResult back = runCli({"restore", "--before", first}, machine);
    CHECK(back.status == 0);
    CHECK(back.out.rfind("restoring the settings from before run " + first + "\n", 0) == 0);
    CHECK(machine.memoryServices.services[L"Alerter"].mode == StartMode::Automatic);
    CHECK(machine.memoryServices.services[L"ALG"].mode == StartMode::Manual);
    CHECK(machine.memoryServices.services[L"wuauserv"].mode == StartMode::Automatic);
    const CliResult listed = runCli({"history"}, machine);
    CHECK(listed.out.find("\n20261207-101800-01\t2026-12-07 10:18:00\trestore-before " + first + "\t3\t0\t0\t0\t0\t0\t\n"
                          "20261207-101700-01\t2026-12-07 10:17:00\tset-again-drifted\t1\t0\t0\t0\t0\t0\t\n" + first)
          != std::string::npos);

    // A run that is not there, and a backup broken by hand: refused, nothing changed, every run still listed.
    const CliResult missing = runCli({"restore", "--before", "20990101-000000-01"}, machine);
    CHECK(missing.status == 3);
    CHECK(missing.err == "quillora-cli: '" + kBackups + "': holds no run '20990101-000000-01'; quillora-cli history lists the runs\n");
    machine.memoryFiles.files[kBackups + "/auto-" + first + ".txt"].bytes = "quillora-backup 1\r\nAlerter\tsometimes\r\nend\r\n";
    const CliResult broken = runCli({"restore", "--before", first}, machine);
    CHECK(broken.status == 3);
    CHECK(broken.err.rfind("quillora-cli: '" + kBackups + "/auto-" + first + ".txt': line 2: ", 0) == 0);
    CHECK(broken.err.find("; nothing was changed\n") != std::string::npos);
    CHECK(machine.memoryServices.services[L"Alerter"].mode == StartMode::Automatic);
    CHECK(countOf(runCli({"history"}, machine).out, "\n") == 4);
    CHECK(runCli({"history", first}, machine).status == 3);
    // While another program changes the services, neither way back starts.
    machine.heldElsewhere = true;
    CHECK(runCli({"drift", "--fix"}, machine).err
          == "quillora-cli: another run is changing this machine's services; nothing was changed\n");
    CHECK(runCli({"restore", "--before", "20261207-101700-01"}, machine).status == 3);

    // On Windows 10, which needs ALG, going back to ALG disabled leaves it alone unless --all.
    machine.heldElsewhere = false;
    machine.memoryServices.services[L"ALG"].mode = StartMode::Disabled;
    machine.stamp = "20261207-101900";
    REQUIRE(runCli({"apply", "automatic"}, machine).status == 0);
    machine.memoryServices.services[L"ALG"].mode = StartMode::Manual;
    machine.version = WindowsVersion{10, 0, 19045, false};
    const CliResult kept = runCli({"restore", "--before", "20261207-101900-01"}, machine);
    CHECK(kept.status == 0);
    CHECK(kept.out.find("\n2:Application Layer Gateway Service (ALG): left alone: needed by Windows 10 (--all changes it too)\n")
          != std::string::npos);
    CHECK(machine.memoryServices.services[L"ALG"].mode == StartMode::Manual);
    CHECK(runCli({"restore", "--before", "20261207-101900-01", "--all"}, machine).status == 0);
    CHECK(machine.memoryServices.services[L"ALG"].mode == StartMode::Disabled);

    // restore FILE is a run of its own; --restore-point asks System Restore first, and says and
    // keeps its answer; the point is ended once the run is.
    machine.memoryServices.services[L"ALG"].mode = StartMode::Manual;
    machine.stamp = "20261207-102100";
    machine.memoryServices.services[L"ALG"].mode = StartMode::Manual;
    machine.memoryFiles.files["/tmp/mine.txt"] = {"quillora-backup 1\r\nALG\tdisabled\r\nend\r\n", 1};
    machine.restorePointsDouble.answer = {RestorePointAnswer::Kind::Made, 7};
    const CliResult restored = runCli({"restore", "/tmp/mine.txt", "--restore-point"}, machine);
    CHECK(restored.status == 0);
    CHECK(restored.out.rfind("restoring /tmp/mine.txt\nrestore point: made, number 7\n", 0) == 0);
    CHECK(machine.restorePointsDouble.begun == std::vector<std::wstring>{L"Quillora: restore mine.txt"});
    CHECK(machine.restorePointsDouble.ended == std::vector<std::int64_t>{7});
    CHECK(runCli({"history"}, machine).out.find("\n20261207-102100-01\t2026-12-07 10:21:00\trestore mine.txt\t1\t0\t0\t0\t0\t0\t\n")
          != std::string::npos);
    CHECK(runCli({"history", "20261207-102100-01"}, machine).out.find("\nrestore point: made, number 7\n") != std::string::npos);
    CHECK(runCli({"drift", "--restore-point"}, machine).status == 2);
}

TEST_CASE("Ctrl+C stops apply before the next service; drift then compares only what the run reached")
{
    MemoryMachine machine = machineWithServices();
    int reached = 0;
    machine.stopWhen = [&] { return ++reached > 1; };
    const CliResult stopped = runCli({"apply", "automatic"}, machine);
    CHECK(stopped.status == 4);
    CHECK(stopped.err == "quillora-cli: stopped as asked (Ctrl+C, Ctrl+Break or the console closed): 2 services were "
                         "not reached; what was done is saved as the run's result\n");
    // Printed, kept in the history and in the result alike, each service once.
    CHECK(stopped.out.find("\n1 changed, 0 unchanged, 56 not installed, 0 failed, 2 not launched\n") != std::string::npos);
    const std::string run = "20261207-101500-01";
    CHECK(runCli({"history"}, machine).out.find(run + "\t2026-12-07 10:15:00\tapply automatic\t1\t0\t0\t0\t0\t2\t\n")
          != std::string::npos);
    CHECK(runCli({"history", run}, machine).out.find("\tALG\tdemand\tstop, disabled\tnot read\tnot launched\t") != std::string::npos);
    CHECK(machine.memoryServices.services[L"ALG"].mode == StartMode::Manual);
    machine.stopWhen = nullptr;

    // What the user stopped is not finished behind their back: no drift, each named.
    const CliResult none = runCli({"drift"}, machine);
    CHECK(none.status == 0);
    CHECK(none.out == "no start mode has changed since the program last set them\n"
                      "2:Application Layer Gateway Service (ALG): not reached: run " + run + " stopped before it; not compared\n"
                      "4:automatic updates (wuauserv): not reached: run " + run + " stopped before it; not compared\n");
    machine.memoryServices.services[L"Alerter"].mode = StartMode::Manual;
    CHECK(runCli({"drift"}, machine).status == 1);
    machine.stamp = "20261207-101600";
    const CliResult fixed = runCli({"drift", "--fix"}, machine);
    CHECK(fixed.status == 0);
    CHECK(fixed.out.find("\n1 changed, 0 unchanged, 0 not installed, 0 failed\n") != std::string::npos);
    CHECK(machine.memoryServices.services[L"Alerter"].mode == StartMode::Disabled);
    CHECK(machine.memoryServices.services[L"ALG"].mode == StartMode::Manual);

    // A result that cannot be read is named, and no older run decides its services: status 3.
    machine.memoryFiles.files[kBackups + "/auto-20261207-101600-01.result.log"].bytes = "damaged";
    const CliResult unreadable = runCli({"drift"}, machine);
    CHECK(unreadable.status == 3);
    CHECK(unreadable.out.find("1:Alerter (Alerter): run 20261207-101600-01 cannot be read (not a whole Quillora result); "
                              "not compared with an older run\n")
          != std::string::npos);
    const CliResult read = runCli({"history", "20261207-101600-01"}, machine);
    CHECK(read.status == 3);
    CHECK(read.out.find("\nunfinished: its result cannot be read; below, the start modes its backup saved before it, and how "
                        "far its journal says it got\n")
          != std::string::npos);
}

TEST_CASE("--profile FILE: an own profile planned, applied as a run of its own, verified and exported")
{
    MemoryMachine machine = machineWithServices();
    const std::string mine = "/tmp/mine.txt";
    machine.memoryFiles.files[mine] = {"quillora-profile 1\r\nAlerter\tdisabled\r\nALG\tauto\r\nThemes\tdemand\r\n"
                                       "XblGameSave\tdisabled\r\nend\r\n", 1};

    // For other machines: every service it names, the Windows 10 list's too, as the designed rows launch them.
    const CliResult plan = runCli({"plan", "--profile", mine, "--commands"}, machine);
    CHECK(plan.status == 0);
    CHECK(plan.out
          == "cmd /c NET stop Alerter\ncmd /c sc config Alerter start= disabled\n"
             "cmd /c NET start ALG\ncmd /c sc config ALG start= auto\n"
             "cmd /c sc config Themes start= demand\n"
             "cmd /c NET stop XblGameSave\ncmd /c sc config XblGameSave start= disabled\n");

    // On this Windows XP: the Windows 10 service left out and Themes, not installed, left alone; both told once.
    const CliResult applied = runCli({"apply", "--profile", mine}, machine);
    CHECK(applied.status == 0);
    CHECK(applied.err
          == "quillora-cli: --profile: left out, services of another Windows' list: XblGameSave\n"
             "quillora-cli: --profile: left alone, not installed here: Themes\n");
    CHECK(applied.out.find("\n2 changed, 0 unchanged, 1 not installed, 0 failed\n") != std::string::npos);
    CHECK(machine.memoryServices.services[L"Alerter"].mode == StartMode::Disabled);
    CHECK(machine.memoryServices.services[L"ALG"].mode == StartMode::Automatic);
    CHECK(machine.memoryServices.services[L"wuauserv"].mode == StartMode::Automatic);
    CHECK(runCli({"history"}, machine).out.find("\tapply own 3\t2\t0\t0\t0\t0\t0\t\n") != std::string::npos);
    CHECK(runCli({"verify", "--profile", mine}, machine).status == 0);

    const CliResult exported = runCli({"export", "--profile", mine, "--format", "ansible"}, machine);
    CHECK(exported.status == 0);
    CHECK(exported.out.find("Quillora profile own /tmp/mine.txt") != std::string::npos);
    CHECK(exported.out.find("{name: \"XblGameSave\"") != std::string::npos);
    CHECK(exported.out.find("{name: \"wuauserv\"") == std::string::npos);

    // A file that cannot be used changes nothing and names its line; a name and a file are one too many.
    const std::size_t changes = machine.memoryServices.changes.size();
    machine.memoryFiles.files["/tmp/bad.txt"] = {"quillora-profile 1\r\nALG\tboot\r\nend\r\n", 1};
    const CliResult bad = runCli({"apply", "--profile", "/tmp/bad.txt"}, machine);
    CHECK(bad.status == 3);
    CHECK(bad.err == "quillora-cli: '/tmp/bad.txt': line 2: a profile sets auto, demand or disabled: 'ALG\\x09boot'; nothing was changed\n");
    CHECK(machine.memoryServices.changes.size() == changes);
}
