#include "ui/program.h"

#include "engine/settings.h"

namespace quillora::ui {

namespace {

Language startLanguage(platform::Desktop& desktop, std::optional<Language> chosen)
{
    if (chosen)
        return *chosen;
    return savedLanguage(desktop.machine()) == "en" ? Language::English : Language::Chinese;
}

}  // namespace

Program::Program(HINSTANCE instance, platform::Desktop& desktop, std::optional<Language> chosen)
    : desktop_(desktop),
      host(instance, &Window::windowProcedure, desktop, startLanguage(desktop, chosen)),
      runs(desktop, progressWindow, host),
      mainWindow(host, runs, desktop, firstQuestion, helpWindow, servicesWindow)
{
}

}  // namespace quillora::ui
