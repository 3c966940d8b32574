#include "platform/windows_machine.h"

#include "platform/service_control.h"

namespace quillora::platform {

WindowsMachine::WindowsMachine() = default;
WindowsMachine::~WindowsMachine() = default;

ServiceControl& WindowsMachine::services()
{
    if (!services_)
        services_ = std::make_unique<WindowsServiceControl>();
    return *services_;
}

}  // namespace quillora::platform
