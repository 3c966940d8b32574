// A stand-in for net.exe, sc.exe, cmd.exe or explorer.exe in the end-to-end tests: it appends its
// own path and its whole command line to the record file and exits, changing nothing. For the keys
// a test lists in QUILLORA_ACT, the stand-in for sc.exe also does what "sc config KEY start= MODE"
// does (delayed-auto as auto with the delayed mark), through the Service Control Manager: slowly
// for the keys in QUILLORA_SLOW (until the file QUILLORA_SLOW_RELEASE exists, or QUILLORA_SLOW_MS
// have passed), refused with access denied for those in QUILLORA_REFUSE; the
// stand-in for net.exe ends with status 2, as NET does for the stopped stand-in services. Keys are separated by ';'.
#include <windows.h>

#include <string>
#include <vector>

#include "engine/text/utf8.h"

namespace {

std::wstring variable(const wchar_t* name)
{
    wchar_t value[1024];
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : L"";
}

std::wstring recordFile()
{
    const std::wstring path = variable(L"QUILLORA_RECORD");
    return path.empty() ? L"C:\\quillora-record.txt" : path;
}

bool record(const std::string& line)
{
    // Many stand-ins run at once: each holds the file alone while it appends, so that no record
    // is lost or torn, and waits its turn.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 2000 && file == INVALID_HANDLE_VALUE; ++tries) {
        file = CreateFileW(recordFile().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_SHARING_VIOLATION)
            return false;
        if (file == INVALID_HANDLE_VALUE)
            Sleep(5);
    }
    if (file == INVALID_HANDLE_VALUE)
        return false;
    SetFilePointer(file, 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return written == line.size();
}

// The words of a command line; a word in double quotation marks may hold blanks.
std::vector<std::wstring> words(const std::wstring& line)
{
    std::vector<std::wstring> found;
    for (std::size_t at = 0; at < line.size();) {
        if (line[at] == L' ') {
            ++at;
        } else if (line[at] == L'"') {
            const std::size_t end = line.find(L'"', at + 1);
            found.push_back(line.substr(at + 1, end == std::wstring::npos ? std::wstring::npos : end - at - 1));
            at = end == std::wstring::npos ? line.size() : end + 1;
        } else {
            const std::size_t end = line.find(L' ', at);
            found.push_back(line.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at));
            at = end == std::wstring::npos ? line.size() : end;
        }
    }
    return found;
}

// A slow service's stand-in takes as long as the test needs it to: until the test makes the release
// file, at most the time given.
void waitForRelease(const std::wstring& release, DWORD milliseconds)
{
    constexpr DWORD kPoll = 20;
    for (DWORD waited = 0; waited < milliseconds; waited += kPoll) {
        if (!release.empty() && GetFileAttributesW(release.c_str()) != INVALID_FILE_ATTRIBUTES)
            return;
        Sleep(kPoll);
    }
}

bool listed(const std::wstring& list, const std::wstring& key)
{
    return (L";" + list + L";").find(L";" + key + L";") != std::wstring::npos;
}

// sc config KEY start= MODE, done: the exit status sc gives, a Windows error number.
DWORD configure(const std::vector<std::wstring>& command)
{
    if (command.size() < 5 || command[1] != L"config" || command[3] != L"start=")
        return ERROR_INVALID_PARAMETER;
    const std::wstring& key = command[2];
    if (listed(variable(L"QUILLORA_SLOW"), key))
        waitForRelease(variable(L"QUILLORA_SLOW_RELEASE"), std::stoul(variable(L"QUILLORA_SLOW_MS")));
    if (listed(variable(L"QUILLORA_REFUSE"), key))
        return ERROR_ACCESS_DENIED;
    const DWORD startType = command[4] == L"disabled" ? SERVICE_DISABLED
        : command[4] == L"demand"                     ? SERVICE_DEMAND_START
                                                      : SERVICE_AUTO_START;
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = manager ? OpenServiceW(manager, key.c_str(), SERVICE_CHANGE_CONFIG) : nullptr;
    const bool changed = service
        && ChangeServiceConfigW(service, SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE, nullptr, nullptr, nullptr,
                                nullptr, nullptr, nullptr, nullptr);
    const DWORD status = changed ? ERROR_SUCCESS : GetLastError();
    // delayed-auto also marks the start delayed; Wine keeps no such mark and refuses the level.
    if (changed && startType == SERVICE_AUTO_START) {
        struct {
            BOOL delayed;  // SERVICE_DELAYED_AUTO_START_INFO, which the XP headers lack
        } info{command[4] == L"delayed-auto"};
        ChangeServiceConfig2W(service, SERVICE_CONFIG_DELAYED_AUTO_START_INFO, &info);
    }
    if (service)
        CloseServiceHandle(service);
    if (manager)
        CloseServiceHandle(manager);
    return status;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t module[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::wstring program(module, length);
    if (!record(quillora::toUtf8(program + L"\t" + GetCommandLineW() + L"\r\n")))
        return 1;
    const std::vector<std::wstring> command = words(GetCommandLineW());
    if (command.size() < 3 || !listed(variable(L"QUILLORA_ACT"), command[2]))
        return 0;
    const std::wstring name = program.substr(program.find_last_of(L'\\') + 1);
    if (lstrcmpiW(name.c_str(), L"sc.exe") == 0)
        return static_cast<int>(configure(command));
    if (lstrcmpiW(name.c_str(), L"net.exe") == 0)
        return 2;  // the stand-in services never run: NET finds them stopped
    return 0;
}
