#include "ui/program/program.h"

#include "engine/choice/settings.h"

namespace quillora::ui {

namespace {

Language startLanguage(Machine& machine, std::optional<Language> chosen)
{
    if (chosen)
        return *chosen;
    const std::optional<TableLanguage> saved = savedLanguage(machine);
    return saved ? languageOf(*saved) : Language::Chinese;
}

}  // namespace

Program::Program(HINSTANCE instance, platform::Processes& processes, platform::Dialogs& shownDialogs, Machine& machine,
                 RestorePoints& restorePoints, std::optional<Language> chosen)
    : dialogs(shownDialogs),
      host(instance, &Window::windowProcedure, dialogs, startLanguage(machine, chosen)),
      results(processes, machine),
      skips(machine),
      ownProfile(machine),
      runs(processes, dialogs, machine, results, skips, ownProfile, progressWindow, host, restorePoints),
      thirdQuestion(host, runs, QuestionWindow::thirdDesign(), AnswerFlag::Imaging,
                    listsFor(machine.windowsVersion()) == Lists::WithWindows10 ? &xboxQuestion : nullptr),
      servicesWindow(host, runs, results, skips, ownProfile, dialogs, machine, waits),
      mainWindow(host, runs, results, processes, dialogs, machine, firstQuestion, helpWindow, servicesWindow)
{
}

}  // namespace quillora::ui
