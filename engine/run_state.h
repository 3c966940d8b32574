#pragma once

namespace quillora {

// Whether a service runs, as the Service Control Manager reports it.
enum class RunState { Stopped, Starting, Stopping, Running, Continuing, Pausing, Paused, Unknown };

// "stopped", "running", ...: the words status and apply print.
const char* runStateName(RunState state);

}  // namespace quillora
