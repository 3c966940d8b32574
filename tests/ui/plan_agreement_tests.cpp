#include <doctest.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "engine/catalogue/catalogue.h"
#include "engine/catalogue/service_sources.h"
#include "engine/catalogue/windows_needs.h"
#include "engine/plan/plan.h"
#include "engine/plan/profile_on_machine.h"
#include "engine/records/backups/backup_on_machine.h"
#include "engine/records/run/run_result.h"
#include "engine/run/recording.h"
#include "engine/text/utf8.h"
#include "tests/support/memory_machine.h"
#include "tests/support/wide_strings.h"
#include "ui/words/question_words.h"
#include "ui/rows/service_rows.h"

using namespace quillora;
using quillora::testing::installed;

namespace {

// A Windows 10 machine with a service in each state a row can meet: already as a profile leaves
// it, needed by Windows, disabled under a restore that gives back only disabled services, left
// as it is by that restore, running where a question's "no" stops it; every other service is
// not installed.
testing::MemoryMachine windows10Machine()
{
    testing::MemoryMachine machine;
    machine.version = WindowsVersion{10, 0, 19045, false};
    auto& services = machine.memoryServices.services;
    services[L"Alerter"] = installed(StartMode::Disabled, RunState::Stopped);
    services[L"ALG"] = installed(StartMode::Manual, RunState::Running);
    services[L"wuauserv"] = installed(StartMode::Automatic, RunState::Running, true);
    services[L"Spooler"] = installed(StartMode::Automatic, RunState::Running);
    services[L"lfsvc"] = installed(StartMode::Disabled, RunState::Stopped);
    services[L"MapsBroker"] = installed(StartMode::Manual, RunState::Stopped);
    services[L"XblAuthManager"] = installed(StartMode::Manual, RunState::Running);
    services[L"OneSyncSvc"] = installed(StartMode::Automatic, RunState::Stopped, true);
    return machine;
}

// What a run's result says of a service, for each fate the plan gave it beforehand.
Outcome outcomeFor(Fate fate)
{
    const std::map<Fate, Outcome> outcomes{
        {Fate::WouldChange, Outcome::Changed},
        {Fate::NoChange, Outcome::Unchanged},
        {Fate::NotInstalled, Outcome::NotInstalled},
        {Fate::KeptByChoice, Outcome::LeftAloneByChoice},
        {Fate::KeptNeeded, Outcome::LeftAloneNeeded},
        {Fate::KeptAsWindowsHasIt, Outcome::LeftAloneAsWindowsHasIt},
    };
    return outcomes.at(fate);
}

// The status line of a service: the one that names it.
std::string statusLineOf(const std::string& report, const std::wstring& key)
{
    const std::string name = "(" + toUtf8(key) + "): ";
    const std::size_t at = report.find(name);
    REQUIRE(at != std::string::npos);
    return report.substr(at, report.find('\n', at) - at);
}

Answers allAnswers(std::int16_t answer)
{
    Answers answers{answer, answer, answer};
    answers.windows10.fill(answer);
    return answers;
}

}  // namespace

