#include "ui/program.h"

namespace quillora::ui {

Program::Program(HINSTANCE instance, platform::Desktop& desktop)
    : host(instance, &Window::windowProcedure, desktop),
      runs(desktop, progressWindow),
      mainWindow(host, runs, desktop, firstQuestion, helpWindow)
{
}

}  // namespace quillora::ui
