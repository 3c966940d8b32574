#include "engine/plan/service_change.h"

#include <algorithm>

#include "engine/catalogue/windows_needs.h"
#include "engine/choice/skip_choice.h"

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

std::vector<ServiceStep> leavingAlone(std::vector<ServiceStep> steps, const std::vector<ServiceStep>& alone)
{
    for (ServiceStep& step : steps) {
        step.leftAlone = step.leftAlone || std::any_of(alone.begin(), alone.end(), [&](const ServiceStep& other) {
                                               return other.serviceKey == step.serviceKey;
                                           });
    }
    return steps;
}

std::vector<ServiceStep> neededServicesChanged(const std::vector<ServiceStep>& steps, const Answers& answers,
                                               WindowsGeneration generation, ServiceControl& services)
{
    std::vector<ServiceStep> changed;
    for (const ServiceStep& step : neededServicesTouched(steps, generation)) {
        if (rowWouldChange(step, answers, services.query(step.serviceKey)))
            changed.push_back(step);
    }
    return changed;
}

std::vector<ServiceStep> leavingNeededAlone(std::vector<ServiceStep> steps, const Answers& answers,
                                            const std::optional<WindowsVersion>& windows, ServiceControl& services)
{
    if (!windows)
        return steps;
    const std::vector<ServiceStep> needed = neededServicesChanged(steps, answers, generationOf(*windows), services);
    return leavingAlone(std::move(steps), needed);
}

}  // namespace quillora
