#pragma once

#include <windows.h>

#include <doctest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/catalogue/catalogue.h"
#include "engine/machine/failure.h"
#include "engine/run/recording.h"
#include "platform/dialogs.h"
#include "platform/message_pump.h"
#include "platform/processes.h"
#include "platform/window_timer.h"
#include "tests/support/engine_doubles.h"
#include "tests/support/memory_machine.h"
#include "ui/program/program.h"

inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace doctest {
template <>
struct StringMaker<RECT> {
    static String convert(const RECT& r)
    {
        char text[64];
        std::snprintf(text, sizeof text, "{%ld, %ld, %ld, %ld}", r.left, r.top, r.right, r.bottom);
        return text;
    }
};
}  // namespace doctest

namespace quillora::testing {

// A machine that is another one: the memory machine, unless a test points it at the real one.
class MachineInUse : public Machine {
public:
    explicit MachineInUse(Machine& machine) : target(&machine) {}
    ServiceControl* services() override { return target->services(); }
    Files& files() override { return target->files(); }
    std::optional<std::string> dataFolder() override { return target->dataFolder(); }
    std::string timeStamp() override { return target->timeStamp(); }
    char separator() const override { return target->separator(); }
    std::optional<WindowsVersion> windowsVersion() override { return target->windowsVersion(); }
    std::unique_ptr<RunClaim> claimRuns() override { return target->claimRuns(); }
    std::unique_ptr<RunClaim> claimRunsAnswering(const std::function<void()>& waiting) override
    {
        return target->claimRunsAnswering(waiting);
    }
    RestorePoints* restorePoints() override { return target->restorePoints(); }

    Machine* target;
};

// The system as the windows see it, with launches recorded instead of started, the end of the
// program and message boxes recorded instead of shown. Messages and timers are processed for real,
// so the windows under test get their clicks, closes, paints and results.
class TestDesktop : public platform::Processes, public platform::Dialogs {
public:
    struct Message {
        HWND owner;
        std::wstring text;
        std::wstring caption;
        bool warning = false;
    };

    void launch(const std::wstring& commandLine, int showState) override
    {
        recorder.launch(commandLine, showState);
    }

    void processPendingMessages() override
    {
        platform::processPendingMessages();
        recorder.processPendingMessages();
    }

    void hideWindows() override { ++windowsHidden; }
    void waitForLaunched(std::chrono::milliseconds) override { ++waitsForLaunched; }
    void endProgram() override { ++programEnds; }

    void useButtonCaptions(const platform::ButtonCaptions& captions) override { buttonCaptions = captions; }

    void showError(HWND owner, const std::wstring& text, const std::wstring& caption) override
    {
        errors.push_back({owner, text, caption});
        whileBoxWaits();
    }

    bool ask(HWND owner, const std::wstring& text, const std::wstring& caption) override
    {
        questions.push_back({owner, text, caption});
        whileBoxWaits();
        return answerYes;
    }

    void inform(HWND owner, const std::wstring& text, const std::wstring& caption, bool warning) override
    {
        notices.push_back({owner, text, caption, warning});
        whileBoxWaits();
    }

    // Launches are recorded; each ends at once with the exit status a test gives it (0 unless it
    // says otherwise), or runs on while it is in stillRunning.
    std::size_t launchKept(const std::wstring& commandLine, int showState) override
    {
        recorder.launch(commandLine, showState);
        return recorder.launches.size() - 1;
    }

    std::optional<unsigned long> exitStatus(std::size_t launch) override
    {
        if (stillRunning.count(launch))
            return std::nullopt;
        forgotten.insert(launch);
        const auto given = exitStatuses.find(launch);
        return given == exitStatuses.end() ? 0UL : given->second;
    }

    void forget(std::size_t launch) override { forgotten.insert(launch); }

    std::unique_ptr<Timer> every(std::chrono::milliseconds period, std::function<void()> tick) override
    {
        return std::make_unique<platform::WindowTimer>(period, std::move(tick));
    }

