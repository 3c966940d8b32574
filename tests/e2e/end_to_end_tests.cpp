#include <doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <stdexcept>

#include "engine/records/backups/backup_store.h"
#include "engine/records/history/run_history.h"
#include "engine/catalogue/catalogue.h"
#include "engine/choice/settings.h"
#include "engine/text/utf8.h"
#include "engine/run/recording.h"
#include "engine/records/run/run_result.h"
#include "resources/site.h"
#include "tests/support/engine_doubles.h"
#include "tests/support/golden.h"
#include "tests/support/on_windows_10.h"
#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"
#include "platform/windows_machine.h"
#include "tests/support/stand_in_services.h"
#include "tools/driver/driver.h"
#include "tools/driver/keyboard.h"
#include "ui/ids/identifiers.h"
#include "ui/words/question_words.h"
#include "ui/words/texts.h"

using namespace quillora;
using namespace quillora::e2e;
using ui::MainControls;
using ui::ProgressControls;
using ui::QuestionControls;

namespace {

const std::wstring kCompleted = L"优化完成！";

struct Expected {
    std::vector<std::wstring> commandLines;
    std::wstring log;
    std::vector<std::size_t> launchesAfterStep;  // running total of launches after each step
};

// What a complete run must leave behind, from its golden files; the running totals, which only
// bound a run cut short, follow the catalogue.
Expected planned(const std::string& golden, Profile profile, const Answers& answers = {},
                 Lists lists = Lists::Designed)
{
    Expected expected;
    expected.commandLines = testing::goldenCommandLines(golden);
    expected.log = testing::goldenLog(golden);
    std::size_t launches = 0;
    for (const ServiceStep& step : profileSteps(profile, lists)) {
        launches += serviceCommands(performedAction(step, answers), step.serviceKey).size();
        expected.launchesAfterStep.push_back(launches);
    }
    return expected;
}

std::wstring systemFolder()
{
    wchar_t folder[MAX_PATH];
    GetSystemDirectoryW(folder, MAX_PATH);
    return lowerCase(folder);
}

// The command lines the stand-ins saw, as Quillora launched them: cmd passes "NET ..." and
// "sc ..." on unchanged, so putting "cmd /c " back in front gives the launched line.
std::multiset<std::wstring> launchedServiceCommands(const std::vector<Record>& records)
{
    std::multiset<std::wstring> lines;
    for (const Record& record : records) {
        const std::wstring program = lowerCase(record.program);
        CHECK_MESSAGE((program == systemFolder() + L"\\net.exe" || program == systemFolder() + L"\\sc.exe"),
                      record.program);
        lines.insert(L"cmd /c " + record.commandLine);
    }
    return lines;
}

// Checks the progress window at the end of a complete run and the commands the run launched.
void checkCompletedRun(const Expected& expected, const QuilloraProcess& program)
{
    const HWND progress = waitForWindow(program.process(), kCompleted, 180000);
    CHECK(textOf(GetDlgItem(progress, ProgressControls::StatusLabel)) == kCompleted);
    CHECK(IsWindowEnabled(GetDlgItem(progress, ProgressControls::ExitButton)));
    CHECK(IsWindowVisible(progress));
    CHECK(textOf(GetDlgItem(progress, ProgressControls::LogBox)) == expected.log);

    const std::vector<Record> records = waitForRecords(program.recordFile(), program.process(), expected.commandLines.size());
    CHECK(records.size() == expected.commandLines.size());
    CHECK(launchedServiceCommands(records)
          == std::multiset<std::wstring>(expected.commandLines.begin(), expected.commandLines.end()));
}

struct EndToEnd {
    EndToEnd() { installStandIns(); }
    std::wstring folder = temporaryFolder(L"quillora-e2e");
    std::wstring quillora = builtFile(L"Quillora.exe");
};

}  // namespace

TEST_CASE("the test prefix is Windows XP")
{
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    REQUIRE(GetVersionExW(&version));
    CHECK(version.dwMajorVersion == 5);
    CHECK(version.dwMinorVersion == 1);
}

