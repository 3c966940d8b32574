#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "handles.h"

namespace quillora::e2e {

// One invocation written down by a stand-in program: which program ran and with what command line.
struct Record {
    std::wstring program;
    std::wstring commandLine;
};

std::wstring builtFile(const wchar_t* relativeToBuildFolder);
std::wstring temporaryFolder(const wchar_t* name);
std::wstring lowerCase(std::wstring text);

// Puts the recording stand-in in place of the system's net.exe, sc.exe and explorer.exe.
void installStandIns();

// Quillora.exe started from outside, as a user would start it. Wine must be told to load the
// stand-ins rather than its own net.exe, sc.exe and explorer.exe: the test runs with
// WINEDLLOVERRIDES naming them native, which the processes it starts inherit.
class QuilloraProcess {
public:
    QuilloraProcess(const std::wstring& program, const std::wstring& currentFolder, const std::wstring& recordFile);
    ~QuilloraProcess();

    HWND mainWindow() const { return mainWindow_; }
    // Waits for the process to end; true if it did within the time.
    bool waitForExit(DWORD milliseconds) const;
    DWORD exitCode() const;

private:
    platform::KernelHandle process_;
    HWND mainWindow_ = nullptr;
};

// A top-level window of the program's class with this caption, waited for.
HWND waitForWindow(const std::wstring& caption, DWORD milliseconds = 60000);
// The visible question window showing this question.
HWND waitForQuestion(const std::wstring& question, DWORD milliseconds = 20000);

// The text of a window of another process.
std::wstring textOf(HWND window);
// A click that does not wait for the handler (which may run a whole profile).
void postClick(HWND button);
void postMouseClick(HWND control);

std::vector<Record> readRecords(const std::wstring& recordFile);
// Waits until the record file holds at least count records, then a moment longer for stragglers.
std::vector<Record> waitForRecords(const std::wstring& recordFile, std::size_t count, DWORD milliseconds = 120000);

}  // namespace quillora::e2e
