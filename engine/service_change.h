#pragma once

#include "engine/action.h"
#include "engine/backup_file.h"
#include "engine/machine.h"
#include "engine/service_step.h"

namespace quillora {

// The state that a catalogue row, or a backup being restored, leaves a service in.
struct ServiceTarget {
    bool stopped;    // the service is stopped before its mode is set
    StartMode mode;  // the start mode it is set to
    bool delayed;    // for an automatic start: whether Windows delays it
    bool running;    // the service is started once its mode is set
};

// What a row leaves its service in. The row's command, sc config KEY start= auto, sets a plain
// automatic start: to sc config a delayed start is a start type of its own (delayed-auto), so a
// row's automatic start is never a delayed one.
ServiceTarget targetOf(const ActionEffect& effect);

// What a restore leaves a service in: its saved mode, neither stopped nor started. The entry must
// hold a mode (the service was installed when the backup was made).
ServiceTarget targetOf(const BackupEntry& entry);

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

// Whether the row, as the answers make it, would change its service now: installed, and its mode
// or its running state not as the row leaves it. The one answer for the services window's change
// column, the warning before a run, and status, verify and apply.
bool rowWouldChange(const ServiceStep& step, const Answers& answers, const std::optional<ServiceState>& now);

}  // namespace quillora
