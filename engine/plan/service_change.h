#pragma once

#include "engine/catalogue/action.h"
#include "engine/machine/machine.h"

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
// action that keeps its service has no target: the plan settles it first.
ServiceTarget targetOf(const ActionEffect& effect);

// What is still to be done to bring a service from its state now to a target, in the order the
// program's commands do it.
struct PendingChange {
    bool stop = false;
    bool setMode = false;
    bool start = false;

    bool any() const { return stop || setMode || start; }
};

// The one answer to "what would this still change on this service", for the plan, apply, the
// result and the undo. Windows ignores the delayed flag of every start mode but the automatic one,
// so only there does the flag count.
PendingChange pendingChange(const ServiceTarget& target, const ServiceState& now);

}  // namespace quillora
