#pragma once

#include <memory>

#include "engine/machine/machine.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/system_restore.h"

namespace quillora::platform {

// This machine: its Service Control Manager, opened on first use, its files, and the user's
// local application-data folder for Quillora's backups.
class WindowsMachine : public Machine {
public:
    WindowsMachine();
    ~WindowsMachine() override;
    ServiceControl* services() override;
    Files& files() override { return files_; }
    std::optional<std::string> dataFolder() override;
    std::string timeStamp() override;
    char separator() const override { return '\\'; }
    std::optional<WindowsVersion> windowsVersion() override;
    std::unique_ptr<RunClaim> claimRuns() override;
    std::unique_ptr<RunClaim> claimRunsAnswering(const std::function<void()>& waiting) override;
    RestorePoints* restorePoints() override { return &restorePoints_; }

    // The folder the shell keeps under this id (CSIDL_...), asked of shell32.
    std::wstring shellFolder(int id);

private:
    std::string localApplicationData();
    std::unique_ptr<RunClaim> claim(const std::function<void()>* waiting);
    std::unique_ptr<RunClaim> claimHeld(KernelHandle mutex, const std::function<void()>* waiting);

    std::unique_ptr<ServiceControl> services_;
    WindowsFiles files_;
    InProcessRestorePoints restorePoints_;
    LibraryHandle shell_;
    std::optional<std::string> dataFolder_;  // found once: it does not move while the program runs
};

}  // namespace quillora::platform
