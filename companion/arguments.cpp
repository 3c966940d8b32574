#include "companion/arguments.h"

#include <cstdio>

#include "engine/utf8.h"

namespace quillora {
namespace {

Profile parseProfile(const std::string& name)
{
    if (name == "prompted")
        return Profile::Prompted;
    if (name == "automatic")
        return Profile::Automatic;
    if (name == "restore")
        return Profile::Restore;
    throw UsageError("unknown profile " + quoted(name) + ": expected prompted, automatic or restore");
}

}  // namespace

std::string quoted(const std::string& argument, std::size_t longest)
{
    std::string text = "'";
    std::size_t at = 0;
    while (at < argument.size() && at < longest) {
        const unsigned char c = static_cast<unsigned char>(argument[at]);
        const std::size_t length = utf8SequenceLength(argument, at);
        // C0 controls, DEL and bytes that are not UTF-8 are shown as bytes; C1 controls (U+0080
        // to U+009F), which steer terminals too, as characters.
        const bool byte = c < 0x20 || c == 0x7F || length == 0;
        const bool c1 = length == 2 && c == 0xC2 && static_cast<unsigned char>(argument[at + 1]) < 0xA0;
        if (byte || c1) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, byte ? "\\x%02X" : "\\u%04X",
                          byte ? c : static_cast<unsigned char>(argument[at + 1]));
            text += escaped;
        } else {
            text.append(argument, at, length);
        }
        at += byte ? 1 : length;
    }
    if (at < argument.size())
        text += "...' (" + std::to_string(argument.size()) + " bytes)";
    else
        text += "'";
    return text;
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
    constexpr AnswerFlag kWizardOrder[] = {AnswerFlag::CdBurner, AnswerFlag::Printer, AnswerFlag::Imaging};
    Answers answers;
    bool wellFormed = letters.size() == std::size(kWizardOrder);
    for (std::size_t i = 0; wellFormed && i < letters.size(); ++i) {
        wellFormed = letters[i] == 'y' || letters[i] == 'n';
        answers[kWizardOrder[i]] = letters[i] == 'y' ? kAnswerYes : kAnswerNo;
    }
    if (!wellFormed)
        throw UsageError("malformed --answers " + quoted(letters) + ": expected three letters, each y or n");
    return answers;
}

ProfileRequest profileRequest(const Arguments& arguments, const std::string& command)
{
    if (arguments.positional.empty())
        throw UsageError("missing profile for " + command + ": expected prompted, automatic or restore");
    if (arguments.positional.size() > 1)
        throw UsageError("unexpected argument " + quoted(arguments.positional[1]) + ": " + command
                         + " takes one profile");
    ProfileRequest request;
    request.name = arguments.positional[0];
    request.profile = parseProfile(request.name);
    if (const std::string* letters = arguments.value("--answers")) {
        if (request.profile != Profile::Prompted)
            throw UsageError("--answers is only for the prompted profile: the " + request.name
                             + " profile asks nothing");
        request.answers = parseAnswers(*letters);
    }
    return request;
}

}  // namespace quillora
