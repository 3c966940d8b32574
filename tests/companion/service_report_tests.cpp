#include <doctest.h>

#include <algorithm>
#include <map>
#include <set>

#include "companion/cli.h"
#include "engine/catalogue.h"
#include "engine/failure.h"
#include "engine/service_report.h"
#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"

using namespace quillora;
using quillora::testing::countOf;

namespace {

// Services held in memory; a key in refused cannot be changed.
class MemoryServices : public ServiceControl {
public:
    std::optional<ServiceState> query(const std::wstring& key) override
    {
        const auto found = services.find(key);
        if (found == services.end())
            return std::nullopt;
        return found->second;
    }
    void setStartMode(const std::wstring& key, StartMode mode, bool delayed) override
    {
        if (refused.count(key))
            throw PlatformFailure(5, L"Access is denied.");
        services.at(key).mode = mode;
        services.at(key).delayed = delayed;
    }

    std::map<std::wstring, ServiceState> services;
    std::set<std::wstring> refused;
};

}  // namespace

TEST_CASE("status shows every step, what the profile sets and whether it changes")
{
    MemoryServices machine;
    machine.services[L"Alerter"] = {StartMode::Disabled, false, "stopped"};
    machine.services[L"ALG"] = {StartMode::Manual, false, "running"};
    const ServiceReport result = statusReport(machine, profileSteps(Profile::Automatic), Answers{});
    CHECK(result.text.rfind("1:Alerter (Alerter): now disabled, stopped; profile sets disabled: unchanged\n"
                           "2:Application Layer Gateway Service (ALG): now demand, running; profile sets disabled: would change\n"
                           "3.1:ASP.NET State Service (aspnet_state): not installed; profile sets demand\n", 0) == 0);
    CHECK(countOf(result.text, "\n") == 60);
    CHECK(result.text.find("1 of 59 services would change, 57 not installed\n") != std::string::npos);
}

TEST_CASE("verify lists installed services that differ, status 1 if any")
{
    MemoryServices machine;
    machine.services[L"Alerter"] = {StartMode::Disabled, false, "stopped"};
    CHECK(verifyReport(machine, profileSteps(Profile::Automatic), Answers{}).complete);

    machine.services[L"Spooler"] = {StartMode::Automatic, false, "running"};
    const ServiceReport prompted = verifyReport(machine, profileSteps(Profile::Prompted), Answers{0, 0, 0});
    CHECK_FALSE(prompted.complete);
    CHECK(prompted.text == "42:Print Spooler (Spooler): is auto, the profile sets disabled\n"
                          "1 installed services differ from the profile\n");
}

TEST_CASE("restore sets each saved mode and reports every service")
{
    MemoryServices machine;
    machine.services[L"Alerter"] = {StartMode::Disabled, false, "stopped"};
    machine.services[L"ALG"] = {StartMode::Disabled, false, "stopped"};
    machine.services[L"BITS"] = {StartMode::Manual, false, "stopped"};
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
        machine.refused.insert(L"ALG");
        const ServiceReport result = restoreModes(machine, backup);
        CHECK_FALSE(result.complete);
        CHECK(result.text.find("ALG: failed (5: Access is denied.)\n") != std::string::npos);
        CHECK(machine.services[L"BITS"].mode == StartMode::Automatic);
    }
}

TEST_CASE("a backup holds every service of the catalogue")
{
    MemoryServices machine;
    machine.services[L"W32Time"] = {StartMode::Automatic, true, "running"};
    const std::vector<BackupEntry> entries = currentModes(machine);
    CHECK(entries.size() == 60);
    CHECK(entries[0] == BackupEntry{L"Alerter", std::nullopt, false});
    CHECK(std::count(entries.begin(), entries.end(), BackupEntry{L"W32Time", StartMode::Automatic, true}) == 1);
}

#ifndef _WIN32
TEST_CASE("the service commands need Windows")
{
    for (const char* command : {"status", "verify", "backup", "restore"}) {
        const CliResult result = runCli({command, "automatic"}, nullptr);
        CHECK(result.status == 2);
        CHECK(result.out.empty());
        CHECK(result.err == std::string("quillora-cli: the ") + command + " command needs Windows\n");
    }
}
#endif