namespace {

// A copy of Quillora.exe in a folder of its own, with stand-ins named cmd.exe, net.exe, sc.exe and
// net.bat beside it and in the folder it starts in: programs a search of the program's folder or
// the current one would find. A run must launch only the system's own.
struct PlantedCopy {
    std::wstring program;
    std::wstring currentFolder;
};

PlantedCopy plantedCopy(const std::wstring& quillora)
{
    const std::wstring app = temporaryFolder(L"quillora-planted-app");
    const std::wstring current = temporaryFolder(L"quillora-planted-cwd");
    const std::wstring recorder = builtFile(L"quillora-recorder.exe");
    const std::wstring copy = app + L"\\Quillora.exe";
    REQUIRE(CopyFileW(quillora.c_str(), copy.c_str(), FALSE));
    for (const std::wstring& folder : {app, current}) {
        for (const wchar_t* name : {L"\\cmd.exe", L"\\net.exe", L"\\sc.exe"})
            REQUIRE(CopyFileW(recorder.c_str(), (folder + name).c_str(), FALSE));
        const HANDLE bat = CreateFileW((folder + L"\\net.bat").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        REQUIRE(bat != INVALID_HANDLE_VALUE);
        const std::string script = "@echo planted net.bat>>\"%QUILLORA_RECORD%\"\r\n";
        DWORD written = 0;
        WriteFile(bat, script.data(), static_cast<DWORD>(script.size()), &written, nullptr);
        CloseHandle(bat);
    }
    return {copy, current};
}

}  // namespace

// The automatic run starts from a planted copy: each record must then come from the system's
// net.exe or sc.exe (checkCompletedRun checks every one), never from a planted program.
// The restore button's run is checked as the first of two programs' runs, below.
TEST_CASE_FIXTURE(EndToEnd, "the automatic run from the main window's button; planted programs are never run")
{
    const PlantedCopy where = plantedCopy(quillora);
    QuilloraProcess program(where.program, where.currentFolder);
    postClick(GetDlgItem(program.mainWindow(), MainControls::AutomaticButton));
    checkCompletedRun(planned("automatic", Profile::Automatic), program);

    PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    CHECK(program.waitForExit(20000));
    CHECK(program.exitCode() == 0);
}

TEST_CASE_FIXTURE(EndToEnd, "the prompted run through the real question windows")
{
    const wchar_t* questions[] = {L"您是否使用刻录机刻光盘？", L"您是否使用打印机打印文档？", L"这台电脑是否要连接扫描仪或照像机？"};
    // Every pair of questions answers differently in one of the sets, so a swap of two rows shows.
    for (const char* answers : {"ynn", "nny", "yny", "nnn"}) {
        CAPTURE(answers);
        QuilloraProcess program(quillora, folder);
        postClick(GetDlgItem(program.mainWindow(), MainControls::QuestionsButton));
        for (int i = 0; i < 3; ++i) {
            const HWND question = waitForQuestion(program.process(), questions[i]);
            postClick(GetDlgItem(question, answers[i] == 'y' ? QuestionControls::YesButton : QuestionControls::NoButton));
        }
        const auto flag = [&](int i) { return static_cast<std::int16_t>(answers[i] == 'y' ? kAnswerYes : kAnswerNo); };
        checkCompletedRun(planned(std::string("prompted-") + answers, Profile::Prompted, Answers{flag(0), flag(1), flag(2)}), program);
    }
}

TEST_CASE_FIXTURE(EndToEnd, "a second run in the progress window left open says it is under way, then starts a new line")
{
    QuilloraProcess program(quillora, folder);
    postClick(GetDlgItem(program.mainWindow(), MainControls::AutomaticButton));
    checkCompletedRun(planned("automatic", Profile::Automatic), program);

    // The second run's 115 launches take seconds under Wine: its window says so all along.
    postClick(GetDlgItem(program.mainWindow(), MainControls::AutomaticButton));
    const HWND running = waitForWindow(program.process(), L"正在优化系统服务...", 20000);
    REQUIRE(running);
    CHECK_FALSE(IsWindowEnabled(GetDlgItem(running, ProgressControls::ExitButton)));
    const HWND done = waitForWindow(program.process(), kCompleted, 180000);
    REQUIRE(done);
    const std::wstring automatic = testing::goldenLog("automatic");
    CHECK(textOf(GetDlgItem(done, ProgressControls::LogBox)) == automatic + L"\r\n" + automatic);
    PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    CHECK(program.waitForExit(20000));
}

TEST_CASE_FIXTURE(EndToEnd, "closing the main window during a run ends the program after the current step")
{
    QuilloraProcess program(quillora, folder);
    postClick(GetDlgItem(program.mainWindow(), MainControls::AutomaticButton));
    const HWND progress = waitForWindow(program.process(), L"正在优化系统服务...");
    const HWND log = waitForControl(progress, ProgressControls::LogBox);
    std::size_t stepsWritten = 0;
    while (stepsWritten < 5) {
        Sleep(20);
        stepsWritten = testing::countOf(textOf(log), L"\r\n");
    }
    PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    REQUIRE(program.waitForExit(20000));
    CHECK(program.exitCode() == 0);

    const Expected expected = planned("automatic", Profile::Automatic);
    const std::size_t atMost = expected.launchesAfterStep[stepsWritten];  // the step under way when closed
    const std::size_t recorded = waitForRecords(program.recordFile(), program.process(), expected.launchesAfterStep[stepsWritten - 1], 30000).size();
    CHECK(recorded >= expected.launchesAfterStep[stepsWritten - 1]);
    CHECK(recorded <= atMost);
    CHECK(recorded < expected.commandLines.size());
}

TEST_CASE_FIXTURE(EndToEnd, "the banner and the link label each start one explorer with the web address")
{
    QuilloraProcess program(quillora, folder);
    postMouseClick(GetDlgItem(program.mainWindow(), MainControls::Banner));
    waitForRecords(program.recordFile(), program.process(), 1, 30000);
    postMouseClick(GetDlgItem(program.mainWindow(), MainControls::WebLink));
    const std::vector<Record> records = waitForRecords(program.recordFile(), program.process(), 2, 30000);
    REQUIRE(records.size() == 2);
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    for (const Record& r : records) {
        CHECK(lowerCase(r.program) == lowerCase(windows) + L"\\explorer.exe");
        CHECK(r.commandLine == L"explorer " QUILLORA_WIDE(QUILLORA_WEB_ADDRESS));
    }
    CHECK(textOf(program.mainWindow()) == L"Quillora1.1");
}

namespace {

std::wstring programOnWindows10(const std::wstring& quillora)
{
    return testing::copyOnWindows10(quillora, temporaryFolder(L"quillora-windows-10") + L"\\QuilloraOnWindows10.exe");
}

BOOL CALLBACK gatherText(HWND child, LPARAM gathered)
{
    *reinterpret_cast<std::wstring*>(gathered) += textOf(child) + L"\n";
    return TRUE;
}

// Every text of a message box: its message and its buttons.
std::wstring messageBoxText(HWND box)
{
    std::wstring text;
    EnumChildWindows(box, gatherText, reinterpret_cast<LPARAM>(&text));
    return text;
}

// The services a warning names, by the names the services window shows in Chinese: the paragraph
// after its first, a few names to a line, between full-width commas.
std::vector<std::wstring> warnedNames(const std::wstring& text)
{
    const std::size_t from = text.find(L"\r\n\r\n");
    const std::size_t to = text.find(L"\r\n\r\n", from + 4);
    REQUIRE(to != std::wstring::npos);
    std::vector<std::wstring> names(1);
    for (const wchar_t c : text.substr(from + 4, to - from - 4)) {
        if (c == L'，')
            names.emplace_back();
        else if (c != L'\r' && c != L'\n')
            names.back() += c;
    }
    return names;
}

// Clicks a button of a message box and waits, at most 20 seconds, until the box is gone.
void answerBox(HWND box, int button)
{
    postClick(GetDlgItem(box, button));
    for (int tries = 0; tries < 400 && IsWindow(box); ++tries)
        Sleep(50);
}

// Clicks a button of the main window and waits for the message box the click brings.
HWND clickForBox(const QuilloraProcess& program, int button, DWORD milliseconds)
{
    postClick(GetDlgItem(program.mainWindow(), button));
    return waitForWindow(program.process(), L"Quillora1.1", milliseconds, L"#32770");
}

// Whether the window becomes the one the keyboard goes to, within 20 seconds.
bool becomesForeground(HWND window)
{
    for (int tries = 0; tries < 400 && GetForegroundWindow() != window; ++tries)
        Sleep(50);
    return GetForegroundWindow() == window;
}

std::size_t backupsNow()
{
    platform::WindowsMachine machine;
    return storedBackups(machine).size();
}

}  // namespace

// Each field of the background's header that tells where its pixels lie, damaged alone in a copy
// of the program: it says so as it starts, and ends, rather than paint from the wrong place.
TEST_CASE_FIXTURE(EndToEnd, "a damaged background picture is refused at start-up")
{
    const std::pair<std::size_t, WORD> damages[] = {{offsetof(BITMAPINFOHEADER, biSize), 124},
                                                     {offsetof(BITMAPINFOHEADER, biPlanes), 2},
                                                     {offsetof(BITMAPINFOHEADER, biCompression), BI_RLE8},
                                                     {offsetof(BITMAPINFOHEADER, biClrUsed), 256}};
    for (const auto& damage : damages) {
        CAPTURE(damage.first);
        const std::wstring copy = temporaryFolder(L"quillora-damaged") + L"\\Quillora.exe";
        REQUIRE(CopyFileW(quillora.c_str(), copy.c_str(), FALSE));
        platform::LibraryHandle image(LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        const HRSRC found = FindResourceW(image.get(), MAKEINTRESOURCEW(201), RT_RCDATA);
        const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(image.get(), found)));
        REQUIRE(bytes);
        std::vector<BYTE> picture(bytes, bytes + SizeofResource(image.get(), found));
        image.reset();  // the copy is changed below: nothing may hold it
        std::memcpy(picture.data() + damage.first, &damage.second, sizeof damage.second);  // little-endian low word
        const HANDLE update = BeginUpdateResourceW(copy.c_str(), FALSE);
        REQUIRE(UpdateResourceW(update, RT_RCDATA, MAKEINTRESOURCEW(201), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                picture.data(), static_cast<DWORD>(picture.size())));
        REQUIRE(EndUpdateResourceW(update, FALSE));
        const StartedProgram started = startAndWaitUntilIdle(copy, folder, L"#32770", L"Quillora1.1");
        CHECK(messageBoxText(started.window).find(L"运行时错误 '13':") != std::wstring::npos);
        answerBox(started.window, IDOK);
        CHECK(WaitForSingleObject(started.process.get(), 20000) == WAIT_OBJECT_0);
        DWORD code = 0;
        GetExitCodeProcess(started.process.get(), &code);
        CHECK(code == 1);
    }
}

