// Measures the shipped Quillora.exe from outside under Wine, each figure against a baseline of
// ours measured in the same run, and prints the rows of the benchmark table (medians).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "engine/catalogue.h"
#include "engine/recording.h"
#include "platform/process_launch.h"
#include "tools/driver/driver.h"
#include "ui/identifiers.h"

using namespace quillora;
using namespace quillora::e2e;

namespace {

constexpr int kRuns = 5;

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

std::vector<std::wstring> automaticCommandLines()
{
    std::vector<std::wstring> lines;
    for (const auto& launch : recordRun(Profile::Automatic, Answers{}).platform.launches)
        lines.push_back(launch.commandLine);
    return lines;
}

void printRow(const char* measure, const std::string& value, const std::string& baseline, const std::string& ratio,
              const char* goal)
{
    std::printf("| %s | %s | %s | %s | %s |\n", measure, value.c_str(), baseline.c_str(), ratio.c_str(), goal);
}

std::string format(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// Waits for the stand-ins of the last run to finish, so that they do not load the next one.
void settleLaunches(const std::wstring& recordFile, std::size_t count)
{
    waitForRecords(recordFile, count, 120000);
    DeleteFileW(recordFile.c_str());
}

}  // namespace

int wmain()
{
    installStandIns();
    const std::wstring quillora = builtFile(L"Quillora.exe");
    const std::wstring baselineProgram = builtFile(L"quillora-bench-baseline.exe");
    const std::wstring folder = temporaryFolder(L"quillora-bench");
    const std::vector<std::wstring> commandLines = automaticCommandLines();

    const double startup = medianOf([&] {
        QuilloraProcess program(quillora, folder);
        return program.startupSeconds();
    });
    PROCESS_MEMORY_COUNTERS baselineMemory{};
    const double startupBaseline = medianOf([&] {
        StartedProgram baseline = startAndWaitUntilIdle(baselineProgram, folder, L"QuilloraBenchBaseline", L"baseline");
        baselineMemory.cb = sizeof baselineMemory;
        GetProcessMemoryInfo(baseline.process.get(), &baselineMemory, sizeof baselineMemory);
        closeAndWait(baseline.process.get(), baseline.window);
        return baseline.seconds;
    });

    PROCESS_MEMORY_COUNTERS memory{};
    double idleCpuMs = 0;
    const double run = medianOf([&] {
        QuilloraProcess program(quillora, folder);
        const double start = now();
        postClick(GetDlgItem(program.mainWindow(), ui::MainControls::AutomaticButton));
        waitForWindow(program.process(), kCompletedCaption, 180000);
        const double seconds = now() - start;
        settleLaunches(program.recordFile(), commandLines.size());

        memory.cb = sizeof memory;
        GetProcessMemoryInfo(program.process(), &memory, sizeof memory);
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
        settleLaunches(recordFile, commandLines.size());
        return seconds;
    });

    WIN32_FILE_ATTRIBUTE_DATA file{};
    GetFileAttributesExW(quillora.c_str(), GetFileExInfoStandard, &file);

    printRow("start-up to main window shown and idle", format("%.0f ms", startup * 1000),
             format("%.0f ms (one empty window)", startupBaseline * 1000), format("%.2f", startup / startupBaseline), "<= 1.2");
    printRow("complete automatic run, click to completed caption", format("%.0f ms", run * 1000),
             format("%.0f ms (bare loop of 115 launches)", runBaseline * 1000), format("%.2f", run / runBaseline), "<= 1.1");
    const double megabytes = memory.PeakWorkingSetSize / 1048576.0;
    const double baselineMegabytes = baselineMemory.PeakWorkingSetSize / 1048576.0;
    printRow("peak working set after a complete run", format("%.1f MB", megabytes),
             format("%.1f MB (one empty window)", baselineMegabytes), format("%.2f", megabytes / baselineMegabytes),
             "< 8 MB");
    printRow("CPU time while idle for 5 s", format("%.0f ms", idleCpuMs), "-", "-", "0 ms");
    printRow("size of Quillora.exe", format("%.0f KB", file.nFileSizeLow / 1024.0), "-", "-", "< 1 MB");
    return 0;
}
