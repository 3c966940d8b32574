#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/catalogue/action.h"
#include "engine/catalogue/answers.h"
#include "engine/catalogue/catalogue.h"
#include "engine/catalogue/wording.h"
#include "engine/choice/own_profile.h"
#include "engine/machine/machine.h"
#include "engine/machine/windows_version.h"

namespace quillora {

// What a run does to each service of this machine's lists, and why it leaves one alone, decided in
// one place: the run, its log, backup and result, the warning before it, the services window,
// plan, status, verify, apply and the exports all read it here.

// Why a row launches nothing.
enum class LeftAlone {
    ByChoice,        // the user chose so
    Needed,          // this Windows needs the service as it has it, and the row would change it
    NotInstalled,    // its change depends on the service's state, and there is no such service
    AsWindowsHasIt,  // the row keeps it as Windows has it: a "yes" to its question, every row of the
                     // Windows 10 list in the automatic profile, or a restore that changes only a
                     // disabled service, where it is not disabled
};

// What becomes of a service, as every window, report and manual names it.
enum class Fate {
    WouldChange,         // installed, and the row's commands would change it
    NoChange,            // installed and already as the row leaves it
    NotInstalled,        // no such service here
    KeptByChoice,
    KeptNeeded,
    KeptAsWindowsHasIt,
    NotInProfile,        // the profile has no row for it
    Sets,                // for other machines: the row sets it
};

// What the warning's answer, or the companion's --all, makes of a row that would change a service
// this Windows needs.
enum class NeededServices { LeftAlone, Changed };

// What a plan is made from. states: the services of the lists now, one for each key in catalogue
// order (nullopt: not installed), or nullopt for a plan for other machines, which knows no state.
// generation: the Windows whose needs count; nullopt where none do.
struct PlanInputs {
    Profile profile;
    const Answers* answers;
    std::vector<std::wstring> chosen;  // left alone by the user's choice
    Lists lists;
    std::optional<WindowsGeneration> generation;
    NeededServices needed = NeededServices::LeftAlone;
    std::optional<std::vector<std::optional<ServiceState>>> states;
    OwnProfile own;  // what the own profile sets; the run keeps it as it began, whatever changes meanwhile
};

// One row of the machine's lists under a profile.
struct PlannedRow {
    ServiceStep step;        // the catalogue's row under the profile
    bool inProfile = false;  // false: the profile has no row for the service (Themes but in restore)
    ActionKind asked = ActionKind::Keep;   // what the row asks with the answers as they are: "manual if disabled" unsettled
    ActionKind action = ActionKind::Keep;  // what it performs here: "manual if disabled" settled where the state is known
    std::optional<LeftAlone> leftAlone;  // nullopt: it launches its commands
    std::vector<ServiceCommand> commands;  // what it launches, in launch order; none where left alone
    StartMode mode = StartMode::Manual;    // the start mode its commands set, which its log line names
    bool delayed = false;                  // ... an automatic start that Windows delays
    bool setsMode = false;                 // it launches commands that set that mode
    bool needed = false;          // this Windows needs the service as Windows sets it
    bool changesNeeded = false;   // ... and the row would change it (here, or on any machine of that Windows)
    bool onMachine = false;       // planned against this machine's services
    std::optional<ServiceState> now;  // the service as it was read, where planned on this machine
    Fate fate = Fate::NotInProfile;   // what becomes of it, decided with the rest of the row
};

// The row of the lists at this index (catalogue order), planned with the answers as they are now:
// a run plans each row when it reaches it, so an answer given during a run still counts for the
// rows not yet reached.
PlannedRow planRow(const PlanInputs& inputs, std::size_t index);

// Every row of the lists, in catalogue order.
std::vector<PlannedRow> planRows(const PlanInputs& inputs);

// The rows of the lists the profile has, in run order, with their indices in the lists.
std::vector<std::size_t> profileIndices(const PlanInputs& inputs);

// The profile's rows only, in run order.
std::vector<PlannedRow> profilePlan(const PlanInputs& inputs);

// The inputs of a plan for this machine: its lists, its Windows' needs and its services now.
PlanInputs inputsOnMachine(Profile profile, const Answers& answers, std::vector<std::wstring> chosen,
                           Machine& machine, NeededServices needed = NeededServices::LeftAlone);

// The inputs of a plan for a machine of this Windows (nullopt: one whose Windows is not known,
// whose needs do not count) whose services are as states says (nullopt: not known).
PlanInputs inputsFor(Profile profile, const Answers& answers, std::vector<std::wstring> chosen,
                     const std::optional<WindowsVersion>& windows,
                     std::optional<std::vector<std::optional<ServiceState>>> states, NeededServices needed);

// The inputs of a plan for other machines: no state, and by default no Windows whose needs count.
// The answers must outlive the inputs.
PlanInputs inputsForOtherMachines(Profile profile, const Answers& answers, Lists lists,
                                  std::vector<std::wstring> chosen = {},
                                  std::optional<WindowsGeneration> generation = std::nullopt,
                                  NeededServices needed = NeededServices::Changed);

// Gives the plan the own profile, fitted to the machine it plans for: its lists, its Windows'
// delayed starts (any, where its Windows is not known), its services where known; what that left
// out or changed.
FittedOwnProfile planOwnProfile(PlanInputs& inputs, const OwnProfile& own);

// The rows of the plan that would change a service this Windows needs, whatever the answer to the
// warning: what the warning names.
std::vector<PlannedRow> changingNeeded(const std::vector<PlannedRow>& rows);

// Whether a check box on the row can change anything: the profile has the row, and on some machine
// with some answer it changes its service.
bool choiceCanChange(const PlannedRow& row);

// The word for a fate in the language of the words; "-" for a row the profile does not have.
const wchar_t* fateWord(const Wording& words, Fate fate);

}  // namespace quillora
