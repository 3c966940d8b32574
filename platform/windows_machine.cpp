#include "platform/windows_machine.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cwchar>
#include <utility>

#include "engine/text/utf8.h"
#include "platform/process_launch.h"
#include "platform/service_control.h"
#include "platform/system_error.h"

namespace quillora::platform {

namespace {

// One mutex for the whole machine, in the global namespace so that the programs of every session
// share it (Windows XP's Fast User Switching and Remote Desktop included).
constexpr wchar_t kRunsMutex[] = L"Global\\Quillora.ServiceRuns";

// Owning the mutex is holding the claim. A mutex is owned by a thread and counts its owner's
// waits, so a run nested in another of the same program claims it again and gives back only its
// own claim.
class MutexClaim : public RunClaim {
public:
    explicit MutexClaim(KernelHandle mutex) : mutex_(std::move(mutex)) {}
    ~MutexClaim() override { ReleaseMutex(mutex_.get()); }

private:
    KernelHandle mutex_;
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
    KernelHandle mutex(CreateMutexW(nullptr, FALSE, kRunsMutex));
    if (!mutex) {
        // Made by a program of another user, whose mutex this one may not open: held elsewhere.
        if (GetLastError() == ERROR_ACCESS_DENIED)
            return nullptr;
        throw systemFailure(GetLastError());
    }
    switch (WaitForSingleObject(mutex.get(), 0)) {
    case WAIT_OBJECT_0:
    // The program that held it ended without giving it back; its run is over.
    case WAIT_ABANDONED:
        return std::make_unique<MutexClaim>(std::move(mutex));
    case WAIT_TIMEOUT:
        return nullptr;
    default:
        throw systemFailure(GetLastError());
    }
}

}  // namespace quillora::platform
