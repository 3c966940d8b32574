#include "engine/service_report.h"

#include "engine/printable.h"

namespace quillora {

std::string modeText(StartMode mode, bool delayed)
{
    return std::string(startModeName(mode)) + (delayed ? " (delayed)" : "");
}

std::string failureText(const PlatformFailure& failure)
{
    return "failed (" + std::to_string(failure.number()) + ": " + printable(failure.description()) + ")";
}

}  // namespace quillora
