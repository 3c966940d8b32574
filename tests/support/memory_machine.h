#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/machine/failure.h"
#include "engine/machine/machine.h"
#include "engine/text/utf8.h"

namespace quillora::testing {

// Where a memory machine keeps the program's files: its folder, backups and settings.
inline const std::string kProgramFolder = "/home/user/Quillora";
inline const std::string kBackups = kProgramFolder + "/backups";
inline const std::string kSettings = kProgramFolder + "/settings.ini";

// Services held in memory, each able to refuse in the ways Windows services do.
class MemoryServices : public ServiceControl {
public:
    struct Service {
        StartMode mode = StartMode::Manual;
        bool delayed = false;
        RunState state = RunState::Stopped;
        std::vector<std::wstring> dependants;
        bool accessDenied = false;  // every change refused, as without administrator rights
        bool hangsOnStop = false;   // never reaches stopped
        bool failsToStart = false;  // stops again at once, with an exit code
        std::wstring description;
    };

    std::optional<ServiceState> query(const std::wstring& key) override
    {
        if (queryRefused || (queriesLeft && (*queriesLeft)-- <= 0))
            throw PlatformFailure(windows_error::kAccessDenied, refusal);
        const auto found = services.find(key);
        if (found == services.end())
            return std::nullopt;
        return ServiceState{found->second.mode, found->second.delayed, found->second.state};
    }
    void setStartMode(const std::wstring& key, StartMode mode, bool delayed) override
    {
        Service& service = changeable(key);
        if (claims && *claims == 0)
            unclaimed.push_back(toUtf8(key));
        if (withoutDelayedStart && delayed)
            throw PlatformFailure(124, L"The system call level is not correct.");
        service.mode = mode;
        service.delayed = delayed;
        changes.push_back(key);
    }
    std::vector<std::wstring> runningDependants(const std::wstring& key) override
    {
        std::vector<std::wstring> running;
        for (const std::wstring& dependant : services.at(key).dependants) {
            if (services.at(dependant).state != RunState::Stopped)
                running.push_back(dependant);
        }
        return running;
    }
    bool stop(const std::wstring& key, std::chrono::milliseconds timeout) override
    {
        waits.push_back(timeout);
        Service& service = changeable(key);
        if (service.hangsOnStop) {
            service.state = RunState::Stopping;
            return false;
        }
        service.state = RunState::Stopped;
        return true;
    }
    bool start(const std::wstring& key, std::chrono::milliseconds timeout) override
    {
        waits.push_back(timeout);
        Service& service = changeable(key);
        if (service.failsToStart)
            throw PlatformFailure(windows_error::kServiceSpecificError, L"The service has returned a service-specific error code.");
        service.state = RunState::Running;
        return true;
    }

    std::wstring description(const std::wstring& key) override
    {
        ++descriptionsRead;
        const auto found = services.find(key);
        return found == services.end() ? L"" : found->second.description;
    }

    std::map<std::wstring, Service> services;
    bool queryRefused = false;  // as a Service Control Manager that will not even be read
    std::optional<int> queriesLeft;  // refused after this many queries more
    bool withoutDelayedStart = false;  // as Windows before Vista, which knows no delayed start
    std::wstring refusal = L"Access is denied.";  // the system's message for a refusal
    std::vector<std::wstring> changes;
    std::vector<std::string> unclaimed;  // services set while no claim was held
    const int* claims = nullptr;         // the claims held, where the machine counts them
    std::vector<std::chrono::milliseconds> waits;
    int descriptionsRead = 0;

private:
    Service& changeable(const std::wstring& key)
    {
        Service& service = services.at(key);
        if (service.accessDenied)
            throw PlatformFailure(windows_error::kAccessDenied, refusal);
        return service;
    }
};

// A service in a mode and a state, with no dependants and no refusals.
inline MemoryServices::Service installed(StartMode mode, RunState state, bool delayed = false)
{
    MemoryServices::Service service;
    service.mode = mode;
    service.state = state;
    service.delayed = delayed;
    return service;
}

// Files held in memory, in folders named with '/'.
class MemoryFiles : public Files {
public:
    struct File {
        std::string bytes;
        std::int64_t modified = 0;
    };

