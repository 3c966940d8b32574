#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "engine/catalogue/answers.h"
#include "engine/records/backups/backup_store.h"
#include "engine/catalogue/catalogue.h"
#include "engine/machine/restore_point.h"
#include "engine/records/transaction/run_results.h"
#include "engine/run/runner.h"
#include "engine/choice/own_profile.h"
#include "engine/records/backups/profile_file.h"
#include "engine/choice/skip_choice.h"
#include "platform/dialogs.h"
#include "platform/processes.h"
#include "ui/window/window_host.h"

namespace quillora::ui {

// The progress window as a run sees it: the log it writes, and a way to bring it up before the
// first step.
class RunDisplay : public ProgressLog {
public:
    // Makes the display visible, loading it afresh where the user closed it.
    virtual void present() = 0;
    // Shows a run under way, as a freshly loaded window does: its caption and label, and its exit
    // greyed. A window that an earlier run completed says so until the next run starts.
    virtual void showRunning() = 0;
    // Says, in its label, that Windows is making a restore point, until showRunning.
    virtual void showMakingRestorePoint() = 0;
    // Says, in its label, that the program waits for the commands of a Quillora that was killed
    // while it changed the services.
    virtual void showWaitingForEarlierCommands() = 0;
    // The run it was brought up for never started: a window loaded for it goes, one that was open
    // says again that its run is complete.
    virtual void withdraw() = 0;
};

// The warning before a run that would change services this Windows needs: which Windows, the
// services' keys, where to read what each does, and the choices (yes: leave them alone; no: change
// them too; cancel).
std::wstring neededServicesWarning(Language language, const WindowsVersion& version, const std::vector<std::wstring>& keys);

// The services' names in the language, a few to a line.
std::wstring namesInShortLines(Language language, const std::vector<std::wstring>& keys);

// The one owner of the program's runs, and the one door of every run the windows start: the three
// profiles, the wizard's last answer and the ways back (restore to before a run, set again, the
// undo). It holds the program's one claim on the services and the one state of a run under way,
// keeps the wizard's answers that the runs read, asks System Restore for one restore point at a
// time and shows that wait in the progress window, saves the start modes and the journal before
// each run, tells the results of each run's steps and launches, queues the boxes that wait for the
// runs, and stops every run after its current step when the program ends. Profiles nest: a profile
// started while another lets messages through goes to its end inside it. A way back asked for
// while any run is under way is refused with a box saying why.
class RunController {
public:
    // host: the language the run speaks in its messages.
    // skips: the services each profile leaves alone by the user's choice; own: the user's own profile.
    // restorePoints: asked for a restore point before each run, unless the user turned that off.
    RunController(platform::Processes& processes, platform::Dialogs& dialogs, Machine& machine, RunResults& results,
                  ChosenSkips& skips, KeptOwnProfile& own, RunDisplay& display, const WindowHost& host,
                  RestorePoints& restorePoints);
    ~RunController();
    RunController(const RunController&) = delete;
    RunController& operator=(const RunController&) = delete;

    // The wizard's answers, which the question windows give and the runs read.
    const Answers& answers() const { return answers_; }
    void answer(AnswerFlag flag, std::int16_t value);
    // The answers given in this start of the program, or all yes before any was given: what the
    // services window shows the prompted profile with.
    Answers answersOrAllYes() const;

    // Claims the machine's services for the run first: while another program changes them, a box
    // says so and nothing happens. Saves the start modes the run is about to change, shows the progress window and runs the
    // profile to its end; the services the user chose to leave alone get no command and log
    // "保留", and the backup leaves them out. Where the saved choice cannot be read, it first asks
    // whether to run leaving none alone, and does nothing on no. A run whose backup cannot be saved throws PlatformFailure before it
    // launches or shows anything: no window is left claiming a run that never started. On a
    // Windows that needs services the run would stop or disable, it first warns (owned by owner)
    // and lets the user leave them alone, run everything, or cancel: nothing happens then, and no
    // backup is made. The own profile runs as it is kept when the run starts; where it would change
    // nothing on this machine, a box says so and no run is made.
    void start(Profile profile, HWND owner);

    // A way back, through the same door as the profiles: refused with a box while a run is under
    // way, or while another program holds the services. act gets the program's claim and System
    // Restore for its run (nullptr where restore points are off), and makes its MachineRun with
    // them; it counts as a run under way until it returns.
    using WayBack = std::function<void(std::shared_ptr<RunClaim>, RestorePoints*)>;
    void goBack(HWND owner, const WayBack& act);