TEST_CASE("the plan, status, the services window and the run's result agree on every row")
{
    struct Case {
        const char* name;
        Profile profile;
        Answers answers;
    };
    const std::vector<std::wstring> chosen{L"Spooler", L"ClipSrv"};  // one installed, one not
    for (const Case& c : {Case{"prompted, every answer yes", Profile::Prompted, allAnswers(kAnswerYes)},
                          Case{"prompted, every answer no", Profile::Prompted, allAnswers(kAnswerNo)},
                          Case{"automatic", Profile::Automatic, Answers{}},
                          Case{"restore", Profile::Restore, Answers{}}}) {
        CAPTURE(c.name);
        testing::MemoryMachine machine = windows10Machine();
        const PlanInputs inputs = inputsOnMachine(c.profile, c.answers, chosen, machine);
        const std::vector<PlannedRow> plan = profilePlan(inputs);
        REQUIRE(plan.size() == (c.profile == Profile::Restore ? 74u : 73u));

        const std::string status = statusReport(plan, machine.version).text;
        const std::vector<ui::ServiceRow> english =
            ui::profileRows(c.profile, c.answers, *inputs.states, machine.version, ui::Language::English, chosen);
        const std::vector<ui::ServiceRow> chinese =
            ui::profileRows(c.profile, c.answers, *inputs.states, machine.version, ui::Language::Chinese, chosen);

        // The run: its record as the program keeps it, its commands carried out as apply does.
        std::vector<std::wstring> keys;
        std::vector<std::optional<ServiceState>> before;
        for (const PlannedRow& row : plan) {
            keys.push_back(row.step.serviceKey);
            before.push_back(row.now);
        }
        RunRecord record("/b/auto-20261207-101500-01.txt", modesOf(keys, before), before);
        std::size_t launch = 0;
        for (const PlannedRow& row : plan) {
            record.stepStarts(row.step.serviceKey, row.action, row.commands, row.leftAlone);
            for (std::size_t i = 0; i < row.commands.size(); ++i) {
                record.launched(++launch);
                record.ended(launch, 0);
            }
        }
        record.runOver();
        applyProfile(machine.memoryServices, plan, std::chrono::seconds(5), machine.version);
        const RunResult result = readBack(record, machine.memoryServices);
        REQUIRE(result.services.size() == plan.size());

        for (std::size_t i = 0; i < plan.size(); ++i) {
            const PlannedRow& row = plan[i];
            const std::wstring& key = row.step.serviceKey;
            CAPTURE(toUtf8(key));
            const Fate fate = row.fate;
            CHECK(statusLineOf(status, key).find(": " + toUtf8(fateWord(kEnglishWording, fate)))
                  != std::string::npos);
            const std::size_t windowIndex = static_cast<std::size_t>(
                std::find_if(english.begin(), english.end(), [&](const ui::ServiceRow& r) { return r.serviceKey == key; })
                - english.begin());
            REQUIRE(windowIndex < english.size());
            CHECK(english[windowIndex].cells[6] == fateWord(kEnglishWording, fate));
            CHECK(chinese[windowIndex].cells[6] == fateWord(kChineseWording, fate));
            CHECK(result.services[i].serviceKey == key);
            CHECK(result.services[i].outcome == outcomeFor(fate));
            // A service kept, or not installed, is told in the same word before and after.
            if (fate != Fate::WouldChange && fate != Fate::NoChange)
                CHECK(std::wstring(outcomeWord(kChineseWording, result.services[i].outcome))
                      == fateWord(kChineseWording, fate));
        }

        // plan for other machines logs 保留 exactly where that plan launches nothing.
        const PlanInputs elsewhere = inputsForOtherMachines(c.profile, c.answers, inputs.lists, chosen);
        const RecordedRun recorded = recordRun(elsewhere);
        for (const PlannedRow& row : profilePlan(elsewhere)) {
            CAPTURE(toUtf8(row.step.serviceKey));
            const std::wstring kept = L"\n" + row.step.label + L":" + row.step.displayName + L":保留\r";
            const bool loggedKept = (L"\n" + recorded.log.log).find(kept) != std::wstring::npos;
            CHECK(loggedKept == row.leftAlone.has_value());
        }
    }
}

TEST_CASE("the states that decide a row: each fate where a test machine puts it")
{
    testing::MemoryMachine machine = windows10Machine();
    const Answers no = allAnswers(kAnswerNo);
    const auto fateIn = [&](Profile profile, const Answers& answers, const std::wstring& key) {
        for (const PlannedRow& row : planRows(inputsOnMachine(profile, answers, {L"Spooler"}, machine))) {
            if (row.step.serviceKey == key)
                return row.fate;
        }
        FAIL("no row");
        return Fate::NotInProfile;
    };
    CHECK(fateIn(Profile::Automatic, no, L"Alerter") == Fate::NoChange);
    CHECK(fateIn(Profile::Automatic, no, L"ALG") == Fate::KeptNeeded);
    CHECK(fateIn(Profile::Automatic, no, L"Spooler") == Fate::KeptByChoice);
    CHECK(fateIn(Profile::Automatic, no, L"Messenger") == Fate::NotInstalled);
    CHECK(fateIn(Profile::Automatic, no, L"Themes") == Fate::NotInProfile);
    CHECK(fateIn(Profile::Automatic, no, L"XblAuthManager") == Fate::KeptAsWindowsHasIt);
    CHECK(fateIn(Profile::Prompted, no, L"XblAuthManager") == Fate::WouldChange);
    CHECK(fateIn(Profile::Prompted, allAnswers(kAnswerYes), L"XblAuthManager") == Fate::KeptAsWindowsHasIt);
    CHECK(fateIn(Profile::Restore, no, L"lfsvc") == Fate::WouldChange);
    CHECK(fateIn(Profile::Restore, no, L"MapsBroker") == Fate::KeptAsWindowsHasIt);
    // Not installed is said before what the row would keep.
    CHECK(fateIn(Profile::Restore, no, L"icssvc") == Fate::NotInstalled);
    CHECK(fateIn(Profile::Restore, no, L"OneSyncSvc") == Fate::NoChange);
    // On Windows XP nothing is needed.
    machine.version = WindowsVersion{};
    CHECK(fateIn(Profile::Automatic, no, L"ALG") == Fate::WouldChange);
}