// Two programs on one machine: the second is refused at once, while the first goes on alone.
TEST_CASE_FIXTURE(EndToEnd, "restore defaults from the main window's button; a second Quillora.exe meanwhile says "
                            "that a run is under way and changes nothing")
{
    QuilloraProcess first(quillora, folder);
    QuilloraProcess second(quillora, folder);
    const std::size_t backups = backupsNow();
    postClick(GetDlgItem(first.mainWindow(), MainControls::RestoreButton));
    REQUIRE(waitForWindow(first.process(), L"正在优化系统服务..."));
    const HWND box = clickForBox(second, MainControls::AutomaticButton, 60000);
    REQUIRE(box);
    CHECK(messageBoxText(box).find(L"另一个程序（Quillora 或 quillora-cli）正在更改这台电脑的服务。")
          != std::wstring::npos);
    answerBox(box, IDOK);
    checkCompletedRun(planned("restore", Profile::Restore), first);
    CHECK(backupsNow() == backups + 1);
    CHECK(readRecords(second.recordFile()).empty());
    for (const QuilloraProcess* program : {&first, &second}) {
        PostMessageW(program->mainWindow(), WM_CLOSE, 0, 0);
        CHECK(program->waitForExit(20000));
    }
}

TEST_CASE_FIXTURE(EndToEnd, "on Windows 10 the automatic run warns of wuauserv and restoring of RemoteRegistry; yes leaves them alone, cancel does nothing")
{
    const std::wstring onWindows10 = programOnWindows10(quillora);
    // Installed, and not as either run leaves them: both runs would change them.
    testing::StandInServices services({{L"wuauserv", SERVICE_DEMAND_START}, {L"RemoteRegistry", SERVICE_DISABLED}});
    SUBCASE("yes")
    {
        QuilloraProcess program(onWindows10, folder);
        const HWND box = clickForBox(program, MainControls::AutomaticButton, 60000);
        const std::wstring text = messageBoxText(box);
        CHECK(text.find(L"Windows 10, 10.0.") != std::wstring::npos);
        const std::vector<std::wstring> warned = warnedNames(text);
        CHECK(std::count(warned.begin(), warned.end(), L"automatic updates") == 1);
        postClick(GetDlgItem(box, IDYES));

        const HWND progress = waitForWindow(program.process(), kCompleted, 180000);
        const std::wstring log = textOf(GetDlgItem(progress, ProgressControls::LogBox));
        CHECK(log.find(L"\r\n4:automatic updates:保留\r\n") != std::wstring::npos);
        CHECK(log.rfind(L"1:Alerter:禁用\r\n", 0) == 0);
        // Each service named is left alone: its NET stop and its sc config are not launched.
        const std::size_t launches = 115 - 2 * warned.size();
        const std::vector<Record> records = waitForRecords(program.recordFile(), program.process(), launches);
        CHECK(records.size() == launches);
        for (const Record& record : records)
            CHECK(record.commandLine.find(L"wuauserv") == std::wstring::npos);
    }
    SUBCASE("restoring defaults warns of RemoteRegistry too")
    {
        QuilloraProcess program(onWindows10, folder);
        const HWND box = clickForBox(program, MainControls::RestoreButton, 60000);
        CHECK(messageBoxText(box).find(L"Remote Registry") != std::wstring::npos);
        postClick(GetDlgItem(box, IDCANCEL));
    }
    SUBCASE("cancel")
    {
        const std::size_t before = backupsNow();
        QuilloraProcess program(onWindows10, folder);
        // Every other window of the program open under the box: none of them takes input while
        // it waits, and every one does again once it is answered.
        const HWND services = openServicesWindow(program);
        postClick(GetDlgItem(program.mainWindow(), MainControls::QuestionsButton));
        const HWND question = waitForWindow(program.process(), ui::kQuestionCaption);
        const HWND box = clickForBox(program, MainControls::AutomaticButton, 60000);
        for (const HWND window : {program.mainWindow(), services, question}) {
            CHECK(IsWindowVisible(window));
            CHECK_FALSE(IsWindowEnabled(window));
        }
        CHECK(IsWindowEnabled(box));
        // The click has been handled once the box is gone and the main window answers again; a
        // run it started would have shown its window by then.
        answerBox(box, IDCANCEL);
        DWORD_PTR answer = 0;
        REQUIRE(SendMessageTimeoutW(program.mainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer));
        CHECK_FALSE(IsWindow(box));
        CHECK(readRecords(program.recordFile()).empty());
        CHECK(backupsNow() == before);
        CHECK_FALSE(FindWindowW(ui::kWindowClassName, L"正在优化系统服务..."));
        for (const HWND window : {program.mainWindow(), services, question})
            CHECK(IsWindowEnabled(window));
        PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
        CHECK(program.waitForExit(20000));
    }
}

namespace {

std::wstring clipboardText()
{
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// The services window's rows as a user copies them: Tab to the list (past the choice of a run, in
// the runs' view), Ctrl+A, Ctrl+C; waited for until the clipboard holds the text looked for.
std::wstring copiedRows(HWND window, const std::wstring& lookedFor)
{
    // What an earlier copy left must not pass for this one.
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    SetForegroundWindow(window);
    const HWND list = GetDlgItem(window, ui::ServicesControls::ServiceList);
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    const auto focused = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
    };
    // Each Tab is taken by the program in its own time: the next waits until the focus has moved.
    for (int tabs = 0; tabs < 4 && focused() != list; ++tabs) {
        const HWND before = focused();
        keyboard::press(VK_TAB);
        for (int waits = 0; waits < 80 && focused() == before; ++waits)
            Sleep(25);
    }
    keyboard::key(VK_CONTROL, 0);
    keyboard::press('A');
    keyboard::press('C');
    keyboard::key(VK_CONTROL, KEYEVENTF_KEYUP);
    std::wstring copied;
    for (int tries = 0; tries < 100 && copied.find(lookedFor) == std::wstring::npos; ++tries) {
        Sleep(50);
        copied = clipboardText();
    }
    return copied;
}

}  // namespace

