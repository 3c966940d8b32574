#include "engine/run/runner.h"

namespace quillora {

std::wstring closingBanner(const Wording& words)
{
    return std::wstring(kDashLine) + kLineEnd + words.completionSentence;
}

void runStep(const ServiceStep& step, const Answers& answers, bool lastOfRun, ProgressLog& log, Platform& platform)
{
    const ActionKind performed = performedAction(step, answers);
    const std::vector<ServiceCommand> commands =
        step.leftAlone ? std::vector<ServiceCommand>{} : serviceCommands(performed, step.serviceKey);
    platform.stepStarts(step, performed, commands);
    for (const ServiceCommand& command : commands)
        platform.launch(command.line, kHiddenWindow);

    const Wording& words = log.words();
    std::wstring appended = logLine(step, performed, words) + kLineEnd;
    if (lastOfRun)
        appended += closingBanner(words);
    log.append(appended);

    platform.processPendingMessages();
}

void runProfile(const std::vector<ServiceStep>& steps, const Answers& answers, ProgressLog& log, Platform& platform)
{
    for (std::size_t i = 0; i < steps.size(); ++i)
        runStep(steps[i], answers, i + 1 == steps.size(), log, platform);

    const Wording& words = log.words();
    log.setCaption(words.completedCaption);
    log.setStatusLabel(words.completedCaption);
    log.enableExit();
}

}  // namespace quillora
