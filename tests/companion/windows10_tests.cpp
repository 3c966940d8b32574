// The fourteen services of Windows 10 and 11 and their five questions: what each profile launches
// and logs, held against golden files written by hand from Microsoft's list (rows 81 to 94), and
// what the companion, the backups and the exports make of them.
#include <doctest.h>

#include "companion/cli.h"
#include "engine/run/recording.h"
#include "engine/records/run/run_result.h"
#include "engine/plan/plan.h"
#include "engine/text/utf8.h"
#include "tests/support/golden.h"
#include "tests/support/memory_machine.h"
#include "tests/support/text_helpers.h"

using namespace quillora;
using namespace quillora::testing;

namespace {

const WindowsVersion kWindows10{10, 0, 19045, false};

// Eight letters, in the order the questions are asked: CD burner, printer, scanner or camera, Xbox,
// location and maps, hotspot and messages, NFC, Mail.
Answers eightAnswers(const char* letters)
{
    const auto flag = [&](int i) { return static_cast<std::int16_t>(letters[i] == 'y' ? kAnswerYes : kAnswerNo); };
    Answers answers{flag(0), flag(1), flag(2)};
    answers.windows10 = {flag(3), flag(4), flag(5), flag(6), flag(7)};
    return answers;
}

std::vector<std::wstring> launchedLines(const RecordedRun& run)
{
    std::vector<std::wstring> lines;
    for (const RecordingPlatform::Launch& launch : run.platform.launches)
        lines.push_back(launch.commandLine);
    return lines;
}

MemoryMachine windows10Machine()
{
    MemoryMachine machine;
    machine.version = kWindows10;
    return machine;
}

std::string planned(const std::vector<std::string>& args)
{
    MemoryMachine machine;
    const CliResult result = runCli(args, machine);
    REQUIRE(result.status == 0);
    return result.out;
}

}  // namespace

TEST_CASE("Windows 10 runs: the designed rows, then rows 81 to 94, as the golden files say")
{
    struct Case {
        const char* golden;
        Profile profile;
        const char* answers;
    };
    // None of the fourteen installed: restore keeps those it only gives back to manual when disabled;
    // all six of those disabled: it gives each back to manual.
    MemoryServices none;
    MemoryServices disabled;
    for (const wchar_t* key : {L"lfsvc", L"MapsBroker", L"icssvc", L"autotimesvc", L"SmsRouter", L"SEMgrSvc"})
        disabled.services[key] = installed(StartMode::Disabled, RunState::Stopped);
    for (const Case& c : {Case{"windows10-prompted-nnynyyyy", Profile::Prompted, "nnynyyyy"},
                          Case{"windows10-prompted-ynnnnnnn", Profile::Prompted, "ynnnnnnn"},
                          Case{"windows10-automatic", Profile::Automatic, "yyyyyyyy"},
                          Case{"windows10-restore", Profile::Restore, "yyyyyyyy"},
                          Case{"windows10-restore-disabled", Profile::Restore, "yyyyyyyy"}}) {
        CAPTURE(c.golden);
        MemoryServices& machine = std::string(c.golden).ends_with("disabled") ? disabled : none;
        const Answers answers = eightAnswers(c.answers);
        PlanInputs inputs = inputsForOtherMachines(c.profile, answers, Lists::WithWindows10);
        inputs.states = machine.queryAll(catalogueKeys(Lists::WithWindows10));
        const RecordedRun run = recordRun(inputs);
        CHECK(launchedLines(run) == goldenCommandLines(c.golden));
        CHECK(run.log.log == goldenLog(c.golden));
    }
}

