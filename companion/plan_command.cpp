#include "companion/plan_command.h"

#include "engine/choice/skip_choice.h"

#include "companion/arguments.h"
#include "engine/run/recording.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

// The log with LF line ends and a final line end, for reading in a terminal.
std::string terminalLines(const std::wstring& log)
{
    std::string text = toUtf8(log);
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        lines += text[i];
    }
    if (!lines.empty() && lines.back() != '\n')
        lines += '\n';
    return lines;
}

std::string signalLine(const char* name, const std::optional<std::wstring>& value)
{
    return std::string(name) + (value ? ' ' + toUtf8(*value) : std::string(" (not set)")) + '\n';
}

std::string render(PlanOutput output, const RecordingPlatform& platform, const MemoryProgressLog& log)
{
    if (output == PlanOutput::LogOnly)
        return toUtf8(log.log);

    std::string out;
    for (const RecordingPlatform::Launch& launch : platform.launches) {
        if (output == PlanOutput::Everything)
            out += "launch " + std::to_string(launch.showState) + ' ';
        out += toUtf8(launch.commandLine) + '\n';
    }
    if (output == PlanOutput::CommandsOnly)
        return out;

    out += "log:\n" + terminalLines(log.log);
    out += "completion signals:\n";
    out += signalLine("caption", log.caption);
    out += signalLine("label", log.statusLabel);
    out += std::string("exit button ") + (log.exitEnabled ? "enabled" : "disabled") + '\n';
    return out;
}

}  // namespace

CliResult planCommand(const std::vector<std::string>& args, Machine& machine)
{
    const Arguments arguments =
        parseArguments(args, {"--answers", "--skip", kOwnProfileOption}, {"--commands", "--log", "--windows10"});
    if (arguments.has("--commands") && arguments.has("--log"))
        throw UsageError("--commands and --log cannot be combined");
    const ProfileRequest request = profileRequest(arguments, "plan", machine.files());
    const PlanOutput output = arguments.has("--log")        ? PlanOutput::LogOnly
                              : arguments.has("--commands") ? PlanOutput::CommandsOnly
                                                            : PlanOutput::Everything;
    PlanInputs inputs = inputsForOtherMachines(request.profile, request.answers, listsAskedFor(arguments, request),
                                               skippedKeys(arguments, machine.files()));
    const std::string notes = useOwnProfile(inputs, request);
    const RecordedRun run = recordRun(inputs);
    return {kExitSuccess, render(output, run.platform, run.log), notes};
}

}  // namespace quillora
