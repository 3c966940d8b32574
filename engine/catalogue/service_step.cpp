#include "engine/catalogue/service_step.h"

namespace quillora {

ActionKind performedAction(const ServiceStep& step, const Answers& answers)
{
    return step.question && answers.yes(step.question->flag) ? step.question->ifYes : step.action;
}

}  // namespace quillora
