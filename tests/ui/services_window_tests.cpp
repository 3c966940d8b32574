// The services window: the catalogue as this Windows has it, and what the last run really did.
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <initializer_list>
#include <numeric>

#include "companion/cli.h"
#include "engine/catalogue/catalogue.h"
#include "engine/catalogue/service_sources.h"
#include "engine/records/backups/backup_store.h"
#include "engine/records/history/run_history.h"
#include "engine/records/run/run_origin.h"
#include "engine/records/run/run_result.h"
#include "engine/text/utf8.h"
#include "platform/windows_machine.h"
#include "tests/support/golden.h"
#include "tests/support/stand_in_services.h"
#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"
#include "tests/ui/test_desktop.h"
#include "ui/ids/identifiers.h"
#include "ui/window/list_view.h"

using namespace quillora;
using namespace quillora::testing;
using ui::MainControls;
using ui::ServicesControls;

namespace {

// Chooses an entry of a drop-down list as the user does: a view, or a run in the runs' view.
void chooseIn(ui::ServicesWindow& window, int list, int entry)
{
    const HWND choice = window.control(list);
    SendMessageW(choice, CB_SETCURSEL, entry, 0);
    SendMessageW(window.handle(), WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE), reinterpret_cast<LPARAM>(choice));
    platform::processPendingMessages();
}

// An entry of a drop-down list as it shows it.
std::wstring comboText(HWND combo, int entry)
{
    std::wstring text(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, entry, 0)), L'\0');
    SendMessageW(combo, CB_GETLBTEXT, entry, reinterpret_cast<LPARAM>(text.data()));
    return text;
}

void chooseView(ui::ServicesWindow& window, int view)
{
    chooseIn(window, ServicesControls::ViewChoice, view);
}

// The row of a service, as the copy gives it.
std::wstring rowOf(ui::ServicesWindow& window, const std::wstring& key)
{
    for (const std::wstring& row : window.rowTexts()) {
        if (row.find(L"\t" + key + L"\t") != std::wstring::npos)
            return row;
    }
    return L"(no row)";
}

// Where the list shows a service's row.
int rowIndex(ui::ServicesWindow& window, const std::wstring& key)
{
    const std::vector<std::wstring> rows = window.rowTexts();
    const auto found = std::find_if(rows.begin(), rows.end(), [&](const std::wstring& row) {
        return row.find(L"\t" + key + L"\t") != std::wstring::npos;
    });
    REQUIRE(found != rows.end());
    return static_cast<int>(found - rows.begin());
}

// The check box of a service's row: 0 for none, then unchecked and checked.
LRESULT checkBoxOf(ui::ServicesWindow& window, const std::wstring& key)
{
    return SendMessageW(window.control(ServicesControls::ServiceList), LVM_GETITEMSTATE, rowIndex(window, key),
                        LVIS_STATEIMAGEMASK)
        & LVIS_STATEIMAGEMASK;
}

void selectRow(ui::ServicesWindow& window, const std::wstring& key)
{
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(window.control(ServicesControls::ServiceList), LVM_SETITEMSTATE, rowIndex(window, key),
                 reinterpret_cast<LPARAM>(&item));
}

void openServices(ui::Program& program)
{
    SendMessageW(program.mainWindow.handle(), WM_SYSCOMMAND, ui::kViewServicesCommand, 0);
}

}  // namespace

TEST_CASE("the services window under Wine's Service Control Manager: states, actions, descriptions")
{
    StandInServices services(
        {{L"Alerter", SERVICE_AUTO_START}, {L"ALG", SERVICE_DISABLED}, {L"ImapiService", SERVICE_DISABLED}});
    services.describe(L"Alerter", L"Notifies selected users and computers of administrative alerts.");
    platform::WindowsMachine machine;
    ProgramFixture f;
    f.desktop.machine.target = &machine;
    f.program.mainWindow.show();
    openServices(f.program);
    ui::ServicesWindow& window = f.program.servicesWindow;
    REQUIRE(window.isVisible());
    CHECK(ui::windowText(window.handle()) == L"查看服务");
    const HWND list = window.control(ServicesControls::ServiceList);
    CHECK(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 60);

    // The prompted profile with all yes before any answer: Alerter is stopped and disabled.
    CHECK(rowOf(window, L"Alerter") == L"1\tAlerter\tAlerter\t自动，已停止\t停止，禁用\t会改变");
    CHECK(rowOf(window, L"ALG") == L"2\tApplication Layer Gateway Service\tALG\t禁用，已停止\t停止，禁用\t不变");
    // A question row, with all yes before any answer: manual.
    CHECK(rowOf(window, L"ImapiService")
          == L"23\tIMAPI CD-Burning COM Service\tImapiService\t禁用，已停止\t手动\t会改变");
    CHECK(rowOf(window, L"Messenger") == L"28\tMessenger\tMessenger\t未安装\t停止，禁用\t未安装");
    chooseView(window, 2);
    CHECK(rowOf(window, L"ALG") == L"2\tApplication Layer Gateway Service\tALG\t禁用，已停止\t手动\t会改变");
    CHECK(rowOf(window, L"Themes") == L"79.1\tThemes\tThemes\t未安装\t自动，启动\t未安装");

    selectRow(window, L"Alerter");
    CHECK(window.controlText(ServicesControls::DescriptionBox)
          == L"Notifies selected users and computers of administrative alerts.");
    selectRow(window, L"Messenger");
    CHECK(window.controlText(ServicesControls::DescriptionBox) == L"未安装");

    // F5 reads the states again.
    services.setStartType(L"ALG", SERVICE_DEMAND_START);
    NMLVKEYDOWN key{{list, ServicesControls::ServiceList, LVN_KEYDOWN}, VK_F5, 0};
    SendMessageW(window.handle(), WM_NOTIFY, ServicesControls::ServiceList, reinterpret_cast<LPARAM>(&key));
    CHECK(rowOf(window, L"ALG") == L"2\tApplication Layer Gateway Service\tALG\t手动，已停止\t手动\t不变");

    // A column header sorts by it, labels as numbers; a second click turns the order round.
    NMLISTVIEW header{{list, ServicesControls::ServiceList, LVN_COLUMNCLICK}, -1, 2, 0, 0, 0, {0, 0}, 0};
    SendMessageW(window.handle(), WM_NOTIFY, ServicesControls::ServiceList, reinterpret_cast<LPARAM>(&header));
    CHECK(window.rowTexts().front().find(L"\tALG\t") != std::wstring::npos);  // keys: ALG, Alerter, aspnet_state...
    header.iSubItem = 0;
    SendMessageW(window.handle(), WM_NOTIFY, ServicesControls::ServiceList, reinterpret_cast<LPARAM>(&header));
    CHECK(window.rowTexts()[2].rfind(L"3.1\t", 0) == 0);
    CHECK(window.rowTexts()[8].rfind(L"8\t", 0) == 0);
    SendMessageW(window.handle(), WM_NOTIFY, ServicesControls::ServiceList, reinterpret_cast<LPARAM>(&header));
    CHECK(window.rowTexts().front().rfind(L"80\t", 0) == 0);
    CHECK(window.rowTexts().back().rfind(L"1\t", 0) == 0);

    // A second choice brings the same window to the front.
    const HWND first = window.handle();
    openServices(f.program);
    CHECK(window.handle() == first);
}

