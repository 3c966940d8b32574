// Measures the shipped Quillora.exe from outside under Wine, each figure against a baseline of
// ours measured in the same run, and prints the rows of the benchmark table (medians), each
// marked met or missed against its goal.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "engine/catalogue/catalogue.h"
#include "engine/run/recording.h"
#include "platform/process_launch.h"
#include "tools/driver/driver.h"
#include "ui/identifiers.h"

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
        FILETIME created, exited, kernelBefore, userBefore, kernelAfter, userAfter;
        GetProcessTimes(program.process(), &created, &exited, &kernelBefore, &userBefore);
        Sleep(5000);
        GetProcessTimes(program.process(), &created, &exited, &kernelAfter, &userAfter);
        auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
        idleCpuMs = static_cast<double>(ticks(kernelAfter) - ticks(kernelBefore) + ticks(userAfter) - ticks(userBefore)) / 10000.0;
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
    printRow("CPU time while idle for 5 s", format("%.0f ms", idleCpuMs), "-", "-", "0 ms", idleCpuMs == 0);
    printRow("size of Quillora.exe", format("%.0f KB", exeKilobytes), "-", "-", "< 1 MB", exeKilobytes < 1024);
    return 0;
}
