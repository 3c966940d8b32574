#include "tools/driver/driver.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <functional>
#include <stdexcept>

#include "engine/text/utf8.h"
#include "tools/driver/wine_only.h"
#include "ui/ids/identifiers.h"

namespace quillora::e2e {
namespace {

using ui::kWindowClassName;
// Often enough that a test hardly waits longer than its condition; rarely enough that the program
// under test keeps the processor.
constexpr DWORD kPoll = 50;

std::wstring folderOf(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L"\\/"));
}

}  // namespace

// The build folder: the one with Quillora.exe, this program's own or its parent.
std::wstring buildFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring own = folderOf(path);
    const bool here = GetFileAttributesW((own + L"\\Quillora.exe").c_str()) != INVALID_FILE_ATTRIBUTES;
    return here ? own : folderOf(own);
}

std::wstring builtFile(const wchar_t* relativeToBuildFolder)
{
    return buildFolder() + L"\\" + relativeToBuildFolder;
}

std::wstring newRecordFile()
{
    static int made = 0;
    const std::wstring path = temporaryFolder(L"quillora-records") + L"\\record-" + std::to_wstring(GetCurrentProcessId())
        + L"-" + std::to_wstring(++made) + L".txt";
    DeleteFileW(path.c_str());
    return path;
}

std::wstring temporaryFolder(const wchar_t* name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring lowerCase(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return text;
}

void installStandIns()
{
    wine_only::refuseOutsideWine("put recording stand-ins in place of net.exe, sc.exe and explorer.exe");
    const std::wstring recorder = builtFile(L"quillora-recorder.exe");
    wchar_t system[MAX_PATH], windows[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    GetWindowsDirectoryW(windows, MAX_PATH);
    for (const std::wstring& target : {std::wstring(system) + L"\\net.exe", std::wstring(system) + L"\\sc.exe",
                                       std::wstring(windows) + L"\\explorer.exe"}) {
        // A run launches its commands without waiting for them, so the last test's stand-ins may
        // still be running, their file in use, when the next test begins: wait for them to end.
        const double start = now();
        while (!CopyFileW(recorder.c_str(), target.c_str(), FALSE)) {
            const DWORD error = GetLastError();
            if (error != ERROR_SHARING_VIOLATION || now() - start > 60)
                throw std::runtime_error("cannot install a stand-in as " + toUtf8(target) + ": error "
                                         + std::to_string(error));
            Sleep(kPoll);
        }
    }
}

double now()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

StartedProgram startAndWaitUntilIdle(const std::wstring& program, const std::wstring& currentFolder,
                                     const wchar_t* windowClass, const std::wstring& caption,
                                     const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const double start = now();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentFolder.c_str(), &startup, &info))
        throw std::runtime_error("cannot start the program");
    StartedProgram started;
    started.process.reset(info.hProcess);
    CloseHandle(info.hThread);
    WaitForInputIdle(info.hProcess, 60000);
    started.window = waitForWindow(info.hProcess, caption, 60000, windowClass);
    while (!IsWindowVisible(started.window))
        Sleep(1);
    started.seconds = now() - start;
    return started;
}

QuilloraProcess::QuilloraProcess(const std::wstring& program, const std::wstring& currentFolder,
                                 const std::wstring& arguments)
    : recordFile_(newRecordFile())
{
    // The stand-ins and the planted programs find the record file through the environment.
    SetEnvironmentVariableW(L"QUILLORA_RECORD", recordFile_.c_str());
    started_ = startAndWaitUntilIdle(program, currentFolder, kWindowClassName, ui::kMainCaption, arguments);
}

QuilloraProcess::~QuilloraProcess()
{
    if (!waitForExit(0)) {
        PostMessageW(mainWindow(), WM_CLOSE, 0, 0);
        if (!waitForExit(10000))
            TerminateProcess(process(), 1);
    }
}

bool QuilloraProcess::waitForExit(DWORD milliseconds) const
{
    return WaitForSingleObject(process(), milliseconds) == WAIT_OBJECT_0;
}

DWORD QuilloraProcess::exitCode() const
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process(), &code);
    return code;
}

namespace {

bool belongsTo(HWND window, HANDLE process)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner == GetProcessId(process);
}

// The first top-level window of the process with this class and caption that passes the test.
HWND findWindow(HANDLE process, const wchar_t* windowClass, const std::wstring& caption, bool (*accept)(HWND, const void*),
                const void* context)
{
    for (HWND window = FindWindowExW(nullptr, nullptr, windowClass, caption.c_str()); window;
         window = FindWindowExW(nullptr, window, windowClass, caption.c_str())) {
        if (belongsTo(window, process) && accept(window, context))
            return window;
    }
    return nullptr;
}

HWND poll(DWORD milliseconds, DWORD interval, const char* what, const std::function<HWND()>& find)
{
    for (DWORD waited = 0; waited <= milliseconds; waited += interval) {
        if (const HWND window = find())
            return window;
        Sleep(interval);
    }
    throw std::runtime_error(what);
}

}  // namespace