TEST_CASE("the result of the last run: read back once its commands end, shown in the window's language, saved in one form")
{
    StandInServices services({{L"Alerter", SERVICE_AUTO_START}, {L"ALG", SERVICE_DEMAND_START}});
    platform::WindowsMachine machine;
    ProgramFixture f;
    f.desktop.machine.target = &machine;
    // Alerter's commands work; sc config for ALG (the fourth launch) is refused.
    f.desktop.recorder.atMessages = [&](int pump) {
        if (pump == 1)
            services.setStartType(L"Alerter", SERVICE_DISABLED);
    };
    f.desktop.exitStatuses[3] = ERROR_ACCESS_DENIED;
    f.desktop.stillRunning = {3};
    f.program.mainWindow.show();
    click(f.program.mainWindow.control(MainControls::AutomaticButton));

    openServices(f.program);
    ui::ServicesWindow& window = f.program.servicesWindow;
    chooseView(window, 3);
    f.program.results.collect();
    CHECK(window.rowTexts().empty());
    CHECK(window.controlText(ServicesControls::DescriptionBox).find(L"命令还在运行") != std::wstring::npos);
    CHECK(f.desktop.questions.empty());

    // The result arrives while the windows speak English: the view fills in by itself, in English.
    f.desktop.stillRunning.clear();
    f.program.host.setLanguage(ui::Language::English);
    f.program.results.collect();
    CHECK(window.rowTexts().size() == 59);
    CHECK(rowOf(window, L"ALG") == L"2\tApplication Layer Gateway Service\tALG\tmanual\tstop, disabled\tmanual, stopped\tfailed\t");
    // Windows refused some services (ALG, and under Wine the services of its own that the recorded
    // commands never stopped): said once, owned by the main window, and the user may look.
    const std::vector<std::wstring> rows = window.rowTexts();
    const auto refused = std::count_if(rows.begin(), rows.end(), [](const std::wstring& row) {
        return row.size() > 8 && row.compare(row.size() - 8, 8, L"\tfailed\t") == 0;
    });
    CHECK(refused >= 1);
    REQUIRE(f.desktop.questions.size() == 1);
    CHECK(f.desktop.questions[0].owner == f.program.mainWindow.handle());
    CHECK(f.desktop.questions[0].text == L"Windows refused this optimisation's changes to " + std::to_wstring(refused)
                                             + (refused == 1 ? L" service" : L" services")
                                             + L". Show the result of the last run?");
    f.program.results.collect();
    CHECK(f.desktop.questions.size() == 1);

    // Back in Chinese, the same result in Chinese words.
    f.program.host.setLanguage(ui::Language::Chinese);
    CHECK(rowOf(window, L"Alerter") == L"1\tAlerter\tAlerter\t自动\t停止，禁用\t禁用，已停止\t已更改\t");
    CHECK(rowOf(window, L"ALG") == L"2\tApplication Layer Gateway Service\tALG\t手动\t停止，禁用\t手动，已停止\t失败\t");
    CHECK(rowOf(window, L"Messenger") == L"28\tMessenger\tMessenger\t未安装\t停止，禁用\t未安装\t未安装\t");
    selectRow(window, L"ALG");
    const std::wstring description = window.controlText(ServicesControls::DescriptionBox);
    CHECK(description.rfind(L"这是 ", 0) == 0);
    CHECK(description.find(L"\r\n系统还原点：未创建，系统还原已关闭\r\n") != std::wstring::npos);
    CHECK(f.desktop.restorePoints.begun == std::vector<std::wstring>{L"Quillora: window automatic"});
    CHECK(description.find(L"失败的原因：sc config 命令以退出码 5 结束\r\n") != std::wstring::npos);

    // The saved file says the same.
    const std::vector<StoredBackup> backups = storedBackups(machine);
    REQUIRE_FALSE(backups.empty());
    CHECK(backups.front().hasResult);
    const std::string saved = machine.files().read(resultPathFor(backups.front().path));
    CHECK(saved.find("\r\nAlerter\tauto\tstop, disabled\tdisabled, stopped\tchanged\r\n") != std::string::npos);
    CHECK(saved.find("\r\nALG\tdemand\tstop, disabled\tdemand, stopped\tfailed\tsc-config 5\r\n") != std::string::npos);
    CHECK(saved.find("\r\nMessenger\tabsent\tstop, disabled\tabsent\tnot installed\r\n") != std::string::npos);
    CHECK(saved.find("\r\nmade-by\twindow automatic\r\nrestore-point\toff\r\n") != std::string::npos);
    CHECK(countOf(saved, std::string("\r\n")) == 59 + 5);
}

TEST_CASE("a result that cannot be saved is reported and still shown")
{
    ProgramFixture f;
    f.desktop.memoryMachine.memoryServices.services[L"Alerter"] = installed(StartMode::Automatic, RunState::Running);
    f.program.mainWindow.show();
    click(f.program.mainWindow.control(MainControls::AutomaticButton));
    f.desktop.memoryMachine.memoryFiles.readOnly = true;
    f.program.results.collect();
    // The result's file and the history's, each named as what it is.
    REQUIRE(f.desktop.errors.size() == 2);
    CHECK(f.desktop.errors[0].owner == f.program.mainWindow.handle());
    CHECK(f.desktop.errors[0].text.find(L"无法保存优化的结果 /home/user/Quillora/backups/auto-20261207-101500-01.result.log")
          != std::wstring::npos);
    CHECK(f.desktop.errors[1].text.rfind(L"无法保存优化记录 /home/user/Quillora/backups/history.log\r\n", 0) == 0);
    REQUIRE(f.program.results.lastResult().has_value());
    CHECK(f.program.results.lastResult()->services.size() == 59);
    // Reported once: the result is not saved again at every tick.
    f.program.results.collect();
    CHECK(f.desktop.errors.size() == 2);
}

namespace {

// Space pressed in the list, as the keyboard presses it.
// A key pressed in the list; a typed one (a letter) also gives the list its character, which it
// searches its rows by.
void pressKey(ui::ServicesWindow& window, WORD key, bool typed)
{
    const HWND list = window.control(ServicesControls::ServiceList);
    SetFocus(list);
    SendMessageW(list, WM_KEYDOWN, key, 0);
    if (typed)
        SendMessageW(list, WM_CHAR, key, 0);
    SendMessageW(list, WM_KEYUP, key, 0);
    flushMessages();
}

void pressSpace(ui::ServicesWindow& window)
{
    pressKey(window, VK_SPACE, false);
}

bool checkedRow(ui::ServicesWindow& window, const std::wstring& key)
{
    return checkBoxOf(window, key) == INDEXTOSTATEIMAGEMASK(2);
}


// How a list's columns show their cells: those too narrow for one of them, the room they take and
// have.
struct ColumnFit {
    std::vector<int> cut;
    int total = 0;
    int room = 0;
    std::vector<int> neediest;  // the columns, those whose cells need the most room first
};

ColumnFit columnFit(HWND list)
{
    ColumnFit fit;
    const int columns = Header_GetItemCount(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)));
    std::vector<int> needs;
    for (int column = 0; column < columns; ++column) {
        const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
        fit.total += width;
        int need = 0;
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            wchar_t text[256] = L"";
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = 256;
            SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
            need = std::max(need, static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text))) + 12);
        }
        if (need > width)
            fit.cut.push_back(column);
        needs.push_back(need);
    }
    fit.neediest.resize(needs.size());
    std::iota(fit.neediest.begin(), fit.neediest.end(), 0);
    std::stable_sort(fit.neediest.begin(), fit.neediest.end(), [&](int a, int b) { return needs[a] > needs[b]; });
    // Compared as sets: the cut columns in the order of their need.
    std::sort(fit.cut.begin(), fit.cut.end(), [&](int a, int b) { return needs[a] > needs[b]; });
    RECT client{};
    GetClientRect(list, &client);
    fit.room = client.right - client.left;
    return fit;
}

