#include <doctest.h>

#include <algorithm>
#include <map>
#include <set>

#include "engine/catalogue.h"
#include "engine/failure.h"
#include "engine/service_report.h"
#include "tests/support/memory_machine.h"
#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"

using namespace quillora;
using quillora::testing::countOf;

using quillora::testing::installed;

TEST_CASE("status shows every step, what the profile sets and whether it changes")
{
    testing::MemoryServices machine;
    machine.services[L"Alerter"] = installed(StartMode::Disabled, "stopped");
    machine.services[L"ALG"] = installed(StartMode::Manual, "running");
    const ServiceReport result = statusReport(machine, profileSteps(Profile::Automatic), Answers{});
    CHECK(result.text.rfind("1:Alerter (Alerter): now disabled, stopped; profile sets disabled: unchanged\n"
                           "2:Application Layer Gateway Service (ALG): now demand, running; profile sets disabled: would change\n"
                           "3.1:ASP.NET State Service (aspnet_state): not installed; profile sets demand\n", 0) == 0);
    CHECK(countOf(result.text, "\n") == 60);
    CHECK(result.text.find("1 of 59 services would change, 57 not installed\n") != std::string::npos);
}

TEST_CASE("verify lists installed services that differ, status 1 if any")
{
    testing::MemoryServices machine;
    machine.services[L"Alerter"] = installed(StartMode::Disabled, "stopped");
    CHECK(verifyReport(machine, profileSteps(Profile::Automatic), Answers{}).complete);

    machine.services[L"Spooler"] = installed(StartMode::Automatic, "running");
    const ServiceReport prompted = verifyReport(machine, profileSteps(Profile::Prompted), Answers{0, 0, 0});
    CHECK_FALSE(prompted.complete);
    CHECK(prompted.text == "42:Print Spooler (Spooler): is auto, the profile sets disabled\n"
                          "1 installed services differ from the profile\n");
}

TEST_CASE("restore sets each saved mode and reports every service")
{
    testing::MemoryServices machine;
    machine.services[L"Alerter"] = installed(StartMode::Disabled, "stopped");
    machine.services[L"ALG"] = installed(StartMode::Disabled, "stopped");
    machine.services[L"BITS"] = installed(StartMode::Manual, "stopped");
    const std::vector<BackupEntry> backup{
        {L"Alerter", StartMode::Disabled, false},
        {L"ALG", StartMode::Manual, false},
        {L"BITS", StartMode::Automatic, true},
        {L"Messenger", StartMode::Manual, false},
    };
    SUBCASE("every installed service set")
    {
        const ServiceReport result = restoreModes(machine, backup);
        CHECK(result.complete);
        CHECK(result.text == "Alerter: unchanged (disabled)\n"
                            "ALG: changed from disabled to demand\n"
                            "BITS: changed from demand to auto (delayed)\n"
                            "Messenger: not installed\n");
        CHECK(machine.services[L"BITS"].delayed);
    }
    SUBCASE("a refused change fails the restore but the others go on")
    {
        machine.services[L"ALG"].accessDenied = true;
        const ServiceReport result = restoreModes(machine, backup);
        CHECK_FALSE(result.complete);
        CHECK(result.text.find("ALG: failed (5: Access is denied.)\n") != std::string::npos);
        CHECK(machine.services[L"BITS"].mode == StartMode::Automatic);
    }
}

TEST_CASE("a backup holds every service of the catalogue")
{
    testing::MemoryServices machine;
    machine.services[L"W32Time"] = installed(StartMode::Automatic, "running", true);
    const std::vector<BackupEntry> entries = currentModes(machine);
    CHECK(entries.size() == 60);
    CHECK(entries[0] == BackupEntry{L"Alerter", std::nullopt, false});
    CHECK(std::count(entries.begin(), entries.end(), BackupEntry{L"W32Time", StartMode::Automatic, true}) == 1);
}

