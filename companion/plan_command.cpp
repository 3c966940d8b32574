#include "companion/plan_command.h"

#include "engine/recording.h"
#include "engine/utf8.h"

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

std::string render(const PlanRequest& request, const RecordingPlatform& platform,
                   const MemoryProgressLog& log)
{
    if (request.output == PlanOutput::LogOnly)
        return toUtf8(log.log);

    std::string out;
    for (const RecordingPlatform::Launch& launch : platform.launches) {
        if (request.output == PlanOutput::Everything)
            out += "launch " + std::to_string(launch.showState) + ' ';
        out += toUtf8(launch.commandLine) + '\n';
    }
    if (request.output == PlanOutput::CommandsOnly)
        return out;

    out += "log:\n" + terminalLines(log.log);
    out += "completion signals:\n";
    out += signalLine("caption", log.caption);
    out += signalLine("label", log.statusLabel);
    out += std::string("exit button ") + (log.exitEnabled ? "enabled" : "disabled") + '\n';
    return out;
}

}  // namespace

Answers parseAnswers(const std::string& letters)
{
    constexpr AnswerFlag kWizardOrder[] = {AnswerFlag::CdBurner, AnswerFlag::Printer, AnswerFlag::Imaging};
    Answers answers;
    bool wellFormed = letters.size() == std::size(kWizardOrder);
    for (std::size_t i = 0; wellFormed && i < letters.size(); ++i) {
        wellFormed = letters[i] == 'y' || letters[i] == 'n';
        answers[kWizardOrder[i]] = letters[i] == 'y' ? kAnswerYes : kAnswerNo;
    }
    if (!wellFormed)
        throw UsageError("malformed --answers '" + letters + "': expected three letters, each y or n");
    return answers;
}

Profile parseProfile(const std::string& name)
{
    if (name == "prompted")
        return Profile::Prompted;
    if (name == "automatic")
        return Profile::Automatic;
    if (name == "restore")
        return Profile::Restore;
    throw UsageError("unknown profile '" + name + "': expected prompted, automatic or restore");
}

PlanRequest parsePlanArguments(const std::vector<std::string>& args, bool outputOptions)
{
    PlanRequest request;
    bool profileGiven = false;
    bool outputGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--answers") {
            if (i + 1 == args.size())
                throw UsageError("--answers needs a value, such as --answers yny");
            request.answers = parseAnswers(args[++i]);
        } else if (outputOptions && (arg == "--commands" || arg == "--log")) {
            if (outputGiven)
                throw UsageError("--commands and --log cannot be combined or repeated");
            outputGiven = true;
            request.output = arg == "--log" ? PlanOutput::LogOnly : PlanOutput::CommandsOnly;
        } else if (arg.rfind("-", 0) == 0) {
            throw UsageError("unknown option '" + arg + "'");
        } else if (profileGiven) {
            throw UsageError("unexpected argument '" + arg + "': only one profile can be planned");
        } else {
            request.profile = parseProfile(arg);
            profileGiven = true;
        }
    }
    if (!profileGiven)
        throw UsageError("missing profile: expected prompted, automatic or restore");
    return request;
}

std::string renderPlan(const PlanRequest& request)
{
    const RecordedRun run = recordRun(request.profile, request.answers);
    return render(request, run.platform, run.log);
}

}  // namespace quillora