// The program shown, and its services window open on a view.
ui::ServicesWindow& servicesWindowOn(ProgramFixture& f, int view)
{
    f.program.mainWindow.show();
    openServices(f.program);
    chooseView(f.program.servicesWindow, view);
    return f.program.servicesWindow;
}

}  // namespace

TEST_CASE("a row unchecked with Space: the runs leave it alone, as kept, and the choice lasts a restart")
{
    TestDesktop desktop;
    {
        ui::Program program{GetModuleHandleW(nullptr), desktop, desktop, desktop.machine, desktop.restorePoints};
        program.mainWindow.show();
        openServices(program);
        ui::ServicesWindow& window = program.servicesWindow;
        chooseView(window, 1);
        CHECK(checkedRow(window, L"Alerter"));
        CHECK(window.controlText(ServicesControls::ChoiceCount) == L"按您的选择保留 0 个服务");
        selectRow(window, L"Alerter");
        pressSpace(window);
        CHECK_FALSE(checkedRow(window, L"Alerter"));
        CHECK(rowOf(window, L"Alerter").substr(rowOf(window, L"Alerter").rfind(L'\t') + 1) == L"保留（您的选择）");
        CHECK(window.controlText(ServicesControls::ChoiceCount) == L"按您的选择保留 1 个服务");
        CHECK(desktop.memoryMachine.memoryFiles.files.at(kSettings).bytes == "[Quillora]\r\nskip.automatic=Alerter\r\n");
        // Another profile's choice is its own.
        chooseView(window, 2);
        CHECK(checkedRow(window, L"Alerter"));
        // The result view has no check boxes and no buttons of the choice.
        chooseView(window, 3);
        CHECK((SendMessageW(window.control(ServicesControls::ServiceList), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)
               & LVS_EX_CHECKBOXES) == 0);
        CHECK_FALSE(IsWindowVisible(window.control(ServicesControls::SelectAllButton)));
        SendMessageW(window.handle(), WM_CLOSE, 0, 0);

        click(program.mainWindow.control(MainControls::AutomaticButton));
        CHECK(desktop.recorder.launches.size() == 115 - 2);
        for (const auto& launch : desktop.recorder.launches)
            CHECK(launch.commandLine.find(L"Alerter") == std::wstring::npos);
        const std::wstring log = ui::windowText(program.progressWindow.control(ui::ProgressControls::LogBox));
        CHECK(log.rfind(L"1:Alerter:保留\r\n2:Application Layer Gateway Service:禁用\r\n", 0) == 0);
        // The backup holds only what the run changes.
        const std::vector<StoredBackup> backups = storedBackups(desktop.memoryMachine);
        REQUIRE(backups.size() == 1);
        CHECK(desktop.memoryMachine.memoryFiles.read(backups[0].path).find("Alerter\t") == std::string::npos);
    }
    desktop.recorder.launches.clear();
    // Written again by hand, as Windows' own ini files are: names in any case, blanks around.
    desktop.memoryMachine.memoryFiles.files[kSettings].bytes = "[Quillora]\r\n Skip.Automatic = Alerter\r\n";
    {
        // Started again: the choice is read back.
        ui::Program program{GetModuleHandleW(nullptr), desktop, desktop, desktop.machine, desktop.restorePoints};
        program.mainWindow.show();
        click(program.mainWindow.control(MainControls::AutomaticButton));
        CHECK(desktop.recorder.launches.size() == 115 - 2);
        // Select all: the run is the designed one again, byte for byte.
        openServices(program);
        ui::ServicesWindow& window = program.servicesWindow;
        chooseView(window, 1);
        CHECK_FALSE(checkedRow(window, L"Alerter"));
        click(window.control(ServicesControls::SelectAllButton));
        CHECK(checkedRow(window, L"Alerter"));
        CHECK(desktop.memoryMachine.memoryFiles.files.at(kSettings).bytes == "[Quillora]\r\nskip.automatic=\r\n");
        desktop.recorder.launches.clear();
        click(program.mainWindow.control(MainControls::AutomaticButton));
        CHECK(commandLinesOf(desktop.recorder) == goldenCommandLines("automatic"));
        const std::wstring log = ui::windowText(program.progressWindow.control(ui::ProgressControls::LogBox));
        const std::wstring designed = goldenLog("automatic");
        REQUIRE(log.size() >= designed.size());
        CHECK(log.substr(log.size() - designed.size()) == designed);  // after the run before it
    }
}

TEST_CASE("the choice: Space on several rows, none and all, saved to a file and read back, a bad file refused")
{
    ProgramFixture f;
    ui::ServicesWindow& window = servicesWindowOn(f, 1);
    const HWND list = window.control(ServicesControls::ServiceList);
    selectRow(window, L"Alerter");
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));  // ALG too
    pressSpace(window);
    CHECK_FALSE(checkedRow(window, L"Alerter"));
    CHECK_FALSE(checkedRow(window, L"ALG"));
    CHECK(checkedRow(window, L"BITS"));
    CHECK(f.program.skips.skipped(Profile::Automatic) == std::vector<std::wstring>{L"Alerter", L"ALG"});

    f.desktop.fileChosen = L"/tmp/choice.txt";
    click(window.control(ServicesControls::SaveChoiceButton));
    CHECK(f.desktop.suggestedNames == std::vector<std::wstring>{L"quillora-skip-automatic.txt"});
    CHECK(f.desktop.memoryMachine.memoryFiles.read("/tmp/choice.txt")
          == "\xEF\xBB\xBF# Quillora: the services the automatic profile leaves alone by your choice, one key a line\r\n"
             "Alerter\r\nALG\r\n");

    // Every service the profile touches; Themes, which it leaves alone anyway, has no check box.
    click(window.control(ServicesControls::SelectNoneButton));
    CHECK(f.program.skips.skipped(Profile::Automatic).size() == 59);
    CHECK(window.controlText(ServicesControls::ChoiceCount) == L"按您的选择保留 59 个服务");
    click(window.control(ServicesControls::ReadChoiceButton));
    CHECK(f.program.skips.skipped(Profile::Automatic) == std::vector<std::wstring>{L"Alerter", L"ALG"});
    CHECK(checkedRow(window, L"BITS"));

    // Refused in the window's words, the file's text quoted as it is, a tab shown as one.
    f.desktop.memoryMachine.memoryFiles.files["/tmp/choice.txt"] = {"Alerter\r\nNoSuch\tService\r\nALG\r\nalg\r\n", 1};
    click(window.control(ServicesControls::ReadChoiceButton));
    f.desktop.memoryMachine.memoryFiles.files["/tmp/choice.txt"] = {"Alerter\r\nALG\r\nalg\r\n", 1};
    f.program.host.setLanguage(ui::Language::TraditionalChinese);
    click(window.control(ServicesControls::ReadChoiceButton));
    REQUIRE(f.desktop.errors.size() == 2);
    CHECK(f.desktop.errors[0].text == L"无法使用这个文件 /tmp/choice.txt：\r\n第 2 行：未知的服务名：“NoSuch→Service”\r\n\r\n未做任何更改。");
    CHECK(f.desktop.errors[1].text == L"無法使用這個檔案 /tmp/choice.txt：\r\n第 3 行：服務出現了兩次：「alg」\r\n\r\n未做任何變更。");
    CHECK(f.program.skips.skipped(Profile::Automatic) == std::vector<std::wstring>{L"Alerter", L"ALG"});
}

