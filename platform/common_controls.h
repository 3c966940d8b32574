#pragma once

#include "platform/handles.h"

namespace quillora::platform {

// Loads the common controls and registers the classes the program creates (the list view), as
// Windows asks before the first such control: Wine registers them anyway, Windows need not. Only
// the services window has one, so the library is loaded then, not at every start. The classes
// stay registered for as long as the returned handle keeps the library loaded. Throws the system's
// reason when it cannot.
LibraryHandle loadCommonControls();

}  // namespace quillora::platform
