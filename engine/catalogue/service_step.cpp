#include "engine/catalogue/service_step.h"

namespace quillora {

ActionKind performedAction(const ServiceStep& step, const Answers& answers)
{
    return step.question && answers.yes(step.question->flag) ? step.question->ifYes : step.action;
}

std::wstring logLine(const ServiceStep& step, ActionKind performed, const Wording& words)
{
    return step.label + L':' + step.displayName + L':'
        + (step.leftAlone || effectOf(performed).keeps ? words.leftAlone : modeWordOf(words, effectOf(performed).mode));
}

}  // namespace quillora
