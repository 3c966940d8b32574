#include "engine/plan/plan.h"

#include <algorithm>

#include "engine/catalogue/windows_needs.h"
#include "engine/plan/service_change.h"

namespace quillora {
namespace {

// Whether the plan's profile has a row for the service: the own profile for each it sets.
bool hasRow(const PlanInputs& inputs, const std::wstring& key)
{
    return inputs.profile == Profile::Own ? ownModeOf(inputs.own, key) != OwnMode::Unchanged
                                          : inProfile(inputs.profile, key);
}

bool isChosen(const PlanInputs& inputs, const std::wstring& key)
{
    return std::find(inputs.chosen.begin(), inputs.chosen.end(), key) != inputs.chosen.end();
}

// A change made only to a disabled service is "manual" where the service is disabled, and keeps it
// as it is anywhere else, not installed included; every other action is what it says.
ActionKind actionHere(ActionKind kind, const std::optional<ServiceState>& now)
{
    if (!effectOf(kind).onlyFromDisabled)
        return kind;
    return now && now->mode == StartMode::Disabled ? ActionKind::ManualOnly : ActionKind::Keep;
}

// Whether the action would change the service: on this machine, installed and not as it leaves it;
// for other machines, whenever it sets anything.
bool actionChanges(ActionKind action, const PlannedRow& row)
{
    const ActionEffect& effect = effectOf(action);
    if (effect.keeps)
        return false;
    if (!row.onMachine)
        return true;
    return row.now && pendingChange(targetOf(effect), *row.now).any();
}

// A row's fate, decided in one order: the profile's row at all; the user's choice; the service
// here at all; this Windows' needs; a row that keeps its service as Windows has it; and then what
// its commands would do.
Fate decideFate(const PlanInputs& inputs, const PlannedRow& row)
{
    if (!row.inProfile)
        return Fate::NotInProfile;
    if (isChosen(inputs, row.step.serviceKey))
        return Fate::KeptByChoice;
    if (row.onMachine && !row.now)
        return Fate::NotInstalled;
    if (row.changesNeeded && inputs.needed == NeededServices::LeftAlone)
        return Fate::KeptNeeded;
    if (effectOf(row.action).keeps)
        return Fate::KeptAsWindowsHasIt;
    if (!row.onMachine)
        return Fate::Sets;
    return actionChanges(row.action, row) ? Fate::WouldChange : Fate::NoChange;
}

// Why the row launches nothing, from its fate: a service not installed here still gets the
// commands of a designed row that sets it, as designed, and none from a row that only keeps it; the
// own profile launches nothing for a service that is not there.
std::optional<LeftAlone> leftAloneBy(Fate fate, const PlannedRow& row, Profile profile)
{
    switch (fate) {
    case Fate::KeptByChoice:
        return LeftAlone::ByChoice;
    case Fate::KeptNeeded:
        return LeftAlone::Needed;
    case Fate::KeptAsWindowsHasIt:
        return LeftAlone::AsWindowsHasIt;
    case Fate::NotInstalled:
        return effectOf(row.action).keeps || profile == Profile::Own ? std::optional<LeftAlone>(LeftAlone::NotInstalled)
                                                                      : std::nullopt;
    default:
        return std::nullopt;
    }
}

}  // namespace

PlannedRow planRow(const PlanInputs& inputs, std::size_t index)
{
    ServiceStep step = catalogueStep(inputs.profile, inputs.lists, index);
    if (inputs.profile == Profile::Own)
        step.action = ownAction(ownModeOf(inputs.own, step.serviceKey), step.serviceKey);
    PlannedRow row;
    row.step = step;
    row.inProfile = hasRow(inputs, step.serviceKey);
    row.asked = row.action = performedAction(step, *inputs.answers);
    if (inputs.states) {
        row.onMachine = true;
        row.now = index < inputs.states->size() ? (*inputs.states)[index] : std::nullopt;
        row.action = actionHere(row.asked, row.now);
    }
    row.needed = inputs.generation && isNeeded(step.serviceKey, *inputs.generation);
    row.changesNeeded = row.inProfile && row.needed && actionChanges(row.action, row);
    row.fate = decideFate(inputs, row);
    if (!row.inProfile)
        return row;
    row.leftAlone = leftAloneBy(row.fate, row, inputs.profile);
    if (!row.leftAlone) {
        row.commands = serviceCommands(row.action, step.serviceKey);
        const ActionEffect& effect = effectOf(row.action);
        row.mode = effect.mode;
        row.delayed = effect.delayed;
        row.setsMode = !effect.keeps;
    }
    return row;
}

std::vector<PlannedRow> planRows(const PlanInputs& inputs)
{
    std::vector<PlannedRow> rows;
    const std::size_t count = catalogueKeys(inputs.lists).size();
    for (std::size_t i = 0; i < count; ++i)
        rows.push_back(planRow(inputs, i));
    return rows;
}

std::vector<std::size_t> profileIndices(const PlanInputs& inputs)
{
    std::vector<std::size_t> indices;
    const std::vector<std::wstring> keys = catalogueKeys(inputs.lists);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (hasRow(inputs, keys[i]))
            indices.push_back(i);
    }
    return indices;
}

