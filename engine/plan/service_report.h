#pragma once

#include <string>

#include "engine/machine/failure.h"
#include "engine/machine/start_mode.h"

namespace quillora {

// What a service command found or did, one line per service and a summary, in UTF-8. complete is
// false when a service differs from what was asked or could not be set.
struct ServiceReport {
    std::string text;
    bool complete = true;
};

// "auto (delayed)", "demand": a start mode as the files write it, in the words of sc config.
std::string modeText(StartMode mode, bool delayed);

// "automatic (delayed)", "manual": a start mode as the reports say it, in the words the windows and
// the profiles' rows use.
std::string modeWords(StartMode mode, bool delayed);

// "4:automatic updates (wuauserv)": a service as every report names it, by its log label and name.
std::string serviceName(const std::wstring& serviceKey);

// "failed (5: Access is denied.)": a refusal as the reports show it, safe for a terminal.
std::string failureText(const PlatformFailure& failure);

}  // namespace quillora
