#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/machine/failure.h"
#include "engine/machine/machine.h"
#include "engine/records/backup_on_machine.h"
#include "engine/records/backup_store.h"
#include "engine/records/machine_run.h"
#include "engine/records/run_history.h"
#include "engine/records/run_result.h"

namespace quillora {

// The act of a run that puts saved start modes back: to before an earlier run, the modes an earlier
// run left (set again), the main window's undo, or a backup file restored. It sets each service
// through the Service Control Manager, neither stopping nor starting any, reads them back, judges
// each against the mode it put back and finishes the run with that result. A service that cannot
// be read, before or after, is named with why; what was changed before stays in the result.
RestoreResult putBack(MachineRun& run, const std::vector<BackupEntry>& modes);

// The services that the changes would disable and that this Windows needs: the warning before
// any run names them. None where the Windows is not known.
std::vector<std::wstring> disablingNeeded(const std::vector<ModeChange>& changes, const std::optional<WindowsVersion>& windows);

// The modes without the entries of these services.
std::vector<BackupEntry> without(std::vector<BackupEntry> modes, const std::vector<std::wstring>& keys);

}  // namespace quillora
