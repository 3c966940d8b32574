#include "engine/plan/plan.h"

#include <algorithm>

#include "engine/catalogue/windows_needs.h"
#include "engine/plan/service_change.h"

namespace quillora {
namespace {

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

std::optional<LeftAlone> whyLeftAlone(const PlanInputs& inputs, const PlannedRow& row)
{
    if (isChosen(inputs, row.step.serviceKey))
        return LeftAlone::ByChoice;
    if (row.changesNeeded && inputs.needed == NeededServices::LeftAlone)
        return LeftAlone::Needed;
    if (effectOf(row.action).keeps)
        return row.onMachine && !row.now ? LeftAlone::NotInstalled : LeftAlone::AsWindowsHasIt;
    return std::nullopt;
}

}  // namespace

PlannedRow planRow(const PlanInputs& inputs, std::size_t index)
{
    const ServiceStep step = catalogueStep(inputs.profile, inputs.lists, index);
    PlannedRow row;
    row.step = step;
    row.inProfile = inProfile(inputs.profile, step.serviceKey);
    row.asked = row.action = performedAction(step, *inputs.answers);
    if (inputs.states) {
        row.onMachine = true;
        row.now = index < inputs.states->size() ? (*inputs.states)[index] : std::nullopt;
        row.action = actionHere(row.asked, row.now);
    }
    row.needed = inputs.generation && isNeeded(step.serviceKey, *inputs.generation);
    if (!row.inProfile)
        return row;
    row.changesNeeded = row.needed && actionChanges(row.action, row);
    row.leftAlone = whyLeftAlone(inputs, row);
    if (!row.leftAlone) {
        row.commands = serviceCommands(row.action, step.serviceKey);
        row.mode = effectOf(row.action).mode;
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
        if (inProfile(inputs.profile, keys[i]))
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
    PlanInputs inputs{profile, &answers, std::move(chosen), listsFor(windows), std::nullopt, needed, std::nullopt};
    if (windows)
        inputs.generation = generationOf(*windows);
    if (ServiceControl* services = machine.services())
        inputs.states = services->queryAll(catalogueKeys(inputs.lists));
    return inputs;
}

PlanInputs inputsForOtherMachines(Profile profile, const Answers& answers, Lists lists, std::vector<std::wstring> chosen)
{
    return {profile, &answers, std::move(chosen), lists, std::nullopt, NeededServices::Changed, std::nullopt};
}

Fate fateOf(const PlannedRow& row)
{
    if (!row.inProfile)
        return Fate::NotInProfile;
    if (row.leftAlone == LeftAlone::ByChoice)
        return Fate::KeptByChoice;
    if (row.onMachine && !row.now)
        return Fate::NotInstalled;
    if (row.leftAlone == LeftAlone::Needed)
        return Fate::KeptNeeded;
    if (row.leftAlone)
        return Fate::KeptAsWindowsHasIt;
    if (!row.onMachine)
        return Fate::Sets;
    return actionChanges(row.action, row) ? Fate::WouldChange : Fate::NoChange;
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
