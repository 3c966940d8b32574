#include "platform/windows_machine.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>

#include "engine/utf8.h"
#include "platform/process_launch.h"
#include "platform/service_control.h"
#include "platform/system_error.h"

namespace quillora::platform {

WindowsMachine::WindowsMachine() = default;
WindowsMachine::~WindowsMachine() = default;

ServiceControl* WindowsMachine::services()
{
    if (!services_)
        services_ = std::make_unique<WindowsServiceControl>();
    return services_.get();
}

std::optional<std::string> WindowsMachine::dataFolder()
{
    // shell32 brings a dozen libraries with it: it is loaded when the first backup is made, not
    // at every start of the program.
    if (!shell_)
        shell_.reset(LoadLibraryW((systemDirectory() + L"\\shell32.dll").c_str()));
    using FolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
    const auto folderPath = reinterpret_cast<FolderPath>(
        reinterpret_cast<void*>(shell_ ? GetProcAddress(shell_.get(), "SHGetFolderPathW") : nullptr));
    if (!folderPath)
        throw systemFailure(GetLastError());
    // The user's local application data: C:\Documents and Settings\USER\Local Settings\Application
    // Data on XP, C:\Users\USER\AppData\Local later.
    wchar_t folder[MAX_PATH] = {};
    const HRESULT result = folderPath(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    if (FAILED(result))
        throw PlatformFailure(static_cast<unsigned long>(result), systemErrorText(result));
    return toUtf8(folder) + "\\Quillora";
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

}  // namespace quillora::platform
