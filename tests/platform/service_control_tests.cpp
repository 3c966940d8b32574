#include <doctest.h>

#include <windows.h>

#include <map>

#include "companion/cli.h"
#include "engine/catalogue/catalogue.h"
#include "engine/machine/failure.h"
#include "platform/service_control.h"
#include "platform/windows_machine.h"
#include "tests/support/text_helpers.h"
#include "tests/support/stand_in_services.h"

using namespace quillora;
using quillora::testing::StandInServices;
using quillora::testing::countOf;

namespace {

std::wstring scratchFile(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + name;
    DeleteFileW(path.c_str());
    return path;
}

std::string narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// The companion as it runs on this machine.
CliResult companion(const std::vector<std::string>& args)
{
    platform::WindowsMachine machine;
    return runCli(args, machine);
}

void writeFileAtomically(const std::wstring& path, const std::string& bytes, bool replace)
{
    platform::WindowsFiles().writeAtomically(narrow(path), bytes, replace);
}

std::string readWholeFile(const std::wstring& path)
{
    return platform::WindowsFiles().read(narrow(path));
}

}  // namespace

TEST_CASE("status and verify read the Service Control Manager")
{
    StandInServices machine({{L"Alerter", SERVICE_DISABLED}, {L"ALG", SERVICE_AUTO_START}, {L"Ati HotKey Poller", SERVICE_DEMAND_START}});
    const CliResult status = companion({"status", "automatic"});
    CHECK(status.status == 0);
    CHECK(status.out.find("1:Alerter (Alerter): now disabled, stopped; profile asks stop, disabled: no change\n")
          != std::string::npos);
    CHECK(status.out.find("2:Application Layer Gateway Service (ALG): now automatic, stopped; profile asks stop, disabled"
        ": would change\n")
          != std::string::npos);
    CHECK(status.out.find("3.2:Ati HotKey Poller (Ati HotKey Poller): now manual, stopped; profile asks stop, disabled"
        ": would change\n")
          != std::string::npos);
    CHECK(status.out.find("3.3:ATI Smart (ATI Smart): profile asks stop, disabled: not installed\n")
          != std::string::npos);
    CHECK(countOf(status.out, "\n") == 60);

    const CliResult verify = companion({"verify", "automatic"});
    CHECK(verify.status == 1);
    CHECK(verify.out.find("2:Application Layer Gateway Service (ALG): is automatic, stopped; the profile asks stop, disabled"
        "\n")
          != std::string::npos);
    CHECK(verify.out.find("Alerter (Alerter)") == std::string::npos);
}

TEST_CASE("backup, hand changes, restore: the saved modes come back")
{
    StandInServices machine({{L"Alerter", SERVICE_DISABLED}, {L"ALG", SERVICE_AUTO_START}, {L"ATI Smart", SERVICE_DEMAND_START}});
    const std::wstring file = scratchFile(L"quillora-backup-test.txt");
    const CliResult backup = companion({"backup", narrow(file)});
    REQUIRE(backup.status == 0);
    CHECK(backup.out.find("saved the start modes of 60 services") == 0);

    machine.setStartType(L"Alerter", SERVICE_AUTO_START);
    machine.setStartType(L"ALG", SERVICE_DISABLED);

    const CliResult restore = companion({"restore", narrow(file)});
    CHECK(restore.out.find("1:Alerter (Alerter): changed from automatic to disabled\n") != std::string::npos);
    CHECK(restore.out.find("2:Application Layer Gateway Service (ALG): changed from disabled to automatic\n")
          != std::string::npos);
    CHECK(restore.out.find("3.3:ATI Smart (ATI Smart): unchanged (manual)\n") != std::string::npos);
    CHECK(restore.out.find("28:Messenger (Messenger): not installed\n") != std::string::npos);
    CHECK(machine.startType(L"Alerter") == SERVICE_DISABLED);
    CHECK(machine.startType(L"ALG") == SERVICE_AUTO_START);
    DeleteFileW(file.c_str());
}

TEST_CASE("backup never replaces a file without --force and leaves no partial file")
{
    StandInServices machine({{L"Alerter", SERVICE_DISABLED}});
    const std::wstring file = scratchFile(L"quillora-backup-keep.txt");
    writeFileAtomically(file, "precious", false);

    const CliResult refused = companion({"backup", narrow(file)});
    CHECK(refused.status == 3);
    CHECK(refused.err == "quillora-cli: '" + narrow(file) + "': exists already; give --force to replace it\n");
    CHECK(readWholeFile(file) == "precious");

    CHECK_THROWS_AS(writeFileAtomically(file, "half", false), PlatformFailure);
    CHECK(readWholeFile(file) == "precious");
    CHECK(GetFileAttributesW((file + L".quillora-tmp").c_str()) == INVALID_FILE_ATTRIBUTES);

    CHECK_THROWS_AS(writeFileAtomically(L"C:\\no-such-folder-quillora\\backup.txt", "x", true), PlatformFailure);

    CHECK(companion({"backup", narrow(file), "--force"}).status == 0);
    CHECK(readWholeFile(file).rfind("quillora-backup 1\r\nAlerter\tdisabled\r\n", 0) == 0);
    DeleteFileW(file.c_str());
}

