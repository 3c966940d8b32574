#include <doctest.h>

#include "engine/catalogue/catalogue.h"
#include "tests/support/wide_strings.h"
#include "ui/rows/service_rows.h"

using namespace quillora;
using namespace quillora::ui;

namespace {

std::vector<std::optional<ServiceState>> noneInstalled()
{
    return std::vector<std::optional<ServiceState>>(catalogueKeys().size());
}

// The states with one service set.
std::vector<std::optional<ServiceState>> withState(const std::wstring& key, ServiceState state)
{
    std::vector<std::optional<ServiceState>> states = noneInstalled();
    const std::vector<std::wstring> keys = catalogueKeys();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] == key)
            states[i] = state;
    }
    return states;
}

const ServiceRow& rowOf(const std::vector<ServiceRow>& rows, const std::wstring& key)
{
    for (const ServiceRow& row : rows) {
        if (row.serviceKey == key)
            return row;
    }
    FAIL("no row for the key");
    return rows.front();
}

std::wstring noWindowsWords(unsigned long error)
{
    return L"<words for " + std::to_wstring(error) + L">";
}

}  // namespace

TEST_CASE("a profile's rows: every service of the catalogue, its state now, the action and whether it would change")
{
    const Answers allYes{kAnswerYes, kAnswerYes, kAnswerYes};
    SUBCASE("in Chinese, on Windows XP, which needs none of them: no column for it")
    {
        const std::vector<ServiceRow> rows =
            profileRows(Profile::Automatic, allYes, withState(L"Alerter", {StartMode::Automatic, false, RunState::Running}),
                        WindowsVersion{5, 1, 2600, false}, Language::Chinese);
        REQUIRE(rows.size() == 60);
        CHECK(rows.front().cells
              == std::vector<std::wstring>{L"1", L"Alerter", L"Alerter", L"自动，正在运行", L"停止，禁用", L"会改变"});
        CHECK(profileColumns(WindowsVersion{5, 1, 2600, false}).size() == 6);
        CHECK(rowOf(rows, L"ALG").cells[3] == L"未安装");
        CHECK(rowOf(rows, L"ALG").cells[5] == L"未安装");      // not installed: nothing to change
        CHECK(rowOf(rows, L"Themes").cells[4] == L"-");        // the automatic profile leaves it alone
        CHECK(rowOf(rows, L"wuauserv").cells[4] == L"停止，禁用");  // XP needs none of them
        CHECK(rows[3].cells[0] == L"3.2");
    }
    SUBCASE("in English, on Windows 10: needed services are marked")
    {
        const std::vector<ServiceRow> rows =
            profileRows(Profile::Restore, allYes, withState(L"Spooler", {StartMode::Manual, false, RunState::Stopped}),
                        WindowsVersion{10, 0, 19045, false}, Language::English);
        REQUIRE(rows.size() == 60 + 14);  // Windows 10's own list too
        CHECK(profileColumns(WindowsVersion{10, 0, 19045, false})[5] == Text::ColumnNeeded);
        CHECK(rowOf(rows, L"Spooler").cells[3] == L"manual, stopped");
        CHECK(rowOf(rows, L"Spooler").cells[6] == L"no change");
        CHECK(rowOf(rows, L"wuauserv").cells[4] == L"automatic, start");
        CHECK(rowOf(rows, L"wuauserv").cells[5] == L"needed");  // a short column of its own
        CHECK(rowOf(rows, L"Alerter").cells[5] == L"");
        CHECK(rowOf(rows, L"Alerter").cells[4] == L"stop, disabled");
    }
    SUBCASE("a service left alone by the user's choice is kept, in the words of the run's result")
    {
        const auto states = withState(L"Alerter", {StartMode::Automatic, false, RunState::Running});
        const std::vector<ServiceRow> chinese =
            profileRows(Profile::Automatic, allYes, states, std::nullopt, Language::Chinese, {L"Alerter", L"ALG"});
        CHECK(rowOf(chinese, L"Alerter").cells[5] == L"保留（您的选择）");
        CHECK(rowOf(chinese, L"ALG").cells[5] == L"保留（您的选择）");  // not installed, and chosen
        CHECK(rowOf(chinese, L"Alerter").cells[4] == L"停止，禁用");       // what the profile would do
        const std::vector<ServiceRow> english =
            profileRows(Profile::Automatic, allYes, states, std::nullopt, Language::English, {L"Alerter"});
        CHECK(rowOf(english, L"Alerter").cells[5] == L"kept (your choice)");
    }
    SUBCASE("the prompted profile follows the answers")
    {
        const std::vector<ServiceRow> rows = profileRows(Profile::Prompted, Answers{kAnswerYes, 0, kAnswerYes}, noneInstalled(),
                                                         std::nullopt, Language::Chinese);
        CHECK(rowOf(rows, L"Spooler").cells[4] == L"停止，禁用");
        CHECK(rowOf(rows, L"ImapiService").cells[4] == L"手动");
    }
}

