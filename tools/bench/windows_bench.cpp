// Measures the shipped Quillora.exe from outside under Wine, each figure against a baseline of
// ours measured in the same run, and prints the rows of the benchmark table (medians), each
// marked met or missed against its goal.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "engine/catalogue/catalogue.h"
#include "engine/records/backups/backup_store.h"
#include "engine/records/run/run_journal.h"
#include "engine/records/run/run_result.h"
#include "engine/run/recording.h"
#include "engine/text/utf8.h"
#include "platform/files.h"
#include "platform/process_launch.h"
#include "platform/windows_machine.h"
#include "tools/driver/driver.h"
#include "ui/ids/identifiers.h"

using namespace quillora;
using namespace quillora::e2e;

namespace {

constexpr int kRuns = 5;
constexpr std::size_t kMegabyte = 1024 * 1024;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double medianOf(const std::function<double()>& measure)
{
    std::vector<double> values;
    for (int i = 0; i < kRuns; ++i)
        values.push_back(measure());
    return median(values);
}

void closeAndWait(HANDLE process, HWND window)
{
    PostMessageW(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(process, 20000);
}

std::string format(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// One row: the measure, Quillora's figure, the baseline, their ratio, the goal, met or missed.
void printRow(const char* measure, const std::string& value, const std::string& baseline, const std::string& ratio,
              const char* goal, bool met)
{
    std::printf("| %s | %s | %s | %s | %s | %s |\n", measure, value.c_str(), baseline.c_str(), ratio.c_str(), goal,
                met ? "met" : "missed");
}

void printRatioRow(const char* measure, double value, double baseline, const char* unit, const char* baselineName,
                   double goal)
{
    const double ratio = value / baseline;
    char goalText[32];
    std::snprintf(goalText, sizeof goalText, "<= %.2f", goal);
    printRow(measure, format(unit, value), format(unit, baseline) + " (" + baselineName + ")", format("%.2f", ratio),
             goalText, ratio <= goal);
}

// Waits for the stand-ins of the last run to finish, so that they do not load the next one.
void settleLaunches(const std::wstring& recordFile, HANDLE launcher, std::size_t count)
{
    waitForRecords(recordFile, launcher, count, 120000);
    DeleteFileW(recordFile.c_str());
}

std::vector<std::wstring> automaticCommandLines()
{
    std::vector<std::wstring> lines;
    for (const auto& launch : recordRun(inputsForOtherMachines(Profile::Automatic, Answers{}, Lists::Designed)).platform.launches)
        lines.push_back(launch.commandLine);
    return lines;
}

// A run on a log box already holding some text, timed from the click to the whole log written,
// with the longest time the program took to answer a message meanwhile.
struct LogRun {
    double seconds = 0;
    double longestAnswer = 0;
};

class LogRuns {
public:
    LogRuns(const std::wstring& quillora, const std::wstring& folder, std::size_t launches)
        : program_(quillora, folder), launches_(launches), logLength_(recordRun(inputsForOtherMachines(Profile::Automatic, Answers{}, Lists::Designed)).log.log.size())
    {
        // A first run brings up the progress window whose log box the measured runs write to.
        clickAutomatic();
        progress_ = waitForWindow(program_.process(), kCompletedCaption, 180000);
        log_ = GetDlgItem(progress_, ui::ProgressControls::LogBox);
        settleLaunches(program_.recordFile(), program_.process(), launches_);
    }

    LogRun runOn(const std::wstring& earlierText)
    {
        fill(earlierText);
        const std::size_t target = earlierText.size() + logLength_;
        LogRun run;
        const double start = now();
        clickAutomatic();
        // Each query waits until the program answers: the round trip is how long a user's input
        // would wait at that moment.
        for (DWORD_PTR length = 0; length != target;) {
            const double asked = now();
            if (!SendMessageTimeoutW(log_, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 600000, &length))
                break;
            run.longestAnswer = std::max(run.longestAnswer, now() - asked);
            Sleep(2);
        }
        run.seconds = now() - start;
        settleLaunches(program_.recordFile(), program_.process(), launches_);
        return run;
    }

private:
    // Puts the text in the log box from outside, in pieces: under Wine a megabyte sent in one
    // WM_SETTEXT to another process ends that process.
    void fill(const std::wstring& text)
    {
        constexpr std::size_t kPiece = 16384;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(log_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_NORMAL, 60000, &ignored);
        for (std::size_t at = 0; at < text.size(); at += kPiece) {
            const std::wstring piece = text.substr(at, kPiece);
            SendMessageTimeoutW(log_, EM_SETSEL, at, at, SMTO_NORMAL, 60000, &ignored);
            SendMessageTimeoutW(log_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()), SMTO_NORMAL, 60000,
                                &ignored);
        }
    }

    void clickAutomatic() { postClick(GetDlgItem(program_.mainWindow(), ui::MainControls::AutomaticButton)); }

    QuilloraProcess program_;
    std::size_t launches_;
    std::size_t logLength_;
    HWND progress_ = nullptr;
    HWND log_ = nullptr;
};

constexpr char kBaselineWindow[] = "a window drawing the same Chinese";

// Milliseconds a run's journal costs on this machine's files: its intent, written whole, then a
// note for each of the automatic profile's 59 services, as a run writes them.
double journalMilliseconds(const std::wstring& folder)
{
    platform::WindowsFiles files;
    const std::string path = toUtf8(folder) + "\\bench.journal.log";
    const std::vector<BackupEntry> intent(59, BackupEntry{L"Alerter", StartMode::Disabled, false});
    DeleteFileW(fromUtf8(path).c_str());
    const double start = now();
    files.writeAtomically(path, formatJournal(intent), false);
    for (const BackupEntry& mode : intent)
        files.append(path, reachedLine(mode));
    const double milliseconds = (now() - start) * 1000;
    DeleteFileW(fromUtf8(path).c_str());
    return milliseconds;
}

// The most memory the process has had in use so far.
double peakMegabytes(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    return memory.PeakWorkingSetSize / 1048576.0;
}

std::wstring megabyteOfLog()
{
    std::wstring text;
    while (text.size() < kMegabyte)
        text += L"an earlier run's line " + std::to_wstring(text.size()) + L"\r\n";
    return text;
}

// The CPU time the process takes in 5 s in which nothing is asked of it.
double idleCpuMilliseconds(HANDLE process)
{
    FILETIME created, exited, kernelBefore, userBefore, kernelAfter, userAfter;
    GetProcessTimes(process, &created, &exited, &kernelBefore, &userBefore);
    Sleep(5000);
    GetProcessTimes(process, &created, &exited, &kernelAfter, &userAfter);
    auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(kernelAfter) - ticks(kernelBefore) + ticks(userAfter) - ticks(userBefore)) / 10000.0;
}

// The runs so far as the services window opens them and quillora-cli history lists them, with one
// run kept and with a thousand. The user's backup folder is set aside while they are measured, and
// put back after.
class HistoryRuns {
public:
    static constexpr int kMany = 1000;

