#include "platform/process_launch.h"

#include <windows.h>

#include <vector>

#include "platform/handles.h"
#include "platform/system_error.h"

namespace quillora::platform {
namespace {

using FolderQuery = UINT(WINAPI*)(LPWSTR, UINT);

std::wstring folder(FolderQuery query)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    UINT length = query(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = query(buffer.data(), static_cast<UINT>(buffer.size()));
    }
    if (length == 0 || length >= buffer.size())
        throw systemFailure(GetLastError());
    return std::wstring(buffer.data(), length);
}

std::wstring firstWord(const std::wstring& commandLine)
{
    return commandLine.substr(0, commandLine.find(L' '));
}

}  // namespace

std::wstring systemDirectory()
{
    return folder(GetSystemDirectoryW);
}

std::wstring applicationPath(const std::wstring& commandLine)
{
    const std::wstring program = firstWord(commandLine);
    if (lstrcmpiW(program.c_str(), L"cmd") == 0)
        return systemDirectory() + L"\\cmd.exe";
    if (lstrcmpiW(program.c_str(), L"explorer") == 0)
        return folder(GetWindowsDirectoryW) + L"\\explorer.exe";
    return {};
}

KernelHandle launchProcess(const std::wstring& commandLine, int showState)
{
    const std::wstring application = applicationPath(commandLine);
    if (application.empty())
        throw systemFailure(ERROR_FILE_NOT_FOUND);
    const std::wstring startFolder = systemDirectory();

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showState);
    PROCESS_INFORMATION process{};
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(L'\0');

    if (!CreateProcessW(application.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        startFolder.c_str(), &startup, &process))
        throw systemFailure(GetLastError());
    KernelHandle threadHandle(process.hThread);
    return KernelHandle(process.hProcess);
}

void removeCurrentDirectoryFromDllSearch()
{
    // SetDllDirectoryW came with XP SP1; look it up so that the program still loads without it.
    using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCWSTR);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setDllDirectory = reinterpret_cast<SetDllDirectoryFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryW")));
    if (setDllDirectory)
        setDllDirectory(L"");
}

}  // namespace quillora::platform
