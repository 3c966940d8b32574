#include <windows.h>

#include "platform/desktop.h"
#include "platform/message_pump.h"
#include "platform/process_launch.h"
#include "ui/identifiers.h"
#include "ui/program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    quillora::platform::removeCurrentDirectoryFromDllSearch();
    quillora::platform::WindowsDesktop desktop;
    try {
        quillora::ui::Program program(instance, desktop);
        program.mainWindow.show();
        return quillora::platform::runMessageLoop();
    } catch (const quillora::PlatformFailure& failure) {
        // Nothing could be shown yet: say why and stop.
        desktop.showError(nullptr, quillora::ui::failureMessage(failure), quillora::ui::kMainCaption);
        return 1;
    }
}