HWND waitForWindow(HANDLE process, const std::wstring& caption, DWORD milliseconds, const wchar_t* windowClass)
{
    const auto any = [](HWND, const void*) { return true; };
    return poll(milliseconds, kPoll, "window did not appear",
                [&] { return findWindow(process, windowClass ? windowClass : kWindowClassName, caption, any, nullptr); });
}

HWND waitForQuestion(HANDLE process, const std::wstring& question, DWORD milliseconds)
{
    const auto showsQuestion = [](HWND window, const void* text) {
        const HWND label = GetDlgItem(window, ui::QuestionControls::QuestionLabel);
        return label && IsWindowVisible(window) && textOf(label) == *static_cast<const std::wstring*>(text);
    };
    return poll(milliseconds, kPoll, "question did not appear",
                [&] { return findWindow(process, kWindowClassName, ui::kQuestionCaption, showsQuestion, &question); });
}

HWND waitForControl(HWND window, int id, DWORD milliseconds)
{
    return poll(milliseconds, kPoll, "control did not appear", [&] { return GetDlgItem(window, id); });
}

HWND openServicesWindow(const QuilloraProcess& program)
{
    PostMessageW(program.mainWindow(), WM_SYSCOMMAND, ui::kViewServicesCommand, 0);
    return waitForWindow(program.process(), ui::kServicesCaption);
}

void chooseServicesView(HWND servicesWindow, int view)
{
    const HWND choice = waitForControl(servicesWindow, ui::ServicesControls::ViewChoice);
    SendMessageW(choice, CB_SETCURSEL, view, 0);
    SendMessageW(servicesWindow, WM_COMMAND, MAKEWPARAM(ui::ServicesControls::ViewChoice, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(choice));
}

std::wstring textOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 30000, &length))
        throw std::runtime_error("window does not answer");
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, 30000,
                        &copied);
    text.resize(copied);
    return text;
}

void postClick(HWND button)
{
    PostMessageW(button, BM_CLICK, 0, 0);
}

void postMouseClick(HWND control)
{
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

std::vector<Record> readRecords(const std::wstring& recordFile)
{
    std::vector<Record> records;
    // A stand-in holds the file alone while it appends: wait for it.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 2000; ++tries) {
        file = CreateFileW(recordFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION)
            break;
        Sleep(5);
    }
    if (file == INVALID_HANDLE_VALUE)
        return records;
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    const std::wstring text = fromUtf8(bytes);
    std::size_t start = 0;
    for (auto end = text.find(L"\r\n"); end != std::wstring::npos; end = text.find(L"\r\n", start)) {
        const std::wstring line = text.substr(start, end - start);
        const auto tab = line.find(L'\t');
        records.push_back({line.substr(0, tab), tab == std::wstring::npos ? L"" : line.substr(tab + 1)});
        start = end + 2;
    }
    return records;
}

namespace {

// The names of the processes started by the process with this id, or by one of those, still
// running. Windows keeps a process's parent id after the parent has ended, so this holds after the
// program has exited too.
std::vector<std::wstring> descendantsRunning(DWORD processId)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot list the processes");
    struct Process {
        DWORD id;
        DWORD parent;
        std::wstring name;
    };
    std::vector<Process> processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        processes.push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
    CloseHandle(snapshot);
    std::vector<DWORD> family{processId};
    std::vector<std::wstring> names;
    for (std::size_t i = 0; i < family.size(); ++i) {
        for (const Process& process : processes) {
            if (process.parent == family[i] && std::find(family.begin(), family.end(), process.id) == family.end()) {
                family.push_back(process.id);
                names.push_back(process.name);
            }
        }
    }
    return names;
}

}  // namespace

std::vector<Record> waitForRecords(const std::wstring& recordFile, HANDLE launcher, std::size_t count,
                                   DWORD milliseconds)
{
    const DWORD launcherId = GetProcessId(launcher);
    for (DWORD waited = 0; waited <= milliseconds; waited += kPoll) {
        if (readRecords(recordFile).size() >= count && descendantsRunning(launcherId).empty())
            return readRecords(recordFile);
        Sleep(kPoll);
    }
    // The caller judges the records; what was still waited for is said, so that a slow run can be
    // traced to the process that held it.
    std::string lingering;
    for (const std::wstring& name : descendantsRunning(launcherId))
        lingering.append(" ").append(toUtf8(name));
    std::fprintf(stderr, "waitForRecords: gave up after %lu ms with %lu of %lu records; still running:%s\n",
                 static_cast<unsigned long>(milliseconds), static_cast<unsigned long>(readRecords(recordFile).size()),
                 static_cast<unsigned long>(count), lingering.empty() ? " nothing" : lingering.c_str());
    return readRecords(recordFile);
}

}  // namespace quillora::e2e
