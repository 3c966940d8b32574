#include "engine/records/run/run_origin.h"

#include <algorithm>
#include <iterator>

#include "engine/text/utf8.h"

namespace quillora {
namespace {

constexpr Profile kProfiles[] = {Profile::Prompted, Profile::Automatic, Profile::Restore, Profile::Own};
constexpr std::size_t kLongestCount = 3;

struct MakerName {
    RunMaker maker;
    const char* name;
};
constexpr MakerName kMakerNames[] = {
    {RunMaker::Window, "window"},
    {RunMaker::Apply, "apply"},
    {RunMaker::RestoreBefore, "restore-before"},
    {RunMaker::SetAgain, "set-again"},
    {RunMaker::Undo, "undo"},
    {RunMaker::RestoreFile, "restore"},
    {RunMaker::SetAgainDrifted, "set-again-drifted"},
};

bool madeByProfile(RunMaker maker)
{
    return maker == RunMaker::Window || maker == RunMaker::Apply;
}

bool areAnswerLetters(const std::string& text)
{
    return (text.size() == kWizardQuestions.size() || text.size() == kWizardQuestions.size() + kWindows10Questions.size())
        && text.find_first_not_of("yn") == std::string::npos;
}

std::optional<RunOrigin> parseProfileOrigin(RunMaker maker, const std::string& rest)
{
    const std::size_t blank = rest.find(' ');
    const std::string name = rest.substr(0, blank);
    RunOrigin origin{maker, std::nullopt, blank == std::string::npos ? "" : rest.substr(blank + 1), ""};
    for (const Profile profile : kProfiles) {
        if (name == profileName(profile))
            origin.profile = profile;
    }
    if (origin.profile == Profile::Own) {
        const std::optional<long long> count = decimalNumber(origin.answers, kLongestCount);
        if (!count)
            return std::nullopt;
        origin.ownSettings = static_cast<int>(*count);
        origin.answers.clear();
        return origin;
    }
    const bool answered = origin.profile == Profile::Prompted;
    if (!origin.profile || answered != (blank != std::string::npos) || (answered && !areAnswerLetters(origin.answers)))
        return std::nullopt;
    return origin;
}

}  // namespace

std::optional<RunOrigin> parseOrigin(const std::string& text)
{
    const std::size_t blank = text.find(' ');
    const std::string first = text.substr(0, blank);
    const std::string rest = blank == std::string::npos ? "" : text.substr(blank + 1);
    const auto maker = std::find_if(std::begin(kMakerNames), std::end(kMakerNames),
                                    [&](const MakerName& entry) { return first == entry.name; });
    if (maker == std::end(kMakerNames))
        return std::nullopt;
    if (madeByProfile(maker->maker))
        return parseProfileOrigin(maker->maker, rest);
    // Drift's set again names no run; every other way back names one run, or a backup's file
    // name, which may hold blanks.
    const bool namesOne = maker->maker != RunMaker::SetAgainDrifted;
    if (namesOne == rest.empty() || (namesOne && maker->maker != RunMaker::RestoreFile && rest.find(' ') != std::string::npos))
        return std::nullopt;
    return RunOrigin{maker->maker, std::nullopt, "", rest};
}

std::string originText(const RunOrigin& origin)
{
    std::string text;
    for (const MakerName& entry : kMakerNames) {
        if (entry.maker == origin.maker)
            text = entry.name;
    }
    if (madeByProfile(origin.maker) && origin.profile == Profile::Own)
        return text + " " + profileName(*origin.profile) + " " + std::to_string(origin.ownSettings);
    if (madeByProfile(origin.maker))
        return text + " " + profileName(*origin.profile) + (origin.answers.empty() ? "" : " " + origin.answers);
    return origin.run.empty() ? text : text + " " + origin.run;
}

RunOrigin profileOrigin(RunMaker maker, const PlanInputs& plan)
{
    RunOrigin origin{maker, plan.profile, "", ""};
    if (plan.profile == Profile::Own)
        origin.ownSettings = static_cast<int>(plan.own.size());
    if (plan.profile != Profile::Prompted)
        return origin;
    const Answers& answers = *plan.answers;
    for (const AnswerFlag flag : kWizardQuestions)
        origin.answers += answers.yes(flag) ? 'y' : 'n';
    if (plan.lists == Lists::WithWindows10) {
        for (const AnswerFlag flag : kWindows10Questions)
            origin.answers += answers.yes(flag) ? 'y' : 'n';
    }
    return origin;
}

RunOrigin goingBack(RunMaker maker, const std::string& run)
{
    return {maker, std::nullopt, "", run};
}

}  // namespace quillora