TEST_CASE("columns: at the default size every column shows, no cell cut; widths set by hand last; the copy has a header")
{
    for (const ui::Language language : {ui::Language::Chinese, ui::Language::English}) {
        CAPTURE(static_cast<int>(language));
        ProgramFixture f;
        f.program.host.setLanguage(language);
        f.program.mainWindow.show();
        openServices(f.program);
        const ColumnFit fit = columnFit(f.program.servicesWindow.control(ServicesControls::ServiceList));
        CHECK(fit.cut.empty());
        CHECK(fit.total <= fit.room);
    }

    // A width set by hand lasts across changes of view, until the window closes.
    ProgramFixture f;
    f.program.mainWindow.show();
    openServices(f.program);
    ui::ServicesWindow& window = f.program.servicesWindow;
    const HWND list = window.control(ServicesControls::ServiceList);
    HDITEMW width{};
    width.mask = HDI_WIDTH;
    width.cxy = 50;
    NMHEADERW tracked{{reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), 0, HDN_ENDTRACKW}, 1, 0, &width};
    SendMessageW(window.handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tracked));
    chooseView(window, 3);
    chooseView(window, 1);
    CHECK(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0) == 50);
    SendMessageW(window.handle(), WM_CLOSE, 0, 0);
    openServices(f.program);
    CHECK(SendMessageW(window.control(ServicesControls::ServiceList), LVM_GETCOLUMNWIDTH, 1, 0) > 50);
}

TEST_CASE("Space changes a row once when the choice cannot be saved and its box lets messages through")
{
    ProgramFixture f;
    ui::ServicesWindow& window = servicesWindowOn(f, 1);
    // As a real box does while it waits.
    f.desktop.whileBoxWaits = [] { flushMessages(); };
    f.desktop.memoryMachine.memoryFiles.readOnly = true;
    selectRow(window, L"Alerter");
    REQUIRE(checkedRow(window, L"Alerter"));
    pressSpace(window);
    REQUIRE(f.desktop.errors.size() == 1);
    CHECK(f.desktop.errors[0].text.rfind(L"无法保存您对服务的选择", 0) == 0);
    CHECK_FALSE(checkedRow(window, L"Alerter"));
    CHECK(f.program.skips.skipped(Profile::Automatic) == std::vector<std::wstring>{L"Alerter"});
    pressSpace(window);
    CHECK(checkedRow(window, L"Alerter"));
    CHECK(f.program.skips.skipped(Profile::Automatic).empty());
    CHECK(f.desktop.errors.size() == 1);  // said once
}

TEST_CASE("a choice that cannot be kept is said once and still holds; the prompted profile follows it after its last question")
{
    ProgramFixture f;
    ui::ServicesWindow& window = servicesWindowOn(f, 0);
    f.desktop.memoryMachine.memoryFiles.readOnly = true;
    selectRow(window, L"Alerter");
    pressSpace(window);
    selectRow(window, L"ALG");
    pressSpace(window);
    REQUIRE(f.desktop.errors.size() == 1);
    CHECK(f.desktop.errors[0].text.rfind(L"无法保存您对服务的选择 /home/user/Quillora/settings.ini", 0) == 0);
    CHECK(f.program.skips.skipped(Profile::Prompted) == std::vector<std::wstring>{L"Alerter", L"ALG"});
    f.desktop.memoryMachine.memoryFiles.readOnly = false;
    SendMessageW(window.handle(), WM_CLOSE, 0, 0);

    // Through the three questions, each answered yes by its button.
    click(f.program.mainWindow.control(MainControls::QuestionsButton));
    for (ui::QuestionWindow* question : {&f.program.firstQuestion, &f.program.secondQuestion, &f.program.thirdQuestion})
        click(question->control(ui::QuestionControls::YesButton));
    CHECK(f.desktop.recorder.launches.size() == goldenCommandLines("automatic").size() - 2 - 2);  // all yes: as automatic
    for (const auto& launch : f.desktop.recorder.launches)
        CHECK(launch.commandLine.find(L"Alerter") == std::wstring::npos);
    const std::wstring log = ui::windowText(f.program.progressWindow.control(ui::ProgressControls::LogBox));
    CHECK(log.rfind(L"1:Alerter:保留\r\n2:Application Layer Gateway Service:保留\r\n", 0) == 0);
}

namespace {

// Ctrl+A in the list, as the keyboard presses it: the list reads Ctrl from the thread's key state.
void pressControlA(ui::ServicesWindow& window)
{
    const HWND list = window.control(ServicesControls::ServiceList);
    SetFocus(list);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE before = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(list, WM_KEYDOWN, 'A', 0);
    SendMessageW(list, WM_KEYUP, 'A', 0);
    keys[VK_CONTROL] = before;
    SetKeyboardState(keys);
    flushMessages();
}

bool hasCheckBox(ui::ServicesWindow& window, const std::wstring& key)
{
    return checkBoxOf(window, key) != 0;
}

// A click on a row's check box, as the list makes it: the row's box toggled by the list itself.
void toggleBoxOf(ui::ServicesWindow& window, int row)
{
    const HWND list = window.control(ServicesControls::ServiceList);
    const LRESULT state = SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK;
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = state == INDEXTOSTATEIMAGEMASK(2) ? INDEXTOSTATEIMAGEMASK(1) : INDEXTOSTATEIMAGEMASK(2);
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    flushMessages();
}

}  // namespace

