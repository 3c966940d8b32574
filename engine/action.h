#pragma once

#include <string>
#include <vector>

namespace quillora {

// What one step does to its service: which command lines it launches and which mode word its log
// line states.
enum class ActionKind {
    StopAndDisable,
    StopAndManual,
    ManualOnly,
    StartAndAutomatic,
};

// Window-show state for every service command: the command interpreter's console stays hidden.
inline constexpr int kHiddenWindow = 0;

// The command lines of one step, in launch order: the NET command first where there is one, then
// the sc config command.
std::vector<std::wstring> commandLines(ActionKind kind, const std::wstring& serviceKey);

// The word the log line uses for the start mode the step requests.
const wchar_t* modeWord(ActionKind kind);

// A key with a blank must reach cmd as one argument, so it is put in double quotation marks; every
// other key goes in as it is.
std::wstring quotedKey(const std::wstring& serviceKey);

}  // namespace quillora