TEST_CASE_FIXTURE(EndToEnd, "Alt+Space, V opens the services window: 60 rows, a service's real mode")
{
    testing::StandInServices services({{L"Alerter", SERVICE_DEMAND_START}});
    QuilloraProcess program(quillora, folder);
    SetForegroundWindow(program.mainWindow());
    keyboard::altSpace();
    keyboard::press('V');
    const HWND window = waitForWindow(program.process(), ui::kServicesCaption);
    const HWND list = waitForControl(window, ui::ServicesControls::ServiceList);
    CHECK(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 60);

    const std::wstring copied = copiedRows(window, L"\tAlerter\t");
    CHECK(copied.find(L"1\tAlerter\tAlerter\t手动，已停止\t停止，禁用\t会改变\r\n") != std::wstring::npos);
    CHECK(copied.rfind(L"编号\t服务\t服务名\t当前状态\t该方案的操作\t会改变吗\r\n", 0) == 0);
    CHECK(testing::countOf(copied, L"\r\n") == 1 + 60);
    PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    CHECK(program.waitForExit(20000));
}

namespace {

// The settings of the test prefix (the language, the services left alone by choice), removed
// before and after a test that sets them, so that every other test sees the program as designed.
struct KeptSettings {
    KeptSettings() { forget(); }
    ~KeptSettings() { forget(); }
    void forget()
    {
        platform::WindowsMachine machine;
        const std::wstring path = fromUtf8(settingsPath(machine));
        DeleteFileW(path.c_str());
        RemoveDirectoryW(path.c_str());
    }
};

std::wstring automaticButtonText(const QuilloraProcess& program)
{
    return textOf(GetDlgItem(program.mainWindow(), MainControls::AutomaticButton));
}

// Chooses a language with its key in the system menu, and waits for the windows to speak it.
void pressInSystemMenu(const QuilloraProcess& program, BYTE key, const std::wstring& automaticButton)
{
    SetForegroundWindow(program.mainWindow());
    keyboard::altSpace();
    keyboard::press(key);
    for (int tries = 0; tries < 100 && automaticButtonText(program) != automaticButton; ++tries)
        Sleep(50);
}

// An automatic run from the main window's button: its completed log, and the commands it
// launched, which are the designed ones in every language.
std::wstring automaticRunLog(const QuilloraProcess& program, const wchar_t* completedCaption)
{
    postClick(GetDlgItem(program.mainWindow(), MainControls::AutomaticButton));
    const HWND progress = waitForWindow(program.process(), completedCaption, 180000);
    const std::wstring log = textOf(GetDlgItem(progress, ProgressControls::LogBox));
    const std::vector<std::wstring> golden = testing::goldenCommandLines("automatic");
    const std::vector<Record> records = waitForRecords(program.recordFile(), program.process(), golden.size());
    CHECK(launchedServiceCommands(records) == std::multiset<std::wstring>(golden.begin(), golden.end()));
    return log;
}

}  // namespace

TEST_CASE_FIXTURE(EndToEnd, "English or Traditional Chinese by choice: /lang: for one start, the system menu's three "
                            "languages kept")
{
    const KeptSettings kept;
    SUBCASE("/lang:en: English buttons, a log in English words, the same commands")
    {
        QuilloraProcess program(quillora, folder, L"/lang:en");
        CHECK(automaticButtonText(program) == L"Automatic");
        CHECK(textOf(GetDlgItem(program.mainWindow(), MainControls::QuestionsButton)) == L"By questions (best)");
        CHECK(automaticRunLog(program, L"Optimisation complete!") == fromUtf8(testing::goldenBytes("automatic", "en.log")));
    }
    SUBCASE("/lang:zh-TW: Traditional buttons, a log in 停用, 手動 and 自動, the same commands")
    {
        QuilloraProcess program(quillora, folder, L"/LANG:zh-tw");
        CHECK(automaticButtonText(program) == L"自動最佳化");
        CHECK(textOf(GetDlgItem(program.mainWindow(), MainControls::QuestionsButton)) == L"依提問最佳化(建議)");
        const std::wstring log = automaticRunLog(program, L"最佳化完成！");
        CHECK(log.rfind(L"1:Alerter:停用\r\n", 0) == 0);
        CHECK(log == fromUtf8(testing::goldenBytes("automatic", "zh-TW.log")));
    }
    SUBCASE("Alt+Space, E switches and is kept; Alt+Space, T to Traditional, kept; Alt+Space, Z switches back")
    {
        {
            QuilloraProcess program(quillora, folder);
            CHECK(automaticButtonText(program) == L"自动优化");
            pressInSystemMenu(program, 'E', L"Automatic");
            CHECK(automaticButtonText(program) == L"Automatic");
        }
        {
            QuilloraProcess program(quillora, folder);
            CHECK(automaticButtonText(program) == L"Automatic");
            pressInSystemMenu(program, 'T', L"自動最佳化");
            CHECK(automaticButtonText(program) == L"自動最佳化");
        }
        {
            QuilloraProcess program(quillora, folder);
            CHECK(automaticButtonText(program) == L"自動最佳化");
            pressInSystemMenu(program, 'Z', L"自动优化");
            CHECK(automaticButtonText(program) == L"自动优化");
        }
        QuilloraProcess program(quillora, folder);
        CHECK(automaticButtonText(program) == L"自动优化");
    }
}