    explicit HistoryRuns(const std::wstring& quillora, const std::wstring& folder) : quillora_(quillora), folder_(folder)
    {
        platform::WindowsMachine machine;
        backups_ = fromUtf8(backupFolder(machine));
        aside_ = backups_ + L".bench-aside";
        MoveFileW(backups_.c_str(), aside_.c_str());
        // One real run: its backup, its result and its line of the history.
        QuilloraProcess program(quillora, folder);
        postClick(GetDlgItem(program.mainWindow(), ui::MainControls::AutomaticButton));
        waitForWindow(program.process(), kCompletedCaption, 180000);
        closeAndWait(program.process(), program.mainWindow());
    }
    ~HistoryRuns()
    {
        removeFolder(backups_);
        MoveFileW(aside_.c_str(), backups_.c_str());
    }

    // Seconds from choosing the runs' view until it shows the newest run; the peak working set
    // once it does; with measureIdle, the CPU time it takes while it stays open, watching the
    // machine, untouched.
    std::tuple<double, double, double> openView(bool measureIdle = false)
    {
        QuilloraProcess program(quillora_, folder_);
        const double start = now();
        openRunsView(program);
        const double seconds = now() - start;
        const double megabytes = peakMegabytes(program.process());
        const double idleMs = measureIdle ? idleCpuMilliseconds(program.process()) : 0;
        closeAndWait(program.process(), program.mainWindow());
        return {seconds, megabytes, idleMs};
    }

