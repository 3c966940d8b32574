#include "ui/program.h"

namespace quillora::ui {

Program::Program(HINSTANCE instance, platform::Desktop& desktop)
    : desktop_(desktop),
      host(instance, &Window::windowProcedure, desktop),
      runs(desktop, progressWindow),
      mainWindow(host, runs, desktop, firstQuestion, helpWindow, servicesWindow)
{
}

}  // namespace quillora::ui
