#include "platform/common_controls.h"

#include <windows.h>
#include <commctrl.h>

#include "platform/system_error.h"

namespace quillora::platform {

void initialiseCommonControls()
{
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_LISTVIEW_CLASSES;
    if (!InitCommonControlsEx(&classes)) {
        const DWORD error = GetLastError();
        throw systemFailure(error ? error : ERROR_CANNOT_FIND_WND_CLASS);
    }
}

}  // namespace quillora::platform
