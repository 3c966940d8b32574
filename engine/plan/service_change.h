#pragma once

#include "engine/catalogue/action.h"
#include "engine/catalogue/catalogue.h"
#include "engine/machine/machine.h"
#include "engine/catalogue/service_step.h"

namespace quillora {

// The state that a catalogue row, or a backup being restored, leaves a service in.
struct ServiceTarget {
    bool stopped;    // the service is stopped before its mode is set
    StartMode mode;  // the start mode it is set to
    bool delayed;    // for an automatic start: whether Windows delays it
    bool running;    // the service is started once its mode is set
};

// What a row leaves its service in. To sc config a delayed start is a start type of its own
// (delayed-auto): a row's automatic start is a delayed one only where its command says so. An
// action that keeps its service has no target: settle it first (actionHere).
ServiceTarget targetOf(const ActionEffect& effect);

// What is still to be done to bring a service from its state now to a target, in the order the
// program's commands do it.
struct PendingChange {
    bool stop = false;
    bool setMode = false;
    bool start = false;

    bool any() const { return stop || setMode || start; }
};

// The one answer to "what would this still change on this service", for status, verify, apply
// and the undo. Windows ignores the delayed flag of every start mode but the automatic one, so
// only there does the flag count.
PendingChange pendingChange(const ServiceTarget& target, const ServiceState& now);

// What an action does to a service in the state it is in now, the one place that decides it: a
// change made only to a disabled service is "manual" where the service is disabled, and keeps it as
// it is anywhere else, not installed included; every other action is what it says.
ActionKind actionHere(ActionKind kind, const std::optional<ServiceState>& now);

// The steps as they run on this machine now, each action settled by actionHere. Only steps whose
// action depends on the machine query it.
std::vector<ServiceStep> settledOnMachine(std::vector<ServiceStep> steps, ServiceControl& services);

// A profile's steps as a run or the companion takes them on this machine now: over the lists of its
// Windows, those of the services chosen to be left alone left alone, each action settled on its
// services (where it has any).
std::vector<ServiceStep> stepsOnMachine(Profile profile, const std::vector<std::wstring>& skipped, Machine& machine);

// Whether the row, as the answers make it, would change its service now: installed, and its mode
// or its running state not as the row leaves it. The one answer for the services window's change
// column, the warning before a run, and status, verify and apply.
bool rowWouldChange(const ServiceStep& step, const Answers& answers, const std::optional<ServiceState>& now);

// The steps that would change, on this machine now, a service that this generation needs: its
// service installed and not as the row leaves it. The warning before a run names these, and these
// alone are left alone; a needed service already as the row leaves it, or not installed, is no
// concern of the run's.
std::vector<ServiceStep> neededServicesChanged(const std::vector<ServiceStep>& steps, const Answers& answers,
                                               WindowsGeneration generation, ServiceControl& services);

// The same steps with those of the given services left alone: they launch nothing and log "保留".
std::vector<ServiceStep> leavingAlone(std::vector<ServiceStep> steps, const std::vector<ServiceStep>& alone);

// The steps as they run on this Windows unless every row is asked for: those that would change a
// service it needs, on this machine now, left alone. On Windows XP and Server 2003, and on an
// unknown Windows, all run.
std::vector<ServiceStep> leavingNeededAlone(std::vector<ServiceStep> steps, const Answers& answers,
                                            const std::optional<WindowsVersion>& windows, ServiceControl& services);

}  // namespace quillora