TEST_CASE("the companion's plan: eight letters bring the Windows 10 rows, three are as before")
{
    CHECK(planned({"plan", "prompted", "--answers", "nnynyyyy", "--commands"})
          == goldenBytes("windows10-prompted-nnynyyyy", "commands"));
    // Without a machine, plan shows a row that depends on it as where its service is disabled.
    CHECK(planned({"plan", "restore", "--windows10", "--commands"})
          == goldenBytes("windows10-restore-disabled", "commands"));

    const std::string xboxOff = planned({"plan", "prompted", "--answers", "yyynyyyy", "--commands"});
    for (const char* line : {"cmd /c NET stop XblAuthManager\ncmd /c sc config XblAuthManager start= disabled\n",
                             "cmd /c NET stop XblGameSave\ncmd /c sc config XblGameSave start= disabled\n",
                             "cmd /c NET stop XboxNetApiSvc\ncmd /c sc config XboxNetApiSvc start= disabled\n",
                             "cmd /c NET stop XboxGipSvc\ncmd /c sc config XboxGipSvc start= disabled\n",
                             "cmd /c sc config BcastDVRUserService start= disabled\n"})
        CHECK(xboxOff.find(line) != std::string::npos);
    CHECK(xboxOff.find("NET stop BcastDVRUserService") == std::string::npos);  // a template never runs
    for (const char* other : {"lfsvc", "MapsBroker", "icssvc", "SmsRouter", "SEMgrSvc", "OneSyncSvc", "Pim"})
        CHECK(xboxOff.find(other) == std::string::npos);

    // Only Mail and People: the two templates alone, with no NET command.
    CHECK(planned({"plan", "prompted", "--answers", "YYYYYYYN", "--commands"}).substr(
              planned({"plan", "prompted", "--answers", "yyy", "--commands"}).size())
          == "cmd /c sc config OneSyncSvc start= disabled\ncmd /c sc config PimIndexMaintenanceSvc start= disabled\n");

    // Three letters: the run of Windows XP, byte for byte; yyy is the default.
    const std::string designed = planned({"plan", "prompted", "--answers", "yyy"});
    CHECK(designed == planned({"plan", "prompted"}));
    CHECK(designed.find("XblAuthManager") == std::string::npos);
    CHECK(designed.find("\n80:WMI Performance Adapter:禁用\n-----") != std::string::npos);
    CHECK(planned({"plan", "prompted", "--answers", "nny"}).find("Xbl") == std::string::npos);

    MemoryMachine machine;
    for (const char* letters : {"yyyy", "yyyyyyy", "yyyyyyyyy", "yyyyyyyx"})
        CHECK(runCli({"plan", "prompted", "--answers", letters}, machine).status == kExitUsage);
    CHECK(runCli({"export", "--from-backup", "b.txt", "--windows10", "--format", "inf"}, machine).status == kExitUsage);

    // On Windows XP eight letters are taken, and standard error says that five of them mean nothing
    // there, once; three letters, or Windows 10, say nothing.
    const std::string note = "quillora-cli: the last five --answers letters apply only on Windows 10 and 11; this "
                             "Windows has none of their services\n";
    for (const char* command : {"status", "verify", "apply"}) {
        CAPTURE(command);
        const CliResult eight = runCli({command, "prompted", "--answers", "yyynnnnn"}, machine);
        CHECK(eight.status == 0);
        CHECK(eight.err == note);
        CHECK(runCli({command, "prompted", "--answers", "yyy"}, machine).err.empty());
    }
    MemoryMachine ten = windows10Machine();
    CHECK(runCli({"status", "prompted", "--answers", "yyynnnnn"}, ten).err.empty());
}