namespace {

// Stand-ins for sc.exe that act on these services through the Service Control Manager, slowly for
// some (until the test releases them, or two minutes), refused for others; net.exe's stand-in then
// ends with status 2, as NET does for a stopped service. Only while the object lives; Wine's own
// services are never touched.
struct ActingStandIns {
    ActingStandIns(const wchar_t* keys, const wchar_t* slow, const wchar_t* refused)
    {
        DeleteFileW(releaseFile.c_str());
        SetEnvironmentVariableW(L"QUILLORA_ACT", keys);
        SetEnvironmentVariableW(L"QUILLORA_SLOW", slow);
        SetEnvironmentVariableW(L"QUILLORA_SLOW_MS", L"120000");
        SetEnvironmentVariableW(L"QUILLORA_SLOW_RELEASE", releaseFile.c_str());
        SetEnvironmentVariableW(L"QUILLORA_REFUSE", refused);
    }
    ~ActingStandIns()
    {
        release();
        for (const wchar_t* name : {L"QUILLORA_ACT", L"QUILLORA_SLOW", L"QUILLORA_SLOW_MS", L"QUILLORA_SLOW_RELEASE",
                                    L"QUILLORA_REFUSE"})
            SetEnvironmentVariableW(name, nullptr);
    }
    // The slow services' commands end now.
    void release() const
    {
        const HANDLE file = CreateFileW(releaseFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }

    const std::wstring releaseFile = temporaryFolder(L"quillora-e2e") + L"\\slow-release";
};

// Whether Alt+Space, U opened nothing. Keys go on in order: an undo question would take the next
// Alt+Space, V, so that no services window would come.
bool undoOpensNothing(const QuilloraProcess& program)
{
    SetForegroundWindow(program.mainWindow());
    keyboard::altSpace();
    keyboard::press('U');
    keyboard::altSpace();
    keyboard::press('V');
    const HWND services = waitForWindow(program.process(), ui::kServicesCaption, 10000);
    const bool noBox = FindWindowW(L"#32770", L"Quillora1.1") == nullptr;
    if (services)
        PostMessageW(services, WM_CLOSE, 0, 0);
    return services && noBox;
}

// The newest run of the test prefix.
std::wstring newestRunName()
{
    platform::WindowsMachine machine;
    const std::vector<HistoryRun> runs = runHistory(machine);
    REQUIRE_FALSE(runs.empty());
    return fromUtf8(runs.front().name);
}

// The result saved beside the newest automatic backup of the test prefix.
std::string newestResult()
{
    platform::WindowsMachine machine;
    const std::vector<HistoryRun> runs = runHistory(machine);
    const HistoryRun* newest = newestRun(runs);
    REQUIRE(newest);
    REQUIRE(newest->backup.hasResult);
    return machine.files().read(resultPathFor(newest->backup.path));
}

}  // namespace

namespace {

// quillora-cli run to its end; its exit status.
DWORD runCompanion(const std::wstring& arguments)
{
    const std::wstring program = builtFile(L"quillora-cli.exe");
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    REQUIRE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                           nullptr, &startup, &started));
    const platform::KernelHandle process(started.hProcess);
    const platform::KernelHandle thread(started.hThread);
    REQUIRE(WaitForSingleObject(process.get(), 60000) == WAIT_OBJECT_0);
    DWORD status = 0;
    GetExitCodeProcess(process.get(), &status);
    return status;
}

}  // namespace

TEST_CASE_FIXTURE(EndToEnd, "exit during a run's last command: the windows go at once, the claim stays until it ends, then its result is whole")
{
    testing::StandInServices services({{L"ALG", SERVICE_AUTO_START}, {L"WmiApSrv", SERVICE_AUTO_START}});
    // Wine's own services of the list, which drift --fix below may set as the killed run meant,
    // are given back in their modes of now.
    platform::WindowsMachine wine;
    for (const std::wstring& key : catalogueKeys()) {
        if (key != L"ALG" && key != L"WmiApSrv" && wine.services()->query(key))
            services.borrow(key);
    }
    const ActingStandIns acting(L"ALG;WmiApSrv", L"WmiApSrv", L"");
    QuilloraProcess program(quillora, folder);
    postClick(GetDlgItem(program.mainWindow(), MainControls::AutomaticButton));
    waitForWindow(program.process(), kCompleted, 180000);
    // The last step's sc config still runs: the undo waits for the result.
    CHECK(undoOpensNothing(program));
    const HWND main = program.mainWindow();
    postClick(GetDlgItem(main, MainControls::ExitButton));
    for (int polls = 0; polls < 400 && IsWindowVisible(main); ++polls)
        Sleep(50);
    CHECK_FALSE(IsWindowVisible(main));
    // The program waits for its command, holding the services: another run is refused meanwhile.
    CHECK(WaitForSingleObject(program.process(), 0) == WAIT_TIMEOUT);
    CHECK(runCompanion(L"drift --fix") == 3);
    acting.release();
    REQUIRE(program.waitForExit(60000));

    const std::string saved = newestResult();
    CHECK(saved.find("\r\nALG\tauto\tstop, disabled\tdisabled, stopped\tchanged\r\n") != std::string::npos);
    CHECK(saved.find("\r\nWmiApSrv\tauto\tstop, disabled\tdisabled, stopped\tchanged\r\n") != std::string::npos);
    CHECK(saved.find("\r\nrestore-point\trefused 0\r\n") != std::string::npos);
    CHECK(testing::countOf(saved, std::string("\r\n")) == 59 + 5);  // no row lost
    CHECK(runCompanion(L"drift --fix") != 3);
    CHECK(readRecords(program.recordFile()).size() == 115);

    // Killed while its last command runs: the next program waits for that command a while, and is
    // refused while it still runs; once it has ended, the services are free.
    const ActingStandIns slowAgain(L"ALG;WmiApSrv", L"WmiApSrv", L"");
    QuilloraProcess killed(quillora, folder);
    postClick(GetDlgItem(killed.mainWindow(), MainControls::AutomaticButton));
    waitForWindow(killed.process(), kCompleted, 180000);
    TerminateProcess(killed.process(), 1);
    REQUIRE(killed.waitForExit(20000));
    CHECK(runCompanion(L"drift --fix") == 3);
    slowAgain.release();
    CHECK(runCompanion(L"drift --fix") != 3);
    // The killed run has no result: unfinished, in words; its journal says it reached every
    // service, and drift compares them with what it meant, naming it, not with the run before.
    const std::vector<HistoryRun> runs = runHistory(wine);
    const auto killedRun = std::find_if(runs.begin(), runs.end(), [](const HistoryRun& run) {
        return run.origin && run.origin->maker == RunMaker::Window;
    });
    REQUIRE(killedRun != runs.end());
    CHECK(killedRun->unfinished == Unfinished{Unfinished::Why::ProgramEnded, ""});
    CHECK(killedRun->counts == RunCounts{0, 0, 0, 0, 59, 0});
    const std::vector<LastSet> lastSet = lastSetModes(wine, runs);
    const auto alg = std::find_if(lastSet.begin(), lastSet.end(), [](const LastSet& set) { return set.mode.serviceKey == L"ALG"; });
    REQUIRE(alg != lastSet.end());
    CHECK(alg->run == killedRun->name);
    CHECK(alg->mode == BackupEntry{L"ALG", StartMode::Disabled, false});
    CHECK(runCompanion(L"drift") == 0);
}

