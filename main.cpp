#include <windows.h>

#include "desktop.h"
#include "message_pump.h"
#include "process_launch.h"
#include "program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    quillora::platform::removeCurrentDirectoryFromDllSearch();
    quillora::platform::WindowsDesktop desktop;
    try {
        quillora::ui::Program program(instance, desktop);
        program.Form1.show();
        return quillora::platform::runMessageLoop();
    } catch (const quillora::PlatformFailure& failure) {
        // Nothing could be shown yet: say why and stop.
        desktop.showError(nullptr, quillora::ui::failureMessage(failure), quillora::ui::kProgramTitle);
        return 1;
    }
}
