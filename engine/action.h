#pragma once

#include <string>
#include <vector>

#include "engine/start_mode.h"

namespace quillora {

// What one step does to its service.
enum class ActionKind {
    StopAndDisable,
    StopAndManual,
    ManualOnly,
    StartAndAutomatic,
};

// The meaning of an action kind, the one place that says it: the program's command lines and log
// words, apply, both exports, the services table, status and verify all read it here.
struct ActionEffect {
    bool stopsFirst;          // the service is stopped before its start mode is set
    StartMode mode;           // the start mode it is set to
    bool startsAfter;         // the service is started once the mode allows it
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
// sc config command.
std::vector<ServiceCommand> serviceCommands(ActionKind kind, const std::wstring& serviceKey);

// A key with a blank must reach cmd as one argument, so it is put in double quotation marks; every
// other key goes in as it is.
std::wstring quotedKey(const std::wstring& serviceKey);

// What a step of this kind does, in English: "stop, disabled", "manual", "automatic, start"; the
// words of the English windows (engine/wording.h), in UTF-8 for the companion, the manual's table
// and the saved results.
std::string actionDescription(ActionKind kind);

}  // namespace quillora
