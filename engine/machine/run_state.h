#pragma once

#include <optional>
#include <string>

namespace quillora {

// Whether a service runs, as the Service Control Manager reports it.
enum class RunState { Stopped, Starting, Stopping, Running, Continuing, Pausing, Paused, Unknown };

// "stopped", "running", ...: the words status and apply print.
const char* runStateName(RunState state);
std::optional<RunState> parseRunState(const std::string& name);

}  // namespace quillora