    bool exists(const std::string& path) override { return files.count(path) || folders.count(path); }
    bool isFolder(const std::string& path) override { return folders.count(path) != 0; }
    std::string read(const std::string& path) override
    {
        if (unreadable.count(path))
            throw FileFailure(path, windows_error::kAccessDenied, L"Access is denied.");
        const auto found = files.find(path);
        if (found == files.end())
            throw FileFailure(path, windows_error::kFileNotFound, L"The system cannot find the file specified.");
        return found->second.bytes;
    }
    void writeAtomically(const std::string& path, const std::string& bytes, bool replace) override
    {
        if (readOnly)
            throw FileFailure(path, windows_error::kAccessDenied, L"Access is denied.");
        if (!folders.count(path.substr(0, path.rfind('/'))))
            throw FileFailure(path, windows_error::kPathNotFound, L"The system cannot find the path specified.");
        if (!replace && exists(path))
            throw FileFailure(path, windows_error::kFileExists, L"The file exists.");
        if (claims && *claims == 0 && path.find("/auto-") != std::string::npos)
            unclaimed.push_back(path);
        files[path] = {bytes, ++clock};
    }
    void append(const std::string& path, const std::string& bytes) override
    {
        if (readOnly || unreadable.count(path))
            throw FileFailure(path, windows_error::kAccessDenied, L"Access is denied.");
        const auto found = files.find(path);
        if (found == files.end())
            throw FileFailure(path, windows_error::kFileNotFound, L"The system cannot find the file specified.");
        if (claims && *claims == 0 && path.find("/auto-") != std::string::npos)
            unclaimed.push_back(path);
        found->second.bytes += bytes;
        found->second.modified = ++clock;
    }
    void createFolders(const std::string& path) override
    {
        if (readOnly)
            throw FileFailure(path, windows_error::kAccessDenied, L"Access is denied.");
        for (std::size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
            folders.insert(path.substr(0, at));
        folders.insert(path);
    }
    std::vector<FileEntry> list(const std::string& folder) override
    {
        std::vector<FileEntry> entries;
        for (const auto& [path, file] : files) {
            if (path.rfind(folder + "/", 0) == 0 && path.find('/', folder.size() + 1) == std::string::npos)
                entries.push_back({path.substr(folder.size() + 1), file.modified, static_cast<std::int64_t>(file.bytes.size())});
        }
        return entries;
    }

    std::map<std::string, File> files;
    std::set<std::string> folders{"", "/tmp"};
    bool readOnly = false;
    std::set<std::string> unreadable;  // files that exist and refuse to be read
    std::int64_t clock = 1000;
    std::vector<std::string> unclaimed;  // a run's files written while no claim was held
    const int* claims = nullptr;
};

// System Restore answering as a test says, every restore point begun and ended recorded.
struct AnsweringRestorePoints : RestorePoints {
    RestorePointAnswer begin(const std::wstring& description, const std::function<void()>& waiting = nullptr) override
    {
        begun.push_back(description);
        // Windows taking its time: the wait is shown, and whatever the test does meanwhile happens.
        if (whileMaking) {
            if (waiting)
                waiting();
            whileMaking();
        }
        return answer;
    }
    void end(std::int64_t sequence) override { ended.push_back(sequence); }

    RestorePointAnswer answer{RestorePointAnswer::Kind::Off};
    std::function<void()> whileMaking;  // what happens before Windows answers
    std::vector<std::wstring> begun;
    std::vector<std::int64_t> ended;
};

// A machine of memory services and files; without services it stands for a system other than
// Windows.
class MemoryMachine : public Machine {
public:
    explicit MemoryMachine(bool withServices = true) : withServices_(withServices)
    {
        memoryServices.claims = &claimsHeld;
        memoryFiles.claims = &claimsHeld;
    }
    // A copy counts its own claims.
    MemoryMachine(const MemoryMachine& other)
        : memoryServices(other.memoryServices),
          memoryFiles(other.memoryFiles),
          heldElsewhere(other.heldElsewhere),
          stamp(other.stamp),
          data(other.data),
          version(other.version),
          withServices_(other.withServices_)
    {
        memoryServices.claims = &claimsHeld;
        memoryFiles.claims = &claimsHeld;
    }
    MemoryMachine& operator=(const MemoryMachine&) = delete;

    ServiceControl* services() override { return withServices_ ? &memoryServices : nullptr; }
    Files& files() override { return memoryFiles; }
    std::optional<std::string> dataFolder() override
    {
        return withServices_ ? std::optional<std::string>(data) : std::nullopt;
    }
    std::string timeStamp() override { return stamp; }
    char separator() const override { return '/'; }
    std::optional<WindowsVersion> windowsVersion() override
    {
        return withServices_ ? std::optional<WindowsVersion>(version) : std::nullopt;
    }

    // Held by another program while heldElsewhere. Each claim counts while it lives, so that a
    // service set, or a run's file written, while none is held is noted (unclaimed): a claim given
    // back before its run is done, or never taken.
    std::unique_ptr<RunClaim> claimRuns() override
    {
        struct Counted : RunClaim {
            explicit Counted(int& held) : held_(held) { ++held_; }
            ~Counted() override { --held_; }
            int& held_;
        };
        return heldElsewhere ? nullptr : std::make_unique<Counted>(claimsHeld);
    }

    MemoryServices memoryServices;
    MemoryFiles memoryFiles;
    int claimsHeld = 0;
    bool heldElsewhere = false;
    AnsweringRestorePoints restorePointsDouble;
    RestorePoints* restorePoints() override { return &restorePointsDouble; }
    // Ctrl+C as a test gives it: asked whenever a run is about to reach a service.
    std::function<bool()> stopWhen;
    bool stopRequested() override { return stopWhen && stopWhen(); }
    std::string stamp = "20261207-101500";
    std::string data = kProgramFolder;
    WindowsVersion version;  // Windows XP SP3 unless a test says otherwise

private:
    bool withServices_;
};

}  // namespace quillora::testing
