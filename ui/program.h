#pragma once

#include <windows.h>

#include "engine/failure.h"
#include "platform/desktop.h"
#include "platform/handles.h"
#include "ui/assets.h"
#include "ui/help_window.h"
#include "ui/main_window.h"
#include "ui/progress_window.h"
#include "ui/question_window.h"

namespace quillora::ui {

// The text of the message box that reports a failure: its number and the system's description.
std::wstring failureMessage(const PlatformFailure& failure);

// Thrown out of a run's message processing once the program has ended, so that the run stops
// after its current step. On Windows the end never returns and this is never thrown; it matters
// where a test stands in for the end of the program.
struct ProgramEnded {};

// The registered window class of every window of the program; unregistered when it goes.
class WindowClass {
public:
    WindowClass(HINSTANCE instance, WNDPROC procedure);
    ~WindowClass();
    WindowClass(const WindowClass&) = delete;
    WindowClass& operator=(const WindowClass&) = delete;
    const wchar_t* name() const;

private:
    HINSTANCE instance_;
};

// The whole program: what the windows draw with, the system services they use, and the shared
// instance of every window. Members are destroyed in reverse order, so every window is gone
// before the fonts, brushes, pictures and the class it used.
class Program {
public:
    Program(HINSTANCE instance, platform::Desktop& desktop);

    HINSTANCE instance() const { return instance_; }
    const Assets& assets() const { return assets_; }
    const wchar_t* windowClassName() const { return windowClass_.name(); }
    // Owner of the windows that must not get a taskbar button; made when the first of them is.
    HWND hiddenOwner();

    platform::Desktop& desktop() { return desktop_; }
    // The wizard's answers, which the question windows write and the runs read.
    Answers& answers() { return answers_; }
    // What the engine launches and pumps messages through during a run.
    Platform& runPlatform() { return runPlatform_; }

    // Ends the program at once, whatever is going on.
    void end();
    bool hasEnded() const { return ended_; }

    // Tells the user about a failure that stopped a handler; the program stays open.
    void reportFailure(HWND owner, const PlatformFailure& failure);

    // Saves the start modes a run is about to change, so that the user's own settings can be put
    // back (the main window's undo, quillora-cli restore --last). Throws PlatformFailure naming the
    // backup file when it cannot: the run must then not start.
    void backUpBeforeRun();

    // Marks a run as under way for as long as it lives; runs nest.
    class RunUnderWay {
    public:
        explicit RunUnderWay(Program& program) : program_(program) { ++program_.runsUnderWay_; }
        ~RunUnderWay() { --program_.runsUnderWay_; }
        RunUnderWay(const RunUnderWay&) = delete;
        RunUnderWay& operator=(const RunUnderWay&) = delete;

    private:
        Program& program_;
    };
    bool runInProgress() const { return runsUnderWay_ > 0; }

private:
    class RunPlatform : public Platform {
    public:
        explicit RunPlatform(Program& program) : program_(program) {}
        void launch(const std::wstring& commandLine, int showState) override;
        void processPendingMessages() override;

    private:
        Program& program_;
    };

    HINSTANCE instance_;
    platform::Desktop& desktop_;
    RunPlatform runPlatform_{*this};
    bool ended_ = false;
    int runsUnderWay_ = 0;
    Answers answers_;
    Assets assets_;
    WindowClass windowClass_;
    platform::WindowHandle hiddenOwner_;

public:
    // The shared instance of every window.
    MainWindow mainWindow{*this};
    ProgressWindow progressWindow{*this};
    QuestionWindow firstQuestion{*this, QuestionWindow::firstDesign(), AnswerFlag::CdBurner, &secondQuestion};
    QuestionWindow secondQuestion{*this, QuestionWindow::secondDesign(), AnswerFlag::Printer, &thirdQuestion};
    QuestionWindow thirdQuestion{*this, QuestionWindow::thirdDesign(), AnswerFlag::Imaging, nullptr};
    HelpWindow helpWindow{*this};
};

}  // namespace quillora::ui