TEST_CASE("apply brings each installed service to its row's state and says what kept one from it")
{
    testing::MemoryServices machine;
    machine.services[L"Alerter"] = installed(StartMode::Automatic, "running");
    machine.services[L"ALG"] = installed(StartMode::Disabled, "stopped");
    machine.services[L"aspnet_state"] = installed(StartMode::Automatic, "running");
    machine.services[L"Messenger"] = installed(StartMode::Automatic, "running");
    machine.services[L"Messenger"].dependants = {L"Dependant"};
    machine.services[L"Dependant"] = installed(StartMode::Automatic, "running");
    machine.services[L"W32Time"] = installed(StartMode::Automatic, "running");
    machine.services[L"W32Time"].hangsOnStop = true;
    machine.services[L"TrkWks"] = installed(StartMode::Manual, "stopped");
    machine.services[L"TrkWks"].accessDenied = true;
    const std::chrono::seconds timeout(5);

    const ServiceReport automatic = applyProfile(machine, profileSteps(Profile::Automatic), Answers{}, timeout);
    CHECK_FALSE(automatic.complete);
    const std::string lines[] = {
        "1:Alerter (Alerter): stopped; changed from auto to disabled\n",
        "2:Application Layer Gateway Service (ALG): unchanged (disabled, stopped)\n",
        // A manual row only sets the mode: the service is not stopped.
        "3.1:ASP.NET State Service (aspnet_state): changed from auto to demand\n",
        "3.2:Ati HotKey Poller (Ati HotKey Poller): not installed\n",
        "14:Distributed Link Tracking Client (TrkWks): failed (5: Access is denied.)\n",
        "28:Messenger (Messenger): changed from auto to disabled; left running: running services depend on it "
        "(Dependant)\n",
        "78:Windows Time (W32Time): changed from auto to disabled; left running: it did not stop within 5 s\n",
        "2 changed, 1 unchanged, 53 not installed, 2 left running, 1 failed\n",
    };
    for (const std::string& line : lines) {
        CAPTURE(line);
        CHECK(automatic.text.find(line) != std::string::npos);
    }
    CHECK(countOf(automatic.text, "\n") == 60);
    CHECK(machine.services[L"Messenger"].state == "running");
    CHECK(machine.services[L"Dependant"].state == "running");
    CHECK(machine.services[L"aspnet_state"].state == "running");
    for (const auto wait : machine.waits)
        CHECK(wait == timeout);

    // Automatic rows are set, then started; a start that fails is a failure of that service only.
    machine.services[L"wuauserv"] = installed(StartMode::Disabled, "stopped");
    machine.services[L"wuauserv"].failsToStart = true;
    machine.services[L"Themes"] = installed(StartMode::Manual, "stopped");
    const ServiceReport restore = applyProfile(machine, profileSteps(Profile::Restore), Answers{}, timeout);
    CHECK(restore.text.find("4:automatic updates (wuauserv): failed (1066: The service has returned a "
                            "service-specific error code.)\n") != std::string::npos);
    CHECK(restore.text.find("79.1:Themes (Themes): changed from demand to auto; started\n") != std::string::npos);
    CHECK(machine.services[L"Themes"].state == "running");
    CHECK_FALSE(restore.complete);
}

TEST_CASE("apply on services already in the profile's state changes nothing and is complete")
{
    testing::MemoryServices machine;
    machine.services[L"Alerter"] = installed(StartMode::Disabled, "stopped");
    machine.services[L"Spooler"] = installed(StartMode::Manual, "running");
    const ServiceReport report = applyProfile(machine, profileSteps(Profile::Prompted), Answers{-1, -1, 0},
                                              std::chrono::seconds(30));
    CHECK(report.complete);
    CHECK(report.text.find("42:Print Spooler (Spooler): unchanged (demand, running)\n") != std::string::npos);
    CHECK(report.text.find("0 changed, 2 unchanged, 57 not installed, 0 left running, 0 failed\n") != std::string::npos);
    CHECK(machine.changes.empty());
}
