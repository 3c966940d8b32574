#include "windows_services.h"

#include <vector>

#include "catalogue.h"
#include "plan_command.h"
#include "service_cli.h"
#include "system_error.h"
#include "utf8.h"

namespace quillora {
namespace {

// Delayed automatic start came with Windows Vista; XP answers ERROR_INVALID_LEVEL.
constexpr DWORD kDelayedAutoStartInfo = 3;
struct DelayedAutoStartInfo {
    BOOL delayed;
};

StartMode modeOf(DWORD startType)
{
    switch (startType) {
    case SERVICE_BOOT_START:
        return StartMode::Boot;
    case SERVICE_SYSTEM_START:
        return StartMode::System;
    case SERVICE_AUTO_START:
        return StartMode::Automatic;
    case SERVICE_DISABLED:
        return StartMode::Disabled;
    default:
        return StartMode::Manual;
    }
}

DWORD startTypeOf(StartMode mode)
{
    switch (mode) {
    case StartMode::Boot:
        return SERVICE_BOOT_START;
    case StartMode::System:
        return SERVICE_SYSTEM_START;
    case StartMode::Automatic:
        return SERVICE_AUTO_START;
    case StartMode::Disabled:
        return SERVICE_DISABLED;
    case StartMode::Manual:
        break;
    }
    return SERVICE_DEMAND_START;
}

const char* stateName(DWORD state)
{
    switch (state) {
    case SERVICE_STOPPED:
        return "stopped";
    case SERVICE_START_PENDING:
        return "starting";
    case SERVICE_STOP_PENDING:
        return "stopping";
    case SERVICE_RUNNING:
        return "running";
    case SERVICE_CONTINUE_PENDING:
        return "continuing";
    case SERVICE_PAUSE_PENDING:
        return "pausing";
    case SERVICE_PAUSED:
        return "paused";
    default:
        return "unknown";
    }
}

DWORD startTypeOfService(SC_HANDLE service)
{
    DWORD needed = 0;
    QueryServiceConfigW(service, nullptr, 0, &needed);
    std::vector<unsigned char> buffer(needed ? needed : sizeof(QUERY_SERVICE_CONFIGW));
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (!QueryServiceConfigW(service, config, static_cast<DWORD>(buffer.size()), &needed))
        throw platform::systemFailure(GetLastError());
    return config->dwStartType;
}

bool isDelayed(SC_HANDLE service)
{
    DelayedAutoStartInfo info{};
    DWORD needed = 0;
    return QueryServiceConfig2W(service, kDelayedAutoStartInfo, reinterpret_cast<BYTE*>(&info), sizeof info, &needed)
        && info.delayed;
}

CliResult failed(const std::string& problem, int status = 1)
{
    return {status, "", "quillora-cli: " + problem + "\n"};
}

CliResult profileCommand(const std::vector<std::string>& args, bool verify)
{
    const PlanRequest request = parsePlanArguments(std::vector<std::string>(args.begin() + 1, args.end()), false);
    applyAnswers(request);
    WindowsServiceControl services;
    const std::vector<ServiceStep> steps = profileSteps(request.profile);
    return verify ? verifyCommand(services, steps) : statusCommand(services, steps);
}

CliResult backupCommand(const std::vector<std::string>& args)
{
    std::string file;
    bool force = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--force")
            force = true;
        else if (args[i].rfind("-", 0) == 0)
            throw UsageError("unknown option '" + args[i] + "'");
        else if (file.empty())
            file = args[i];
        else
            throw UsageError("unexpected argument '" + args[i] + "'");
    }
    if (file.empty())
        throw UsageError("missing backup file name");
    WindowsServiceControl services;
    const std::vector<BackupEntry> entries = currentModes(services);
    const std::wstring path = fromUtf8(file);
    if (!force && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return failed(file + " exists already; give --force to replace it");
    writeFileAtomically(path, formatBackup(entries), force);
    return {0, "saved the start modes of " + std::to_string(entries.size()) + " services to " + file + "\n", ""};
}

CliResult restoreFromFile(const std::vector<std::string>& args)
{
    if (args.size() != 2 || args[1].rfind("-", 0) == 0)
        throw UsageError("restore takes exactly one backup file");
    std::vector<BackupEntry> backup;
    try {
        backup = parseBackup(readWholeFile(fromUtf8(args[1])));
    } catch (const BackupError& error) {
        return failed(args[1] + ": " + error.what() + "; nothing was changed");
    }
    WindowsServiceControl services;
    return restoreCommand(services, backup);
}

}  // namespace

WindowsServiceControl::WindowsServiceControl() : manager_(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT))
{
    if (!manager_)
        throw platform::systemFailure(GetLastError());
}

