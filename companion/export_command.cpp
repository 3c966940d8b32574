#include "companion/export_command.h"

#include "companion/arguments.h"
#include "companion/output_file.h"
#include "engine/records/backups/backup_store.h"
#include "engine/export/export.h"
#include "engine/machine/failure.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

ExportPlan fromBackup(const Arguments& arguments, const std::string& file, Machine& machine)
{
    if (!arguments.positional.empty() || arguments.value(kOwnProfileOption))
        throw UsageError("give either a profile or --from-backup FILE, not both");
    if (arguments.value("--answers"))
        throw UsageError("--answers is for a profile, not for --from-backup");
    if (arguments.has("--installed-only"))
        throw UsageError("--installed-only is for a profile: a backup already names what was installed");
    if (arguments.value("--skip"))
        throw UsageError("--skip is for a profile: an export of a backup holds the machine's own modes");
    if (arguments.has("--all"))
        throw UsageError("--all is for a profile: a backup's modes are the machine's own");
    if (arguments.has("--windows10"))
        throw UsageError("--windows10 is for a profile: a backup names its own services");
    try {
        return backupExport(readBackupFile(machine.files(), file), file);
    } catch (const BackupError& error) {
        throw FileFailure(file, 0, fromUtf8(error.what()));
    }
}

// Keeps only the services this machine has, for a template meant for machines like it.
void keepInstalled(ExportPlan& plan, Machine& machine)
{
    ServiceControl* services = machine.services();
    if (!services)
        throw UsageError("--installed-only reads this machine's services, which needs Windows");
    std::vector<ExportTarget> installed;
    for (const ExportTarget& target : plan.targets) {
        if (services->query(target.serviceKey))
            installed.push_back(target);
        else
            plan.description.push_back("left out: " + toUtf8(target.serviceKey) + " (not installed here)");
    }
    plan.targets = installed;
}

}  // namespace

CliResult exportCommand(const std::vector<std::string>& args, Machine& machine)
{
    const Arguments arguments =
        parseArguments(args, {"--answers", "--format", "--output", "--from-backup", "--skip", kOwnProfileOption}, {"--force", "--installed-only", "--all", "--windows10"});
    const std::string* format = arguments.value("--format");
    if (!format)
        throw UsageError("export needs --format inf or --format ansible");
    if (*format != "inf" && *format != "ansible")
        throw UsageError("unknown format " + quoted(*format) + ": expected inf or ansible");
    const std::string* output = arguments.value("--output");
    if (arguments.has("--force") && !output)
        throw UsageError("--force is for --output: standard output is never refused");

    ExportPlan plan;
    std::string notes;
    if (const std::string* backup = arguments.value("--from-backup")) {
        plan = fromBackup(arguments, *backup, machine);
    } else {
        const ProfileRequest request = profileRequest(arguments, "export", machine.files());
        PlanInputs inputs = exportInputs(request.profile, request.answers, listsAskedFor(arguments, request),
                                         arguments.has("--all"), skippedKeys(arguments, machine.files()));
        notes = useOwnProfile(inputs, request);
        const std::string* own = arguments.value(kOwnProfileOption);
        plan = profileExport(inputs, own ? "own " + printable(*own) : request.name);
        if (arguments.has("--installed-only"))
            keepInstalled(plan, machine);
    }
    const std::string bytes = *format == "inf" ? securityTemplate(plan) : ansiblePlaybook(plan);
    if (!output)
        return {kExitSuccess, bytes, notes, true};
    checkOutputFile(machine.files(), *output, arguments.has("--force"));
    machine.files().writeAtomically(*output, bytes, arguments.has("--force"));
    return {kExitSuccess, "wrote " + printable(*output) + "\n", notes};
}

}  // namespace quillora
