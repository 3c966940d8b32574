#include <doctest.h>

#include <cwchar>
#include <set>

#include "engine/catalogue/catalogue.h"
#include "engine/run/recording.h"
#include "engine/catalogue/windows_needs.h"
#include "engine/plan/plan.h"
#include "engine/run/runner.h"
#include "tests/support/golden.h"
#include "tests/support/memory_machine.h"
#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"

using namespace quillora;

namespace {

// Microsoft's ratings for Windows Server 2016 with Desktop Experience, transcribed for the
// catalogue's keys: "Do not disable", and "No guidance" (leave the default as it is).
const std::set<std::wstring> kDoNotDisable{L"RemoteRegistry", L"TermService", L"Themes"};
const std::set<std::wstring> kNoGuidance{
    L"ALG", L"BITS", L"COMSysApp", L"CryptSvc", L"TrkWks", L"MSDTC", L"HidServ", L"PolicyAgent", L"SwPrv", L"Netlogon",
    L"RasAuto", L"SENS", L"Schedule", L"LmHosts", L"VSS", L"MSIServer", L"W32Time", L"wuauserv", L"WmiApSrv",
};

std::vector<std::wstring> keysOf(const std::vector<PlannedRow>& rows)
{
    std::vector<std::wstring> keys;
    for (const PlannedRow& row : rows)
        keys.push_back(row.step.serviceKey);
    return keys;
}

// The designed list's rows of a profile, for other machines of a generation.
PlanInputs forGeneration(Profile profile, const Answers& answers, std::optional<WindowsGeneration> generation)
{
    PlanInputs inputs = inputsForOtherMachines(profile, answers, Lists::Designed);
    inputs.generation = generation;
    inputs.needed = NeededServices::LeftAlone;
    return inputs;
}

// The service a golden command line acts on: "cmd /c NET stop KEY", "cmd /c NET start KEY" or
// "cmd /c sc config KEY start= MODE", a key with a blank in double quotation marks.
std::wstring serviceKeyOf(const std::wstring& line)
{
    std::wstring key;
    for (const wchar_t* prefix : {L"cmd /c NET stop ", L"cmd /c NET start ", L"cmd /c sc config "}) {
        if (line.rfind(prefix, 0) == 0)
            key = line.substr(std::wcslen(prefix));
    }
    key = key.substr(0, key.find(L" start= "));
    if (key.size() > 1 && key.front() == L'"')
        key = key.substr(1, key.size() - 2);
    return key;
}

}  // namespace

TEST_CASE("which Windows a version is, and its generation")
{
    struct Case {
        WindowsVersion version;
        const char* name;
        WindowsGeneration generation;
    };
    const Case cases[] = {
        {{5, 1, 2600, false}, "Windows XP, 5.1.2600", WindowsGeneration::XpAndServer2003},
        {{5, 2, 3790, true}, "Windows Server 2003, 5.2.3790", WindowsGeneration::XpAndServer2003},
        {{5, 2, 3790, false}, "Windows XP x64, 5.2.3790", WindowsGeneration::XpAndServer2003},
        {{6, 0, 6002, false}, "Windows Vista, 6.0.6002", WindowsGeneration::VistaAndLater},
        {{6, 1, 7601, false}, "Windows 7, 6.1.7601", WindowsGeneration::VistaAndLater},
        {{6, 3, 9600, true}, "Windows Server 2012 R2, 6.3.9600", WindowsGeneration::VistaAndLater},
        {{10, 0, 19045, false}, "Windows 10, 10.0.19045", WindowsGeneration::VistaAndLater},
        {{10, 0, 21999, false}, "Windows 10, 10.0.21999", WindowsGeneration::VistaAndLater},
        {{10, 0, 22000, false}, "Windows 11, 10.0.22000", WindowsGeneration::VistaAndLater},
        {{10, 0, 26100, false}, "Windows 11, 10.0.26100", WindowsGeneration::VistaAndLater},
        {{10, 0, 14393, true}, "Windows Server 2016, 10.0.14393", WindowsGeneration::VistaAndLater},
        {{10, 0, 20348, true}, "Windows Server 2022, 10.0.20348", WindowsGeneration::VistaAndLater},
        {{10, 0, 25398, true}, "Windows Server, 10.0.25398", WindowsGeneration::VistaAndLater},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        CHECK(windowsName(c.version) == c.name);
        CHECK(generationOf(c.version) == c.generation);
    }
}

TEST_CASE("the services each generation needs are Microsoft's, and Windows XP needs none")
{
    for (const std::wstring& key : catalogueKeys()) {
        CAPTURE(key);
        CHECK_FALSE(isNeeded(key, WindowsGeneration::XpAndServer2003));
        const bool needed = kDoNotDisable.count(key) || kNoGuidance.count(key);
        CHECK(isNeeded(key, WindowsGeneration::VistaAndLater) == needed);
        // A needed service says what it does, in both languages.
        CHECK(purposeIn(TableLanguage::Chinese, key).empty() == !needed);
        CHECK(purposeIn(TableLanguage::English, key).empty() == !needed);
    }
    CHECK(guidanceFor(L"Spooler", WindowsGeneration::VistaAndLater) == Guidance::MayDisable);
    CHECK(guidanceFor(L"Alerter", WindowsGeneration::VistaAndLater) == Guidance::NotListed);
}