TEST_CASE("the result's rows: each outcome and its reason, worded in the language asked for")
{
    RunResult result{"/b/auto-20261207-101500-01.txt", {}};
    result.services.push_back({L"Alerter", BackupEntry{L"Alerter", StartMode::Automatic, false}, ActionKind::StopAndDisable,
                               ServiceState{StartMode::Disabled, false, RunState::Stopped}, Outcome::Changed, std::nullopt});
    result.services.push_back({L"wuauserv", BackupEntry{L"wuauserv", StartMode::Automatic, true}, ActionKind::StopAndDisable,
                               ServiceState{StartMode::Automatic, true, RunState::Running}, Outcome::Failed,
                               CommandFailure{CommandKind::ScConfig, 5UL}});
    result.services.push_back({L"BITS", BackupEntry{L"BITS", StartMode::Manual, false}, ActionKind::StopAndManual,
                               ServiceState{StartMode::Manual, false, RunState::Running}, Outcome::Failed,
                               CommandFailure{CommandKind::NetStop, 2UL}});
    result.services.push_back({L"SENS", BackupEntry{L"SENS", StartMode::Automatic, false}, ActionKind::StopAndDisable,
                               std::nullopt, Outcome::Unknown, std::nullopt});
    result.services.push_back({L"ALG", std::nullopt, ActionKind::ManualOnly, std::nullopt, Outcome::NotInstalled, std::nullopt});
    // A restore's row: the mode put back, refused by the Service Control Manager itself.
    result.services.push_back({L"Browser", BackupEntry{L"Browser", StartMode::Disabled, false},
                               PutBack{StartMode::Automatic, false}, ServiceState{StartMode::Disabled, false, RunState::Stopped},
                               Outcome::Failed, CommandFailure{std::nullopt, 5UL}});
    // Changed since: the run left Alerter disabled, and it is automatic now.
    const std::vector<ModeChange> since{{L"Alerter", StartMode::Automatic, false, StartMode::Disabled, false}};

    const std::vector<ServiceRow> chinese = resultRows(result, Language::Chinese, noWindowsWords, since);
    REQUIRE(chinese.size() == 6);
    CHECK(chinese[0].cells == std::vector<std::wstring>{L"1", L"Alerter", L"Alerter", L"自动", L"停止，禁用", L"禁用，已停止",
                                                        L"已更改", L"禁用 → 自动"});
    CHECK(chinese[1].cells[7].empty());
    CHECK(chinese[5].cells[4] == L"恢复为自动");
    CHECK(chinese[5].note == L"Windows 拒绝设置启动类型（错误 5）\r\n<words for 5>");
    CHECK(chinese[0].note.empty());
    CHECK(chinese[1].cells[3] == L"自动（延迟启动）");
    CHECK(chinese[1].cells[6] == L"失败");
    CHECK(chinese[1].note == L"sc config 命令以退出码 5 结束\r\n<words for 5>");
    CHECK(chinese[2].note == L"NET stop 命令以退出码 2 结束");
    CHECK(chinese[3].cells[5] == L"-");
    CHECK(chinese[3].cells[6] == L"未知");
    CHECK(chinese[3].note == L"程序在这个服务的命令结束之前就退出了");
    CHECK(chinese[4].cells[3] == L"未安装");
    CHECK(chinese[4].cells[6] == L"未安装");

    const std::vector<ServiceRow> english = resultRows(result, Language::English, noWindowsWords);
    CHECK(english[0].cells == std::vector<std::wstring>{L"1", L"Alerter", L"Alerter", L"automatic", L"stop, disabled",
                                                        L"disabled, stopped", L"changed", L""});
    CHECK(english[5].cells[4] == L"put back: automatic");
    CHECK(english[1].note == L"the sc config command ended with exit status 5\r\n<words for 5>");
    CHECK(english[2].note == L"the NET stop command ended with exit status 2");
    CHECK(english[3].cells[6] == L"unknown");
}

TEST_CASE("rows sort by any column, labels as numbers, and copy as tab-separated lines under a header")
{
    std::vector<ServiceRow> rows = {
        {L"c", {L"10", L"Gamma", L"c"}, L""}, {L"a", {L"3.2", L"Alpha", L"a"}, L""}, {L"d", {L"3", L"Delta", L"d"}, L""},
        {L"b", {L"9", L"Beta", L"b"}, L""},   {L"e", {L"3.10", L"Alpha", L"e"}, L""},
    };
    sortRows(rows, 0, true);
    std::vector<std::wstring> labels;
    for (const ServiceRow& row : rows)
        labels.push_back(row.cells[0]);
    CHECK(labels == std::vector<std::wstring>{L"3", L"3.2", L"3.10", L"9", L"10"});

    sortRows(rows, 1, false);
    std::vector<std::wstring> keys;
    for (const ServiceRow& row : rows)
        keys.push_back(row.serviceKey);
    CHECK(keys == std::vector<std::wstring>{L"c", L"d", L"b", L"a", L"e"});  // equal names keep their order

    const std::vector<std::wstring> titles = {L"No.", L"Service", L"Key"};
    CHECK(copiedText(titles, rows, {0, 3}) == L"No.\tService\tKey\r\n10\tGamma\tc\r\n3.2\tAlpha\ta\r\n");
    CHECK(copiedText(titles, rows, {}) == L"");
}
