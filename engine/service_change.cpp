#include "engine/service_change.h"

#include "engine/skip_choice.h"

namespace quillora {

ServiceTarget targetOf(const ActionEffect& effect)
{
    return {effect.stopsFirst, effect.mode, effect.delayed, effect.startsAfter};
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

ActionKind actionHere(ActionKind kind, const std::optional<ServiceState>& now)
{
    if (!effectOf(kind).onlyFromDisabled)
        return kind;
    return now && now->mode == StartMode::Disabled ? ActionKind::ManualOnly : ActionKind::Keep;
}

bool rowWouldChange(const ServiceStep& step, const Answers& answers, const std::optional<ServiceState>& now)
{
    if (!now)
        return false;
    const ActionEffect& effect = effectOf(actionHere(performedAction(step, answers), now));
    return !effect.keeps && pendingChange(targetOf(effect), *now).any();
}

std::vector<ServiceStep> settledOnMachine(std::vector<ServiceStep> steps, ServiceControl& services)
{
    for (ServiceStep& step : steps) {
        if (effectOf(step.action).onlyFromDisabled)
            step.action = actionHere(step.action, services.query(step.serviceKey));
    }
    return steps;
}

std::vector<ServiceStep> stepsOnMachine(Profile profile, const std::vector<std::wstring>& skipped, Machine& machine)
{
    std::vector<ServiceStep> steps =
        leavingChosenAlone(profileSteps(profile, listsFor(machine.windowsVersion())), skipped);
    ServiceControl* services = machine.services();
    return services ? settledOnMachine(std::move(steps), *services) : steps;
}

}  // namespace quillora