TEST_CASE("check boxes: Ctrl+A and Space change every box once and give Themes none; a later click is one row's")
{
    ProgramFixture f;
    ui::ServicesWindow& window = servicesWindowOn(f, 1);
    CHECK_FALSE(hasCheckBox(window, L"Themes"));
    // Tabbed into, the list shows a focused row.
    const ui::ListView list(window.control(ServicesControls::ServiceList));
    CHECK(list.focused() < 0);
    SetFocus(window.control(ServicesControls::ServiceList));
    flushMessages();
    CHECK(list.focused() == 0);
    pressControlA(window);
    CHECK(list.selected().size() == 60);
    // The marks and the count are the window's work alone: nothing is asked of the machine's
    // services, row by row, before they show.
    const int descriptionsRead = f.desktop.memoryMachine.memoryServices.descriptionsRead;
    pressSpace(window);
    CHECK(f.desktop.memoryMachine.memoryServices.descriptionsRead == descriptionsRead);
    CHECK_FALSE(hasCheckBox(window, L"Themes"));
    CHECK(f.program.skips.skipped(Profile::Automatic).size() == 59);
    CHECK(window.controlText(ServicesControls::ChoiceCount) == L"按您的选择保留 59 个服务");
    CHECK(list.selected().size() == 60);  // still every row, for the next Space
    pressSpace(window);
    CHECK_FALSE(hasCheckBox(window, L"Themes"));
    CHECK(f.program.skips.skipped(Profile::Automatic).empty());

    // The key press is over: a click with every row still selected changes its own box alone.
    toggleBoxOf(window, 0);
    CHECK(f.program.skips.skipped(Profile::Automatic) == std::vector<std::wstring>{L"Alerter"});
    // A row without a box takes none, whatever the list is asked.
    toggleBoxOf(window, rowIndex(window, L"Themes"));
    CHECK_FALSE(hasCheckBox(window, L"Themes"));
    CHECK(f.program.skips.skipped(Profile::Automatic) == std::vector<std::wstring>{L"Alerter"});

    // Esc in an open drop-down closes its list and nothing else; then it closes this window, and
    // the keyboard is back in the main window. The designed main window gives Esc no meaning.
    const HWND views = window.control(ServicesControls::ViewChoice);
    SetFocus(views);
    SendMessageW(views, CB_SHOWDROPDOWN, TRUE, 0);
    PostMessageW(views, WM_KEYDOWN, VK_ESCAPE, 0);
    flushMessages();
    REQUIRE(window.isLoaded());
    CHECK_FALSE(SendMessageW(views, CB_GETDROPPEDSTATE, 0, 0));
    PostMessageW(f.program.mainWindow.control(MainControls::AutomaticButton), WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(window.control(ServicesControls::ServiceList), WM_KEYDOWN, VK_ESCAPE, 0);
    flushMessages();
    CHECK_FALSE(window.isLoaded());
    CHECK(f.program.mainWindow.isVisible());
    CHECK(GetForegroundWindow() == f.program.mainWindow.handle());
}

TEST_CASE("a choice read from a file while the settings cannot be saved: the choice, its marks and the file stay as they were")
{
    ProgramFixture f;
    ui::ServicesWindow& window = servicesWindowOn(f, 1);
    selectRow(window, L"Alerter");
    pressSpace(window);
    const std::string saved = f.desktop.memoryMachine.memoryFiles.files.at(kSettings).bytes;
    f.desktop.memoryMachine.memoryFiles.files["/tmp/choice.txt"] = {"ALG\r\nBITS\r\n", 1};
    f.desktop.fileChosen = L"/tmp/choice.txt";
    f.desktop.memoryMachine.memoryFiles.readOnly = true;
    click(window.control(ServicesControls::ReadChoiceButton));
    REQUIRE(f.desktop.errors.size() == 1);
    CHECK(f.desktop.errors[0].text.find(L"未做任何更改") != std::wstring::npos);
    CHECK(f.program.skips.skipped(Profile::Automatic) == std::vector<std::wstring>{L"Alerter"});
    CHECK_FALSE(checkedRow(window, L"Alerter"));
    CHECK(checkedRow(window, L"ALG"));
    CHECK(f.desktop.memoryMachine.memoryFiles.files.at(kSettings).bytes == saved);
    f.desktop.memoryMachine.memoryFiles.readOnly = false;
    click(window.control(ServicesControls::ReadChoiceButton));
    CHECK(f.program.skips.skipped(Profile::Automatic) == std::vector<std::wstring>{L"ALG", L"BITS"});
    CHECK(checkedRow(window, L"Alerter"));
    CHECK_FALSE(checkedRow(window, L"ALG"));
}

TEST_CASE("a settings file that cannot be read: said once, no check boxes to build on it, nothing written over")
{
    ProgramFixture f;
    f.desktop.memoryMachine.memoryFiles.createFolders("/home/user/Quillora");
    f.desktop.memoryMachine.memoryFiles.files[kSettings] = {"[Quillora]\r\nskip.automatic=Alerter\r\n", 1};
    f.desktop.memoryMachine.memoryFiles.unreadable.insert(kSettings);
    ui::ServicesWindow& window = servicesWindowOn(f, 1);
    flushMessages();
    chooseView(window, 2);
    flushMessages();
    REQUIRE(f.desktop.errors.size() == 1);
    CHECK(f.desktop.errors[0].text.rfind(L"无法读取您保存的对服务的选择 /home/user/Quillora/settings.ini\r\n", 0) == 0);
    CHECK(window.controlText(ServicesControls::ChoiceCount) == L"无法读取您保存的选择");
    CHECK((SendMessageW(window.control(ServicesControls::ServiceList), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)
           & LVS_EX_CHECKBOXES) == 0);
    CHECK_FALSE(IsWindowEnabled(window.control(ServicesControls::SelectNoneButton)));
    click(window.control(ServicesControls::SelectNoneButton));
    CHECK(f.desktop.memoryMachine.memoryFiles.files.at(kSettings).bytes == "[Quillora]\r\nskip.automatic=Alerter\r\n");

    // Readable again: F5 shows the saved choice, with its boxes.
    f.desktop.memoryMachine.memoryFiles.unreadable.clear();
    chooseView(window, 1);
    CHECK_FALSE(checkedRow(window, L"Alerter"));
    CHECK(window.controlText(ServicesControls::ChoiceCount) == L"按您的选择保留 1 个服务");
    CHECK(f.desktop.errors.size() == 1);

    // Two problems before either is said: a choice that cannot be saved, then a file that cannot be
    // read. Each is said, in the order it arose.
    f.desktop.memoryMachine.memoryFiles.readOnly = true;
    click(window.control(ServicesControls::SelectAllButton));
    f.desktop.memoryMachine.memoryFiles.readOnly = false;
    f.desktop.memoryMachine.memoryFiles.unreadable.insert(kSettings);
    chooseView(window, 2);
    flushMessages();
    REQUIRE(f.desktop.errors.size() == 3);
    CHECK(f.desktop.errors[1].text.rfind(L"无法保存您对服务的选择 /home/user/Quillora/settings.ini", 0) == 0);
    CHECK(f.desktop.errors[2].text.rfind(L"无法读取您保存的对服务的选择 /home/user/Quillora/settings.ini\r\n", 0) == 0);
}

TEST_CASE("after a run, quillora-cli apply and a restart, the runs so far list both, the newest chosen")
{
    TestDesktop desktop;
    {
        ui::Program program{GetModuleHandleW(nullptr), desktop, desktop, desktop.machine, desktop.restorePoints};
        program.mainWindow.show();
        openServices(program);
        chooseView(program.servicesWindow, 1);
        selectRow(program.servicesWindow, L"Alerter");
        pressSpace(program.servicesWindow);
        SendMessageW(program.servicesWindow.handle(), WM_CLOSE, 0, 0);
        click(program.mainWindow.control(MainControls::AutomaticButton));
        program.results.collect();
    }
    desktop.memoryMachine.stamp = "20261207-101600";
    REQUIRE(runCli({"apply", "automatic"}, desktop.memoryMachine).status == 0);
    ui::Program program{GetModuleHandleW(nullptr), desktop, desktop, desktop.machine, desktop.restorePoints};
    program.mainWindow.show();
    openServices(program);
    ui::ServicesWindow& window = program.servicesWindow;
    chooseView(window, 3);
    CHECK(window.controlText(ServicesControls::DescriptionBox)
              .rfind(L"这是 2026-12-07 10:16:00 开始的那次优化的结果。\r\nquillora-cli apply automatic", 0)
          == 0);
    chooseIn(window, ServicesControls::RunChoice, 1);
    CHECK(window.rowTexts().size() == 59);  // every row of the run, Alerter too
    CHECK(rowOf(window, L"Alerter").find(L"\t保留（您的选择）\t") != std::wstring::npos);
    const std::wstring said = window.controlText(ServicesControls::DescriptionBox);
    CHECK(said.rfind(L"这是 2026-12-07 10:15:00 开始的那次优化的结果。\r\n自动优化", 0) == 0);
}

TEST_CASE("the runs so far: the first of two restored to before it after a question; a mode changed since, marked and "
          "set again")
{
    ProgramFixture f;
    auto& services = f.desktop.memoryMachine.memoryServices.services;
    services[L"Alerter"] = installed(StartMode::Automatic, RunState::Running);
    services[L"ALG"] = installed(StartMode::Manual, RunState::Stopped);
    f.program.mainWindow.show();
    // Two runs, each with what its commands would have done.
    click(f.program.mainWindow.control(MainControls::AutomaticButton));
    services[L"Alerter"] = installed(StartMode::Disabled, RunState::Stopped);
    services[L"ALG"].mode = StartMode::Disabled;
    f.program.results.collect();
    f.desktop.memoryMachine.stamp = "20261207-101600";
    click(f.program.mainWindow.control(MainControls::RestoreButton));
    services[L"ALG"].mode = StartMode::Automatic;
    f.program.results.collect();
    f.desktop.questions.clear();  // whether to show the services Windows refused: no

    openServices(f.program);
    ui::ServicesWindow& window = f.program.servicesWindow;
    chooseView(window, 3);
    const HWND runs = window.control(ServicesControls::RunChoice);
    REQUIRE(SendMessageW(runs, CB_GETCOUNT, 0, 0) == 2);
    CHECK(comboText(runs, 0).rfind(L"2026-12-07 10:16:00  恢复系统默认  已更改 ", 0) == 0);
    CHECK(comboText(runs, 1).rfind(L"2026-12-07 10:15:00  自动优化  已更改 2，", 0) == 0);
    chooseIn(window, ServicesControls::RunChoice, 1);
    f.desktop.answerYes = true;
    f.desktop.memoryMachine.stamp = "20261207-101700";
    click(window.control(ServicesControls::RestoreBeforeButton));
    REQUIRE(f.desktop.questions.size() == 1);
    CHECK(f.desktop.questions[0].text.rfind(L"要恢复到 2026-12-07 10:15:00 那次优化之前的设置吗？\r\n\r\n"
                                            L"将按那次优化之前的自动备份恢复服务的启动类型，2 个已安装的服务将会改变：\r\n"
                                            L"    Alerter: 禁用 → 自动\r\n    Application Layer Gateway Service: 自动 → 手动\r\n",
                                            0)
          == 0);
    // Each way back speaks of itself, never as the undo.
    CHECK(f.desktop.questions[0].text.find(L"\r\n设回自动启动的服务将在下次重新启动 Windows 后运行；恢复本身不会启动或停止任何服务。\r\n")
          != std::wstring::npos);
    REQUIRE(f.desktop.notices.size() == 1);
    CHECK(f.desktop.notices[0].text.rfind(L"已恢复到那次优化之前的设置。\r\n\r\n已更改：2 个服务\r\n", 0) == 0);
    CHECK(services[L"Alerter"].mode == StartMode::Automatic);
    CHECK(services[L"ALG"].mode == StartMode::Manual);
    REQUIRE(SendMessageW(runs, CB_GETCOUNT, 0, 0) == 3);
    CHECK(comboText(runs, 0) == L"2026-12-07 10:17:00  恢复到 2026-12-07 10:15:00 那次优化之前  已更改 2，未更改 0，失败 0，保留 0");

    // Changed behind the program's back, then set again as the newest run left it.
    services[L"Alerter"].mode = StartMode::Disabled;
    chooseView(window, 3);
    CHECK(window.controlText(ServicesControls::RunSummary)
          == L"自这次优化以来，有 1 个服务的启动类型被改变了。\r\n在 Quillora 最后设置的服务中，现在有 1 个的启动类型与当时不同。");
    CHECK(rowOf(window, L"Alerter").substr(rowOf(window, L"Alerter").rfind(L'\t') + 1) == L"自动 → 禁用");
    f.desktop.memoryMachine.stamp = "20261207-101800";
    click(window.control(ServicesControls::SetAgainButton));
    REQUIRE(f.desktop.questions.size() == 2);
    CHECK(f.desktop.questions[1].text.rfind(L"要重新设置 2026-12-07 10:17:00 那次优化留下的启动类型吗？\r\n\r\n"
                                            L"1 个已安装的服务将会改变：\r\n    Alerter: 禁用 → 自动\r\n",
                                            0)
          == 0);
    CHECK(f.desktop.questions[1].text.find(L"重新设置本身不会启动或停止任何服务。") != std::wstring::npos);
    CHECK(f.desktop.questions[1].text.find(L"撤销") == std::wstring::npos);
    CHECK(services[L"Alerter"].mode == StartMode::Automatic);
    platform::processPendingMessages();
    CHECK(window.controlText(ServicesControls::RunSummary)
          == L"自这次优化以来，它留下的启动类型都没有被改变。\r\nQuillora 最后设置的服务，启动类型都与当时相同。");
    CHECK_FALSE(IsWindowEnabled(window.control(ServicesControls::SetAgainButton)));

    // The first run's backup broken by hand: named below the list with what is wrong, no way back
    // to before it, and every run still listed.
    f.desktop.memoryMachine.memoryFiles.files[kBackups + "/auto-20261207-101500-01.txt"].bytes = "quillora-backup 1\r\nALG\tsometimes\r\n";
    chooseIn(window, ServicesControls::RunChoice, 3);
    CHECK(window.controlText(ServicesControls::DescriptionBox).find(L"这次优化的一个文件不能使用：") != std::wstring::npos);
    CHECK_FALSE(IsWindowEnabled(window.control(ServicesControls::RestoreBeforeButton)));
    CHECK(SendMessageW(runs, CB_GETCOUNT, 0, 0) == 4);

    // On Windows 10, which needs ALG, going back to before the restore (ALG disabled then) warns
    // as every run does; Yes leaves ALG alone.
    f.desktop.memoryMachine.version = WindowsVersion{10, 0, 19045, false};
    chooseView(window, 3);
    REQUIRE(SendMessageW(runs, CB_GETCOUNT, 0, 0) == 4);
    chooseIn(window, ServicesControls::RunChoice, 2);
    f.desktop.memoryMachine.stamp = "20261207-101900";
    click(window.control(ServicesControls::RestoreBeforeButton));
    REQUIRE(f.desktop.warnings.size() == 1);
    CHECK(f.desktop.warnings[0].text.find(L"\r\n\r\nApplication Layer Gateway Service\r\n") != std::wstring::npos);
    REQUIRE(f.desktop.questions.size() == 3);
    CHECK(f.desktop.questions[2].text.find(L"1 个已安装的服务将会改变：\r\n    Alerter: 自动 → 禁用\r\n") != std::wstring::npos);
    CHECK(services[L"ALG"].mode == StartMode::Manual);
    CHECK(services[L"Alerter"].mode == StartMode::Disabled);
    CHECK(f.desktop.errors.empty());
    // Again: only ALG would change now, and Yes keeps it: said so, naming it, not "nothing to restore".
    const std::size_t told = f.desktop.notices.size();
    click(window.control(ServicesControls::RestoreBeforeButton));
    REQUIRE(f.desktop.notices.size() == told + 1);
    CHECK(f.desktop.notices.back().text
          == L"只有这个版本的 Windows 需要的服务会改变，而您选择了保留它们：\r\n\r\nApplication Layer Gateway Service\r\n\r\n"
             L"未做任何更改。");
    CHECK(services[L"ALG"].mode == StartMode::Manual);
}

namespace {

// Whether every cell of the columns that decide shows whole, and every column lies inside the
// list, measured with the list's own font.
void checkDecidingColumnsFit(ui::ServicesWindow& window, std::initializer_list<int> deciding)
{
    const HWND list = window.control(ServicesControls::ServiceList);
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    int right = 0;
    for (int column = 0; column < columns; ++column)
        right += static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    RECT client;
    GetClientRect(list, &client);
    CHECK(right <= client.right);
    const std::vector<std::wstring> rows = window.rowTexts();
    for (const int column : deciding) {
        CAPTURE(column);
        const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
        for (const std::wstring& row : rows) {
            std::vector<std::wstring> cells(1);
            for (const wchar_t c : row) {
                if (c == L'\t')
                    cells.emplace_back();
                else
                    cells.back() += c;
            }
            const std::wstring& cell = cells.at(static_cast<std::size_t>(column));
            const int text = static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(cell.c_str())));
            CAPTURE(cell);
            CHECK(text + 12 <= width);
        }
    }
}

}  // namespace

