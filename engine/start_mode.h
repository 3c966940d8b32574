#pragma once

#include <optional>
#include <string>

#include "engine/action.h"

namespace quillora {

// A service's start mode as the Service Control Manager knows it.
enum class StartMode { Boot, System, Automatic, Manual, Disabled };

// The mode a step of this kind leaves its service in.
StartMode startModeFor(ActionKind kind);

// "boot", "system", "auto", "demand", "disabled": the words of sc config.
const char* startModeName(StartMode mode);
std::optional<StartMode> parseStartMode(const std::string& name);

}  // namespace quillora
