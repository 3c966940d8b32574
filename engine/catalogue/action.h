#pragma once

#include <string>
#include <vector>

#include "engine/machine/start_mode.h"

namespace quillora {

// What one step does to its service.
enum class ActionKind {
    StopAndDisable,
    StopAndManual,
    ManualOnly,
    StartAndAutomatic,
    // For the services of Windows 10 and 11:
    DisableOnly,           // a per-user template, which never runs: its start mode alone
    DelayedAutomaticOnly,  // a per-user template back to its delayed automatic start
    ManualIfDisabled,      // back to manual where it is disabled; any other mode is kept
    Keep,                  // left as Windows has it: nothing is launched
    // For the user's own profile:
    StartAndDelayedAutomatic,  // an automatic start that Windows delays, then started
    AutomaticOnly,             // a per-user template set to start automatically: its mode alone
};

// The meaning of an action kind, the one place that says it: the program's command lines and log
// words, apply, both exports, the services table, status and verify all read it here.
struct ActionEffect {
    bool stopsFirst;          // the service is stopped before its start mode is set
    StartMode mode;           // the start mode it is set to
    bool startsAfter;         // the service is started once the mode allows it
    bool delayed = false;     // an automatic start that Windows delays (sc config's delayed-auto)
    bool onlyFromDisabled = false;  // changes only a service that is disabled now
    bool keeps = false;       // changes nothing: mode and state are left as they are
};

const ActionEffect& effectOf(ActionKind kind);

// Window-show state for every service command: the command interpreter's console stays hidden.
inline constexpr int kHiddenWindow = 0;

// The commands a step launches, each for one part of what its row asks.
enum class CommandKind {
    NetStop,   // stops the service
    NetStart,  // starts the service
    ScConfig,  // sets the start mode; its exit status is a Windows error number
};

struct ServiceCommand {
    CommandKind kind;
    std::wstring line;
};

// The commands of one step, in launch order: the NET command first where there is one, then the
// sc config command; none for a step that keeps its service as it is.
std::vector<ServiceCommand> serviceCommands(ActionKind kind, const std::wstring& serviceKey);

// A key with a blank must reach cmd as one argument, so it is put in double quotation marks; every
// other key goes in as it is.
std::wstring quotedKey(const std::wstring& serviceKey);

// What a step of this kind does, in English: "stop, disabled", "manual", "automatic, start"; the
// words of the English windows (engine/wording.h), in UTF-8 for the companion, the manual's table
// and the saved results. Each kind has words of its own.
std::string actionDescription(ActionKind kind);

}  // namespace quillora