TEST_CASE("on a 1024 x 768 screen the columns that decide show whole, in both languages, after a toggle and a reopen")
{
    ProgramFixture f;
    f.desktop.memoryMachine.version = WindowsVersion{10, 0, 19045, false};
    for (const std::wstring& key : catalogueKeys())
        f.desktop.memoryMachine.memoryServices.services[key] = installed(StartMode::Automatic, RunState::Running);
    f.program.mainWindow.show();
    f.desktop.choice = platform::Dialogs::Choice::No;
    click(f.program.mainWindow.control(MainControls::AutomaticButton));
    f.program.results.collect();
    ui::ServicesWindow& window = servicesWindowOn(f, 1);
    // The work area of a 1024 x 768 screen with a taskbar.
    MoveWindow(window.handle(), 0, 0, 1024, 728, TRUE);
    for (const ui::Language language : {ui::Language::Chinese, ui::Language::English}) {
        CAPTURE(static_cast<int>(language));
        f.program.host.setLanguage(language);
        chooseView(window, 1);
        checkDecidingColumnsFit(window, {4, 5, 6});
        selectRow(window, L"Alerter");
        pressSpace(window);  // "kept (your choice)", among the longest words of the column
        checkDecidingColumnsFit(window, {4, 5, 6});
        chooseView(window, 3);
        checkDecidingColumnsFit(window, {4, 6});
        pressSpace(window);
        chooseView(window, 1);
        pressSpace(window);
    }
    SendMessageW(window.handle(), WM_CLOSE, 0, 0);
    openServices(f.program);
    MoveWindow(window.handle(), 0, 0, 1024, 728, TRUE);
    chooseView(window, 1);
    checkDecidingColumnsFit(window, {4, 5, 6});
}

