#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/machine/failure.h"
#include "engine/machine/machine.h"
#include "engine/records/backups/backup_on_machine.h"
#include "engine/records/backups/backup_store.h"
#include "engine/records/transaction/machine_run.h"
#include "engine/records/history/run_history.h"
#include "engine/records/run/run_result.h"

namespace quillora {

// The act of a run that puts saved start modes back: to before an earlier run, the modes an earlier
// run left (set again), the main window's undo, or a backup file restored. It notes each service
// in the run's journal, sets it through the Service Control Manager, neither stopping nor starting
// any, reads them back, judges each against the mode it put back and finishes the run with that
// result. A service that cannot be read, before or after, is named with why; what was changed
// before stays in the result. kept: the services this Windows needs that the user chose to leave
// alone, each in the result as kept.
RestoreResult putBack(MachineRun& run, const std::vector<BackupEntry>& modes, const std::vector<std::wstring>& kept = {});

// The services this Windows needs that the changes would start less readily (disable them, or
// turn an automatic start to a manual one): the warning before any run names them. None where
// the Windows is not known.
std::vector<std::wstring> neededStartedLess(const std::vector<ModeChange>& changes, const std::optional<WindowsVersion>& windows);

// The modes without the entries of these services.
std::vector<BackupEntry> without(std::vector<BackupEntry> modes, const std::vector<std::wstring>& keys);

}  // namespace quillora