    Choice warnAndChoose(HWND owner, const std::wstring& text, const std::wstring& caption) override
    {
        warnings.push_back({owner, text, caption, true});
        whileBoxWaits();
        return choice;
    }

    // The file a test chooses in the file dialogs; none as cancelled.
    std::optional<std::wstring> chooseFileToSave(HWND, const std::wstring& suggestedName) override
    {
        suggestedNames.push_back(suggestedName);
        whileBoxWaits();
        return fileChosen;
    }
    std::optional<std::wstring> chooseFileToOpen(HWND) override
    {
        whileBoxWaits();
        return fileChosen;
    }
    // The menus shown, each as its items; the item a test chooses in them, none as closed.
    std::optional<std::size_t> chooseFromMenu(HWND, POINT, const std::vector<std::wstring>& items,
                                              std::optional<std::size_t>) override
    {
        menus.push_back(items);
        whileBoxWaits();
        return menuChoice;
    }

    // Launches, message points, a refused launch and code to run at a message point.
    ScriptedPlatform recorder;
    int programEnds = 0;
    int waitsForLaunched = 0;  // the end of the program waited for the commands first
    int windowsHidden = 0;     // every window hidden at once, the program not yet ended
    std::vector<Message> errors;
    std::vector<Message> questions;
    bool answerYes = false;  // what every question is answered
    std::vector<Message> notices;
    std::vector<Message> warnings;
    Choice choice = Choice::Yes;  // what every warning with a choice is answered
    std::optional<std::wstring> fileChosen;
    std::vector<std::vector<std::wstring>> menus;
    std::optional<std::size_t> menuChoice;
    std::vector<std::wstring> suggestedNames;
    platform::ButtonCaptions buttonCaptions;  // as the program last set them
    // What happens while any box or file dialog waits for its answer.
    std::function<void()> whileBoxWaits = [] {};
    std::map<std::size_t, unsigned long> exitStatuses;  // by launch, counted from 0
    std::set<std::size_t> stillRunning;
    std::set<std::size_t> forgotten;  // launches whose process the program let go
    MemoryMachine memoryMachine;
    MachineInUse machine{memoryMachine};
    AnsweringRestorePoints restorePoints;
};

// A whole program with its windows, on a test desktop.
struct ProgramFixture {
    TestDesktop desktop;
    ui::Program program{GetModuleHandleW(nullptr), desktop, desktop, desktop.machine, desktop.restorePoints};
};

// Every window of the program with its design.
inline std::vector<std::pair<ui::Window*, const ui::WindowDesign*>> everyWindow(ui::Program& program)
{
    return {
        {&program.mainWindow, &ui::MainWindow::windowDesign()},
        {&program.progressWindow, &ui::ProgressWindow::windowDesign()},
        {&program.firstQuestion, &ui::QuestionWindow::firstDesign()},
        {&program.secondQuestion, &ui::QuestionWindow::secondDesign()},
        {&program.thirdQuestion, &ui::QuestionWindow::thirdDesign()},
        {&program.xboxQuestion, &ui::QuestionWindow::windows10Design(AnswerFlag::Xbox)},
        {&program.locationQuestion, &ui::QuestionWindow::windows10Design(AnswerFlag::Location)},
        {&program.cellularQuestion, &ui::QuestionWindow::windows10Design(AnswerFlag::Cellular)},
        {&program.nfcQuestion, &ui::QuestionWindow::windows10Design(AnswerFlag::Nfc)},
        {&program.mailQuestion, &ui::QuestionWindow::windows10Design(AnswerFlag::Mail)},
        {&program.helpWindow, &ui::HelpWindow::windowDesign()},
        {&program.servicesWindow, &ui::ServicesWindow::windowDesign()},
    };
}

// Handles every waiting message.
void flushMessages();

// A window's rectangle in its parent's client coordinates.
RECT rectInParent(HWND control);

// The size of a window's client area.
SIZE clientSize(HWND window);

// How far the middle of a window lies from the middle of the screen.
POINT offsetFromScreenCentre(HWND window);

// The font a window or control draws its text with.
LOGFONTW fontOf(HWND window);

void click(HWND button);

}  // namespace quillora::testing
