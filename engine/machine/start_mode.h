#pragma once

#include <optional>
#include <string>

namespace quillora {

// A service's start mode as the Service Control Manager knows it.
enum class StartMode { Boot, System, Automatic, Manual, Disabled };

// "boot", "system", "auto", "demand", "disabled": the words of sc config.
const char* startModeName(StartMode mode);
// sc config's word for an automatic start that Windows delays.
inline constexpr char kDelayedAutoName[] = "delayed-auto";
std::optional<StartMode> parseStartMode(const std::string& name);

// "boot", "system", "automatic", "manual", "disabled": the words a reader expects.
const char* startModeDescription(StartMode mode);

}  // namespace quillora
