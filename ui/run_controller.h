#pragma once

#include "engine/answers.h"
#include "engine/catalogue.h"
#include "engine/runner.h"
#include "platform/desktop.h"

namespace quillora::ui {

// The progress window as a run sees it: the log it writes, and a way to bring it up before the
// first step.
class RunDisplay : public ProgressLog {
public:
    // Makes the display visible, loading it afresh where the user closed it.
    virtual void present() = 0;
};

// The one owner of the program's runs. The windows ask it to start a run and whether one is under
// way; it keeps the wizard's answers that the runs read, saves the start modes before each run,
// and stops every run after its current step when the program ends. Runs nest: a run started while
// another lets messages through goes to its end inside it.
class RunController {
public:
    RunController(platform::Desktop& desktop, RunDisplay& display);
    RunController(const RunController&) = delete;
    RunController& operator=(const RunController&) = delete;

    // The wizard's answers, which the question windows write and the runs read.
    Answers& answers() { return answers_; }
    const Answers& answers() const { return answers_; }

    // Saves the start modes the run is about to change, shows the progress window and runs the
    // profile to its end. A run whose backup cannot be saved throws PlatformFailure before it
    // launches or shows anything: no window is left claiming a run that never started. On a
    // Windows that needs services the run would stop or disable, it first warns (owned by owner)
    // and lets the user leave them alone, run everything, or cancel: nothing happens then, and no
    // backup is made.
    void start(Profile profile, HWND owner);

    bool inProgress() const { return runsUnderWay_ > 0; }

    // Ends the program at once; a run under way stops after its current step.
    void endProgram();

private:
    // What a run launches and lets messages through with; after the program has ended it stops
    // the run instead of going on.
    class RunPlatform : public Platform {
    public:
        explicit RunPlatform(RunController& controller) : controller_(controller) {}
        void launch(const std::wstring& commandLine, int showState) override;
        void processPendingMessages() override;

    private:
        RunController& controller_;
    };

    std::optional<std::vector<ServiceStep>> stepsToRun(Profile profile, HWND owner);
    void backUpBeforeRun();

    platform::Desktop& desktop_;
    RunDisplay& display_;
    RunPlatform platform_{*this};
    Answers answers_;
    int runsUnderWay_ = 0;
    bool ended_ = false;
};

}  // namespace quillora::ui
