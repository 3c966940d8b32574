#include "platform/windows_machine.h"

#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>
#include <cwchar>
#include <utility>

#include "engine/text/utf8.h"
#include "platform/message_pump.h"
#include "platform/process_launch.h"
#include "platform/service_control.h"
#include "platform/system_error.h"

namespace quillora::platform {

namespace {

// One mutex for the whole machine, in the global namespace so that the programs of every session
// share it (Windows XP's Fast User Switching and Remote Desktop included).
constexpr wchar_t kRunsMutex[] = L"Global\\Quillora.ServiceRuns";

// The longest a claim waits for the commands of a program that ended without giving it back.
constexpr DWORD kLongestWaitForEarlierCommands = 10000;

// Who holds the claim, written beside the backups while it is held: the holder's process id and
// when it was created. A holder that ends without giving the claim back (killed) leaves it, so
// that the next claimant can find the commands it launched, which may still change services.
struct Holder {
    DWORD processId = 0;
    unsigned long long created = 0;  // FILETIME, as one number
};

unsigned long long creationTime(HANDLE process)
{
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

std::optional<Holder> readHolder(Files& files, const std::string& path)
{
    try {
        if (!files.exists(path))
            return std::nullopt;
        Holder holder;
        unsigned long processId = 0;
        if (std::sscanf(files.read(path).c_str(), "%lu %llu", &processId, &holder.created) != 2)
            return std::nullopt;
        holder.processId = processId;
        return holder;
    } catch (const PlatformFailure&) {
        return std::nullopt;
    }
}

// The processes the holder started that still run: the commands it launched (cmd.exe, which waits
// for the NET or sc it runs). A process id used again since is told apart by its creation time.
std::vector<KernelHandle> commandsOf(const Holder& holder)
{
    std::vector<KernelHandle> running;
    // Where the holder's id now names a newer process, the children started after that one are
    // its own, not the holder's.
    unsigned long long reusedAt = ~0ULL;
    if (const KernelHandle same{OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, holder.processId)}) {
        const unsigned long long created = creationTime(same.get());
        if (created != holder.created)
            reusedAt = created;
    }
    const KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE)
        return running;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ParentProcessID != holder.processId || entry.th32ProcessID == GetCurrentProcessId())
            continue;
        KernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, entry.th32ProcessID));
        const unsigned long long created = process ? creationTime(process.get()) : 0;
        if (process && created >= holder.created && created < reusedAt)
            running.push_back(std::move(process));
    }
    return running;
}

// Waits until every process has ended, for at most longest; with answering, the window thread's
// messages are handled meanwhile, so that its windows never stop answering.
bool allEnded(std::vector<HANDLE> processes, DWORD longest, bool answering)
{
    const DWORD until = GetTickCount() + longest;
    while (!processes.empty()) {
        const DWORD left = static_cast<DWORD>(std::max<long>(0, static_cast<long>(until - GetTickCount())));
        const DWORD count = static_cast<DWORD>(std::min<std::size_t>(processes.size(), MAXIMUM_WAIT_OBJECTS - 1));
        const DWORD woken = answering ? MsgWaitForMultipleObjects(count, processes.data(), FALSE, left, QS_ALLINPUT)
                                      : WaitForMultipleObjects(count, processes.data(), FALSE, left);
        if (woken == WAIT_OBJECT_0 + count && answering)
            processPendingMessages();
        else if (woken < WAIT_OBJECT_0 + count)
            processes.erase(processes.begin() + static_cast<std::ptrdiff_t>(woken - WAIT_OBJECT_0));
        else
            return false;
    }
    return true;
}

// Whether the commands of a holder that never gave the claim back have all ended, waiting for them
// a while; waiting, where given, is told first and the windows answer meanwhile.
bool earlierCommandsEnded(const Holder& holder, const std::function<void()>* waiting)
{
    const std::vector<KernelHandle> running = commandsOf(holder);
    std::vector<HANDLE> handles;
    for (const KernelHandle& process : running)
        handles.push_back(process.get());
    if (handles.empty())
        return true;
    if (waiting && *waiting)
        (*waiting)();
    return allEnded(std::move(handles), kLongestWaitForEarlierCommands, waiting != nullptr);
}

// Owning the mutex is holding the claim. A mutex is owned by a thread and counts its owner's
// waits, so a run nested in another of the same program claims it again and gives back only its
// own claim; only the outermost claim names its holder, and takes the name away again.
class MutexClaim : public RunClaim {
public:
    MutexClaim(KernelHandle mutex, std::string holderPath) : mutex_(std::move(mutex)), holderPath_(std::move(holderPath)) {}
    ~MutexClaim() override
    {
        if (!holderPath_.empty())
            DeleteFileW(fromUtf8(holderPath_).c_str());
        ReleaseMutex(mutex_.get());
    }

private:
    KernelHandle mutex_;
    std::string holderPath_;
};

}  // namespace

WindowsMachine::WindowsMachine() = default;
WindowsMachine::~WindowsMachine() = default;

ServiceControl* WindowsMachine::services()
{
    if (!services_)
        services_ = std::make_unique<WindowsServiceControl>();
    return services_.get();
}

