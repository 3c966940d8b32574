#pragma once

#include <windows.h>

#include <optional>

#include "engine/machine/machine.h"
#include "engine/records/transaction/run_results.h"
#include "platform/dialogs.h"
#include "platform/message_pump.h"
#include "platform/modal_dialogs.h"
#include "platform/processes.h"
#include "ui/windows/help_window.h"
#include "ui/windows/main_window.h"
#include "ui/windows/progress_window.h"
#include "ui/windows/question_window.h"
#include "ui/runs/run_controller.h"
#include "ui/services/services_window.h"
#include "ui/window/window_host.h"

namespace quillora::ui {

// The whole program, built and wired: the boxes, the host that every window needs, the results of runs, the
// run controller, and the shared instance of every window, each given what it uses. Members are
// destroyed in reverse order, so every window is gone before the run controller, the results and
// the fonts, brushes, pictures and class of the host.
class Program {
public:
    // chosen: the language asked for on the command line, for this start only; without one the
    // windows speak the language the user last chose, Chinese until they choose.
    // restorePoints: System Restore, asked before each run of the windows unless the user turned it
    // off.
    Program(HINSTANCE instance, platform::Processes& processes, platform::Dialogs& shownDialogs, Machine& machine,
            RestorePoints& restorePoints, std::optional<Language> chosen = std::nullopt);

    // Every box and file dialog of the program, each holding the whole program while it waits.
    platform::ProgramModalDialogs dialogs;
    // The message loop's waits, beside the messages.
    platform::Waits waits;
    WindowHost host;
    ProgressWindow progressWindow{host};
    RunResults results;
    ChosenSkips skips;
    KeptOwnProfile ownProfile;
    RunController runs;
    HelpWindow helpWindow{host};
    QuestionWindow mailQuestion{host, runs, QuestionWindow::windows10Design(AnswerFlag::Mail), AnswerFlag::Mail, nullptr};
    QuestionWindow nfcQuestion{host, runs, QuestionWindow::windows10Design(AnswerFlag::Nfc), AnswerFlag::Nfc,
                               &mailQuestion};
    QuestionWindow cellularQuestion{host, runs, QuestionWindow::windows10Design(AnswerFlag::Cellular),
                                    AnswerFlag::Cellular, &nfcQuestion};
    QuestionWindow locationQuestion{host, runs, QuestionWindow::windows10Design(AnswerFlag::Location),
                                    AnswerFlag::Location, &cellularQuestion};
    QuestionWindow xboxQuestion{host, runs, QuestionWindow::windows10Design(AnswerFlag::Xbox), AnswerFlag::Xbox,
                                &locationQuestion};
    // On Windows 10 and 11 the wizard goes on to the five questions of their services.
    QuestionWindow thirdQuestion;
    QuestionWindow secondQuestion{host, runs, QuestionWindow::secondDesign(), AnswerFlag::Printer, &thirdQuestion};
    QuestionWindow firstQuestion{host, runs, QuestionWindow::firstDesign(), AnswerFlag::CdBurner, &secondQuestion};
    ServicesWindow servicesWindow;
    MainWindow mainWindow;
};

}  // namespace quillora::ui
