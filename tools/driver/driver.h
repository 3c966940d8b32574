#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/handles.h"

namespace quillora::e2e {

// One invocation written down by a stand-in program: which program ran and with what command line.
struct Record {
    std::wstring program;
    std::wstring commandLine;
};

std::wstring builtFile(const wchar_t* relativeToBuildFolder);
// A record file of its own for each caller, so that commands still running from an earlier run
// cannot write into a later run's record.
std::wstring newRecordFile();
std::wstring temporaryFolder(const wchar_t* name);
std::wstring lowerCase(std::wstring text);

// Puts the recording stand-in in place of the system's net.exe, sc.exe and explorer.exe.
void installStandIns();

// A program started from outside that has shown its window and is waiting for input.
struct StartedProgram {
    platform::KernelHandle process;
    HWND window = nullptr;
    double seconds = 0;  // from process creation to the window shown and idle
};
StartedProgram startAndWaitUntilIdle(const std::wstring& program, const std::wstring& currentFolder,
                                     const wchar_t* windowClass, const std::wstring& caption,
                                     const std::wstring& arguments = L"");

// Quillora.exe started from outside, as a user would start it. Wine must be told to load the
// stand-ins rather than its own net.exe, sc.exe and explorer.exe: the test runs with
// WINEDLLOVERRIDES naming them native, which the processes it starts inherit.
class QuilloraProcess {
public:
    QuilloraProcess(const std::wstring& program, const std::wstring& currentFolder, const std::wstring& arguments = L"");
    ~QuilloraProcess();

    HWND mainWindow() const { return started_.window; }
    // Where the stand-ins started by this process write what they were asked to do.
    const std::wstring& recordFile() const { return recordFile_; }
    HANDLE process() const { return started_.process.get(); }
    double startupSeconds() const { return started_.seconds; }
    // Waits for the process to end; true if it did within the time.
    bool waitForExit(DWORD milliseconds) const;
    DWORD exitCode() const;

private:
    std::wstring recordFile_;
    StartedProgram started_;
};

// Seconds on a monotonic clock.
double now();

// A top-level window of the process with Quillora's class (or another) and this caption, waited
// for. Windows of a process that has just ended can linger for a moment, so the process counts.
HWND waitForWindow(HANDLE process, const std::wstring& caption, DWORD milliseconds = 60000,
                   const wchar_t* windowClass = nullptr);
// The visible question window of the process showing this question.
HWND waitForQuestion(HANDLE process, const std::wstring& question, DWORD milliseconds = 20000);

// A control of a window found from outside: the window may be found before its controls exist.
HWND waitForControl(HWND window, int id, DWORD milliseconds = 20000);

// The services window of a running Quillora, opened from its main window's system menu.
HWND openServicesWindow(const QuilloraProcess& program);
// A view of the services window chosen as its drop-down chooses it: the entry, then the window
// told; returns once the window has shown it.
void chooseServicesView(HWND servicesWindow, int view);

// The text of a window of another process.
std::wstring textOf(HWND window);
// A click that does not wait for the handler (which may run a whole profile).
void postClick(HWND button);
void postMouseClick(HWND control);

std::vector<Record> readRecords(const std::wstring& recordFile);
// Waits until the record file holds at least count records and every process that the launcher
// started (and their own) has ended, so that no record can still come.
std::vector<Record> waitForRecords(const std::wstring& recordFile, HANDLE launcher, std::size_t count,
                                   DWORD milliseconds = 120000);

}  // namespace quillora::e2e