std::vector<PlannedRow> profilePlan(const PlanInputs& inputs)
{
    std::vector<PlannedRow> rows;
    for (const std::size_t index : profileIndices(inputs))
        rows.push_back(planRow(inputs, index));
    return rows;
}

PlanInputs inputsOnMachine(Profile profile, const Answers& answers, std::vector<std::wstring> chosen,
                           Machine& machine, NeededServices needed)
{
    const std::optional<WindowsVersion> windows = machine.windowsVersion();
    std::optional<std::vector<std::optional<ServiceState>>> states;
    if (ServiceControl* services = machine.services())
        states = services->queryAll(catalogueKeys(listsFor(windows)));
    return inputsFor(profile, answers, std::move(chosen), windows, std::move(states), needed);
}

PlanInputs inputsFor(Profile profile, const Answers& answers, std::vector<std::wstring> chosen,
                     const std::optional<WindowsVersion>& windows,
                     std::optional<std::vector<std::optional<ServiceState>>> states, NeededServices needed)
{
    PlanInputs inputs = inputsForOtherMachines(profile, answers, listsFor(windows), std::move(chosen),
                                               windows ? std::optional(generationOf(*windows)) : std::nullopt, needed);
    inputs.states = std::move(states);
    return inputs;
}

PlanInputs inputsForOtherMachines(Profile profile, const Answers& answers, Lists lists, std::vector<std::wstring> chosen,
                                  std::optional<WindowsGeneration> generation, NeededServices needed)
{
    return {profile, &answers, std::move(chosen), lists, generation, needed, std::nullopt, {}};
}

FittedOwnProfile planOwnProfile(PlanInputs& inputs, const OwnProfile& own)
{
    const bool delayedStarts = !inputs.generation || hasDelayedStart(*inputs.generation);
    FittedOwnProfile fitted = fitOwnProfile(own, inputs.lists, delayedStarts, inputs.states);
    inputs.own = fitted.profile;
    return fitted;
}

std::vector<PlannedRow> changingNeeded(const std::vector<PlannedRow>& rows)
{
    std::vector<PlannedRow> changing;
    for (const PlannedRow& row : rows) {
        if (row.changesNeeded && row.leftAlone != LeftAlone::ByChoice)
            changing.push_back(row);
    }
    return changing;
}

bool choiceCanChange(const PlannedRow& row)
{
    const ServiceStep& step = row.step;
    return row.inProfile && (!effectOf(step.action).keeps || (step.question && !effectOf(step.question->ifYes).keeps));
}

const wchar_t* fateWord(const Wording& words, Fate fate)
{
    switch (fate) {
    case Fate::WouldChange:
        return words.wouldChange;
    case Fate::NoChange:
        return words.noChange;
    case Fate::NotInstalled:
        return words.notInstalled;
    case Fate::KeptByChoice:
        return words.keptByChoice;
    case Fate::KeptNeeded:
        return words.keptNeeded;
    case Fate::KeptAsWindowsHasIt:
        return words.keptAsWindowsHasIt;
    case Fate::Sets:
        return words.sets;
    case Fate::NotInProfile:
        break;
    }
    return L"-";
}

}  // namespace quillora
