#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/machine/failure.h"
#include "engine/machine/restore_point.h"
#include "engine/machine/run_state.h"
#include "engine/machine/start_mode.h"
#include "engine/machine/windows_version.h"

namespace quillora {

struct ServiceState {
    StartMode mode;
    bool delayed = false;
    RunState state = RunState::Stopped;
    bool operator==(const ServiceState&) const = default;
};

// The services of this machine as the companion and the program read and set them. On Windows
// this is the Service Control Manager; every call throws PlatformFailure when Windows refuses.
class ServiceControl {
public:
    virtual ~ServiceControl() = default;
    // nullopt when no such service is installed.
    virtual std::optional<ServiceState> query(const std::wstring& serviceKey) = 0;
    // The same for many services at once, in their order; a system may answer this faster than
    // one query at a time.
    virtual std::vector<std::optional<ServiceState>> queryAll(const std::vector<std::wstring>& serviceKeys)
    {
        std::vector<std::optional<ServiceState>> states;
        for (const std::wstring& key : serviceKeys)
            states.push_back(query(key));
        return states;
    }
    virtual void setStartMode(const std::wstring& serviceKey, StartMode mode, bool delayed) = 0;
    // The services that depend on this one and are not stopped.
    virtual std::vector<std::wstring> runningDependants(const std::wstring& serviceKey) = 0;
    // Ask the service to stop or start and wait until it has, for at most the time given; false
    // when it had not got there by then.
    virtual bool stop(const std::wstring& serviceKey, std::chrono::milliseconds timeout) = 0;
    virtual bool start(const std::wstring& serviceKey, std::chrono::milliseconds timeout) = 0;
    // What the service does, in the words and language of this Windows; empty when it gives none
    // or the service is not installed.
    virtual std::wstring description(const std::wstring& serviceKey) = 0;
    // The name Windows shows for the service; empty where it gives none or the service is not
    // installed. A system that keeps no names of its own gives none.
    virtual std::wstring displayName(const std::wstring&) { return {}; }
};

struct FileEntry {
    std::string name;       // without its folder
    std::int64_t modified;  // seconds since 1970, UTC
    std::int64_t size = 0;  // bytes
};

// Whole files, read at once and written so that a failure never leaves half a file. Paths are
// UTF-8; every call throws PlatformFailure when the system refuses.
class Files {
public:
    virtual ~Files() = default;
    virtual bool exists(const std::string& path) = 0;
    virtual bool isFolder(const std::string& path) = 0;
    virtual std::string read(const std::string& path) = 0;
    // An existing file is replaced only when replace is true.
    virtual void writeAtomically(const std::string& path, const std::string& bytes, bool replace) = 0;
    // Adds the bytes at the end of an existing file: a note that must be on disk before what it
    // speaks of happens, where rewriting the whole file each time would cost a write of it all.
    virtual void append(const std::string& path, const std::string& bytes) = 0;
    // Makes the folder and any missing folder above it.
    virtual void createFolders(const std::string& path) = 0;
    // The files of a folder (not its subfolders); empty when the folder does not exist.
    virtual std::vector<FileEntry> list(const std::string& folder) = 0;
};

// The right to change this machine's services, which one run holds at a time, whichever program
// runs it: from the backup taken before its first command to the end of its last. Given back
// when destroyed.
class RunClaim {
public:
    virtual ~RunClaim() = default;
};

// What the companion and the program's backups work on: this machine's files and, on Windows,
// its services and the user's folder for automatic backups.
class Machine {
public:
    virtual ~Machine() = default;
    // nullptr where services cannot be reached (anywhere but Windows).
    virtual ServiceControl* services() = 0;
    virtual Files& files() = 0;
    // The user's folder for what the program keeps (backups, results, settings); nullopt where
    // there is no such folder.
    virtual std::optional<std::string> dataFolder() = 0;
    // The local date and time as YYYYMMDD-HHMMSS, for naming a backup.
    virtual std::string timeStamp() = 0;
    // The character between a folder and a file name.
    virtual char separator() const = 0;
    // The Windows it runs, as the kernel reports it; nullopt anywhere but Windows.
    virtual std::optional<WindowsVersion> windowsVersion() = 0;
    // The right to change the services, for as long as the claim lives; nullptr at once while
    // another program holds it. Throws PlatformFailure where it cannot be asked for.
    virtual std::unique_ptr<RunClaim> claimRuns() = 0;
    // The same for a program whose windows must answer meanwhile: where the claim waits for the
    // commands of a program that was killed while it held it, waiting is called first, so that the
    // windows can say why, and the wait lets their messages through.
    virtual std::unique_ptr<RunClaim> claimRunsAnswering(const std::function<void()>& /*waiting*/) { return claimRuns(); }
    // System Restore as this process asks it; nullptr where there is none (anywhere but Windows).
    virtual RestorePoints* restorePoints() { return nullptr; }
    // Whether the user asked the program to stop (Ctrl+C, Ctrl+Break, a closed console): a run
    // then reaches no further service, and saves what it did.
    virtual bool stopRequested() { return false; }
};

// The machine's services; throws PlatformFailure where it has none (anywhere but Windows).
ServiceControl& servicesOf(Machine& machine);

// The bytes of a file. Throws FileFailure naming it where it cannot be read, in the same words
// wherever a folder stands in its place.
std::string readFile(Files& files, const std::string& path);

// The right to change the machine's services; throws RunsBusy while another program holds it.
std::unique_ptr<RunClaim> claimRunsNow(Machine& machine);

// The machine's data folder; throws PlatformFailure where it has none.
std::string dataFolder(Machine& machine);

// Keeps a file of the data folder (path) whole or not at all, with the bytes `make` gives, the
// folder made first where it is missing. Whichever step fails, making the bytes included, the user
// is told of the file they asked to keep: throws FileFailure naming it.
void keepInDataFolder(Machine& machine, const std::string& path, const std::function<std::string()>& make);

}  // namespace quillora