TEST_CASE_FIXTURE(EndToEnd, "a refused sc config: said in a box, saved in one form in English too, undo once the result is in, shown after a restart")
{
    testing::StandInServices services({{L"Alerter", SERVICE_AUTO_START}, {L"ALG", SERVICE_AUTO_START}});
    const ActingStandIns acting(L"Alerter;ALG", L"", L"ALG");
    {
        QuilloraProcess program(quillora, folder, L"/lang:en");
        const HWND box = clickForBox(program, MainControls::AutomaticButton, 180000);
        const std::wstring text = messageBoxText(box);
        CHECK(text.find(L"Windows refused this optimisation's changes to ") != std::wstring::npos);
        CHECK(text.find(L"Show the result of the last run?") != std::wstring::npos);
        answerBox(box, IDNO);

        // The result is in: the undo item opens the undo question.
        SetForegroundWindow(program.mainWindow());
        keyboard::altSpace();
        keyboard::press('U');
        const HWND question = waitForWindow(program.process(), L"Quillora1.1", 20000, L"#32770");
        CHECK(messageBoxText(question).find(L"Undo the last optimisation?") != std::wstring::npos);
        postClick(GetDlgItem(question, IDNO));

        const std::string saved = newestResult();
        CHECK(saved.find("\r\nAlerter\tauto\tstop, disabled\tdisabled, stopped\tchanged\r\n") != std::string::npos);
        CHECK(saved.find("\r\nALG\tauto\tstop, disabled\tauto, stopped\tfailed\tsc-config 5\r\n") != std::string::npos);
        PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
        REQUIRE(program.waitForExit(20000));
    }
    // After a restart, in Chinese, the result view shows that run's result.
    QuilloraProcess program(quillora, folder);
    SetForegroundWindow(program.mainWindow());
    keyboard::altSpace();
    keyboard::press('V');
    const HWND window = waitForWindow(program.process(), ui::kServicesCaption);
    chooseServicesView(window, 3);
    const std::wstring copied = copiedRows(window, L"\tALG\t");
    CHECK(copied.find(L"2\tApplication Layer Gateway Service\tALG\t自动\t停止，禁用\t自动，已停止\t失败\t\r\n") != std::wstring::npos);
    CHECK(copied.find(L"1\tAlerter\tAlerter\t自动\t停止，禁用\t禁用，已停止\t已更改\t\r\n") != std::wstring::npos);
    // Wine's System Restore makes no restore point and says no more, asked by the program's hidden
    // process before the run.
    CHECK(textOf(GetDlgItem(window, ui::ServicesControls::DescriptionBox)).find(L"\r\n系统还原点：Windows 没有创建，也没有说明原因")
          != std::wstring::npos);

    // Changed from outside since: marked in the run's result, and drift names it (status 1); Set
    // them again puts back what the run left, and drift then finds nothing (status 0).
    // The view follows the machine by itself: no key, no click.
    services.setStartType(L"Alerter", SERVICE_AUTO_START);
    const HWND summary = GetDlgItem(window, ui::ServicesControls::RunSummary);
    for (int polls = 0; polls < 200 && textOf(summary).find(L"有 1 个服务的启动类型被改变了") == std::wstring::npos; ++polls)
        Sleep(25);
    CHECK(textOf(summary).rfind(L"自这次优化以来，有 1 个服务的启动类型被改变了。", 0) == 0);
    CHECK(copiedRows(window, L"禁用 → 自动").find(L"\t已更改\t禁用 → 自动\r\n") != std::wstring::npos);
    CHECK(runCompanion(L"drift") == 1);
    postClick(GetDlgItem(window, ui::ServicesControls::SetAgainButton));
    const HWND question = waitForWindow(program.process(), L"Quillora1.1", 20000, L"#32770");
    CHECK(messageBoxText(question).find(L"Alerter: 自动 → 禁用") != std::wstring::npos);
    answerBox(question, IDYES);
    const HWND told = waitForWindow(program.process(), L"Quillora1.1", 20000, L"#32770");
    CHECK(messageBoxText(told).find(L"已重新设置这些服务。") != std::wstring::npos);
    answerBox(told, IDOK);
    CHECK(services.startType(L"Alerter") == SERVICE_DISABLED);
    // The prefix keeps the runs of the tests before this one: the set again's own run is asked.
    CHECK(runCompanion(L"drift --run " + newestRunName()) == 0);
    // A run of the companion appears in the list by itself, chosen as the newest.
    const HWND runs = GetDlgItem(window, ui::ServicesControls::RunChoice);
    const LRESULT listed = SendMessageW(runs, CB_GETCOUNT, 0, 0);
    CHECK(runCompanion(L"restore --last") == 0);
    for (int polls = 0; polls < 200 && SendMessageW(runs, CB_GETCOUNT, 0, 0) == listed; ++polls)
        Sleep(25);
    CHECK(SendMessageW(runs, CB_GETCOUNT, 0, 0) == listed + 1);
    CHECK(SendMessageW(runs, CB_GETCURSEL, 0, 0) == 0);
    PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    CHECK(program.waitForExit(20000));
}

namespace {

// The services window from the system menu's item, on the view of a profile (1: automatic). The
// item is chosen by its command, which needs no keyboard focus (Alt+Space, V is tested above).
HWND servicesWindowOn(const QuilloraProcess& program, int view)
{
    const HWND window = openServicesWindow(program);
    chooseServicesView(window, view);
    return window;
}

// Keys sent to the services window's list as its own, in order.
void pressInList(HWND window, std::initializer_list<WPARAM> keys)
{
    const HWND list = waitForControl(window, ui::ServicesControls::ServiceList);
    for (const WPARAM key : keys) {
        PostMessageW(list, WM_KEYDOWN, key, 0);
        PostMessageW(list, WM_KEYUP, key, 0xC0000001);
    }
}

// The count of the choice above the list, once it reads the text expected, or after 10 s.
std::wstring choiceCountOnceIt(HWND window, const std::wstring& expected)
{
    const HWND count = waitForControl(window, ui::ServicesControls::ChoiceCount);
    for (int tries = 0; tries < 200 && textOf(count) != expected; ++tries)
        Sleep(50);
    return textOf(count);
}

// The automatic run, complete: its records and its log.
std::pair<std::vector<Record>, std::wstring> automaticRun(const QuilloraProcess& program, std::size_t launches)
{
    postClick(GetDlgItem(program.mainWindow(), MainControls::AutomaticButton));
    const HWND progress = waitForWindow(program.process(), kCompleted, 180000);
    const std::wstring log = textOf(GetDlgItem(progress, ProgressControls::LogBox));
    return {waitForRecords(program.recordFile(), program.process(), launches), log};
}

}  // namespace

