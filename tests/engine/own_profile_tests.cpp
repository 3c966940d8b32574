#include <doctest.h>

#include "engine/choice/own_profile.h"
#include "engine/plan/plan.h"
#include "engine/records/backups/backup_file.h"
#include "engine/records/backups/profile_file.h"
#include "engine/run/recording.h"
#include "tests/support/engine_doubles.h"
#include "tests/support/wide_strings.h"

using namespace quillora;
using quillora::testing::commandLinesOf;

namespace {

// Written by hand from the file's description: catalogue order, the words of sc config.
const std::string kProfileFile =
    "quillora-profile 1\r\n"
    "Alerter\tdisabled\r\n"
    "wuauserv\tdemand\r\n"
    "Themes\tauto\r\n"
    "XblGameSave\tauto\tdelayed\r\n"
    "end\r\n";

const OwnProfile kProfile{{L"Alerter", OwnMode::Disabled},
                          {L"wuauserv", OwnMode::Manual},
                          {L"Themes", OwnMode::Automatic},
                          {L"XblGameSave", OwnMode::DelayedAutomatic}};

std::string ownProfileRefusal(const std::string& bytes)
{
    try {
        parseOwnProfile(bytes);
    } catch (const BackupError& error) {
        return error.what();
    }
    return "";
}

}  // namespace

TEST_CASE("an own profile's file: written in the backup's form, read back, and a backup read as one")
{
    CHECK(formatOwnProfile(kProfile) == kProfileFile);
    CHECK(parseOwnProfile(kProfileFile) == kProfile);
    // In any order a person writes it, it reads in catalogue order; LF and a byte-order mark as editors save.
    CHECK(parseOwnProfile("\xEF\xBB\xBFquillora-profile 1\nThemes\tauto\nAlerter\tdisabled\nend\n")
          == OwnProfile{{L"Alerter", OwnMode::Disabled}, {L"Themes", OwnMode::Automatic}});
    // A backup sets what it saved of every service that was installed.
    CHECK(parseOwnProfile("quillora-backup 1\r\nAlerter\tabsent\r\nALG\tdemand\r\nwuauserv\tauto\tdelayed\r\nend\r\n")
          == OwnProfile{{L"ALG", OwnMode::Manual}, {L"wuauserv", OwnMode::DelayedAutomatic}});

    const std::pair<std::string, std::string> refused[] = {
        {"quillora-profile 1\r\nNoSuchService\tauto\r\nend\r\n", "line 2: unknown service key: 'NoSuchService\\x09auto'"},
        {"quillora-profile 1\r\nALG\tmanual\r\nend\r\n",
         "line 2: unknown start mode (the modes are auto, demand, disabled, boot, system, absent): 'ALG\\x09manual'"},
        {"quillora-profile 1\r\nALG\tboot\r\nend\r\n", "line 2: a profile sets auto, demand or disabled: 'ALG\\x09boot'"},
        {"quillora-profile 1\r\nALG\tauto\r\nBITS\tauto\r\nALG\tdisabled\r\nend\r\n",
         "line 4: the service appears twice: 'ALG\\x09disabled'"},
        {"quillora-profile 1\r\nALG\tauto\r\n", "line 3: the file is cut off: the end line is missing"},
        {"quillora-profile 2\r\nend\r\n", "line 1: unknown format version: 'quillora-profile 2'"},
        {"Alerter\tdisabled\r\nend\r\n",
         "line 1: not a Quillora profile (the first line must be 'quillora-profile 1' or 'quillora-backup 1')"},
    };
    for (const auto& refusal : refused) {
        CAPTURE(refusal.first);
        CHECK(ownProfileRefusal(refusal.first) == refusal.second);
    }
}

TEST_CASE("an own profile fitted to Windows XP: the other list left out, no delayed start, a missing service told")
{
    const std::vector<std::wstring> keys = catalogueKeys(Lists::Designed);
    std::vector<std::optional<ServiceState>> states(keys.size(), ServiceState{StartMode::Manual});
    states[catalogueIndex(Lists::Designed, L"Themes")] = std::nullopt;
    OwnProfile profile = kProfile;
    profile.push_back({L"Alerter", OwnMode::DelayedAutomatic});
    profile.erase(profile.begin());
    const FittedOwnProfile fitted = fitOwnProfile(profile, Lists::Designed, false, states);
    CHECK(fitted.profile
          == OwnProfile{{L"wuauserv", OwnMode::Manual}, {L"Themes", OwnMode::Automatic}, {L"Alerter", OwnMode::Automatic}});
    CHECK(fitted.otherWindows == std::vector<std::wstring>{L"XblGameSave"});
    CHECK(fitted.noDelayedStart == std::vector<std::wstring>{L"Alerter"});
    CHECK(fitted.notInstalled == std::vector<std::wstring>{L"Themes"});

    // Planned on that machine: only what the profile sets, each as the designed rows launch it,
    // and nothing for the service that is not there.
    PlanInputs inputs = inputsFor(Profile::Own, Answers{}, {}, WindowsVersion{}, states, NeededServices::LeftAlone);
    inputs.own = fitted.profile;
    const RecordedRun run = recordRun(inputs);
    CHECK(commandLinesOf(run.platform)
          == std::vector<std::wstring>{L"cmd /c NET start Alerter", L"cmd /c sc config Alerter start= auto",
                                       L"cmd /c sc config wuauserv start= demand"});
    CHECK(run.log.log.rfind(L"1:Alerter:自动\r\n4:automatic updates:手动\r\n79.1:Themes:保留\r\n---", 0) == 0);
}

TEST_CASE("an own profile on Windows 10: delayed starts, per-user templates, and the services Windows needs")
{
    const OwnProfile profile{{L"Alerter", OwnMode::Automatic},
                             {L"wuauserv", OwnMode::Disabled},
                             {L"XblGameSave", OwnMode::DelayedAutomatic},
                             {L"OneSyncSvc", OwnMode::Disabled}};
    PlanInputs inputs = inputsForOtherMachines(Profile::Own, Answers{}, Lists::WithWindows10, {},
                                               WindowsGeneration::VistaAndLater, NeededServices::LeftAlone);
    inputs.own = profile;
    const std::vector<PlannedRow> rows = profilePlan(inputs);
    REQUIRE(rows.size() == 4);
    const std::vector<PlannedRow> needed = changingNeeded(rows);
    REQUIRE(needed.size() == 1);
    CHECK(needed[0].step.serviceKey == L"wuauserv");
    CHECK(commandLinesOf(recordRun(inputs).platform)
          == std::vector<std::wstring>{L"cmd /c NET start Alerter", L"cmd /c sc config Alerter start= auto",
                                       L"cmd /c NET start XblGameSave", L"cmd /c sc config XblGameSave start= delayed-auto",
                                       L"cmd /c sc config OneSyncSvc start= disabled"});
    inputs.needed = NeededServices::Changed;
    CHECK(commandLinesOf(recordRun(inputs).platform)[2] == L"cmd /c NET stop wuauserv");
}