TEST_CASE("restore on Windows 10: Microsoft's client defaults, else a disabled service back to manual; never disabled")
{
    MemoryMachine machine = windows10Machine();
    auto& services = machine.memoryServices.services;
    services[L"XblAuthManager"] = installed(StartMode::Disabled, RunState::Stopped);
    services[L"BcastDVRUserService"] = installed(StartMode::Disabled, RunState::Stopped);
    services[L"OneSyncSvc"] = installed(StartMode::Disabled, RunState::Stopped);
    services[L"PimIndexMaintenanceSvc"] = installed(StartMode::Disabled, RunState::Stopped);
    services[L"lfsvc"] = installed(StartMode::Disabled, RunState::Stopped);
    services[L"MapsBroker"] = installed(StartMode::Automatic, RunState::Running, true);
    services[L"icssvc"] = installed(StartMode::Manual, RunState::Stopped);

    const CliResult applied = runCli({"apply", "restore"}, machine);
    CHECK(applied.status == 0);
    CHECK(services[L"XblAuthManager"].mode == StartMode::Manual);
    CHECK(services[L"BcastDVRUserService"].mode == StartMode::Manual);
    CHECK(services[L"PimIndexMaintenanceSvc"].mode == StartMode::Manual);
    CHECK(services[L"OneSyncSvc"].mode == StartMode::Automatic);
    CHECK(services[L"OneSyncSvc"].delayed);  // Automatic (Delayed Start)
    CHECK(services[L"lfsvc"].mode == StartMode::Manual);
    // No default published: a mode other than disabled is the user's or Windows', and stays.
    CHECK(services[L"MapsBroker"].mode == StartMode::Automatic);
    CHECK(services[L"MapsBroker"].state == RunState::Running);
    CHECK(services[L"icssvc"].mode == StartMode::Manual);
    CHECK(applied.out.find("87:Downloaded Maps Manager (MapsBroker): kept (as Windows has it)\n") != std::string::npos);
    // Nothing is started or stopped: the templates never run, the others start on demand.
    for (const auto& [key, service] : services)
        CHECK((service.state != RunState::Running || key == L"MapsBroker"));

    // verify agrees with apply; status says what each row asks.
    CHECK(runCli({"verify", "restore"}, machine).status == 0);
    const std::string status = runCli({"status", "restore"}, machine).out;
    CHECK(status.find("93:Sync Host (OneSyncSvc): now automatic (delayed), stopped; profile asks automatic (delayed)"
                      ": no change\n")
          != std::string::npos);
    // A restore that changes only a disabled service keeps this one, in the words of the window
    // and of the run's result.
    CHECK(status.find("86:Geolocation Service (lfsvc): now manual, stopped; profile asks manual if disabled: kept (as "
                      "Windows has it)\n")
          != std::string::npos);
}

TEST_CASE("a backup holds the Windows 10 services, delayed start included, and restore --last puts every mode back")
{
    MemoryMachine machine = windows10Machine();
    auto& services = machine.memoryServices.services;
    services[L"XboxGipSvc"] = installed(StartMode::Automatic, RunState::Running, true);
    services[L"OneSyncSvc"] = installed(StartMode::Automatic, RunState::Stopped, true);
    services[L"XblGameSave"] = installed(StartMode::Manual, RunState::Stopped);

    const CliResult applied = runCli({"apply", "prompted", "--answers", "yyynyyyn"}, machine);
    CHECK(applied.status == 0);
    CHECK(services[L"XboxGipSvc"].mode == StartMode::Disabled);
    CHECK(services[L"XboxGipSvc"].state == RunState::Stopped);
    CHECK(services[L"OneSyncSvc"].mode == StartMode::Disabled);
    CHECK(services[L"XblGameSave"].mode == StartMode::Disabled);

    const std::string backup = machine.memoryFiles.files.at(kBackups + "/auto-20261207-101500-01.txt").bytes;
    CHECK(backup.find("\r\nXboxGipSvc\tauto\tdelayed\r\n") != std::string::npos);
    CHECK(backup.find("\r\nOneSyncSvc\tauto\tdelayed\r\n") != std::string::npos);
    CHECK(backup.find("\r\nXblGameSave\tdemand\r\n") != std::string::npos);
    CHECK(backup.find("\r\nSEMgrSvc\tabsent\r\n") != std::string::npos);
    CHECK(countOf(backup, std::string("\r\n")) == 2 + 60 + 14);

    CHECK(runCli({"restore", "--last"}, machine).status == 0);
    CHECK(services[L"XboxGipSvc"].mode == StartMode::Automatic);
    CHECK(services[L"XboxGipSvc"].delayed);
    CHECK(services[L"OneSyncSvc"].mode == StartMode::Automatic);
    CHECK(services[L"OneSyncSvc"].delayed);
    CHECK(services[L"XblGameSave"].mode == StartMode::Manual);

    // On Windows XP a backup holds the sixty alone.
    MemoryMachine xp;
    xp.memoryServices.services[L"Alerter"] = installed(StartMode::Manual, RunState::Stopped);
    xp.memoryFiles.createFolders("/home/user");
    const CliResult saved = runCli({"backup", "/home/user/b.txt"}, xp);
    CAPTURE(saved.err);
    REQUIRE(saved.status == 0);
    CHECK(countOf(xp.memoryFiles.files.at("/home/user/b.txt").bytes, std::string("\r\n")) == 2 + 60);
}