TEST_CASE_FIXTURE(EndToEnd, "Alerter unchecked with Space in the automatic view: the run leaves it alone, after a restart too; all checked, the designed run")
{
    const KeptSettings kept;
    {
        QuilloraProcess program(quillora, folder);
        const HWND window = servicesWindowOn(program, 1);
        // Home selects the first row, Alerter; Space toggles it. Sent to the list as its keys.
        pressInList(window, {VK_HOME, VK_SPACE});
        CHECK(choiceCountOnceIt(window, L"按您的选择保留 1 个服务") == L"按您的选择保留 1 个服务");
        PostMessageW(window, WM_CLOSE, 0, 0);

        const auto [records, log] = automaticRun(program, 115 - 2);
        CHECK(records.size() == 115 - 2);
        for (const Record& record : records)
            CHECK(record.commandLine.find(L"Alerter") == std::wstring::npos);
        CHECK(log.rfind(L"1:Alerter:保留\r\n", 0) == 0);
        PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
        REQUIRE(program.waitForExit(20000));
    }
    QuilloraProcess program(quillora, folder);
    {
        const auto [records, log] = automaticRun(program, 115 - 2);
        CHECK(records.size() == 115 - 2);
        for (const Record& record : records)
            CHECK(record.commandLine.find(L"Alerter") == std::wstring::npos);
    }
    const HWND window = servicesWindowOn(program, 1);
    postClick(waitForControl(window, ui::ServicesControls::SelectAllButton));
    CHECK(choiceCountOnceIt(window, L"按您的选择保留 0 个服务") == L"按您的选择保留 0 个服务");
    PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    REQUIRE(program.waitForExit(20000));
    // With every row checked, the run is the designed one, byte for byte.
    QuilloraProcess again(quillora, folder);
    postClick(GetDlgItem(again.mainWindow(), MainControls::AutomaticButton));
    checkCompletedRun(planned("automatic", Profile::Automatic), again);
    PostMessageW(again.mainWindow(), WM_CLOSE, 0, 0);
    CHECK(again.waitForExit(20000));
}

namespace {

// The undo's box, asked for until the last run's result is in and the undo answers.
HWND undoBox(const QuilloraProcess& program)
{
    for (int tries = 0; tries < 60; ++tries) {
        PostMessageW(program.mainWindow(), WM_SYSCOMMAND, ui::kUndoLastRunCommand, 0);
        try {
            return waitForWindow(program.process(), L"Quillora1.1", 1000, L"#32770");
        } catch (const std::runtime_error&) {
            // The result is not in yet: the undo did nothing; asked again.
        }
    }
    return nullptr;
}

}  // namespace

TEST_CASE_FIXTURE(EndToEnd, "a restore run with every box cleared: undo says the last run changed nothing, and restore --last agrees")
{
    const KeptSettings kept;
    QuilloraProcess program(quillora, folder);
    const HWND window = servicesWindowOn(program, 2);
    postClick(waitForControl(window, ui::ServicesControls::SelectNoneButton));
    const HWND count = waitForControl(window, ui::ServicesControls::ChoiceCount);
    for (int tries = 0; tries < 200 && textOf(count) == L"按您的选择保留 0 个服务"; ++tries)
        Sleep(50);
    PostMessageW(window, WM_CLOSE, 0, 0);
    postClick(GetDlgItem(program.mainWindow(), MainControls::RestoreButton));
    const HWND progress = waitForWindow(program.process(), kCompleted, 180000);
    CHECK(textOf(GetDlgItem(progress, ProgressControls::LogBox)).find(L":保留\r\n") != std::wstring::npos);

    const HWND box = undoBox(program);
    REQUIRE(box);
    CHECK(messageBoxText(box).find(L"上次优化没有更改任何服务") != std::wstring::npos);
    postClick(GetDlgItem(box, IDOK));
    PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    REQUIRE(program.waitForExit(20000));
    CHECK(readRecords(program.recordFile()).empty());
    CHECK(runCompanion(L"restore --last") == 0);
}

TEST_CASE_FIXTURE(EndToEnd, "settings.ini that cannot be read: the automatic run asks first, and no launches nothing")
{
    const KeptSettings kept;
    platform::WindowsMachine machine;
    REQUIRE(CreateDirectoryW(fromUtf8(settingsPath(machine)).c_str(), nullptr));
    const std::size_t before = backupsNow();
    QuilloraProcess program(quillora, folder);
    const HWND box = clickForBox(program, MainControls::AutomaticButton, 60000);
    REQUIRE(box);
    CHECK(messageBoxText(box).find(L"无法读取您保存的对服务的选择") != std::wstring::npos);
    CHECK_FALSE(IsWindowEnabled(program.mainWindow()));
    answerBox(box, IDNO);
    DWORD_PTR answer = 0;
    REQUIRE(SendMessageTimeoutW(program.mainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer));
    CHECK(readRecords(program.recordFile()).empty());
    CHECK(backupsNow() == before);
    CHECK_FALSE(FindWindowW(ui::kWindowClassName, L"正在优化系统服务..."));
    PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    CHECK(program.waitForExit(20000));
}

TEST_CASE_FIXTURE(EndToEnd, "on Windows 10 after quillora-cli apply restore --all, restoring defaults warns of nothing and runs as designed")
{
    // Wine's own services of the catalogue, given back afterwards stopped and in their modes of now.
    testing::StandInServices services({});
    platform::WindowsMachine machine;
    for (const std::wstring& key : catalogueKeys()) {
        if (machine.services()->query(key))
            services.borrow(key);
    }
    REQUIRE(runCompanion(L"apply restore --all") == 0);
    QuilloraProcess program(programOnWindows10(quillora), folder);
    postClick(GetDlgItem(program.mainWindow(), MainControls::RestoreButton));
    // On Windows 10 the rows of its own list follow; none of those services is installed here.
    checkCompletedRun(planned("windows10-restore", Profile::Restore, {}, Lists::WithWindows10), program);
    CHECK_FALSE(FindWindowW(L"#32770", L"Quillora1.1"));
    PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    CHECK(program.waitForExit(20000));
}