    bool inProgress() const { return runsUnderWay_ > 0; }
    // Whether no run is under way and every command of the runs has ended.
    bool finished() const { return !inProgress() && !results_.anyPending(); }
    // Whether this program holds the machine's services, from a run's start until every command
    // of its runs has ended.
    bool holdsServices() const { return !claim_.expired(); }

    // Whether a run of the windows asks System Restore for a restore point first: the choice made
    // in this start of the program, else the one kept in settings.ini (on unless turned off).
    bool restorePointsOn() const;
    // Turns them on or off and keeps the choice; throws PlatformFailure where it cannot be kept,
    // and the choice holds until the program ends all the same.
    void chooseRestorePoints(bool on);

    // Tells something that would stop a run under way (a message box): now where no run is under
    // way, or else once the last run has ended, however it ended; at the end of the program, at
    // once.
    void afterRuns(std::function<void()> tell);

    // The longest the program's end waits for the commands its runs launched.
    static constexpr std::chrono::seconds kLongestWaitAtEnd{30};

    // Ends the program: every window goes at once and a run under way stops after its current
    // step; the program waits for the commands its runs launched (at most kLongestWaitAtEnd), saves
    // the results as they then stand, tells what could not be saved with everything else that
    // waited, gives back the claim on the services and ends.
    void endProgram();

private:
    class Tracking;
    // System Restore as the windows' runs ask it: shared, its wait shown in the progress window,
    // and a point that Windows answers after the program's end was asked for ended at once.
    class RestorePointInSight : public RestorePoints {
    public:
        explicit RestorePointInSight(RunController& controller) : controller_(controller) {}
        RestorePointAnswer begin(const std::wstring& description, const std::function<void()>& waiting) override;
        void end(std::int64_t sequence) override;

    private:
        RunController& controller_;
    };

    std::shared_ptr<RunClaim> claimServices(HWND owner);

    std::optional<std::vector<std::wstring>> choiceForRun(Profile profile, HWND owner);
    std::optional<PlanInputs> planToRun(Profile profile, const std::vector<std::wstring>& skipped, HWND owner);
    bool ownProfileFor(PlanInputs& plan, HWND owner);
    std::unique_ptr<MachineRun> beginRun(const PlanInputs& plan, const std::vector<std::wstring>& leftOut,
                                         std::shared_ptr<RunClaim> claim);
    PlatformFailure backupNotSaved(const PlatformFailure& failure) const;
    void run(const PlanInputs& plan, MachineRun& machineRun, RunRecord& record);
    // Whether a profile clicked now waits: while Windows makes a restore point, a way back goes on,
    // or the claim waits for a killed holder's commands.
    bool profilesWait() const;
    // System Restore for a run; nullptr where restore points are off.
    RestorePoints* restorePointsForRun() { return restorePointsOn() ? &inSight_ : nullptr; }
    void startQueued();
    void tellWaiting();
    // The end of the program once nothing waits for Windows: the commands waited for, the results
    // saved, whatever waited told. Never returns on Windows.
    void finishEnd();

    platform::Processes& processes_;
    platform::Dialogs& dialogs_;
    Machine& machine_;
    RunResults& results_;
    ChosenSkips& skips_;
    KeptOwnProfile& own_;
    RunDisplay& display_;
    const WindowHost& host_;
    SharedRestorePoints restorePoints_;
    RestorePointInSight inSight_{*this};
    std::optional<bool> restorePointsChosen_;
    Answers answers_;
    bool answersGiven_ = false;
    int runsUnderWay_ = 0;  // profiles and ways back
    int wayBacksUnderWay_ = 0;
    int claimsWaiting_ = 0;  // waiting, the messages let through, for a killed holder's commands
    bool ended_ = false;
    bool nextLineOnItsOwn_ = false;    // set as a run starts, and as a nested run ends
    // Shared by the runs of this program, each holding it until its last command has ended.
    std::weak_ptr<RunClaim> claim_;
    std::vector<std::function<void()>> waiting_;  // told once the last run has ended
    // Profiles clicked while Windows made a restore point, or during a way back: started once it has
    // answered (nested in the run that asked), or once the way back is done.
    std::vector<std::function<void()>> queued_;
};

}  // namespace quillora::ui