TEST_CASE("the services window uses the screen: as tall as it allows, 20 rows and a whole quotation at 1024 x 768")
{
    ProgramFixture f;
    f.desktop.memoryMachine.version = WindowsVersion{10, 0, 19045, false};
    ui::ServicesWindow& window = servicesWindowOn(f, 2);
    const HWND list = window.control(ServicesControls::ServiceList);

    // It opens within the work area, and as tall as it lets it be where its 74 rows need more.
    RECT work{}, opened{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window.handle(), &opened);
    CHECK(opened.top >= work.top);
    CHECK(opened.bottom <= work.bottom);
    const auto perPage = [&] { return static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0)); };
    CHECK((perPage() >= 74 || opened.bottom - opened.top == work.bottom - work.top));

    // The work area of a 1024 x 768 screen with a taskbar.
    MoveWindow(window.handle(), 0, 0, 1024, 728, TRUE);
    CHECK(perPage() >= 20);
    // No empty band: the explanation follows the buttons, or in the result's view the list itself.
    const auto topOf = [&](int id) {
        RECT place{};
        GetWindowRect(window.control(id), &place);
        return place;
    };
    CHECK(topOf(ServicesControls::DescriptionBox).top - topOf(ServicesControls::SelectAllButton).bottom < 20);
    chooseView(window, 3);
    CHECK(topOf(ServicesControls::DescriptionBox).top - topOf(ServicesControls::RestoreBeforeButton).bottom < 20);
    chooseView(window, 2);

    // Microsoft's words of each service of Windows 10 and 11 show whole, without scrolling.
    const HWND pane = window.control(ServicesControls::DescriptionBox);
    for (const std::wstring& key : windows10ListKeys()) {
        CAPTURE(toUtf8(key));
        selectRow(window, key);
        const std::wstring text = window.controlText(ServicesControls::DescriptionBox);
        std::size_t last = text.rfind(L"\r\n- ");
        REQUIRE(last != std::wstring::npos);
        last = text.find(L"\r\n", last + 2);
        if (last == std::wstring::npos)
            last = text.size();
        RECT client{};
        GetClientRect(pane, &client);
        const LRESULT at = SendMessageW(pane, EM_POSFROMCHAR, last - 1, 0);
        CHECK(SendMessageW(pane, EM_GETFIRSTVISIBLELINE, 0, 0) == 0);
        REQUIRE(at != -1);
        CHECK(static_cast<short>(HIWORD(at)) < client.bottom);
    }
}

namespace {

// The longest run of English words in a text, after the names it may hold: words of Latin letters
// with blanks between them, anything else ending the run.
int longestEnglishRun(std::wstring text, const std::vector<std::wstring>& names)
{
    for (const std::wstring& name : names) {
        for (std::size_t at = text.find(name); at != std::wstring::npos; at = text.find(name, at))
            text.replace(at, name.size(), L"#");
    }
    int longest = 0, run = 0;
    std::wstring word;
    const auto endWord = [&](wchar_t after) {
        const bool english = !word.empty() && std::all_of(word.begin(), word.end(), [](wchar_t c) {
            return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'\'' || c == L'-' || c == L'.';
        });
        run = english ? run + 1 : 0;
        longest = std::max(longest, run);
        if (after != L' ')
            run = 0;
        word.clear();
    };
    for (const wchar_t c : text + L"\n") {
        if (c == L' ' || c == L'\r' || c == L'\n' || c == L',' || c == L';' || c == L':' || c >= 0x2000)
            endWord(c);
        else
            word += c;
    }
    return longest;
}

}  // namespace

TEST_CASE("in Chinese the pane gives Microsoft's own Chinese words, or the program's marked as such, and no English "
          "sentence")
{
    ProgramFixture f;
    f.desktop.memoryMachine.version = WindowsVersion{10, 0, 19045, false};
    ui::ServicesWindow& window = servicesWindowOn(f, 2);
    std::vector<std::wstring> names;
    for (const Publication& publication : publications())
        names.push_back(fromUtf8(publication.english.title));
    for (const std::wstring& key : windows10ListKeys()) {
        names.push_back(displayNameOf(key));
        names.push_back(key);
    }

    selectRow(window, L"XblAuthManager");
    std::wstring pane = window.controlText(ServicesControls::DescriptionBox);
    CHECK(pane.find(L"微软的说法：\r\n- S1（有关在带有桌面体验的 Windows Server 2016 中禁用系统服务的指南）：“应该禁用”\r\n") != std::wstring::npos);
    CHECK(pane.find(L"- S2（Optimizing Windows configuration for VDI desktops）：“如果此服务已停止，某些应用程序可能无法正常运行。”"
                    L"（本程序译文）\r\n")
          != std::wstring::npos);
    CHECK(pane.find(L"- S5（Policy CSP - SystemServices）：“默认值：手动。”（本程序译文）") != std::wstring::npos);
    selectRow(window, L"MapsBroker");
    pane = window.controlText(ServicesControls::DescriptionBox);
    CHECK(pane.find(L"- S2（针对虚拟桌面基础结构 (VDI) 角色优化 Windows 10 版本 1909）：“禁用此服务可防止应用访问地图。”\r\n")
          != std::wstring::npos);

    f.program.host.setLanguage(ui::Language::TraditionalChinese);
    selectRow(window, L"lfsvc");
    pane = window.controlText(ServicesControls::DescriptionBox);
    CHECK(pane.find(L"問題：位置和地圖\r\n") != std::wstring::npos);
    CHECK(pane.find(L"- S1（在包含桌面體驗的 Windows Server 2016 上停用系統服務的指引）：「確定停用：停用中斷依賴服務的應用程式；"
                    L"如果應用程式未依賴它，則確定停用」\r\n")
          != std::wstring::npos);

    // Traditional first, the window speaking it already, then Simplified, then English, whose
    // panes hold Microsoft's English: there the measure finds sentences.
    const wchar_t* keys[] = {L"lfsvc", L"MapsBroker", L"XblAuthManager"};
    for (const ui::Language language : {ui::Language::TraditionalChinese, ui::Language::Chinese, ui::Language::English}) {
        CAPTURE(static_cast<int>(language));
        if (f.program.host.language() != language)
            f.program.host.setLanguage(language);
        for (const wchar_t* key : keys) {
            CAPTURE(toUtf8(key));
            selectRow(window, key);
            const int run = longestEnglishRun(window.controlText(ServicesControls::DescriptionBox), names);
            if (language == ui::Language::English)
                CHECK(run > 3);
            else
                CHECK(run <= 3);
        }
    }
}

