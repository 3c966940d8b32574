#include "engine/service_step.h"

namespace quillora {

ActionKind performedAction(const ServiceStep& step, const Answers& answers)
{
    return step.question && answers.yes(step.question->flag) ? step.question->ifYes : step.action;
}

std::wstring logLine(const ServiceStep& step, ActionKind performed)
{
    return step.label + L':' + step.displayName + L':' + (step.leftAlone ? kLeftAloneWord : effectOf(performed).modeWord);
}

}  // namespace quillora
