#include "engine/machine/start_mode.h"

#include <array>

namespace quillora {
namespace {

struct ModeNames {
    StartMode mode;
    const char* name;         // as sc config writes it
    const char* description;  // as a person says it
};

constexpr std::array<ModeNames, 5> kModeNames{{
    {StartMode::Boot, "boot", "boot"},
    {StartMode::System, "system", "system"},
    {StartMode::Automatic, "auto", "automatic"},
    {StartMode::Manual, "demand", "manual"},
    {StartMode::Disabled, "disabled", "disabled"},
}};

const ModeNames& namesOf(StartMode mode)
{
    for (const ModeNames& names : kModeNames) {
        if (names.mode == mode)
            return names;
    }
    return kModeNames.front();
}

}  // namespace

const char* startModeName(StartMode mode)
{
    return namesOf(mode).name;
}

const char* startModeDescription(StartMode mode)
{
    return namesOf(mode).description;
}

std::optional<StartMode> parseStartMode(const std::string& name)
{
    for (const ModeNames& names : kModeNames) {
        if (name == names.name)
            return names.mode;
    }
    return std::nullopt;
}

}  // namespace quillora
