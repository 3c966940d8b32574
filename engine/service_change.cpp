#include "engine/service_change.h"

namespace quillora {

ServiceTarget targetOf(const ActionEffect& effect)
{
    return {effect.stopsFirst, effect.mode, false, effect.startsAfter};
}

ServiceTarget targetOf(const BackupEntry& entry)
{
    return {false, *entry.mode, entry.delayed, false};
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

bool rowWouldChange(const ServiceStep& step, const Answers& answers, const std::optional<ServiceState>& now)
{
    return now && pendingChange(targetOf(effectOf(performedAction(step, answers))), *now).any();
}

}  // namespace quillora
