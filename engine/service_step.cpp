#include "engine/service_step.h"

namespace quillora {

ActionKind performedAction(const ServiceStep& step, const Answers& answers)
{
    if (!step.question)
        return step.action;
    return answers.yes(*step.question) ? ActionKind::ManualOnly : ActionKind::StopAndDisable;
}

std::wstring logLine(const ServiceStep& step, ActionKind performed)
{
    return step.label + L':' + step.displayName + L':' + effectOf(performed).modeWord;
}

}  // namespace quillora
