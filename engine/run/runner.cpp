#include "engine/run/runner.h"

namespace quillora {

std::wstring closingBanner(const Wording& words)
{
    return std::wstring(kDashLine) + kLineEnd + words.completionSentence;
}

std::wstring logLine(const PlannedRow& row, const Wording& words)
{
    return row.step.label + L':' + row.step.displayName + L':'
        + (row.leftAlone ? words.leftAlone : modeWordOf(words, row.mode));
}

void runStep(const PlannedRow& row, bool lastOfRun, ProgressLog& log, Platform& platform)
{
    platform.stepStarts(row);
    for (const ServiceCommand& command : row.commands)
        platform.launch(command.line, kHiddenWindow);

    const Wording& words = log.words();
    std::wstring appended = logLine(row, words) + kLineEnd;
    if (lastOfRun)
        appended += closingBanner(words);
    log.append(appended);

    platform.processPendingMessages();
}

void runRows(std::size_t count, const std::function<PlannedRow(std::size_t)>& rowAt, ProgressLog& log,
             Platform& platform)
{
    for (std::size_t i = 0; i < count; ++i)
        runStep(rowAt(i), i + 1 == count, log, platform);

    const Wording& words = log.words();
    log.setCaption(words.completedCaption);
    log.setStatusLabel(words.completedCaption);
    log.enableExit();
}

void runPlan(const PlanInputs& inputs, ProgressLog& log, Platform& platform)
{
    const std::vector<std::size_t> indices = profileIndices(inputs);
    runRows(indices.size(), [&](std::size_t i) { return planRow(inputs, indices[i]); }, log, platform);
}

}  // namespace quillora
