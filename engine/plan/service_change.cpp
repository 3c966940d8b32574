#include "engine/plan/service_change.h"

namespace quillora {

ServiceTarget targetOf(const ActionEffect& effect)
{
    return {effect.stopsFirst, effect.mode, effect.delayed, effect.startsAfter};
}

PendingChange pendingChange(const ServiceTarget& target, const ServiceState& now)
{
    PendingChange pending;
    pending.stop = target.stopped && now.state != RunState::Stopped;
    pending.setMode = now.mode != target.mode
        || (target.mode == StartMode::Automatic && now.delayed != target.delayed);
    pending.start = target.running && now.state != RunState::Running;
    return pending;
}

}  // namespace quillora