    // The longest the program took to answer, with the runs' view open, while the services' key is
    // written 200 times with nothing that is a start mode (as Windows 10 writes there all the time),
    // and for a second after, while the view follows the burst. Then the CPU time it takes idle.
    std::pair<double, double> answerDuringRegistryBurst()
    {
        constexpr int kWrites = 200;
        QuilloraProcess program(quillora_, folder_);
        const HWND window = openRunsView(program);
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\QuilloraBench", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr);
        double longest = 0;
        const auto ask = [&] {
            const double asked = now();
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 60000, &ignored);
            longest = std::max(longest, now() - asked);
        };
        for (DWORD i = 0; i < kWrites; ++i) {
            RegSetValueExW(key, L"Bench", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&i), sizeof i);
            ask();
        }
        for (const double until = now() + 1; now() < until; Sleep(5))
            ask();
        RegCloseKey(key);
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\QuilloraBench");
        Sleep(500);  // the deletion's own notice is followed before the idle time counts
        const double idleMs = idleCpuMilliseconds(program.process());
        closeAndWait(program.process(), program.mainWindow());
        return {longest, idleMs};
    }

    // Seconds for quillora-cli history to list them and end.
    double listInCompanion() const
    {
        const std::wstring program = builtFile(L"quillora-cli.exe");
        std::wstring commandLine = L"\"" + program + L"\" history";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        const double start = now();
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                            &startup, &started))
            return 0;
        WaitForSingleObject(started.hProcess, INFINITE);
        const double seconds = now() - start;
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
        return seconds;
    }

    // The real run's files and line again, as 999 earlier runs, a minute apart.
    void addEarlierRuns()
    {
        const std::wstring name = newestBackupName();
        const std::string backup = readAll(backups_ + L"\\" + name);
        const std::string result = readAll(backups_ + L"\\" + resultName(name));
        std::string history = readAll(backups_ + L"\\history.log");
        const std::string line = history.substr(history.find("\r\n") + 2);
        const std::string run = toUtf8(name.substr(5, 18));  // auto-RUN.txt
        for (int i = 1; i < kMany; ++i) {
            char stamp[32];
            std::snprintf(stamp, sizeof stamp, "20200101-%02d%02d00-01", i / 60 % 24, i % 60);
            const std::wstring earlier = L"auto-" + fromUtf8(stamp) + L".txt";
            writeAll(backups_ + L"\\" + earlier, backup);
            std::string saved = result;
            saved.replace(saved.find(toUtf8(name)), name.size(), toUtf8(earlier));
            writeAll(backups_ + L"\\" + resultName(earlier), saved);
            std::string entry = line;
            entry.replace(0, run.size(), stamp);
            history += entry;
        }
        writeAll(backups_ + L"\\history.log", history);
    }

private:
    // The services window, chosen on the runs' view; timed from the choice on.
    static HWND openRunsView(const QuilloraProcess& program)
    {
        const HWND window = openServicesWindow(program);
        chooseServicesView(window, 3);
        return window;
    }

    static std::wstring resultName(const std::wstring& backup) { return backup.substr(0, backup.size() - 4) + L".result.log"; }

    std::wstring newestBackupName() const
    {
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW((backups_ + L"\\auto-*.txt").c_str(), &found);
        std::wstring name = found.cFileName;
        FindClose(search);
        return name;
    }

    static std::string readAll(const std::wstring& path)
    {
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        std::string bytes(GetFileSize(file, nullptr), '\0');
        DWORD read = 0;
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(file);
        return bytes;
    }

    static void writeAll(const std::wstring& path, const std::string& bytes)
    {
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }

    static void removeFolder(const std::wstring& folder)
    {
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileW((folder + L"\\" + found.cFileName).c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }

    std::wstring quillora_, folder_, backups_, aside_;
};

// The services window's views of a designed profile and of your own settings, each chosen again
// and again: the seconds from the choice until the view is drawn; then, in your own settings with
// every row selected, the seconds from a mode's letter until the choice column is drawn again. The
// kept own profile is put back as it was.
struct OwnViewFigures {
    std::vector<double> profileView, ownView, everyRowChosen;
};

