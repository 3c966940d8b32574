#pragma once

#include <string>

#include "platform/handles.h"

namespace quillora::platform {

// Starts the command line as a new process with the given window-show state and returns at once
// with the process, which nothing waits for; a caller that does not keep it lets it go.
//
// The program runs with administrator rights, so it never lets Windows search for the program to
// start: "cmd" is always the system's own cmd.exe and "explorer" the Windows folder's
// explorer.exe, named by full path, and the child starts in the system folder so that NET and sc
// cannot be picked up from the user's current folder either. The command line itself is passed
// unchanged. Throws PlatformFailure with the system's error number and text when Windows refuses.
KernelHandle launchProcess(const std::wstring& commandLine, int showState);

// The full path of the program a command line starts; empty for a program we do not launch.
std::wstring applicationPath(const std::wstring& commandLine);

// The system folder, where launched programs start.
std::wstring systemDirectory();

// Takes the current folder out of the program's own DLL search.
void removeCurrentDirectoryFromDllSearch();

}  // namespace quillora::platform
