#include "platform/common_controls.h"

#include <windows.h>
#include <commctrl.h>

#include "platform/process_launch.h"
#include "platform/system_error.h"

namespace quillora::platform {

LibraryHandle loadCommonControls()
{
    // By its full path, as every library the program loads itself; the program's manifest still
    // chooses which version of the common controls this is.
    LibraryHandle library(LoadLibraryW((systemDirectory() + L"\\comctl32.dll").c_str()));
    if (!library)
        throw systemFailure(GetLastError());
    using Initialise = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto initialise =
        reinterpret_cast<Initialise>(reinterpret_cast<void*>(GetProcAddress(library.get(), "InitCommonControlsEx")));
    if (!initialise)
        throw systemFailure(GetLastError());
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_LISTVIEW_CLASSES;
    if (!initialise(&classes)) {
        const DWORD error = GetLastError();
        throw systemFailure(error ? error : ERROR_CANNOT_FIND_WND_CLASS);
    }
    return library;
}

}  // namespace quillora::platform
