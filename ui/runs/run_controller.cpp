#include "ui/runs/run_controller.h"

#include <utility>

#include "engine/choice/settings.h"
#include "engine/records/backups/backup_store.h"
#include "engine/text/utf8.h"
#include "ui/ids/identifiers.h"
#include "ui/words/reason_words.h"
#include "ui/words/service_words.h"

namespace quillora::ui {
namespace {

// Thrown out of a run's message processing once the program has ended, and caught where that run
// started, so that it stops after its current step. On Windows the end of the program never
// returns and this is never thrown; it matters where a test stands in for the end.
struct RunAbandoned {};

// Counts a run as under way (or a way back, or a claim waiting) for as long as it lives.
class UnderWay {
public:
    explicit UnderWay(int& count) : count_(count) { ++count_; }
    ~UnderWay() { --count_; }
    UnderWay(const UnderWay&) = delete;
    UnderWay& operator=(const UnderWay&) = delete;

private:
    int& count_;
};

}  // namespace

// The services' names as the services window shows them, a few to a line: one line a service, or
// a few words on each, made the box taller than a 768-pixel screen at high scaling. The services
// window says what each does.
std::wstring namesInShortLines(Language language, const std::vector<std::wstring>& keys)
{
    // Short enough that the box never wraps a line itself, whatever its font.
    constexpr std::size_t kLineLength = 48;
    std::wstring text, line;
    for (const std::wstring& key : keys) {
        const std::wstring name = serviceName(language, key);
        if (!line.empty() && line.size() + 2 + name.size() > kLineLength) {
            text += line + wordingFor(language).comma + L"\r\n";
            line.clear();
        }
        line += (line.empty() ? L"" : std::wstring(wordingFor(language).comma)) + name;
    }
    return text + line + L"\r\n";
}

std::wstring neededServicesWarning(Language language, const WindowsVersion& version, const std::vector<std::wstring>& keys)
{
    // Names are longer than keys: beyond the first few, how many more, so that the box still fits
    // a 768-pixel screen at 200 %; the services window lists every one.
    constexpr std::size_t kNamesListed = 6;
    const std::vector<std::wstring> listed(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(std::min(keys.size(), kNamesListed)));
    const std::wstring more = keys.size() > kNamesListed
        ? textIn(language, Text::MoreServices, {std::to_wstring(keys.size() - kNamesListed)}) + L"\r\n"
        : L"";
    return textIn(language, Text::NeededWarning, {fromUtf8(windowsName(version))}) + L"\r\n\r\n"
        + namesInShortLines(language, listed) + more + L"\r\n" + textIn(language, Text::NeededDetails) + L"\r\n\r\n"
        + textIn(language, Text::NeededChoices);
}

// What one run launches, lets messages through and writes its log with: each step and each
// launch is told to the run's record, and launches are kept so that the results learn how they
// ended. After the program has ended it stops the run instead of letting it go on.
class RunController::Tracking : public Platform, public ProgressLog {
public:
    Tracking(RunController& controller, MachineRun& run, RunRecord& record)
        : controller_(controller), run_(run), record_(record)
    {
    }
    void stepStarts(const PlannedRow& row) override
    {
        // The journal says the run reached the service before its commands are launched, so that
        // however the program ends, what it may have done is known.
        if (row.setsMode)
            run_.reached(modeSetBy(row));
        // What the row asks, in the profile's words before and after the run alike; what became of
        // it is the result's to say.
        record_.stepStarts(row.step.serviceKey, row.asked, row.commands, row.leftAlone);
    }
    void launch(const std::wstring& commandLine, int showState) override;
    void processPendingMessages() override;

    std::wstring text() override { return controller_.display_.text(); }
    void setText(const std::wstring& text) override { controller_.display_.setText(text); }
    // A run's first line, and the first line after a run nested in it, start a line of their own:
    // the completion sentence before them has no line end.
    void append(const std::wstring& more) override
    {
        RunDisplay& display = controller_.display_;
        const bool ownLine = std::exchange(controller_.nextLineOnItsOwn_, false) && !display.atLineStart();
        display.append(ownLine ? kLineEnd + more : more);
    }
    // The window says a run is complete only when the outermost one is: a nested run ends while the
    // run it is nested in still goes on.
    void setCaption(const std::wstring& caption) override
    {
        if (outermost())
            controller_.display_.setCaption(caption);
    }
    void setStatusLabel(const std::wstring& status) override
    {
        if (outermost())
            controller_.display_.setStatusLabel(status);
    }
    void enableExit() override
    {
        if (outermost())
            controller_.display_.enableExit();
    }
    const Wording& words() override { return controller_.display_.words(); }

private:
    bool outermost() const { return controller_.runsUnderWay_ == 1; }