OwnViewFigures ownViewFigures(const std::wstring& quillora, const std::wstring& folder)
{
    platform::WindowsMachine machine;
    const std::string kept = *machine.dataFolder() + "\\own-profile.txt";
    const bool wasKept = machine.files().exists(kept);
    const std::string keptBytes = wasKept ? machine.files().read(kept) : "";

    OwnViewFigures figures;
    QuilloraProcess program(quillora, folder);
    const HWND window = openServicesWindow(program);
    const HWND list = waitForControl(window, ui::ServicesControls::ServiceList);
    const auto choose = [&](int view) {
        const double start = now();
        chooseServicesView(window, view);
        UpdateWindow(window);
        UpdateWindow(list);
        return now() - start;
    };
    for (int i = 0; i < kRuns; ++i) {
        figures.profileView.push_back(choose(1));
        figures.ownView.push_back(choose(4));
    }
    // Every row selected: the item's state written into the program's own memory, as the list
    // reads it there.
    LVITEMW selected{};
    selected.stateMask = LVIS_SELECTED;
    selected.state = LVIS_SELECTED;
    void* remote = VirtualAllocEx(program.process(), nullptr, sizeof selected, MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(program.process(), remote, &selected, sizeof selected, nullptr);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(remote));
    for (int i = 0; i < kRuns; ++i) {
        for (const WPARAM key : {WPARAM{'D'}, WPARAM{'U'}}) {
            const double start = now();
            SendMessageW(list, WM_KEYDOWN, key, 0);
            UpdateWindow(list);
            figures.everyRowChosen.push_back(now() - start);
            SendMessageW(list, WM_KEYUP, key, 0xC0000001);
        }
    }
    VirtualFreeEx(program.process(), remote, 0, MEM_RELEASE);
    closeAndWait(program.process(), program.mainWindow());
    if (wasKept)
        machine.files().writeAtomically(kept, keptBytes, true);
    else
        DeleteFileW(fromUtf8(kept).c_str());
    return figures;
}

}  // namespace