TEST_CASE("a result with the Windows 10 actions and the new reason reads back as it was saved")
{
    RunResult result{"/b/auto-20261207-101500-01.txt", {}};
    for (const ActionKind kind :
         {ActionKind::DisableOnly, ActionKind::DelayedAutomaticOnly, ActionKind::ManualIfDisabled}) {
        result.services.push_back(
            {L"OneSyncSvc", std::nullopt, kind, std::nullopt, Outcome::NotInstalled, std::nullopt});
    }
    result.services.push_back({L"lfsvc", BackupEntry{L"lfsvc", StartMode::Manual, false}, ActionKind::Keep,
                               ServiceState{StartMode::Manual, false, RunState::Stopped},
                               Outcome::LeftAloneAsWindowsHasIt, std::nullopt});
    CHECK(parseRunResult("/b/auto-20261207-101500-01.result.log", formatRunResult(result)) == result);
}

TEST_CASE("exports for Windows 10: the security template sets Contact Data through its registry value")
{
    const std::string inf = planned({"export", "prompted", "--answers", "yyyyyyyn", "--format", "inf"});
    std::wstring text;
    for (std::size_t i = 2; i + 1 < inf.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(inf[i]) | static_cast<unsigned char>(inf[i + 1]) << 8);
    const std::string utf8 = toUtf8(text);
    const std::size_t general = utf8.find("[Service General Setting]\r\n");
    const std::size_t registry = utf8.find("[Registry Values]\r\n");
    REQUIRE(general != std::string::npos);
    REQUIRE(registry != std::string::npos);
    const std::string generalPart = utf8.substr(general, registry - general);
    CHECK(generalPart.find("\r\n\"OneSyncSvc\",4,\"\"\r\n") != std::string::npos);
    CHECK(generalPart.find("PimIndexMaintenanceSvc") == std::string::npos);
    CHECK(utf8.substr(registry)
          == "[Registry Values]\r\nMACHINE\\System\\CurrentControlSet\\Services\\PimIndexMaintenanceSvc\\Start=4,4\r\n");
    // secedit applies [Registry Values] under its security options area, not its services one.
    CHECK(utf8.find("; apply on one machine: secedit /configure /db quillora.sdb /cfg THIS-FILE /areas SERVICES "
                    "SECURITYPOLICY\r\n")
          != std::string::npos);
    CHECK(utf8.find("; answers on Windows 10 and 11: Xbox yes; location and maps yes; mobile hotspot, cellular data and"
                    " text messages yes; NFC and tap-to-pay yes; Mail, Calendar and People no\r\n")
          != std::string::npos);

    // A template with no registry value is applied with the services area alone.
    const std::string designed = planned({"export", "prompted", "--answers", "nnn", "--format", "inf"});
    std::wstring designedText;
    for (std::size_t i = 2; i + 1 < designed.size(); i += 2)
        designedText += static_cast<wchar_t>(static_cast<unsigned char>(designed[i])
                                             | static_cast<unsigned char>(designed[i + 1]) << 8);
    CHECK(designedText.find(L"[Registry Values]") == std::wstring::npos);
    CHECK(designedText.find(L"/areas SERVICES\r\n") != std::wstring::npos);

    // Ansible sets all fourteen; restore's "manual where disabled" is a condition on the host.
    const std::string playbook = planned({"export", "restore", "--windows10", "--format", "ansible"});
    CHECK(playbook.find("{name: \"OneSyncSvc\", start_mode: delayed}\n") != std::string::npos);
    CHECK(playbook.find("{name: \"lfsvc\", start_mode: manual, only_if_disabled: true}\n") != std::string::npos);
    CHECK(playbook.find("selectattr('start_mode', 'equalto', 'disabled')") != std::string::npos);
    const std::string off = planned({"export", "prompted", "--answers", "nnnnnnnn", "--format", "ansible"});
    const std::string designedOff = planned({"export", "prompted", "--answers", "nnn", "--format", "ansible"});
    CHECK(countOf(off, std::string("start_mode: disabled")) == countOf(designedOff, std::string("start_mode: disabled")) + 14);
    // A playbook without such a row keeps the condition it always had.
    CHECK(planned({"export", "automatic", "--format", "ansible"}).find("only_if_disabled") == std::string::npos);
}