TEST_CASE("my own settings: modes chosen by key on several rows, kept, filled two ways, and run through the one door")
{
    ProgramFixture f;
    auto& services = f.desktop.memoryMachine.memoryServices.services;
    services[L"Alerter"] = installed(StartMode::Automatic, RunState::Running);
    services[L"ALG"] = installed(StartMode::Disabled, RunState::Stopped);
    services[L"BITS"] = installed(StartMode::Manual, RunState::Stopped);
    const std::string kept = kProgramFolder + "/own-profile.txt";
    ui::ServicesWindow& window = servicesWindowOn(f, 4);
    CHECK(rowOf(window, L"Alerter") == L"1\tAlerter\tAlerter\t自动，正在运行\t不更改\t-\t-");
    CHECK(window.controlText(ServicesControls::ChoiceCount) == L"要设置的服务：0 个");

    // Two rows chosen at once with a mode's letter; the row says at once what it would do here.
    const HWND list = window.control(ServicesControls::ServiceList);
    const auto press = [&](WORD key) { pressKey(window, key, true); };
    selectRow(window, L"Alerter");
    selectRow(window, L"ALG");
    press('D');
    CHECK(rowOf(window, L"Alerter") == L"1\tAlerter\tAlerter\t自动，正在运行\t禁用\t停止，禁用\t会改变");
    CHECK(rowOf(window, L"ALG") == L"2\tApplication Layer Gateway Service\tALG\t禁用，已停止\t禁用\t停止，禁用\t不变");
    press('A');
    CHECK(rowOf(window, L"ALG") == L"2\tApplication Layer Gateway Service\tALG\t禁用，已停止\t自动\t自动，启动\t会改变");
    CHECK(f.desktop.memoryMachine.memoryFiles.files.at(kept).bytes == "quillora-profile 1\r\nAlerter\tauto\r\nALG\tauto\r\nend\r\n");
    CHECK(window.controlText(ServicesControls::ChoiceCount) == L"要设置的服务：2 个");
    // The context menu offers the modes this Windows has (no delayed start on XP), each with its letter.
    SendMessageW(window.handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
    REQUIRE(f.desktop.menus.size() == 1);
    CHECK(f.desktop.menus[0] == std::vector<std::wstring>{L"不更改(&U)", L"禁用(&D)", L"手动(&M)", L"自动(&A)"});

    // Filling asks first where choices would be replaced: from this machine, every installed service as it is now.
    f.desktop.answerYes = true;
    click(window.control(ServicesControls::FillFromMachineButton));
    CHECK(f.desktop.questions.size() == 1);
    CHECK(f.desktop.memoryMachine.memoryFiles.files.at(kept).bytes
          == "quillora-profile 1\r\nAlerter\tauto\r\nALG\tdisabled\r\nBITS\tdemand\r\nend\r\n");
    CHECK(rowOf(window, L"BITS").find(L"\t手动\t手动\t不变") != std::wstring::npos);
    // From the automatic profile: what it would set here.
    f.desktop.menuChoice = 1;
    click(window.control(ServicesControls::FillFromProfileButton));
    CHECK(window.controlText(ServicesControls::ChoiceCount) == L"要设置的服务：59 个");

    // Every row at once, one key: none set; then two, and run them through the one door: the
    // designed log lines for them alone, what made the run and how many it sets in the history.
    const auto selectOnly = [&](std::initializer_list<const wchar_t*> keys) {
        LVITEMW none{};
        none.stateMask = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
        for (const wchar_t* key : keys)
            selectRow(window, key);
    };
    ListView_SetItemState(list, -1, LVIS_SELECTED, LVIS_SELECTED);
    press('U');
    CHECK(window.controlText(ServicesControls::ChoiceCount) == L"要设置的服务：0 个");
    selectOnly({L"Alerter"});
    press('D');
    selectOnly({L"BITS"});
    press('M');
    f.desktop.recorder.launches.clear();
    click(window.control(ServicesControls::RunOwnButton));
    CHECK(commandLinesOf(f.desktop.recorder)
          == std::vector<std::wstring>{L"cmd /c NET stop Alerter", L"cmd /c sc config Alerter start= disabled",
                                       L"cmd /c sc config BITS start= demand"});
    CHECK(f.program.progressWindow.controlText(ui::ProgressControls::LogBox)
              .rfind(L"1:Alerter:禁用\r\n5:Background Intelligent Transfer Service:手动\r\n", 0)
          == 0);
    const std::vector<HistoryRun> runs = runHistory(f.desktop.machine);
    REQUIRE(runs.size() == 1);
    CHECK(originText(*runs[0].origin) == "window own 2");
    // Its result now rather than at the collecting timer's next tick, whose question (the recorded
    // commands changed nothing, so Alerter reads as refused) would otherwise open the runs' view
    // in the middle of the keys below.
    f.program.results.collect();
    chooseView(window, 3);
    CHECK(comboText(window.control(ServicesControls::RunChoice), 0).find(L"  我的设置（2 个服务）") != std::wstring::npos);
    chooseView(window, 4);
    // A choice that changes nothing here (BITS is manual already) says so, and makes no run.
    selectOnly({L"Alerter"});
    press('U');
    click(window.control(ServicesControls::RunOwnButton));
    REQUIRE_FALSE(f.desktop.notices.empty());
    CHECK(f.desktop.notices.back().text == L"按我的设置，这台电脑上没有需要改变的服务。未做任何更改。");
    CHECK(runHistory(f.desktop.machine).size() == 1);
}

TEST_CASE("every view shows every column whole before the widest gives way; an open list stays on the screen, scaled by DPI/96")
{
    ProgramFixture f;
    f.desktop.memoryMachine.memoryServices.services[L"Alerter"] = installed(StartMode::Automatic, RunState::Running);
    f.program.host.setLanguage(ui::Language::English);
    f.program.mainWindow.show();
    click(f.program.mainWindow.control(MainControls::AutomaticButton));
    ui::ServicesWindow& window = servicesWindowOn(f, 1);
    for (const int view : {1, 4, 3}) {
        CAPTURE(view);
        chooseView(window, view);
        const ColumnFit fit = columnFit(window.control(ServicesControls::ServiceList));
        CHECK(fit.cut == std::vector<int>(fit.neediest.begin(), fit.neediest.begin() + static_cast<long>(fit.cut.size())));
        CHECK(fit.total <= fit.room);
    }
    const HWND runs = window.control(ServicesControls::RunChoice);
    SendMessageW(window.handle(), WM_COMMAND, MAKEWPARAM(ServicesControls::RunChoice, CBN_DROPDOWN), reinterpret_cast<LPARAM>(runs));
    RECT box{}, work{};
    GetWindowRect(runs, &box);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    CHECK(box.left + SendMessageW(runs, CB_GETDROPPEDWIDTH, 0, 0) <= std::max(work.right, box.right));
    CHECK(SendMessageW(runs, CB_GETDROPPEDWIDTH, 0, 0) >= box.right - box.left);
}