int wmain()
{
    installStandIns();
    const std::wstring quillora = builtFile(L"Quillora.exe");
    const std::wstring baselineProgram = builtFile(L"quillora-bench-baseline.exe");
    const std::wstring folder = temporaryFolder(L"quillora-bench");
    const std::vector<std::wstring> commandLines = automaticCommandLines();

    // Start-up with the main window alone shown: the list view's common controls are not loaded
    // until the services window opens.
    std::vector<double> startupMegabytes;
    const double startup = medianOf([&] {
        QuilloraProcess program(quillora, folder);
        startupMegabytes.push_back(peakMegabytes(program.process()));
        return program.startupSeconds();
    });
    std::vector<double> baselineMegabytes;
    const double startupBaseline = medianOf([&] {
        StartedProgram baseline = startAndWaitUntilIdle(baselineProgram, folder, L"QuilloraBenchBaseline", L"baseline");
        baselineMegabytes.push_back(peakMegabytes(baseline.process.get()));
        closeAndWait(baseline.process.get(), baseline.window);
        return baseline.seconds;
    });

    std::vector<double> megabytes;
    double idleCpuMs = 0;
    const double run = medianOf([&] {
        QuilloraProcess program(quillora, folder);
        const double start = now();
        postClick(GetDlgItem(program.mainWindow(), ui::MainControls::AutomaticButton));
        waitForWindow(program.process(), kCompletedCaption, 180000);
        const double seconds = now() - start;
        settleLaunches(program.recordFile(), program.process(), commandLines.size());

        megabytes.push_back(peakMegabytes(program.process()));
        idleCpuMs = idleCpuMilliseconds(program.process());
        return seconds;
    });
    const double runBaseline = medianOf([&] {
        const std::wstring recordFile = newRecordFile();
        SetEnvironmentVariableW(L"QUILLORA_RECORD", recordFile.c_str());
        const double start = now();
        for (const std::wstring& line : commandLines)
            platform::launchProcess(line, 0);
        const double seconds = now() - start;
        settleLaunches(recordFile, GetCurrentProcess(), commandLines.size());
        return seconds;
    });

    const std::wstring megabyte = megabyteOfLog();
    std::vector<double> emptyLog, fullLog, answers;
    for (int i = 0; i < kRuns; ++i) {
        LogRuns runs(quillora, folder, commandLines.size());
        emptyLog.push_back(runs.runOn(L"").seconds);
        const LogRun full = runs.runOn(megabyte);
        fullLog.push_back(full.seconds);
        answers.push_back(full.longestAnswer);
    }

    std::vector<double> oneRunView, oneRunList, manyRunsView, manyRunsList, oneRunMegabytes, manyRunsMegabytes, burstAnswers;
    double idleWithRunsViewMs = 0;
    double idleAfterBurstMs = 0;
    {
        HistoryRuns history(quillora, folder);
        idleWithRunsViewMs = std::get<2>(history.openView(true));
        for (int i = 0; i < kRuns; ++i) {
            const auto [seconds, megabytes, idle] = history.openView();
            oneRunView.push_back(seconds);
            oneRunMegabytes.push_back(megabytes);
            oneRunList.push_back(history.listInCompanion());
        }
        history.addEarlierRuns();
        for (int i = 0; i < kRuns; ++i) {
            const auto [seconds, megabytes, idle] = history.openView();
            manyRunsView.push_back(seconds);
            manyRunsMegabytes.push_back(megabytes);
            manyRunsList.push_back(history.listInCompanion());
        }
        for (int i = 0; i < kRuns; ++i) {
            const auto [longest, idle] = history.answerDuringRegistryBurst();
            burstAnswers.push_back(longest);
            idleAfterBurstMs = std::max(idleAfterBurstMs, idle);
        }
    }
    std::vector<double> journals;
    for (int i = 0; i < kRuns; ++i)
        journals.push_back(journalMilliseconds(folder));
    const OwnViewFigures own = ownViewFigures(quillora, folder);

    WIN32_FILE_ATTRIBUTE_DATA file{};
    GetFileAttributesExW(quillora.c_str(), GetFileExInfoStandard, &file);
    const double exeKilobytes = file.nFileSizeLow / 1024.0;

    printRatioRow("start-up", startup * 1000, startupBaseline * 1000, "%.0f ms", kBaselineWindow, 1.2);
    printRatioRow("complete automatic run", run * 1000, runBaseline * 1000, "%.0f ms", "bare loop of 115 launches", 1.1);
    printRatioRow("run on a log box holding 1 MB", median(fullLog) * 1000, median(emptyLog) * 1000, "%.0f ms",
                  "the same run on an empty log", 1.1);
    const double longestAnswer = median(answers) * 1000;
    printRow("longest wait for an answer during that run", format("%.0f ms", longestAnswer), "-", "-", "< 100 ms",
             longestAnswer < 100);
    printRatioRow("peak working set with the main window shown", median(startupMegabytes), median(baselineMegabytes),
                  "%.1f MB", kBaselineWindow, 1.15);
    printRatioRow("peak working set after a complete run", median(megabytes), median(baselineMegabytes), "%.1f MB",
                  kBaselineWindow, 1.15);
    printRatioRow("the runs' view of 1,000 runs", median(manyRunsView) * 1000, median(oneRunView) * 1000, "%.0f ms",
                  "the view of one run", 1.5);
    printRatioRow("quillora-cli history of 1,000 runs", median(manyRunsList) * 1000, median(oneRunList) * 1000, "%.0f ms",
                  "the list of one run", 1.5);
    printRatioRow("peak working set with the runs' view of 1,000 runs open", median(manyRunsMegabytes),
                  median(oneRunMegabytes), "%.1f MB", "the view of one run", 1.15);
    printRow("CPU time while idle for 5 s", format("%.0f ms", idleCpuMs), "-", "-", "0 ms", idleCpuMs == 0);
    printRow("CPU time while idle for 5 s, the runs' view open", format("%.0f ms", idleWithRunsViewMs), "-", "-", "0 ms",
             idleWithRunsViewMs == 0);
    const double burstAnswer = median(burstAnswers) * 1000;
    printRow("longest wait for an answer, the runs' view of 1,000 runs open, 200 registry writes under Services",
             format("%.0f ms", burstAnswer), "-", "-", "< 100 ms", burstAnswer < 100);
    printRow("CPU time while idle for 5 s after that burst, the view open", format("%.0f ms", idleAfterBurstMs), "-", "-",
             "0 ms", idleAfterBurstMs == 0);
    std::printf("| a run's journal: its intent and 59 notes | %.1f ms | - | - | a figure | - |\n", median(journals));
    printRatioRow("the view of your own settings opens", median(own.ownView) * 1000, median(own.profileView) * 1000,
                  "%.0f ms", "the automatic profile's view", 1.2);
    const double everyRow = median(own.everyRowChosen) * 1000;
    printRow("a mode chosen for every row at once (60 on Windows XP), the choice column drawn again",
             format("%.0f ms", everyRow), "-", "-", "< 100 ms", everyRow < 100);
    printRow("size of Quillora.exe", format("%.0f KB", exeKilobytes), "-", "-", "< 1 MB", exeKilobytes < 1024);
    return 0;
}
