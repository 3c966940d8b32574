#include "engine/machine/run_state.h"

#include <array>
#include <utility>

namespace quillora {
namespace {

constexpr std::array<std::pair<RunState, const char*>, 8> kStateNames{{
    {RunState::Stopped, "stopped"},
    {RunState::Starting, "starting"},
    {RunState::Stopping, "stopping"},
    {RunState::Running, "running"},
    {RunState::Continuing, "continuing"},
    {RunState::Pausing, "pausing"},
    {RunState::Paused, "paused"},
    {RunState::Unknown, "unknown"},
}};

}  // namespace

const char* runStateName(RunState state)
{
    for (const auto& [known, name] : kStateNames) {
        if (known == state)
            return name;
    }
    return "unknown";
}

std::optional<RunState> parseRunState(const std::string& name)
{
    for (const auto& [known, knownName] : kStateNames) {
        if (name == knownName)
            return known;
    }
    return std::nullopt;
}

}  // namespace quillora