TEST_CASE("services --windows lists the fourteen with Microsoft's words and the publications")
{
    const std::string table = planned({"services", "--windows"});
    CHECK(table.find("| 81 | Xbox Live Auth Manager | `XblAuthManager` | Xbox | manual | S1: \"Should be disabled\"; ")
          != std::string::npos);
    CHECK(table.find("| S5 | [Policy CSP - SystemServices](https://learn.microsoft.com/") != std::string::npos);
    // Every row rests on two publications at least that rate it safe to turn off (S3 and S5 only
    // give defaults).
    for (const char* key : {"XblAuthManager", "XblGameSave", "XboxNetApiSvc", "XboxGipSvc", "BcastDVRUserService",
                                    "lfsvc", "MapsBroker", "icssvc", "autotimesvc", "MessagingService", "SmsRouter",
                                    "SEMgrSvc", "OneSyncSvc", "PimIndexMaintenanceSvc"}) {
        CAPTURE(key);
        const std::size_t at = table.find("`" + std::string(key) + "`");
        REQUIRE(at != std::string::npos);
        const std::string row = table.substr(at, table.find('\n', at) - at);
        const int rating = (row.find("S1: ") != std::string::npos) + (row.find("S2: ") != std::string::npos)
            + (row.find("S4: ") != std::string::npos);
        CHECK(rating >= 2);
    }
}

// The words of Microsoft's Chinese editions, as read there; where Microsoft published none, the
// program's rendering, marked as the program's. The tables name the publications S1 to S5 with no
// gap, in every language.
TEST_CASE("services --windows in Chinese quotes Microsoft's Chinese editions and marks the program's renderings")
{
    const std::string simplified = planned({"services", "--windows", "--chinese"});
    const std::string traditional = planned({"services", "--windows", "--traditional-chinese"});
    CHECK(simplified.find("| 81 | Xbox Live Auth Manager | `XblAuthManager` | Xbox | 手动 | S1：“应该禁用”；S2：“如果此服务已停止，"
                          "某些应用程序可能无法正常运行。”（本程序译文）；")
          != std::string::npos);
    CHECK(traditional.find("| 81 | Xbox Live Auth Manager | `XblAuthManager` | Xbox | 手動 | S1：「應該停用」；") != std::string::npos);
    CHECK(simplified.find("S2：“禁用此服务可防止应用访问地图。”；") != std::string::npos);
    CHECK(traditional.find("S2：「停用此服務將讓應用程式無法存取地圖。」；") != std::string::npos);
    CHECK(simplified.find("| S1 | [有关在带有桌面体验的 Windows Server 2016 中禁用系统服务的指南](https://learn.microsoft.com/zh-cn/")
          != std::string::npos);
    CHECK(traditional.find("| S1 | [在包含桌面體驗的 Windows Server 2016 上停用系統服務的指引](https://learn.microsoft.com/zh-tw/")
          != std::string::npos);
    for (const std::string* table : {&simplified, &traditional}) {
        for (const char* id : {"| S1 |", "| S2 |", "| S3 |", "| S4 |", "| S5 |"})
            CHECK(table->find(id) != std::string::npos);
        CHECK(table->find("| S6 |") == std::string::npos);
        CHECK(table->find("| S10 |") == std::string::npos);
    }
}

TEST_CASE("services takes one of --chinese and --traditional-chinese")
{
    MemoryMachine machine;
    const CliResult both = runCli({"services", "--chinese", "--traditional-chinese"}, machine);
    CHECK(both.status == kExitUsage);
    CHECK(both.err.find("--chinese and --traditional-chinese: choose one") != std::string::npos);
    const std::string table = planned({"services", "--traditional-chinese"});
    CHECK(table.rfind("| 編號 | 服務 | 服務名稱 | 依提問最佳化(建議) | 自動最佳化 | 還原系統預設值 |\n", 0) == 0);
    CHECK(table.find("| 1 | Alerter | `Alerter` | 停止，停用 | 停止，停用 | 停止，停用 |\n") != std::string::npos);
    CHECK(table.find("詢問燒錄機？是：手動；否：停止，停用") != std::string::npos);
}
