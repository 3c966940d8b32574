#include "engine/machine/machine.h"

namespace quillora {

ServiceControl& servicesOf(Machine& machine)
{
    ServiceControl* services = machine.services();
    if (!services)
        throw PlatformFailure(0, L"this system has no Windows services");
    return *services;
}

std::string readFile(Files& files, const std::string& path)
{
    if (files.isFolder(path))
        throw FileFailure(path, FileProblem::IsFolder, L"is a folder");
    return files.read(path);
}

std::unique_ptr<RunClaim> claimRunsNow(Machine& machine)
{
    std::unique_ptr<RunClaim> claim = machine.claimRuns();
    if (!claim)
        throw RunsBusy();
    return claim;
}

std::string dataFolder(Machine& machine)
{
    const std::optional<std::string> folder = machine.dataFolder();
    if (!folder)
        throw PlatformFailure(0, L"this system has no folder for Quillora's backups and settings");
    return *folder;
}

void keepInDataFolder(Machine& machine, const std::string& path, const std::function<std::string()>& make)
{
    try {
        const std::string bytes = make();
        machine.files().createFolders(dataFolder(machine));
        machine.files().writeAtomically(path, bytes, true);
    } catch (const FileFailure& failure) {
        throw FileFailure(path, failure.number(), failure.description());
    }
}

}  // namespace quillora
