#include "companion/machine_commands.h"

#include "companion/plan_command.h"
#include "engine/backup_file.h"
#include "engine/failure.h"
#include "engine/service_report.h"
#include "engine/utf8.h"

namespace quillora {
namespace {

CliResult failed(const std::string& problem, int status = 1)
{
    return {status, "", "quillora-cli: " + problem + "\n"};
}

CliResult reported(const ServiceReport& report)
{
    return {report.complete ? 0 : 1, report.text, ""};
}

CliResult profileCommand(const std::vector<std::string>& args, Machine& machine)
{
    const PlanRequest request = parsePlanArguments(std::vector<std::string>(args.begin() + 1, args.end()), false);
    const std::vector<ServiceStep> steps = profileSteps(request.profile);
    ServiceControl& services = machine.services();
    if (args[0] == "verify")
        return reported(verifyReport(services, steps, request.answers));
    // status only reads: what it finds is never a failure of the command.
    return {0, statusReport(services, steps, request.answers).text, ""};
}

CliResult backupCommand(const std::vector<std::string>& args, Machine& machine)
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
    const std::vector<BackupEntry> entries = currentModes(machine.services());
    if (!force && machine.files().exists(file))
        return failed(file + " exists already; give --force to replace it");
    machine.files().writeAtomically(file, formatBackup(entries), force);
    return {0, "saved the start modes of " + std::to_string(entries.size()) + " services to " + file + "\n", ""};
}

CliResult restoreCommand(const std::vector<std::string>& args, Machine& machine)
{
    if (args.size() != 2 || args[1].rfind("-", 0) == 0)
        throw UsageError("restore takes exactly one backup file");
    std::vector<BackupEntry> backup;
    try {
        backup = parseBackup(machine.files().read(args[1]));
    } catch (const BackupError& error) {
        return failed(args[1] + ": " + error.what() + "; nothing was changed");
    }
    return reported(restoreModes(machine.services(), backup));
}

}  // namespace

bool isMachineCommand(const std::string& command)
{
    return command == "status" || command == "verify" || command == "backup" || command == "restore";
}

CliResult runMachineCommand(const std::vector<std::string>& args, Machine* machine)
{
    if (!machine)
        return failed("the " + args[0] + " command needs Windows", kExitUsage);
    try {
        if (args[0] == "status" || args[0] == "verify")
            return profileCommand(args, *machine);
        if (args[0] == "backup")
            return backupCommand(args, *machine);
        return restoreCommand(args, *machine);
    } catch (const PlatformFailure& failure) {
        return failed("error " + std::to_string(failure.number()) + ": " + toUtf8(failure.description()));
    }
}

}  // namespace quillora
