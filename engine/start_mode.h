#pragma once

#include <optional>
#include <string>

namespace quillora {

// A service's start mode as the Service Control Manager knows it.
enum class StartMode { Boot, System, Automatic, Manual, Disabled };

// "boot", "system", "auto", "demand", "disabled": the words of sc config.
const char* startModeName(StartMode mode);
std::optional<StartMode> parseStartMode(const std::string& name);

// "boot", "system", "automatic", "manual", "disabled": the words a reader expects.
const char* startModeDescription(StartMode mode);

}  // namespace quillora