TEST_CASE("the rows of each run that would change a needed service, in any direction")
{
    const auto touched = [](Profile profile) {
        return keysOf(changingNeeded(profilePlan(forGeneration(profile, Answers{}, WindowsGeneration::VistaAndLater))));
    };
    // Every needed service of the automatic profile but Themes, which it does not run, in catalogue
    // order.
    const std::vector<std::wstring> automatic{
        L"ALG", L"wuauserv", L"BITS", L"COMSysApp", L"CryptSvc", L"TrkWks", L"MSDTC", L"HidServ", L"PolicyAgent",
        L"SwPrv", L"Netlogon", L"RasAuto", L"RemoteRegistry", L"SENS", L"Schedule", L"LmHosts", L"TermService",
        L"VSS", L"MSIServer", L"W32Time", L"WmiApSrv"};
    CHECK(touched(Profile::Automatic) == automatic);
    // The prompted profile runs the same rows: the answers decide only services Windows may do
    // without.
    CHECK(touched(Profile::Prompted) == automatic);
    // Restoring sets them too, to manual or to a started automatic start, and Themes as well: a
    // change all the same, such as RemoteRegistry reachable from the network where Windows 10 has it
    // manual.
    CHECK(touched(Profile::Restore) == std::vector<std::wstring>{
              L"ALG", L"wuauserv", L"BITS", L"COMSysApp", L"CryptSvc", L"TrkWks", L"MSDTC", L"HidServ",
              L"PolicyAgent", L"SwPrv", L"Netlogon", L"RasAuto", L"RemoteRegistry", L"SENS", L"Schedule", L"LmHosts",
              L"TermService", L"VSS", L"MSIServer", L"W32Time", L"Themes", L"WmiApSrv"});
    for (const Profile profile : {Profile::Automatic, Profile::Restore})
        CHECK(changingNeeded(profilePlan(forGeneration(profile, Answers{}, WindowsGeneration::XpAndServer2003))).empty());
}

TEST_CASE("a run that leaves needed services alone launches nothing for them and logs 保留")
{
    const Answers answers;
    const PlanInputs inputs = forGeneration(Profile::Automatic, answers, WindowsGeneration::VistaAndLater);
    const std::vector<PlannedRow> alone = changingNeeded(profilePlan(inputs));
    RecordingPlatform platform;
    MemoryProgressLog log;
    runPlan(inputs, log, platform);

    // Expected: the golden run without the lines of those keys, and its log with 保留 in their
    // mode's place.
    const std::vector<std::wstring> aloneKeys = keysOf(alone);
    const std::set<std::wstring> keys(aloneKeys.begin(), aloneKeys.end());
    std::vector<std::wstring> expectedLines;
    for (const std::wstring& line : testing::goldenCommandLines("automatic")) {
        if (!keys.count(serviceKeyOf(line)))
            expectedLines.push_back(line);
    }
    std::vector<std::wstring> launched;
    for (const RecordingPlatform::Launch& launch : platform.launches)
        launched.push_back(launch.commandLine);
    CHECK(launched == expectedLines);
    CHECK(launched.size() == 115 - 2 * 21);

    std::wstring expectedLog = testing::goldenLog("automatic");
    for (const PlannedRow& row : alone) {
        const std::wstring line = row.step.label + L":" + row.step.displayName + L":";
        const std::size_t at = expectedLog.find(line);
        REQUIRE(at != std::wstring::npos);
        const std::size_t end = expectedLog.find(L"\r\n", at);
        expectedLog.replace(at + line.size(), end - at - line.size(), L"保留");
    }
    CHECK(log.log == expectedLog);
    CHECK(log.log.find(L"\r\n4:automatic updates:保留\r\n") != std::wstring::npos);
}

TEST_CASE("the needed services a run would change here: installed, and not as the row leaves them")
{
    testing::MemoryMachine machine;
    machine.version = WindowsVersion{10, 0, 19045, false};
    const Answers answers;
    const auto changing = [&](Profile profile) {
        return keysOf(changingNeeded(profilePlan(inputsOnMachine(profile, answers, {}, machine))));
    };

    // None of them installed: nothing to warn of, nothing left alone as needed.
    CHECK(changing(Profile::Automatic).empty());
    for (const PlannedRow& row : profilePlan(inputsOnMachine(Profile::Automatic, answers, {}, machine)))
        CHECK(row.leftAlone != LeftAlone::Needed);

    // As the design's rows leave them after a restore: automatic updates and Task Scheduler
    // automatic and running, which restoring asks; the automatic profile stops and disables both.
    machine.memoryServices.services[L"wuauserv"] = testing::installed(StartMode::Automatic, RunState::Running);
    machine.memoryServices.services[L"Schedule"] = testing::installed(StartMode::Automatic, RunState::Running);
    CHECK(changing(Profile::Restore).empty());
    CHECK(changing(Profile::Automatic) == std::vector<std::wstring>{L"wuauserv", L"Schedule"});

    // One already as the automatic profile leaves it: disabled and stopped.
    machine.memoryServices.services[L"wuauserv"] = testing::installed(StartMode::Disabled, RunState::Stopped);
    CHECK(changing(Profile::Automatic) == std::vector<std::wstring>{L"Schedule"});
    CHECK(changing(Profile::Restore) == std::vector<std::wstring>{L"wuauserv"});
    // Running but set as asked still changes: the row stops it.
    machine.memoryServices.services[L"wuauserv"] = testing::installed(StartMode::Disabled, RunState::Running);
    CHECK(changing(Profile::Automatic) == std::vector<std::wstring>{L"wuauserv", L"Schedule"});
    // The warning's "no" changes them all the same; its "yes" leaves them alone.
    CHECK(changingNeeded(profilePlan(inputsOnMachine(Profile::Automatic, answers, {}, machine, NeededServices::Changed)))
              .size() == 2);
    // Windows XP needs none of them.
    machine.version = WindowsVersion{};
    CHECK(changing(Profile::Automatic).empty());
}
