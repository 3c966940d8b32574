#include "engine/start_mode.h"

#include <array>
#include <utility>

namespace quillora {
namespace {

constexpr std::array<std::pair<StartMode, const char*>, 5> kNames{{
    {StartMode::Boot, "boot"},
    {StartMode::System, "system"},
    {StartMode::Automatic, "auto"},
    {StartMode::Manual, "demand"},
    {StartMode::Disabled, "disabled"},
}};

}  // namespace

StartMode startModeFor(ActionKind kind)
{
    switch (kind) {
    case ActionKind::StopAndDisable:
        return StartMode::Disabled;
    case ActionKind::StartAndAutomatic:
        return StartMode::Automatic;
    case ActionKind::StopAndManual:
    case ActionKind::ManualOnly:
        break;
    }
    return StartMode::Manual;
}

const char* startModeName(StartMode mode)
{
    for (const auto& [known, name] : kNames) {
        if (known == mode)
            return name;
    }
    return "";
}

std::optional<StartMode> parseStartMode(const std::string& name)
{
    for (const auto& [mode, known] : kNames) {
        if (name == known)
            return mode;
    }
    return std::nullopt;
}

}  // namespace quillora
