#include "engine/machine.h"

namespace quillora {

ServiceControl& servicesOf(Machine& machine)
{
    ServiceControl* services = machine.services();
    if (!services)
        throw PlatformFailure(0, L"this system has no Windows services");
    return *services;
}

}  // namespace quillora
