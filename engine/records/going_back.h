#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/machine/failure.h"
#include "engine/machine/machine.h"
#include "engine/records/backup_on_machine.h"
#include "engine/records/backup_store.h"
#include "engine/records/run_history.h"
#include "engine/records/run_result.h"

namespace quillora {

// A run that puts saved start modes back: to before an earlier run, the modes an earlier run left
// (set again), or the main window's undo. Like every run it saves an automatic backup first and
// records what made it, so that it is a run of the history and can be gone back from in turn;
// then it sets each service through the Service Control Manager, neither stopping nor starting
// any, reads them back and saves its result beside its backup.
struct GoingBackRun {
    SavedBackup backup;
    RestoreResult restore;
    RunResult result;
    // The history or the result could not be written: the services were set all the same.
    std::vector<FileFailure> notKept;
};

// The caller holds the claim on the services. Throws PlatformFailure where the backup cannot be
// saved or the services cannot be read: nothing is changed then.
GoingBackRun goBack(Machine& machine, const std::vector<BackupEntry>& modes, const RunOrigin& origin);

// The services that the changes would disable and that this Windows needs: the warning before
// any run names them. None where the Windows is not known.
std::vector<std::wstring> disablingNeeded(const std::vector<ModeChange>& changes, const std::optional<WindowsVersion>& windows);

// The modes without the entries of these services.
std::vector<BackupEntry> without(std::vector<BackupEntry> modes, const std::vector<std::wstring>& keys);

}  // namespace quillora
