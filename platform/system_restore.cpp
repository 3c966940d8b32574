#include "platform/system_restore.h"

#include <windows.h>
#include <objbase.h>
#include <srrestoreptapi.h>

#include <algorithm>
#include <cwchar>
#include <functional>
#include <optional>

#include "engine/text/utf8.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/message_pump.h"
#include "platform/process_launch.h"

namespace quillora::platform {
namespace {

constexpr wchar_t kBegin[] = L"/restore-point:begin ";
constexpr wchar_t kEnd[] = L"/restore-point:end ";

using SetRestorePoint = BOOL(WINAPI*)(PRESTOREPOINTINFOW, PSTATEMGRSTATUS);
using InitializeCom = HRESULT(WINAPI*)(LPVOID, DWORD);
using InitializeSecurity = HRESULT(WINAPI*)(PSECURITY_DESCRIPTOR, LONG, void*, void*, DWORD, DWORD, void*, DWORD, void*);

template <typename Function>
Function functionOf(HMODULE library, const char* name)
{
    return library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

// System Restore calls back into the process as NetworkService, LocalService and System: COM's
// security must let it. ole32 is never freed: COM stays initialised for the rest of the process.
void allowSystemRestoreCallbacks()
{
    const HMODULE ole = LoadLibraryW((systemDirectory() + L"\\ole32.dll").c_str());
    const auto initialize = functionOf<InitializeCom>(ole, "CoInitializeEx");
    const auto security = functionOf<InitializeSecurity>(ole, "CoInitializeSecurity");
    if (!initialize || !security)
        return;
    initialize(nullptr, COINIT_MULTITHREADED);
    security(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IDENTIFY, nullptr, EOAC_NONE, nullptr);
}

RestorePointAnswer setRestorePoint(DWORD event, std::int64_t sequence, const std::wstring& description)
{
    const LibraryHandle client(LoadLibraryW((systemDirectory() + L"\\srclient.dll").c_str()));
    const auto set = functionOf<SetRestorePoint>(client.get(), "SRSetRestorePointW");
    if (!set)
        return {RestorePointAnswer::Kind::Off};
    allowSystemRestoreCallbacks();
    RESTOREPOINTINFOW point{};
    point.dwEventType = event;
    point.dwRestorePtType = event == BEGIN_SYSTEM_CHANGE ? MODIFY_SETTINGS : 0;
    point.llSequenceNumber = sequence;
    wcsncpy(point.szDescription, description.c_str(), MAX_DESC_W - 1);
    STATEMGRSTATUS status{};
    if (set(&point, &status))
        return {RestorePointAnswer::Kind::Made, status.llSequenceNumber};
    if (status.nStatus == ERROR_SERVICE_DISABLED)
        return {RestorePointAnswer::Kind::Off};
    return {RestorePointAnswer::Kind::Refused, 0, status.nStatus};
}

std::wstring ownProgram()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

KernelHandle startHelper(const std::wstring& arguments)
{
    const std::wstring program = ownProgram();
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
        return KernelHandle();
    CloseHandle(started.hThread);
    return KernelHandle(started.hProcess);
}

// Longer than this, and the wait is shown: where System Restore is off, Windows answers at once.
constexpr DWORD kShownAfterMilliseconds = 100;

// Waits for the process, handling the windows' messages meanwhile; waiting is called once the
// process has taken longer than a moment.
void waitAnswering(HANDLE process, const std::function<void()>& waiting)
{
    const DWORD shownAt = GetTickCount() + kShownAfterMilliseconds;
    bool shown = !waiting;
    for (;;) {
        const DWORD left = shown ? INFINITE : static_cast<DWORD>(std::max<long>(0, static_cast<long>(shownAt - GetTickCount())));
        const DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, left, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0 + 1) {
            processPendingMessages();
        } else if (woken == WAIT_TIMEOUT && !shown) {
            shown = true;
            waiting();
        } else {
            return;
        }
    }
}

std::wstring answerFile(unsigned request)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return folder
        + (L"quillora-restore-point-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(request) + L".txt");
}

}  // namespace

RestorePointAnswer InProcessRestorePoints::begin(const std::wstring& description, const std::function<void()>&)
{
    return setRestorePoint(BEGIN_SYSTEM_CHANGE, 0, description);
}

void InProcessRestorePoints::end(std::int64_t sequence)
{
    setRestorePoint(END_SYSTEM_CHANGE, sequence, L"");
}

RestorePointAnswer HelperRestorePoints::begin(const std::wstring& description, const std::function<void()>& waiting)
{
    const std::wstring file = answerFile(++requests_);
    DeleteFileW(file.c_str());
    const KernelHandle helper = startHelper(kBegin + (L"\"" + file + L"\" ") + description);
    if (!helper)
        return {RestorePointAnswer::Kind::Refused, 0, GetLastError()};
    waitAnswering(helper.get(), waiting);
    std::optional<RestorePointAnswer> answer;
    try {
        answer = parseRestorePoint(WindowsFiles().read(toUtf8(file)));
    } catch (const PlatformFailure&) {
        // No answer written: the helper could not ask.
    }
    DeleteFileW(file.c_str());
    DWORD status = 0;
    GetExitCodeProcess(helper.get(), &status);
    return answer.value_or(RestorePointAnswer{RestorePointAnswer::Kind::Refused, 0, status});
}

void HelperRestorePoints::end(std::int64_t sequence)
{
    // Nothing waits for the answer: the restore point is Windows' from here.
    startHelper(kEnd + std::to_wstring(sequence));
}

bool isRestorePointRequest(const wchar_t* commandLine)
{
    return std::wcsstr(commandLine, L"/restore-point:") != nullptr;
}

int carryOutRestorePointRequest(const wchar_t* commandLine)
{
    const wchar_t* begin = std::wcsstr(commandLine, kBegin);
    if (begin) {
        const wchar_t* file = std::wcschr(begin + std::wcslen(kBegin), L'"');
        const wchar_t* fileEnd = file ? std::wcschr(file + 1, L'"') : nullptr;
        if (!fileEnd || !fileEnd[1])
            return ERROR_INVALID_PARAMETER;
        const RestorePointAnswer answer = InProcessRestorePoints().begin(fileEnd + 2);
        try {
            WindowsFiles().writeAtomically(toUtf8(std::wstring(file + 1, fileEnd)), restorePointText(answer), true);
        } catch (const PlatformFailure& failure) {
            return static_cast<int>(failure.number());
        }
        return 0;
    }
    const wchar_t* end = std::wcsstr(commandLine, kEnd);
    if (!end)
        return ERROR_INVALID_PARAMETER;
    InProcessRestorePoints().end(std::wcstoll(end + std::wcslen(kEnd), nullptr, 10));
    return 0;
}

}  // namespace quillora::platform
