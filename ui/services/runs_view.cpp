// The runs' view of the services window: the runs so far, what has changed since, and the ways back.
#include "ui/services/services_window.h"

#include <algorithm>
#include <iterator>

#include "engine/records/backups/backup_on_machine.h"
#include "engine/records/history/run_history.h"
#include "engine/text/printable.h"
#include "engine/text/utf8.h"
#include "platform/system_error.h"
#include "ui/runs/going_back.h"
#include "ui/ids/identifiers.h"
#include "ui/services/services_parts.h"
#include "ui/window/list_view.h"
#include "ui/words/reason_words.h"

namespace quillora::ui {

using namespace services_parts;

// What the program last set is read from every run's result, which takes its time where many are
// kept: the view shows the chosen run first, then this line, and watches the machine from then on.
// The runs not read yet are read a few at a message, so that the window answers meanwhile; once
// read, a run is read again only when its files change.
void ServicesWindow::showWhatDiffersFromLastSet()
{
    if (!isVisible() || selectedView() != kRunsView)
        return;
    watchMachine(true);
    constexpr std::size_t kRunsReadAtOnce = 16;
    if (runsRead_ < history_.size()) {
        for (const std::size_t until = std::min(history_.size(), runsRead_ + kRunsReadAtOnce); runsRead_ < until; ++runsRead_)
            lastSetReadings_.of(machine_, history_[runsRead_]);
        PostMessageW(handle(), kShowLastSet, 0, 0);
        return;
    }
    changedSinceLastSet_.reset();
    ServiceControl* services = machine_.services();
    lastSet_.reset();
    if (services && !results_.anyPending()) {
        lastSet_ = lastSetModes(machine_, history_, &lastSetReadings_);
        if (!lastSet_->empty())
            changedSinceLastSet_ = changedSinceLastSet(*lastSet_, *services, machine_.windowsVersion());
    }
    showRunSummary();
}

// While the runs' view shows, the machine is watched: a burst of changes (a run writes its backup,
// its history, and sets many services) is shown once, a moment after the last of them.
void ServicesWindow::watchMachine(bool on)
{
    if (!on) {
        machineWatch_.reset();
        return;
    }
    if (machineWatch_ || !machine_.services())
        return;
    std::string folder;
    try {
        folder = dataFolder(machine_);
    } catch (const PlatformFailure&) {
        // No folder to watch: the services still are.
    }
    machineWatch_ = std::make_unique<platform::ChangeWatch>(waits_, folder, [this](platform::ChangeWatch::What what) {
        (what == platform::ChangeWatch::What::Folder ? folderChanged_ : servicesChanged_) = true;
        SetTimer(handle(), kMachineChangedTimer, kMachineChangedDelayMs, nullptr);
    });
}

// The runs so far, newest first, each by when it started, what made it and its counts. The newest
// stays chosen as new runs come, an earlier run chosen stays chosen while it is listed, and the
// newest is chosen otherwise.
void ServicesWindow::fillRunChoice()
{
    const bool newestChosen = history_.empty() || history_.front().name == chosenRun_;
    historyProblem_.reset();
    try {
        history_ = machine_.services() ? runHistory(machine_) : std::vector<HistoryRun>{};
    } catch (const PlatformFailure& failure) {
        history_.clear();
        historyProblem_ = failure;
    }
    runsRead_ = 0;
    if (newestChosen || !findRun(history_, chosenRun_))
        chosenRun_ = history_.empty() ? "" : history_.front().name;
    const HWND choice = control(ServicesControls::RunChoice);
    SendMessageW(choice, CB_RESETCONTENT, 0, 0);
    std::vector<std::vector<std::wstring>> entries;
    for (std::size_t i = 0; i < history_.size(); ++i) {
        const HistoryRun& run = history_[i];
        std::wstring text = visibly(runTimeOf(run)) + L"  " + madeByWords(run);
        if (run.counts && !results_.pending(run.backup.path))
            text += L"  " + countWords(*run.counts);
        if (const std::wstring unfinished = unfinishedWords(run); !unfinished.empty())
            text += L"  " + unfinished;
        SendMessageW(choice, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (run.name == chosenRun_)
            SendMessageW(choice, CB_SETCURSEL, i, 0);
        entries.push_back({std::move(text)});
    }
    // Opened, its list shows every entry whole, measured in the box's own font, as far as the
    // screen has room; closed, the box reaches to the window's edge, which grows to show the widest
    // entry where the screen allows.
    widestRunEntry_ = 0;
    for (const std::vector<std::wstring>& entry : entries)
        widestRunEntry_ = std::max(widestRunEntry_, textWidth(choice, entry.front()));
    widestRunEntry_ += GetSystemMetrics(SM_CXVSCROLL) + 4 * GetSystemMetrics(SM_CXEDGE);
}

const HistoryRun* ServicesWindow::chosenRun() const
{
    return findRun(history_, chosenRun_);
}

// What made a run, in the window's language: a profile as the main window's buttons name it, with
// the answers where it asked; the own profile with how many services it sets; apply as the command
// line says it; a way back, with the time of the run it went back to.
std::wstring ServicesWindow::madeByWords(const HistoryRun& run) const
{
    if (!run.origin)
        return host().text(Text::MadeByUnknown);
    const RunOrigin& origin = *run.origin;
    std::wstring answers;
    for (const char letter : origin.answers)
        answers += (answers.empty() ? L"" : wordingFor(host().language()).comma)
            + std::wstring(host().text(letter == 'y' ? Text::YesWord : Text::NoWord));
    const std::wstring answered = answers.empty() ? L"" : L" " + host().text(Text::AnswersShown, {answers});
    // A run no longer listed is named as the file says it, shown safely.
    const auto timeOf = [&](const std::string& name) {
        const HistoryRun* earlier = findRun(history_, name);
        return earlier ? visibly(runTimeOf(*earlier)) : visibly(name);
    };
    if (origin.profile == Profile::Own) {
        const Text made = origin.maker == RunMaker::Apply ? Text::MadeByOwnApply : Text::MadeByOwn;
        return host().text(made, {std::to_wstring(origin.ownSettings)});
    }
    switch (origin.maker) {
    case RunMaker::Window: {
        // A profile's view is named as its button.
        const auto view = std::find(std::begin(kProfiles), std::end(kProfiles), *origin.profile) - std::begin(kProfiles);
        return host().text(kViews[static_cast<std::size_t>(view)]) + answered;
    }
    case RunMaker::Apply:
        return fromUtf8("quillora-cli apply " + std::string(profileName(*origin.profile))) + answered;
    case RunMaker::RestoreBefore:
        return host().text(Text::MadeByRestoreBefore, {timeOf(origin.run)});
    case RunMaker::SetAgain:
        return host().text(Text::MadeBySetAgain, {timeOf(origin.run)});
    case RunMaker::RestoreFile:
        return host().text(Text::MadeByRestoreFile, {visibly(origin.run)});
    case RunMaker::SetAgainDrifted:
        return host().text(Text::MadeBySetAgainDrifted);
    case RunMaker::Undo:
        break;
    }
    return host().text(Text::MadeByUndo, {timeOf(origin.run)});
}

// What Windows answered when the run asked for a restore point.
std::wstring ServicesWindow::restorePointWords(const RestorePointAnswer& answer) const
{
    switch (answer.kind) {
    case RestorePointAnswer::Kind::Made:
        return host().text(Text::RestorePointMade, {std::to_wstring(answer.sequence)});
    case RestorePointAnswer::Kind::AlreadyMade:
        return host().text(Text::RestorePointAlreadyMade, {std::to_wstring(answer.sequence)});
    case RestorePointAnswer::Kind::Shared:
        return host().text(Text::RestorePointShared, {std::to_wstring(answer.sequence)});
    case RestorePointAnswer::Kind::Off:
        break;
    case RestorePointAnswer::Kind::Refused:
        // Wine, for one, answers no without a reason.
        return answer.error == 0 ? std::wstring(host().text(Text::RestorePointNoReason))
                                 : host().text(Text::RestorePointRefused, {std::to_wstring(answer.error)});
    }
    return host().text(Text::RestorePointOff);
}

// "已更改 3，未更改 5，失败 0，保留 2": in the words of the result column; those whose outcome is
// unknown, and those the run never reached, where it has any.
std::wstring ServicesWindow::countWords(const RunCounts& counts) const
{
    const Wording& words = wordingFor(host().language());
    const auto part = [](const wchar_t* word, int count) { return word + (L" " + std::to_wstring(count)); };
    std::wstring text = part(words.changed, counts.changed) + words.comma + part(words.unchanged, counts.unchanged)
        + words.comma + part(words.failed, counts.failed) + words.comma + part(words.leftAlone, counts.kept);
    if (counts.unknown)
        text += words.comma + part(words.unknown, counts.unknown);
    if (counts.notLaunched)
        text += words.comma + part(words.notLaunched, counts.notLaunched);
    return text;
}

// Why the run has no result to show, where it is unfinished and not one of this program's runs
// still under way; empty otherwise.
std::wstring ServicesWindow::unfinishedWords(const HistoryRun& run) const
{
    if (!run.unfinished || results_.pending(run.backup.path))
        return L"";
    switch (run.unfinished->why) {
    case Unfinished::Why::ProgramEnded:
        return host().text(Text::UnfinishedProgramEnded);
    case Unfinished::Why::ResultNotSaved:
        return host().text(Text::UnfinishedNotSaved);
    case Unfinished::Why::ResultUnreadable:
        break;
    }
    return host().text(Text::UnfinishedUnreadable);
}

// The chosen run's services as its result has them, or its backup where none was saved, and what
// has changed since: each mode it left that differs now.
void ServicesWindow::fillRunRows(Language language)
{
    runDetail_.reset();
    const HistoryRun* run = chosenRun();
    if (run && !results_.pending(run->backup.path))
        runDetail_ = readRun(machine_, *run);
    showRunDetail(language);
}

// The rows of the run as read, against the services now: what has changed since it.
void ServicesWindow::showRunDetail(Language language)
{
    rows_.clear();
    changedSince_.clear();
    modesSeen_ = startModesNow();
    const HistoryRun* run = chosenRun();
    if (run && runDetail_) {
        ServiceControl* services = machine_.services();
        if (runDetail_->result && services)
            changedSince_ = changedSince(*runDetail_->result, *services, machine_.windowsVersion());
        const bool resultUnusable = run->backup.hasResult && !runDetail_->result;
        rows_ = resultRows(runDetail_->shown, language, [](unsigned long error) { return platform::systemErrorText(error); },
                           changedSince_, resultUnusable ? WithoutResult::Unusable : WithoutResult::NotSaved);
    }
    showRunSummary();
}

// The start modes of this machine's list now, as a backup would save them: what the runs' view
// compares with; none where they cannot be read.
std::vector<BackupEntry> ServicesWindow::startModesNow()
{
    ServiceControl* services = machine_.services();
    try {
        return services ? currentModes(*services, listsFor(machine_.windowsVersion())) : std::vector<BackupEntry>{};
    } catch (const PlatformFailure&) {
        // Not read now: the next change reads the view whole.
        return {};
    }
}

// Windows writes under Services for much more than start modes: a change there that leaves every
// start mode as it was reads nothing again; one that changes a mode compares the run as read, and
// what the program last set as read, with the services now, without reading any run's files.
void ServicesWindow::followServices()
{
    const std::vector<BackupEntry> now = startModesNow();
    if (!now.empty() && now == modesSeen_)
        return;
    showRunDetail(host().language());
    if (changedSinceLastSet_ && lastSet_ && machine_.services())
        changedSinceLastSet_ = changedSinceLastSet(*lastSet_, *machine_.services(), machine_.windowsVersion());
    showRunSummary();
    showRows();
}

// The lines above the list: what has changed since the chosen run, and since the program last set
// each service, whichever run set it; and which way back the chosen run offers now.
void ServicesWindow::showRunSummary()
{
    std::wstring summary = !runDetail_ || !runDetail_->result ? L""
        : changedSince_.empty() ? host().text(Text::NoneChangedSince)
                                : host().text(Text::ChangedSinceCount, {std::to_wstring(changedSince_.size())});
    if (changedSinceLastSet_)
        summary += (summary.empty() ? L"" : L"\r\n")
            + (changedSinceLastSet_->empty()
                   ? std::wstring(host().text(Text::LastSetNoneChanged))
                   : host().text(Text::LastSetChangedCount, {std::to_wstring(changedSinceLastSet_->size())}));
    SetWindowTextW(control(ServicesControls::RunSummary), summary.c_str());
    const bool finished = runs_.finished() && machine_.services();
    EnableWindow(control(ServicesControls::RestoreBeforeButton), finished && runDetail_ && runDetail_->backup);
    EnableWindow(control(ServicesControls::SetAgainButton), finished && !changedSince_.empty());
    // A button greyed under the keyboard would leave it nowhere: Esc and Tab would stop working.
    const HWND focus = GetFocus();
    if (focus && GetParent(focus) == handle() && !IsWindowEnabled(focus))
        SetFocus(control(ServicesControls::RunChoice));
}

// What the pane says of the chosen run as a whole: when it started and what made it, still
// running, no result saved, or a file of it that cannot be used; none yet.
std::wstring ServicesWindow::runText()
{
    const HistoryRun* run = chosenRun();
    if (!run) {
        return historyProblem_ ? failureText(host().language(), Text::HistoryNotRead, *historyProblem_)
                               : std::wstring(host().text(Text::NoRunYet));
    }
    std::wstring text = host().text(Text::ResultOfRun, {visibly(runTimeOf(*run))}) + L"\r\n" + madeByWords(*run);
    if (!runDetail_)
        return text + L"\r\n" + host().text(Text::CommandsRunning);
    if (run->counts)
        text += L"\r\n" + countWords(*run->counts);
    if (const std::wstring unfinished = unfinishedWords(*run); !unfinished.empty())
        text += L"\r\n" + unfinished;
    if (!runDetail_->result)
        text += L"\r\n" + std::wstring(host().text(Text::RunWithoutResult));
    if (runDetail_->result && runDetail_->result->restorePoint)
        text += L"\r\n" + restorePointWords(*runDetail_->result->restorePoint);
    for (const RunFileProblem& problem : runDetail_->problems) {
        const auto* found = std::get_if<FileProblemError>(&problem.why);
        text += L"\r\n" + std::wstring(host().text(Text::RunFileUnusable)) + L"\r\n"
            + visibly(problem.path, problem.path.size()) + L"\r\n"
            + (found ? reasonIn(host().language(), *found) : reasonIn(host().language(), std::get<PlatformFailure>(problem.why)));
    }
    return text;
}

void ServicesWindow::goBackFromChosen(bool again)
{
    const HistoryRun* run = chosenRun();
    if (!run)
        return;
    const std::string name = run->name;
    const GoingBackPlace place{dialogs_, machine_, runs_, results_, host().language(), handle()};
    // A run that went back is told to the results' listeners, this window among them, which shows
    // it at once.
    if (again)
        setAgain(place, name);
    else
        restoreBeforeRun(place, name);
}

}  // namespace quillora::ui
