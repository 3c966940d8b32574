#include "companion/cli.h"

#include "companion/machine_commands.h"
#include "companion/plan_command.h"
#include "engine/profile_table.h"

namespace quillora {
namespace {

const char kUsage[] =
    "usage: quillora-cli plan PROFILE [--answers ABC] [--commands | --log]\n"
    "       quillora-cli services\n"
    "       quillora-cli status PROFILE [--answers ABC]\n"
    "       quillora-cli verify PROFILE [--answers ABC]\n"
    "       quillora-cli backup FILE [--force]\n"
    "       quillora-cli restore FILE\n"
    "       quillora-cli --help\n"
    "\n"
    "plan   prints what Quillora would do for PROFILE, in order, without launching anything:\n"
    "       every launch as 'launch STYLE COMMAND-LINE', then the progress log, then the\n"
    "       completion signals.\n"
    "\n"
    "  PROFILE        prompted, automatic or restore\n"
    "  --answers ABC  the answers to the three questions (CD burner, printer, scanner or\n"
    "                 camera), each y or n; default yyy; only the prompted profile reads them\n"
    "  --commands     only the command lines, one per line\n"
    "  --log          only the progress log, byte for byte as the progress window holds it\n"
    "                 (UTF-8, CR LF line ends, no line end after the completion sentence)\n"
    "\n"
    "services  every service Quillora knows and what each profile does to it, as a table\n"
    "\n"
    "On Windows only:\n"
    "status   every service of PROFILE: its start mode and state now, the mode the profile sets,\n"
    "         and whether that would change; reads only\n"
    "verify   every installed service whose mode differs from what PROFILE sets; status 1 if any\n"
    "backup   saves the start mode of each of the catalogue's services to FILE; an existing FILE\n"
    "         is replaced only with --force\n"
    "restore  checks the whole of FILE first, then sets each service back to its saved mode;\n"
    "         neither stops nor starts services; status 0 only if every installed one was set\n";

bool isHelp(const std::string& arg)
{
    return arg == "--help" || arg == "-h";
}

CliResult usageError(const std::string& problem)
{
    return {kExitUsage, "", "quillora-cli: " + problem + "\n" + kUsage};
}

}  // namespace

CliResult runCli(const std::vector<std::string>& args, Machine* machine)
{
    if (args.empty())
        return usageError("missing command");
    if (isHelp(args[0]))
        return {0, kUsage, ""};
    if (isMachineCommand(args[0])) {
        try {
            return runMachineCommand(args, machine);
        } catch (const UsageError& error) {
            return usageError(error.what());
        }
    }
    if (args[0] == "services") {
        if (args.size() > 1)
            return isHelp(args[1]) ? CliResult{0, kUsage, ""} : usageError("services takes no arguments");
        return {0, profileTable(), ""};
    }
    if (args[0] != "plan")
        return usageError("unknown command '" + args[0] + "'");

    const std::vector<std::string> planArgs(args.begin() + 1, args.end());
    for (const std::string& arg : planArgs) {
        if (isHelp(arg))
            return {0, kUsage, ""};
    }
    try {
        return {0, renderPlan(parsePlanArguments(planArgs)), ""};
    } catch (const UsageError& error) {
        return usageError(error.what());
    }
}

}  // namespace quillora
