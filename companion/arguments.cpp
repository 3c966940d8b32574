#include "companion/arguments.h"

#include <algorithm>

#include "engine/choice/skip_choice.h"
#include "engine/records/backups/profile_file.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

// Windows users type names in any case: "Automatic", "YNY". Only ASCII letters change, so the
// text shown back in a message is still the user's.
std::string lowerCase(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

Profile parseProfile(const std::string& name)
{
    for (const Profile profile : {Profile::Prompted, Profile::Automatic, Profile::Restore}) {
        if (name == profileName(profile))
            return profile;
    }
    throw UsageError("unknown profile " + quoted(name) + ": expected prompted, automatic or restore");
}

ProfileRequest ownProfileRequest(const Arguments& arguments, const std::string& path, Files& files)
{
    if (!arguments.positional.empty())
        throw UsageError("unexpected argument " + quoted(arguments.positional[0])
                         + ": --profile FILE takes the place of a profile's name");
    if (arguments.value("--answers"))
        throw UsageError("--answers is only for the prompted profile: an own profile asks nothing");
    ProfileRequest request;
    request.profile = Profile::Own;
    request.name = "own";
    try {
        request.own = parseOwnProfile(readFile(files, path));
    } catch (const BackupError& error) {
        throw unusableFile(path, error);
    }
    return request;
}

}  // namespace

FileFailure unusableFile(const std::string& path, const BackupError& error)
{
    return FileFailure(path, 0, fromUtf8(std::string(error.what()) + "; nothing was changed"));
}

const std::string* Arguments::value(const std::string& option) const
{
    const auto found = values.find(option);
    return found == values.end() ? nullptr : &found->second;
}

Arguments parseArguments(const std::vector<std::string>& args, const std::set<std::string>& valued,
                         const std::set<std::string>& flags)
{
    Arguments parsed;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            parsed.positional.push_back(arg);
        } else if (valued.count(arg)) {
            if (parsed.values.count(arg))
                throw UsageError(arg + " given twice");
            if (i + 1 == args.size())
                throw UsageError(arg + " needs a value");
            parsed.values[arg] = args[++i];
        } else if (flags.count(arg)) {
            if (!parsed.flags.insert(arg).second)
                throw UsageError(arg + " given twice");
        } else {
            throw UsageError("unknown option " + quoted(arg) + " for " + args[0]);
        }
    }
    return parsed;
}

Answers parseAnswers(const std::string& letters)
{
    Answers answers;
    const std::string lower = lowerCase(letters);
    bool wellFormed = lower.size() == kWizardQuestions.size()
        || lower.size() == kWizardQuestions.size() + kWindows10Questions.size();
    // The flags are in the order the questions are asked.
    for (std::size_t i = 0; wellFormed && i < lower.size(); ++i) {
        wellFormed = lower[i] == 'y' || lower[i] == 'n';
        answers[static_cast<AnswerFlag>(i)] = lower[i] == 'y' ? kAnswerYes : kAnswerNo;
    }
    if (!wellFormed)
        throw UsageError("malformed --answers " + quoted(letters)
                         + ": expected three letters, or eight with Windows 10's five, each y or n");
    return answers;
}

ProfileRequest profileRequest(const Arguments& arguments, const std::string& command, Files& files)
{
    if (const std::string* path = arguments.value(kOwnProfileOption))
        return ownProfileRequest(arguments, *path, files);
    if (arguments.positional.empty())
        throw UsageError("missing profile for " + command + ": expected prompted, automatic or restore, or --profile FILE");
    if (arguments.positional.size() > 1)
        throw UsageError("unexpected argument " + quoted(arguments.positional[1]) + ": " + command
                         + " takes one profile");
    ProfileRequest request;
    request.name = lowerCase(arguments.positional[0]);
    request.profile = parseProfile(request.name);
    if (const std::string* letters = arguments.value("--answers")) {
        if (request.profile != Profile::Prompted)
            throw UsageError("--answers is only for the prompted profile: the " + request.name
                             + " profile asks nothing");
        request.answers = parseAnswers(*letters);
        request.windows10Answered = letters->size() > kWizardQuestions.size();
    }
    return request;
}

// An own profile made on Windows 10 or 11 names services of their list: a plan for other machines
// covers it then, as --windows10 would.
Lists listsAskedFor(const Arguments& arguments, const ProfileRequest& request)
{
    const std::vector<std::wstring> windows10 = windows10ListKeys();
    const bool namesWindows10 = std::any_of(request.own.begin(), request.own.end(), [&](const OwnSetting& setting) {
        return std::find(windows10.begin(), windows10.end(), setting.serviceKey) != windows10.end();
    });
    return arguments.has("--windows10") || request.windows10Answered || namesWindows10 ? Lists::WithWindows10
                                                                                      : Lists::Designed;
}

std::string useOwnProfile(PlanInputs& inputs, const ProfileRequest& request)
{
    if (request.profile != Profile::Own)
        return "";
    return fittingNotes(planOwnProfile(inputs, request.own), "quillora-cli: --profile: ");
}

std::vector<std::wstring> skippedKeys(const Arguments& arguments, Files& files)
{
    const std::string* path = arguments.value("--skip");
    if (!path)
        return {};
    try {
        return parseSkipFile(readFile(files, *path));
    } catch (const SkipFileError& error) {
        throw UsageError("--skip " + quoted(*path, kLongestPath)
                         + (error.line() ? ", line " + std::to_string(error.line()) : "") + ": " + error.what());
    }
}

}  // namespace quillora