TEST_CASE("check boxes only where a choice can change something")
{
    testing::MemoryMachine machine = windows10Machine();
    const std::vector<std::optional<ServiceState>> states =
        machine.memoryServices.queryAll(catalogueKeys(Lists::WithWindows10));
    const Answers yes = allAnswers(kAnswerYes);
    const auto boxed = [&](Profile profile) {
        std::vector<std::wstring> keys;
        for (const ui::ServiceRow& row :
             ui::profileRows(profile, yes, states, machine.version, ui::Language::English)) {
            if (row.choosable)
                keys.push_back(row.serviceKey);
        }
        return keys;
    };
    const std::vector<std::wstring> designed = catalogueKeys(Lists::Designed);
    std::vector<std::wstring> designedButThemes = designed;
    std::erase(designedButThemes, L"Themes");
    const std::vector<std::wstring> both = catalogueKeys(Lists::WithWindows10);
    const std::vector<std::wstring> tenOwn(both.begin() + 60, both.end());
    REQUIRE(tenOwn.size() == 14);

    // The automatic profile keeps the fourteen as Windows has them, and never runs Themes; a row
    // not installed here keeps its box, for exports to other machines.
    CHECK(boxed(Profile::Automatic) == designedButThemes);
    // The questions' "no" turns the fourteen off, whatever was answered here.
    std::vector<std::wstring> all = designedButThemes;
    all.insert(all.end(), tenOwn.begin(), tenOwn.end());
    CHECK(boxed(Profile::Prompted) == all);
    // Restore runs every row, Themes too, and changes each of the fourteen somewhere.
    CHECK(boxed(Profile::Restore) == catalogueKeys(Lists::WithWindows10));
}

TEST_CASE("the catalogue alone names the lists: sources, ratings and questions follow it")
{
    const std::vector<std::wstring> tenOwn = windows10ListKeys();
    REQUIRE(tenOwn.size() == 14);
    // Every row of the Windows 10 list has two sources or more, and no source names another key.
    std::vector<std::wstring> cited = citedServices();
    std::vector<std::wstring> sortedOwn = tenOwn;
    std::sort(cited.begin(), cited.end());
    std::sort(sortedOwn.begin(), sortedOwn.end());
    CHECK(cited == sortedOwn);
    for (const std::wstring& key : tenOwn) {
        CAPTURE(toUtf8(key));
        CHECK(citationsFor(key).size() >= 2);
        CHECK(questionOf(key).has_value());
    }
    // Each question of Windows 10 and 11 names the rows it decides, as the catalogue names them:
    // the labels as they were written by hand before the names came from the catalogue.
    const std::tuple<AnswerFlag, const wchar_t*, const wchar_t*> labels[] = {
        {AnswerFlag::Xbox,
         L"您是否使用 Xbox 应用、Xbox Live 游戏、游戏栏录制或 Xbox 配件（例如手柄）？\r\n\r\n选“否”将关闭：Xbox Live "
         L"身份验证管理器、Xbox Live 游戏保存、Xbox Live 网络服务、Xbox 配件管理服务、GameDVR 和广播用户服务。",
         L"Do you use the Xbox app, Xbox Live games, Game Bar recording or Xbox accessories such as a controller?\r\n\r\n"
         L"No turns off: Xbox Live Auth Manager, Xbox Live Game Save, Xbox Live Networking Service, Xbox Accessory "
         L"Management Service, GameDVR and Broadcast User Service."},
        {AnswerFlag::Location,
         L"您是否使用定位（例如“查找我的设备”、天气里的当前位置）或“地图”应用？\r\n\r\n选“否”将关闭：地理定位服务、"
         L"已下载的地图管理器。",
         L"Do you use location (such as Find my device, or the weather where you are) or the Maps app?\r\n\r\n"
         L"No turns off: Geolocation Service, Downloaded Maps Manager."},
        {AnswerFlag::Cellular,
         L"您是否在这台电脑上使用移动热点、蜂窝数据（SIM 卡）或收发短信？\r\n\r\n选“否”将关闭：Windows 移动热点服务、"
         L"蜂窝时间、MessagingService、短信路由服务。",
         // The catalogue's name of SmsRouter, which the hand-written label once shortened.
         L"Do you use Mobile hotspot, cellular data (a SIM card) or text messages on this PC?\r\n\r\n"
         L"No turns off: Windows Mobile Hotspot Service, Cellular Time, MessagingService, Microsoft Windows SMS Router "
         L"Service."},
        {AnswerFlag::Nfc, L"您是否用这台电脑的 NFC 刷卡支付或读写 NFC 标签？\r\n\r\n选“否”将关闭：付款和 NFC/SE 管理器。",
         L"Do you pay by tapping, or read NFC tags, with this PC?\r\n\r\nNo turns off: Payments and NFC/SE Manager."},
        {AnswerFlag::Mail,
         L"您是否使用 Windows 自带的“邮件”、“日历”或“人脉”应用？\r\n\r\n选“否”将关闭：同步主机、联系人数据"
         L"（联系人可能不再出现在搜索结果中）。",
         L"Do you use the built-in Mail, Calendar or People apps?\r\n\r\n"
         L"No turns off: Sync Host, Contact Data (contacts may be missing from search results)."},
    };
    for (const auto& label : labels) {
        CAPTURE(questionTopic(std::get<0>(label)));
        CHECK(ui::windows10QuestionText(ui::Language::Chinese, std::get<0>(label)) == std::get<1>(label));
        CHECK(ui::windows10QuestionText(ui::Language::English, std::get<0>(label)) == std::get<2>(label));
    }
}
