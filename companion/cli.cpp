#include "companion/cli.h"

#include "companion/arguments.h"
#include "companion/export_command.h"
#include "companion/history_commands.h"
#include "companion/machine_commands.h"
#include "companion/plan_command.h"
#include "engine/machine/failure.h"
#include "engine/catalogue/profile_table.h"
#include "engine/catalogue/service_sources.h"
#include "engine/text/utf8.h"
#include "engine/catalogue/windows_needs.h"
#include "resources/version.h"

namespace quillora {
namespace {

const char kUsage[] =
    "usage: quillora-cli plan PROFILE [--answers ABC] [--windows10] [--skip FILE] [--commands | --log]\n"
    "       quillora-cli services [--windows] [--chinese | --traditional-chinese]\n"
    "       quillora-cli export PROFILE [--answers ABC] [--windows10] --format inf|ansible\n"
    "                           [--output FILE [--force]] [--installed-only] [--all] [--skip FILE]\n"
    "       quillora-cli export --from-backup FILE --format inf|ansible [--output FILE [--force]]\n"
    "       quillora-cli status PROFILE [--answers ABC] [--all] [--skip FILE]\n"
    "       quillora-cli verify PROFILE [--answers ABC] [--all] [--skip FILE]\n"
    "       quillora-cli apply PROFILE [--answers ABC] [--timeout SECONDS] [--all] [--skip FILE]\n"
    "                          [--restore-point]\n"
    "       quillora-cli backup FILE [--force] | backup --name NAME [--force]\n"
    "       quillora-cli backups\n"
    "       quillora-cli restore FILE | restore --last | restore --before RUN [--all]\n"
    "                            [--restore-point]\n"
    "       quillora-cli history [RUN]\n"
    "       quillora-cli drift [--run RUN] [--fix [--all] [--restore-point]]\n"
    "       quillora-cli --help (or -h, /?) | --version\n"
    "\n"
    "  PROFILE        prompted, automatic or restore, in any case; or --profile FILE\n"
    "  --answers ABC  the answers to the three questions (CD burner, printer, scanner or\n"
    "                 camera), each y or n; default yyy; only for the prompted profile;\n"
    "                 or eight letters: the three, then Windows 10 and 11's five (Xbox;\n"
    "                 location and maps; mobile hotspot, cellular data and text messages;\n"
    "                 NFC and tap-to-pay; Mail, Calendar and People); three mean yes to those\n"
    "  --windows10    plan and export: the services of Windows 10 and 11 too, as the program\n"
    "                 runs there; eight --answers letters imply it (status, verify and apply\n"
    "                 cover them on Windows 10 and 11 by themselves)\n"
    "  --skip FILE    services left alone by your choice: one service key a line (UTF-8,\n"
    "                 '#' starts a comment); reports name them 'kept (your choice)'\n"
    "  --profile FILE in place of PROFILE (plan, export, status, verify, apply): your own\n"
    "                 profile, as the program's 'My own settings' saves it ('quillora-profile 1',\n"
    "                 then KEY<TAB>auto|demand|disabled[<TAB>delayed] for each service to set,\n"
    "                 then 'end'), or a backup, whose installed services it sets\n"
    "\n"
    "plan      what Quillora would do for PROFILE, in order, without launching anything: every\n"
    "          launch as 'launch STYLE COMMAND-LINE', then the progress log, then the completion\n"
    "          signals; --commands: the command lines alone; --log: the log alone, byte for byte\n"
    "          as the progress window holds it (UTF-8, CR LF, no line end after the last line)\n"
    "services  every service Quillora knows and what each profile does to it, as a table;\n"
    "          --windows: which of them each generation of Windows needs, and why, and the\n"
    "          services of Windows 10 and 11 with Microsoft's words on each;\n"
    "          --chinese: either table in Chinese; --traditional-chinese: in Traditional\n"
    "          Chinese\n"
    "export    PROFILE, or a backup's modes, for many machines: --format inf writes a Group\n"
    "          Policy security template (secedit, Import Policy), --format ansible a playbook;\n"
    "          to standard output, or to FILE, never replacing one without --force;\n"
    "          --installed-only (Windows) keeps only the services installed here; services\n"
    "          that Windows Vista and later need are left out unless --all\n"
    "\n"
    "On Windows only:\n"
    "status    every service of PROFILE: its start mode and state now, the mode the profile sets,\n"
    "          whether that would change, and whether this Windows needs the service; reads only\n"
    "verify    every installed service not as PROFILE leaves it: its mode, and stopped or\n"
    "          running where PROFILE stops or starts it\n"
    "          status and verify leave out what apply leaves alone, and read --all as it does\n"
    "apply     saves an automatic backup, then sets every installed service of PROFILE through\n"
    "          the Service Control Manager as Quillora's commands do: stopped first where the\n"
    "          profile stops it, started after where it starts it; every wait at most SECONDS\n"
    "          (default 30); services that this Windows needs are left alone unless --all\n"
    "backup    saves the start mode of each of the catalogue's services to FILE, or as NAME in the\n"
    "          backup folder; an existing file is replaced only with --force\n"
    "backups   the automatic and named backups of the backup folder, newest first\n"
    "restore   checks the whole backup first, then sets each service back to its saved mode;\n"
    "          neither stops nor starts services; a run of its own, with a backup first;\n"
    "          --last takes the newest run's backup; --before RUN puts back the modes from\n"
    "          before that run; a service this Windows needs is not disabled unless --all\n"
    "history   every run (each automatic backup), newest first: its name, when it started,\n"
    "          what made it and its counts; with RUN, that run's services as its result has\n"
    "          them, and any start mode changed since\n"
    "drift     the services whose start mode differs now from what the newest run that set\n"
    "          each left (with --run RUN: what that run left); exit status 1 if any; --fix\n"
    "          sets them again as a run of its own, with a backup first, and --all lets it\n"
    "          disable a service this Windows needs\n"
    "--restore-point  apply, restore and drift --fix ask System Restore for a restore point\n"
    "          first and say what Windows answered; the run goes on whatever it answers\n"
    "\n"
    "Exit status: 0 success; 1 differences found, or services not brought to their state\n"
    "(verify, apply, restore, drift); 2 a command line it cannot take; 3 a file or the\n"
    "system refused (a run's files that cannot be used, a run name that is not there), or\n"
    "another run (Quillora's or another quillora-cli's) was changing the services: apply,\n"
    "restore and drift --fix wait for none, and change nothing then.\n";

// --help, and the Windows habits -h and /?.
bool isHelp(const std::string& arg)
{
    return arg == "--help" || arg == "-h" || arg == "/?";
}

CliResult usageError(const std::string& problem)
{
    return {kExitUsage, "", "quillora-cli: " + problem + "\nTry 'quillora-cli --help' for more.\n"};
}

CliResult fileFailure(const FileFailure& failure)
{
    std::string text =
        "quillora-cli: " + quoted(failure.path(), kLongestPath) + ": " + printable(failure.description());
    if (failure.number() != 0)
        text += " (error " + std::to_string(failure.number()) + ")";
    return {kExitFailure, "", text + "\n"};
}

CliResult systemFailure(const PlatformFailure& failure)
{
    return {kExitFailure, "",
            "quillora-cli: error " + std::to_string(failure.number()) + ": " + printable(failure.description())
                + "\n"};
}

CliResult servicesCommand(const std::vector<std::string>& args, Machine&)
{
    const Arguments arguments = parseArguments(args, {}, {"--windows", "--chinese", "--traditional-chinese"});
    if (!arguments.positional.empty())
        throw UsageError("unexpected argument " + quoted(arguments.positional[0]) + ": services takes none");
    if (arguments.has("--chinese") && arguments.has("--traditional-chinese"))
        throw UsageError("--chinese and --traditional-chinese: choose one");
    const TableLanguage language = arguments.has("--chinese")             ? TableLanguage::Chinese
        : arguments.has("--traditional-chinese") ? TableLanguage::TraditionalChinese
                                                 : TableLanguage::English;
    if (arguments.has("--windows"))
        return {kExitSuccess, windowsNeedsTable(language) + "\n" + windows10SourcesTable(language), ""};
    return {kExitSuccess, profileTable(language), ""};
}

// Every argument must be text: a name that is not UTF-8 would reach files and messages garbled.
void checkArgumentsAreText(const std::vector<std::string>& args)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!isUtf8(args[i]))
            throw UsageError("argument " + std::to_string(i + 1) + " is not valid UTF-8 text: " + quoted(args[i]));
    }
}