    RunController& controller_;
    MachineRun& run_;
    RunRecord& record_;
};

RunController::RunController(platform::Processes& processes, platform::Dialogs& dialogs, Machine& machine,
                             RunResults& results, ChosenSkips& skips, KeptOwnProfile& own, RunDisplay& display,
                             const WindowHost& host,
                             RestorePoints& restorePoints)
    : processes_(processes),
      dialogs_(dialogs),
      machine_(machine),
      results_(results),
      skips_(skips),
      own_(own),
      display_(display),
      host_(host),
      restorePoints_(restorePoints)
{
}

RunController::~RunController() = default;

void RunController::start(Profile profile, HWND owner)
{
    // Clicked while Windows makes a restore point: asking for a second one at once would leave one
    // of them begun for ever. The run starts once Windows has answered, and shares that point. A
    // profile never runs under a way back, which would put back modes chosen before it: it starts
    // once the way back is done.
    if (profilesWait()) {
        queued_.push_back([this, profile, owner] { start(profile, owner); });
        return;
    }
    std::shared_ptr<RunClaim> claim = claimServices(owner);
    if (!claim)
        return;
    // Read once: the steps and the backup leave alone the same services, whatever the user
    // chooses while the warning waits.
    const std::optional<std::vector<std::wstring>> skipped = choiceForRun(profile, owner);
    if (!skipped)
        return;
    const std::optional<PlanInputs> plan = planToRun(profile, *skipped, owner);
    if (!plan)
        return;
    // The progress window first, as designed; the restore point, the backup and the journal are
    // the run's first steps, and the window says while Windows makes the point.
    const bool outermost = runsUnderWay_ == 0;
    display_.present();
    if (outermost)
        display_.showRunning();
    std::unique_ptr<MachineRun> begun;
    try {
        const UnderWay starting(runsUnderWay_);
        begun = beginRun(*plan, *skipped, std::move(claim));
    } catch (const RunAbandoned&) {
        // The program ended while Windows made the point: nothing was launched, and it ends now.
        finishEnd();
        return;
    } catch (...) {
        // The run never started: no window is left saying that it runs, and the profiles clicked
        // while it waited for Windows, which the failure's box answers, do not start behind it.
        if (outermost) {
            display_.withdraw();
            queued_.clear();
        }
        tellWaiting();
        throw;
    }
    MachineRun& machineRun = *begun;
    // What waited for the runs is told once this one has ended, however it ended.
    try {
        run(*plan, machineRun, results_.runStarts(std::move(begun)));
    } catch (...) {
        tellWaiting();
        throw;
    }
    tellWaiting();
}

bool RunController::profilesWait() const
{
    return restorePoints_.asking() || wayBacksUnderWay_ > 0 || claimsWaiting_ > 0;
}

void RunController::startQueued()
{
    while (!queued_.empty() && !profilesWait() && !ended_) {
        const std::function<void()> start = std::move(queued_.front());
        queued_.erase(queued_.begin());
        start();
    }
}

void RunController::goBack(HWND owner, const WayBack& act)
{
    if (!finished()) {
        dialogs_.inform(owner, host_.text(Text::RunUnderWay), kMainCaption, true);
        return;
    }
    std::shared_ptr<RunClaim> claim = claimServices(owner);
    if (!claim)
        return;
    try {
        const UnderWay underWay(runsUnderWay_);
        const UnderWay goingBack(wayBacksUnderWay_);
        act(std::move(claim), restorePointsForRun());
    } catch (const RunAbandoned&) {
        finishEnd();
        return;
    } catch (...) {
        tellWaiting();
        startQueued();
        throw;
    }
    tellWaiting();
    // A profile clicked meanwhile starts now.
    startQueued();
}

RestorePointAnswer RunController::RestorePointInSight::begin(const std::wstring& description, const std::function<void()>&)
{
    bool shown = false;
    const RestorePointAnswer answer = controller_.restorePoints_.begin(description, [&] {
        controller_.display_.showMakingRestorePoint();
        shown = true;
    });
    if (controller_.ended_) {
        // The program ended while Windows made it: the run launches nothing, and the point ends.
        if (answer.opened())
            controller_.restorePoints_.end(answer.sequence);
        throw RunAbandoned{};
    }
    if (shown)
        controller_.display_.showRunning();
    return answer;
}

void RunController::RestorePointInSight::end(std::int64_t sequence)
{
    controller_.restorePoints_.end(sequence);
}

// The machine's services for this program's runs: claimed by its first run, shared by the runs
// nested in it and by every run whose commands still run, and given back by the last of them
// once its last command has ended; a command that ends late would otherwise overwrite another
// program's run. While another program holds them, a box says so.
std::shared_ptr<RunClaim> RunController::claimServices(HWND owner)
{
    std::shared_ptr<RunClaim> claim = claim_.lock();
    if (!claim) {
        // A Quillora killed while it held the services may have left commands running: the wait
        // for them lets the windows answer, and the progress window says why.
        bool shown = false;
        {
            const UnderWay underWay(runsUnderWay_);
            const UnderWay claiming(claimsWaiting_);
            claim = machine_.claimRunsAnswering([&] {
                display_.present();
                display_.showWaitingForEarlierCommands();
                shown = true;
            });
        }
        if (shown)
            display_.withdraw();
        if (ended_) {
            claim.reset();
            finishEnd();
            return nullptr;
        }
    }
    claim_ = claim;
    if (!claim) {
        dialogs_.inform(owner, host_.text(Text::RunsBusy), kMainCaption, true);
        // What was clicked while the claim waited is answered the same way, now.
        startQueued();
    }
    return claim;
}

void RunController::run(const PlanInputs& plan, MachineRun& machineRun, RunRecord& record)
{
    {
        const UnderWay running(runsUnderWay_);
        Tracking tracking(*this, machineRun, record);
        nextLineOnItsOwn_ = true;
        try {
            runPlan(plan, tracking, tracking);
        } catch (const RunAbandoned&) {
        } catch (...) {
            results_.runOver(record);
            throw;
        }
        results_.runOver(record);
    }
    // The run this one was nested in goes on from a line of its own.
    nextLineOnItsOwn_ = runsUnderWay_ > 0;
}

void RunController::afterRuns(std::function<void()> tell)
{
    waiting_.push_back(std::move(tell));
    tellWaiting();
}

// What waited for the runs to end is told, in the order it came, once no run is under way, or at
// once when the program ends, since no run steps again; told, it may start a run, which keeps
// whatever arrives meanwhile waiting for its own end.
void RunController::tellWaiting()
{
    while (!waiting_.empty() && (runsUnderWay_ == 0 || ended_)) {
        const std::function<void()> tell = std::move(waiting_.front());
        waiting_.erase(waiting_.begin());
        tell();
    }
}

// The services the user chose to leave alone in the profile. Where the saved choice cannot be
// read, the user is asked whether to run with none left alone; nullopt when they say no.
std::optional<std::vector<std::wstring>> RunController::choiceForRun(Profile profile, HWND owner)
{
    // The own profile's choice is its modes: it leaves alone what it does not set.
    if (profile == Profile::Own)
        return std::vector<std::wstring>{};
    try {
        return skips_.skipped(profile);
    } catch (const PlatformFailure& failure) {
        const std::wstring why = host_.text(Text::RunWithoutChoice, {failedFile(failure), reasonIn(host_.language(), failure)});
        if (dialogs_.ask(owner, why, kMainCaption))
            return std::vector<std::wstring>{};
        return std::nullopt;
    }
}

bool RunController::restorePointsOn() const
{
    return restorePointsChosen_.value_or(savedRestorePoints(machine_));
}

void RunController::chooseRestorePoints(bool on)
{
    restorePointsChosen_ = on;
    saveRestorePoints(machine_, on);
}

void RunController::answer(AnswerFlag flag, std::int16_t value)
{
    answers_[flag] = value;
    answersGiven_ = true;
}

Answers RunController::answersOrAllYes() const
{
    return answersGiven_ ? answers_ : Answers{kAnswerYes, kAnswerYes, kAnswerYes};
}

// The profile's plan on this machine, with the services this Windows needs left alone where the
// user chooses so; nullopt when the user cancels. Windows XP and Server 2003 need none of them:
// nothing is asked.
std::optional<PlanInputs> RunController::planToRun(Profile profile, const std::vector<std::wstring>& skipped, HWND owner)
{
    PlanInputs plan = [&] {
        try {
            return inputsOnMachine(profile, answers_, skipped, machine_);
        } catch (const PlatformFailure& failure) {
            throw backupNotSaved(failure);
        }
    }();
    if (profile == Profile::Own && !ownProfileFor(plan, owner))
        return std::nullopt;
    // Planned changing every service it would, whatever the warning's answer: a profile of yours
    // that would change only what Windows needs still asks.
    PlanInputs changingAll = plan;
    changingAll.needed = NeededServices::Changed;
    const std::vector<PlannedRow> rows = profilePlan(changingAll);
    if (profile == Profile::Own
        && std::none_of(rows.begin(), rows.end(), [](const PlannedRow& row) { return row.fate == Fate::WouldChange; })) {
        dialogs_.inform(owner, host_.text(Text::OwnNothingToChange), kMainCaption, false);
        return std::nullopt;
    }
    const std::optional<WindowsVersion> version = machine_.windowsVersion();
    std::vector<std::wstring> needed;
    for (const PlannedRow& row : changingNeeded(rows))
        needed.push_back(row.step.serviceKey);
    if (!version || needed.empty())
        return plan;
    switch (dialogs_.warnAndChoose(owner, neededServicesWarning(host_.language(), *version, needed), kMainCaption)) {
    case platform::Dialogs::Choice::Yes:
        return plan;
    case platform::Dialogs::Choice::No:
        plan.needed = NeededServices::Changed;
        return plan;
    case platform::Dialogs::Choice::Cancel:
        break;
    }
    return std::nullopt;
}

// The own profile as kept, fitted to this machine, into the plan; false where it cannot be read,
// which a box says.
bool RunController::ownProfileFor(PlanInputs& plan, HWND owner)
{
    try {
        planOwnProfile(plan, own_.profile());
        return true;
    } catch (const PlatformFailure& failure) {
        dialogs_.showError(owner, host_.text(Text::ChoiceNotRead, {failedFile(failure)}) + L"\r\n"
                               + reasonIn(host_.language(), failure), kMainCaption);
        return false;
    }
}

void RunController::endProgram()
{
    if (std::exchange(ended_, true))
        return;
    // While Windows makes a restore point, the program ends once it has answered, so that the point
    // is ended, and while it waits for a killed holder's commands, once the claim is settled; the
    // windows go now.
    if (restorePoints_.asking() || claimsWaiting_ > 0) {
        processes_.hideWindows();
        return;
    }
    finishEnd();
}

void RunController::finishEnd()
{
    // Every window goes at once; the commands the runs launched go on to their end, and their
    // results are read back, before the claim on the services is given back.
    processes_.waitForLaunched(kLongestWaitAtEnd);
    // Saving the results may fail: that is told now, with whatever else waited for the runs.
    results_.programEnds();
    tellWaiting();
    processes_.endProgram();
}

// Keeps the start modes a run is about to change, so that the user's own settings can be put back
// (the main window's undo, quillora-cli restore --last), and records what made the run.
std::unique_ptr<MachineRun> RunController::beginRun(const PlanInputs& plan,
                                                    const std::vector<std::wstring>& leftOut, std::shared_ptr<RunClaim> claim)
{
    try {
        return std::make_unique<MachineRun>(machine_, profileOrigin(RunMaker::Window, plan), plan,
                                            leftOut, std::move(claim), restorePointsForRun());
    } catch (const PlatformFailure& failure) {
        throw backupNotSaved(failure);
    }
}

// The services are read for the plan before they are read for the backup: where they cannot be
// read, no backup can be saved either, and the run says so as it would of the backup.
PlatformFailure RunController::backupNotSaved(const PlatformFailure& failure) const
{
    const std::wstring file = failedFile(failure);
    const std::wstring where = file.empty() ? L"" : L" " + file;
    return PlatformFailure(failure.number(),
                           host_.text(Text::BackupNotSaved) + where + L"\r\n" + reasonIn(host_.language(), failure));
}

void RunController::Tracking::launch(const std::wstring& commandLine, int showState)
{
    record_.launched(controller_.processes_.launchKept(commandLine, showState));
}

void RunController::Tracking::processPendingMessages()
{
    controller_.processes_.processPendingMessages();
    if (controller_.ended_)
        throw RunAbandoned{};
    // A profile clicked while this run's restore point was made starts here, nested, as a click
    // handled now would.
    controller_.startQueued();
}

}  // namespace quillora::ui