TEST_CASE("a broken backup changes nothing and names its line, escaped")
{
    StandInServices machine({{L"Alerter", SERVICE_AUTO_START}});
    const std::wstring file = scratchFile(L"quillora-backup-broken.txt");
    const std::pair<std::string, std::string> broken[] = {
        {"quillora-backup 1\r\nAlerter\tdisabled\r\nALG\tsometimes\r\nend\r\n",
         "line 3: unknown start mode (the modes are auto, demand, disabled, boot, system, absent): "
         "'ALG\\x09sometimes'"},
        // A key holding a sequence that would retitle the terminal.
        {"quillora-backup 1\r\nAlerter\x1B]0;owned\x07\tdisabled\r\nend\r\n",
         "line 2: unknown service key: 'Alerter\\x1B]0;owned\\x07\\x09disabled'"},
    };
    for (const auto& [bytes, problem] : broken) {
        writeFileAtomically(file, bytes, true);
        const CliResult result = companion({"restore", narrow(file)});
        CHECK(result.status == 3);
        CHECK(result.err == "quillora-cli: '" + narrow(file) + "': " + problem + "; nothing was changed\n");
        CHECK(machine.startType(L"Alerter") == SERVICE_AUTO_START);
    }
    DeleteFileW(file.c_str());

    const CliResult missing = companion({"restore", "C:\\no-such-backup-quillora.txt"});
    CHECK(missing.status == 3);
    CHECK(missing.err.rfind("quillora-cli: 'C:\\no-such-backup-quillora.txt': ", 0) == 0);
    CHECK(missing.err.find("(error 2)\n") != std::string::npos);

    // A folder given as the backup file, and a folder that does not exist, are named as such.
    const std::string folder = narrow(scratchFile(L""));
    const CliResult intoFolder = companion({"backup", folder, "--force"});
    CHECK(intoFolder.status == 3);
    CHECK(intoFolder.err == "quillora-cli: '" + folder + "': is a folder; give the name of a file in it\n");
    const CliResult missingFolder = companion({"backup", "C:\\no-such-folder-quillora\\b.txt"});
    CHECK(missingFolder.status == 3);
    CHECK(missingFolder.err.rfind("quillora-cli: 'C:\\no-such-folder-quillora\\b.txt': ", 0) == 0);
    CHECK(missingFolder.err.find("(error 3)\n") != std::string::npos);
}

TEST_CASE("apply brings stand-in services to the profile, verify agrees, and restore --last brings them back")
{
    StandInServices machine({{L"Alerter", SERVICE_AUTO_START}, {L"ALG", SERVICE_AUTO_START},
                             {L"Spooler", SERVICE_DISABLED}, {L"aspnet_state", SERVICE_AUTO_START}});
    const CliResult applied = companion({"apply", "automatic", "--timeout", "10"});
    CHECK(applied.status == 0);
    CHECK(applied.out.rfind("saved the start modes from before in ", 0) == 0);
    CHECK(applied.out.find("1:Alerter (Alerter): changed from automatic to disabled\n") != std::string::npos);
    CHECK(applied.out.find("42:Print Spooler (Spooler): changed from disabled to manual\n") != std::string::npos);
    // Wine has a few of the catalogue's services of its own, so only the end of the count is fixed:
    // the judged result's, which the exit status and the history count too.
    CHECK(applied.out.find(" not installed, 0 failed\n") != std::string::npos);
    CHECK(machine.startType(L"Alerter") == SERVICE_DISABLED);
    CHECK(machine.startType(L"aspnet_state") == SERVICE_DEMAND_START);
    CHECK(companion({"verify", "automatic"}).status == 0);

    const CliResult listed = companion({"backups"});
    CHECK(listed.out.find("automatic  ") != std::string::npos);

    const CliResult restored = companion({"restore", "--last"});
    CHECK(restored.status == 0);
    CHECK(machine.startType(L"Alerter") == SERVICE_AUTO_START);
    CHECK(machine.startType(L"ALG") == SERVICE_AUTO_START);
    CHECK(machine.startType(L"Spooler") == SERVICE_DISABLED);
    CHECK(machine.startType(L"aspnet_state") == SERVICE_AUTO_START);
    CHECK(companion({"verify", "automatic"}).status == 1);
}