ServiceHandle WindowsServiceControl::open(const std::wstring& serviceKey, DWORD access)
{
    ServiceHandle service(OpenServiceW(manager_.get(), serviceKey.c_str(), access));
    if (!service && GetLastError() != ERROR_SERVICE_DOES_NOT_EXIST)
        throw platform::systemFailure(GetLastError());
    return service;
}

std::optional<ServiceState> WindowsServiceControl::query(const std::wstring& serviceKey)
{
    const ServiceHandle service = open(serviceKey, SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS);
    if (!service)
        return std::nullopt;
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(service.get(), &status))
        throw platform::systemFailure(GetLastError());
    return ServiceState{modeOf(startTypeOfService(service.get())), isDelayed(service.get()), stateName(status.dwCurrentState)};
}

void WindowsServiceControl::setStartMode(const std::wstring& serviceKey, StartMode mode, bool delayed)
{
    const ServiceHandle service = open(serviceKey, SERVICE_CHANGE_CONFIG | SERVICE_QUERY_CONFIG);
    if (!service)
        throw platform::systemFailure(ERROR_SERVICE_DOES_NOT_EXIST);
    if (!ChangeServiceConfigW(service.get(), SERVICE_NO_CHANGE, startTypeOf(mode), SERVICE_NO_CHANGE, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr))
        throw platform::systemFailure(GetLastError());
    if (mode != StartMode::Automatic)
        return;
    DelayedAutoStartInfo info{delayed};
    if (!ChangeServiceConfig2W(service.get(), kDelayedAutoStartInfo, &info)) {
        const DWORD error = GetLastError();
        // Windows before Vista has no delayed start: nothing to clear there.
        if (delayed || error != ERROR_INVALID_LEVEL)
            throw platform::systemFailure(error);
    }
}

std::string readWholeFile(const std::wstring& path)
{
    const platform::KernelHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        throw platform::systemFailure(GetLastError());
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    return bytes;
}

void writeFileAtomically(const std::wstring& path, const std::string& bytes, bool replace)
{
    const std::wstring temporary = path + L".quillora-tmp";
    {
        const platform::KernelHandle file(
            CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE)
            throw platform::systemFailure(GetLastError());
        DWORD written = 0;
        const bool complete = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
            && written == bytes.size() && FlushFileBuffers(file.get());
        if (!complete) {
            const DWORD error = GetLastError();
            DeleteFileW(temporary.c_str());
            throw platform::systemFailure(error ? error : ERROR_WRITE_FAULT);
        }
    }
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(temporary.c_str(), path.c_str(), flags)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        throw platform::systemFailure(error);
    }
}

CliResult runServiceCommand(const std::vector<std::string>& args)
{
    try {
        if (args[0] == "status" || args[0] == "verify")
            return profileCommand(args, args[0] == "verify");
        if (args[0] == "backup")
            return backupCommand(args);
        return restoreFromFile(args);
    } catch (const PlatformFailure& failure) {
        return failed("error " + std::to_string(failure.number()) + ": " + toUtf8(failure.description()));
    }
}

}  // namespace quillora