TEST_CASE_FIXTURE(EndToEnd, "on Windows 10 the eight real question windows: no to Xbox turns off its five services, undo puts them back")
{
    // The fourteen of Windows 10's list. Wine's Service Control Manager refuses the type of a
    // per-user template (error 87), so the four templates are ordinary services here.
    testing::StandInServices services({{L"XblAuthManager", SERVICE_DEMAND_START}, {L"XblGameSave", SERVICE_DEMAND_START},
                                       {L"XboxNetApiSvc", SERVICE_DEMAND_START}, {L"XboxGipSvc", SERVICE_AUTO_START},
                                       {L"BcastDVRUserService", SERVICE_DEMAND_START}, {L"lfsvc", SERVICE_DEMAND_START},
                                       {L"MapsBroker", SERVICE_AUTO_START}, {L"icssvc", SERVICE_DEMAND_START},
                                       {L"autotimesvc", SERVICE_DEMAND_START}, {L"MessagingService", SERVICE_DEMAND_START},
                                       {L"SmsRouter", SERVICE_DEMAND_START}, {L"SEMgrSvc", SERVICE_DEMAND_START},
                                       {L"OneSyncSvc", SERVICE_AUTO_START},
                                       {L"PimIndexMaintenanceSvc", SERVICE_DEMAND_START}});
    const ActingStandIns acting(L"XblAuthManager;XblGameSave;XboxNetApiSvc;XboxGipSvc;BcastDVRUserService;lfsvc;"
                                L"MapsBroker;OneSyncSvc;PimIndexMaintenanceSvc",
                                L"", L"");

    QuilloraProcess program(programOnWindows10(quillora), folder);
    postClick(GetDlgItem(program.mainWindow(), MainControls::QuestionsButton));
    // The wizard's three, then the five that name their services.
    const std::wstring questions[] = {
        ui::textIn(ui::Language::Chinese, ui::Text::CdBurnerQuestion),
        ui::textIn(ui::Language::Chinese, ui::Text::PrinterQuestion),
        ui::textIn(ui::Language::Chinese, ui::Text::ImagingQuestion),
        ui::windows10QuestionText(ui::Language::Chinese, AnswerFlag::Xbox),
        ui::windows10QuestionText(ui::Language::Chinese, AnswerFlag::Location),
        ui::windows10QuestionText(ui::Language::Chinese, AnswerFlag::Cellular),
        ui::windows10QuestionText(ui::Language::Chinese, AnswerFlag::Nfc),
        ui::windows10QuestionText(ui::Language::Chinese, AnswerFlag::Mail)};
    const char answers[] = "nnynyyyy";
    const auto answerAll = [&] {
        for (std::size_t i = 0; i < std::size(questions); ++i) {
            CAPTURE(i);
            const HWND question = waitForQuestion(program.process(), questions[i]);
            postClick(GetDlgItem(question, answers[i] == 'y' ? QuestionControls::YesButton : QuestionControls::NoButton));
        }
        return waitForWindow(program.process(), L"Quillora1.1", 60000, L"#32770");
    };
    // Cancel at the warning: nothing runs, and the keyboard is back in the main window, not in the
    // question window the wizard hid.
    answerBox(answerAll(), IDCANCEL);
    CHECK(becomesForeground(program.mainWindow()));
    postClick(GetDlgItem(program.mainWindow(), MainControls::QuestionsButton));
    // Wine has its own BITS, set to start on demand, which the run would disable: Windows 10 needs
    // it, so the warning comes. No runs every row, as the golden run does; the stand-ins act on none
    // of Wine's own services.
    const HWND warning = answerAll();
    CHECK(warnedNames(messageBoxText(warning)).front() == L"Background Intelligent Transfer Service");
    postClick(GetDlgItem(warning, IDNO));
    const auto flag = [&](int i) { return static_cast<std::int16_t>(answers[i] == 'y' ? kAnswerYes : kAnswerNo); };
    Answers given{flag(0), flag(1), flag(2)};
    given.windows10 = {flag(3), flag(4), flag(5), flag(6), flag(7)};
    checkCompletedRun(planned("windows10-prompted-nnynyyyy", Profile::Prompted, given, Lists::WithWindows10), program);
    for (const Record& record : readRecords(program.recordFile()))
        CHECK(record.commandLine.find(L"NET stop BcastDVRUserService") == std::wstring::npos);
    for (const wchar_t* key : {L"XblAuthManager", L"XblGameSave", L"XboxNetApiSvc", L"XboxGipSvc", L"BcastDVRUserService"})
        CHECK(services.startType(key) == SERVICE_DISABLED);
    // The stand-ins left Wine's own services as they were: the result says Windows refused those
    // changes, and offers to show it.
    const HWND refused = waitForWindow(program.process(), L"Quillora1.1", 60000, L"#32770");
    CHECK(messageBoxText(refused).find(L"这次优化中，Windows 拒绝了对 ") != std::wstring::npos);
    answerBox(refused, IDNO);
    // The box belongs to the main window, but the user was in the progress window: back there.
    CHECK(becomesForeground(waitForWindow(program.process(), kCompleted)));
    // Yes to the others: as they were.
    CHECK(services.startType(L"MapsBroker") == SERVICE_AUTO_START);
    CHECK(services.startType(L"OneSyncSvc") == SERVICE_AUTO_START);
    CHECK(services.startType(L"lfsvc") == SERVICE_DEMAND_START);

    const HWND box = undoBox(program);
    REQUIRE(box);
    const std::wstring question = messageBoxText(box);
    CHECK(question.find(L"5 个已安装的服务将会改变") != std::wstring::npos);
    CHECK(question.find(L"    Xbox 配件管理服务: 禁用 → 自动\r\n") != std::wstring::npos);
    answerBox(box, IDYES);
    const HWND done = waitForWindow(program.process(), L"Quillora1.1", 20000, L"#32770");
    CHECK(messageBoxText(done).find(L"已更改：5 个服务") != std::wstring::npos);
    postClick(GetDlgItem(done, IDOK));
    CHECK(services.startType(L"XboxGipSvc") == SERVICE_AUTO_START);
    for (const wchar_t* key : {L"XblAuthManager", L"XblGameSave", L"XboxNetApiSvc", L"BcastDVRUserService"})
        CHECK(services.startType(key) == SERVICE_DEMAND_START);
    PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    CHECK(program.waitForExit(20000));
}

TEST_CASE_FIXTURE(EndToEnd, "my own settings run from the view: exactly the chosen service changes, and drift compares with it")
{
    testing::StandInServices services({{L"ALG", SERVICE_AUTO_START}, {L"WmiApSrv", SERVICE_DEMAND_START}});
    const ActingStandIns acting(L"ALG;WmiApSrv", L"", L"");
    QuilloraProcess program(quillora, folder);
    const HWND window = servicesWindowOn(program, 4);
    // Home selects Alerter, Down ALG; its letter disables it. Sent to the list as its keys.
    pressInList(window, {VK_HOME, VK_DOWN, 'D'});
    REQUIRE(choiceCountOnceIt(window, L"要设置的服务：1 个") == L"要设置的服务：1 个");
    postClick(waitForControl(window, ui::ServicesControls::RunOwnButton));
    const HWND progress = waitForWindow(program.process(), kCompleted, 180000);
    CHECK(textOf(GetDlgItem(progress, ProgressControls::LogBox)).rfind(L"2:Application Layer Gateway Service:禁用\r\n---", 0) == 0);
    CHECK(launchedServiceCommands(waitForRecords(program.recordFile(), program.process(), 2))
          == std::multiset<std::wstring>{L"cmd /c NET stop ALG", L"cmd /c sc config ALG start= disabled"});
    PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    REQUIRE(program.waitForExit(60000));

    CHECK(newestResult().find("\r\nmade-by\twindow own 1\r\n") != std::string::npos);
    // What the run left is what drift compares with: WmiApSrv, which it left alone, is none of its.
    const std::wstring run = L"drift --run " + newestRunName();
    CHECK(runCompanion(run) == 0);
    services.setStartType(L"WmiApSrv", SERVICE_AUTO_START);
    CHECK(runCompanion(run) == 0);
    services.setStartType(L"ALG", SERVICE_DEMAND_START);
    CHECK(runCompanion(run) == 1);
}