namespace {

// The folder as the shell keeps it for the user, from the registry value it reads itself
// ("User Shell Folders", whose values may name environment variables); empty where the value is
// missing or not a whole path, so that the shell is asked instead.
std::wstring userShellFolder(const wchar_t* name)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", 0,
                      KEY_QUERY_VALUE, &opened)
        != ERROR_SUCCESS)
        return L"";
    const RegistryKeyHandle key(opened);
    wchar_t value[MAX_PATH] = {};
    DWORD type = 0;
    DWORD size = sizeof value - sizeof(wchar_t);
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS
        || (type != REG_SZ && type != REG_EXPAND_SZ))
        return L"";
    wchar_t expanded[MAX_PATH] = {};
    const DWORD length = ExpandEnvironmentStringsW(value, expanded, MAX_PATH);
    const bool whole = length > 3 && length <= MAX_PATH && expanded[1] == L':' && expanded[2] == L'\\'
        && !wcschr(expanded, L'%');
    return whole ? expanded : L"";
}

}  // namespace

std::optional<std::string> WindowsMachine::dataFolder()
{
    if (!dataFolder_)
        dataFolder_ = localApplicationData() + "\\Quillora";
    return dataFolder_;
}

// The user's local application data: C:\Documents and Settings\USER\Local Settings\Application
// Data on XP, C:\Users\USER\AppData\Local later. The registry holds it as the shell does; shell32
// brings a dozen libraries with it, so it is loaded only where the registry does not say.
std::string WindowsMachine::localApplicationData()
{
    const std::wstring kept = userShellFolder(L"Local AppData");
    if (!kept.empty())
        return toUtf8(kept);
    return toUtf8(shellFolder(CSIDL_LOCAL_APPDATA));
}

std::wstring WindowsMachine::shellFolder(int id)
{
    if (!shell_)
        shell_.reset(LoadLibraryW((systemDirectory() + L"\\shell32.dll").c_str()));
    using FolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
    const auto folderPath = reinterpret_cast<FolderPath>(
        reinterpret_cast<void*>(shell_ ? GetProcAddress(shell_.get(), "SHGetFolderPathW") : nullptr));
    if (!folderPath)
        throw systemFailure(GetLastError());
    wchar_t folder[MAX_PATH] = {};
    const HRESULT result = folderPath(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, folder);
    if (FAILED(result))
        throw PlatformFailure(static_cast<unsigned long>(result), systemErrorText(result));
    return folder;
}

// The version the kernel reports, which no compatibility setting or manifest changes: GetVersionEx
// answers what the program's manifest or a compatibility mode lets it see.
std::optional<WindowsVersion> WindowsMachine::windowsVersion()
{
    using GetVersion = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    const auto rtlGetVersion = reinterpret_cast<GetVersion>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!rtlGetVersion || rtlGetVersion(&info) != 0)
        throw systemFailure(ERROR_CALL_NOT_IMPLEMENTED);
    return WindowsVersion{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber,
                          info.wProductType != VER_NT_WORKSTATION};
}

std::string WindowsMachine::timeStamp()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return text;
}

std::unique_ptr<RunClaim> WindowsMachine::claimRuns()
{
    return claim(nullptr);
}

std::unique_ptr<RunClaim> WindowsMachine::claimRunsAnswering(const std::function<void()>& waiting)
{
    return claim(&waiting);
}

std::unique_ptr<RunClaim> WindowsMachine::claim(const std::function<void()>* waiting)
{
    KernelHandle mutex(CreateMutexW(nullptr, FALSE, kRunsMutex));
    if (!mutex) {
        // Made by a program of another user, whose mutex this one may not open: held elsewhere.
        if (GetLastError() == ERROR_ACCESS_DENIED)
            return nullptr;
        throw systemFailure(GetLastError());
    }
    switch (WaitForSingleObject(mutex.get(), 0)) {
    case WAIT_OBJECT_0:
    // The program that held it ended without giving it back: its commands may still run.
    case WAIT_ABANDONED:
        return claimHeld(std::move(mutex), waiting);
    case WAIT_TIMEOUT:
        return nullptr;
    default:
        throw systemFailure(GetLastError());
    }
}

// The mutex is owned: the claim is this program's once every command of an earlier holder that
// never gave it back has ended. Where one still runs after the wait, the claim is refused as held.
std::unique_ptr<RunClaim> WindowsMachine::claimHeld(KernelHandle mutex, const std::function<void()>* waiting)
{
    const std::string path = dataFolder().value_or("") + "\\holder.txt";
    const std::optional<Holder> earlier = readHolder(files_, path);
    const unsigned long long created = creationTime(GetCurrentProcess());
    if (earlier && earlier->processId == GetCurrentProcessId() && earlier->created == created)
        return std::make_unique<MutexClaim>(std::move(mutex), "");  // nested in this program's own claim
    if (earlier && !earlierCommandsEnded(*earlier, waiting)) {
        ReleaseMutex(mutex.get());
        return nullptr;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%lu %llu\r\n", GetCurrentProcessId(), created);
    try {
        files_.createFolders(*dataFolder());
        files_.writeAtomically(path, text, true);
    } catch (const PlatformFailure&) {
        // Without the name a killed program is not waited for; the claim itself still holds.
        return std::make_unique<MutexClaim>(std::move(mutex), "");
    }
    return std::make_unique<MutexClaim>(std::move(mutex), path);
}

}  // namespace quillora::platform