TEST_CASE("apply stops a stop-and-manual row's service: Wine's own Windows Installer, running and automatic")
{
    StandInServices services({});
    services.borrow(L"MSIServer");
    services.setStartType(L"MSIServer", SERVICE_AUTO_START);
    services.start(L"MSIServer");

    const CliResult applied = companion({"apply", "automatic", "--timeout", "20"});
    CHECK(applied.out.find("75:Windows Installer (MSIServer): stopped; changed from automatic to manual\n") != std::string::npos);
    CHECK(services.state(L"MSIServer") == SERVICE_STOPPED);
    CHECK(services.startType(L"MSIServer") == SERVICE_DEMAND_START);
    CHECK(applied.out.find(" not installed, 0 failed\n") != std::string::npos);

    // Give Wine's other services of the catalogue their modes back.
    CHECK(companion({"restore", "--last"}).status == 0);
}

TEST_CASE("asking for all services at once gives what asking one at a time gives")
{
    StandInServices machine({{L"Alerter", SERVICE_DISABLED}, {L"ATI Smart", SERVICE_AUTO_START}, {L"ALG", SERVICE_DEMAND_START}});
    platform::WindowsServiceControl services;
    std::vector<std::wstring> keys = catalogueKeys();
    keys.push_back(L"alerter");  // service names are not case-sensitive
    keys.push_back(L"NoSuchService");
    const std::vector<std::optional<ServiceState>> all = services.queryAll(keys);
    REQUIRE(all.size() == keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        CAPTURE(narrow(keys[i]));
        const std::optional<ServiceState> one = services.query(keys[i]);
        REQUIRE(all[i].has_value() == one.has_value());
        if (one) {
            CHECK(all[i]->mode == one->mode);
            CHECK(all[i]->state == one->state);
        }
    }
    CHECK(all[0]->mode == StartMode::Disabled);
    CHECK(all[keys.size() - 2]->mode == StartMode::Disabled);
    CHECK_FALSE(all.back());
}

TEST_CASE("a per-user template the enumeration does not list is looked up by its name; other services are not")
{
    // Whether Windows 10 lists per-user templates among the services it enumerates cannot be seen
    // under Wine, which refuses their type: the lookup is checked with an enumeration that lists
    // Alerter alone, against Wine's Service Control Manager, where the stand-ins exist.
    StandInServices machine({{L"OneSyncSvc", SERVICE_AUTO_START}, {L"ALG", SERVICE_DEMAND_START}});
    platform::WindowsServiceControl services;
    std::vector<std::wstring> lookedUp;
    const auto query = [&](const std::wstring& key) {
        lookedUp.push_back(key);
        return services.query(key);
    };
    const std::vector<std::wstring> keys{L"Alerter", L"OneSyncSvc", L"ALG", L"PimIndexMaintenanceSvc"};
    const std::vector<std::optional<ServiceState>> states = platform::statesFromListed(keys, {L"alerter"}, query);
    REQUIRE(states.size() == 4);
    CHECK(lookedUp == std::vector<std::wstring>{L"Alerter", L"OneSyncSvc", L"PimIndexMaintenanceSvc"});
    REQUIRE(states[1].has_value());                // a template found by its name
    CHECK(states[1]->mode == StartMode::Automatic);
    CHECK_FALSE(states[2].has_value());  // an ordinary service the enumeration did not list
    CHECK_FALSE(states[3].has_value());  // a template that is not there
}

TEST_CASE("Wine's Service Control Manager: a per-user template's type is refused; the names and modes of a stand-in are read")
{
    StandInServices machine({{L"OneSyncSvc", SERVICE_AUTO_START}});
    {
        // SERVICE_USER_SHARE_PROCESS, the type of Windows 10's templates: Wine takes no per-user
        // service, so the tests' templates are services of their own process.
        platform::ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
        REQUIRE(manager);
        platform::ServiceHandle created(CreateServiceW(manager.get(), L"QuilloraTemplateProbe", L"probe", SERVICE_ALL_ACCESS,
                                                       0x60, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                                       L"C:\\windows\\system32\\notepad.exe", nullptr, nullptr, nullptr,
                                                       nullptr, nullptr));
        CHECK_FALSE(created);
        CHECK(GetLastError() == ERROR_INVALID_PARAMETER);
    }
    platform::WindowsServiceControl services;
    // The stand-in's display name is its key; an uninstalled service has none.
    CHECK(services.displayName(L"OneSyncSvc") == L"OneSyncSvc");
    CHECK(services.displayName(L"XblAuthManager").empty());
    services.setStartMode(L"OneSyncSvc", StartMode::Disabled, false);
    CHECK(machine.startType(L"OneSyncSvc") == SERVICE_DISABLED);
    CHECK(services.query(L"OneSyncSvc") == ServiceState{StartMode::Disabled, false, RunState::Stopped});
}
