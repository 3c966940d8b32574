#pragma once

#include <memory>

#include "engine/machine.h"
#include "platform/files.h"

namespace quillora::platform {

// This machine: its Service Control Manager, opened on first use, and its files.
class WindowsMachine : public Machine {
public:
    WindowsMachine();
    ~WindowsMachine() override;
    ServiceControl& services() override;
    Files& files() override { return files_; }

private:
    std::unique_ptr<ServiceControl> services_;
    WindowsFiles files_;
};

}  // namespace quillora::platform
