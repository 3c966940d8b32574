#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "engine/answers.h"
#include "engine/backup_store.h"
#include "engine/catalogue.h"
#include "engine/run_result.h"
#include "engine/runner.h"
#include "platform/desktop.h"
#include "ui/window_host.h"

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
    // host: the language the run speaks in its messages.
    RunController(platform::Desktop& desktop, RunDisplay& display, const WindowHost& host);
    ~RunController();
    RunController(const RunController&) = delete;
    RunController& operator=(const RunController&) = delete;

    // The wizard's answers, which the question windows give and the runs read.
    const Answers& answers() const { return answers_; }
    void answer(AnswerFlag flag, std::int16_t value);
    // The answers given in this start of the program, or all yes before any was given: what the
    // services window shows the prompted profile with.
    Answers answersOrAllYes() const;

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

    // Notes which launched commands have ended. Once all the commands of a run that is over have
    // ended, reads back every service it touched, keeps the result and saves it beside the run's
    // backup; throws PlatformFailure naming the file when it cannot be saved (the result is kept
    // all the same). Called on a timer; the run itself never waits for a command.
    void collectResults();
    // What the last run started really did, once all its commands have ended.
    const std::optional<RunResult>& lastResult() const { return lastResult_; }
    // Whether the last run started is still running or waiting for its commands to end.
    bool lastResultPending() const;

private:
    class Tracking;

    std::optional<std::vector<ServiceStep>> stepsToRun(Profile profile, HWND owner);
    SavedBackup backUpBeforeRun();
    RunResult readBack(const RunRecord& record);
    std::wstring failureReason(const ServiceResult& result) const;

    platform::Desktop& desktop_;
    RunDisplay& display_;
    const WindowHost& host_;
    Answers answers_;
    bool answersGiven_ = false;
    int runsUnderWay_ = 0;
    bool ended_ = false;
    // Runs whose result is not known yet, in the order they started; the last is the newest.
    std::vector<std::unique_ptr<RunRecord>> tracked_;
    bool newestTracked_ = false;  // whether the last run started is among them
    std::optional<RunResult> lastResult_;
};

}  // namespace quillora::ui
