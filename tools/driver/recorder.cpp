// A stand-in for net.exe, sc.exe, cmd.exe or explorer.exe in the end-to-end tests: it appends its
// own path and its whole command line to the record file and exits, changing nothing.
#include <windows.h>

#include <string>

#include "engine/utf8.h"

namespace {

std::wstring recordFile()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"QUILLORA_RECORD", path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : L"C:\\quillora-record.txt";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t module[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::string line = quillora::toUtf8(std::wstring(module, length) + L"\t" + GetCommandLineW() + L"\r\n");
    // Many stand-ins run at once: each holds the file alone while it appends, so that no record
    // is lost or torn, and waits its turn.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 2000 && file == INVALID_HANDLE_VALUE; ++tries) {
        file = CreateFileW(recordFile().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_SHARING_VIOLATION)
            return 1;
        if (file == INVALID_HANDLE_VALUE)
            Sleep(5);
    }
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    SetFilePointer(file, 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return written == line.size() ? 0 : 1;
}