// Every command once: its name, whether it reads or changes this machine's services, and what
// runs it.
struct Command {
    const char* name;
    bool needsWindows;
    CliResult (*run)(const std::vector<std::string>& args, Machine& machine);
};

constexpr Command kCommands[] = {
    {"plan", false, planCommand},
    {"services", false, servicesCommand},
    {"export", false, exportCommand},
    {"status", true, statusCommand},
    {"verify", true, verifyCommand},
    {"apply", true, applyCommand},
    {"backup", true, backupCommand},
    {"backups", true, backupsCommand},
    {"restore", true, restoreCommand},
    {"history", true, historyCommand},
    {"drift", true, driftCommand},
};

CliResult dispatch(const std::vector<std::string>& args, Machine& machine)
{
    checkArgumentsAreText(args);
    for (const Command& command : kCommands) {
        if (args[0] != command.name)
            continue;
        if (command.needsWindows && !machine.services())
            throw UsageError(std::string("the ") + command.name + " command needs Windows");
        return command.run(args, machine);
    }
    throw UsageError("unknown command " + quoted(args[0]));
}

}  // namespace

CliResult runCli(const std::vector<std::string>& args, Machine& machine)
{
    if (args.empty())
        return usageError("missing command");
    for (const std::string& arg : args) {
        if (isHelp(arg))
            return {kExitSuccess, kUsage, ""};
    }
    if (args[0] == "--version")
        return {kExitSuccess, "quillora-cli " QUILLORA_VERSION_TEXT " (" QUILLORA_PRODUCT_NAME ")\n", ""};
    try {
        return dispatch(args, machine);
    } catch (const UsageError& error) {
        return usageError(error.what());
    } catch (const FileFailure& failure) {
        return fileFailure(failure);
    } catch (const RunsBusy& busy) {
        return {kExitFailure, "", "quillora-cli: " + printable(busy.description()) + "\n"};
    } catch (const PlatformFailure& failure) {
        return systemFailure(failure);
    }
}

}  // namespace quillora
