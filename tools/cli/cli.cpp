#include "cli.h"

#include "plan_command.h"

namespace quillora {
namespace {

const char kUsage[] =
    "usage: quillora-cli plan PROFILE [--answers ABC] [--commands | --log]\n"
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
    "                 (UTF-8, CR LF line ends, no line end after the completion sentence)\n";

bool isHelp(const std::string& arg)
{
    return arg == "--help" || arg == "-h";
}

CliResult usageError(const std::string& problem)
{
    return {kExitUsage, "", "quillora-cli: " + problem + "\n" + kUsage};
}

}  // namespace

CliResult runCli(const std::vector<std::string>& args)
{
    if (args.empty())
        return usageError("missing command");
    if (isHelp(args[0]))
        return {0, kUsage, ""};
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
