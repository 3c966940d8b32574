#pragma once

#include <windows.h>

#include <string>

#include "engine/machine/failure.h"

namespace quillora::platform {

// The system's own text for an error number, without the trailing line end.
std::wstring systemErrorText(DWORD error);

// A PlatformFailure for the error number, with the system's text for it.
PlatformFailure systemFailure(DWORD error);

}  // namespace quillora::platform
