#pragma once

namespace quillora::platform {

// Registers the common control classes the program creates (the list view), as Windows asks
// before the first such control: Wine registers them anyway, Windows need not. Throws the
// system's reason when it cannot.
void initialiseCommonControls();

}  // namespace quillora::platform
