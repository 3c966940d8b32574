#include "ui/runs/going_back.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "engine/records/backups/backup_file.h"
#include "engine/records/backups/backup_store.h"
#include "engine/catalogue/catalogue.h"
#include "engine/text/printable.h"
#include "engine/records/backups/backup_on_machine.h"
#include "engine/records/transaction/going_back.h"
#include "engine/text/utf8.h"
#include "ui/ids/identifiers.h"
#include "ui/words/reason_words.h"
#include "ui/words/service_words.h"

namespace quillora::ui {
namespace {

constexpr std::size_t kServicesListed = 10;

std::wstring lines(const std::vector<std::wstring>& items)
{
    std::wstring text;
    for (const std::wstring& item : items)
        text += item + L"\r\n";
    return text;
}

std::wstring count(Language language, std::size_t services)
{
    return textIn(language, Text::ServiceCount, {std::to_wstring(services)});
}

// "    automatic updates: 禁用 → 自动" for the first ten changes, then how many more.
std::wstring changeLines(Language language, const std::vector<ModeChange>& changes)
{
    std::vector<std::wstring> listed;
    for (std::size_t i = 0; i < changes.size() && i < kServicesListed; ++i) {
        const ModeChange& change = changes[i];
        listed.push_back(L"    " + serviceName(language, change.serviceKey) + L": "
                         + modeWord(language, change.from, change.fromDelayed) + L" → "
                         + modeWord(language, change.to, change.toDelayed));
    }
    if (changes.size() > kServicesListed)
        listed.push_back(L"    " + textIn(language, Text::MoreServices, {std::to_wstring(changes.size() - kServicesListed)}));
    return lines(listed);
}


// Why Windows refused, in its words and with its number; a problem of the file, in the language.
std::wstring reason(Language language, const PlatformFailure& failure)
{
    const std::wstring why = reasonIn(language, failure);
    return failure.problem() ? why : why + L" (" + std::to_wstring(failure.number()) + L")";
}

std::wstring problemReason(Language language, const RunFileProblem& problem)
{
    if (const auto* found = std::get_if<FileProblemError>(&problem.why))
        return reasonIn(language, *found);
    return reason(language, std::get<PlatformFailure>(problem.why));
}

// The words of each way back: what it asks, how it ends, and what it says where it finds nothing
// to do or a file it cannot use.
struct WayBackTexts {
    Text question;  // {1} when the run started, {2} how many services change
    Text noStartOrStop;
    Text done;
    Text partly;
    Text nothingToDo;
    Text unusable;
};

const WayBackTexts& wayBackTexts(RunMaker maker)
{
    static const WayBackTexts undo{Text::UndoQuestion, Text::NoStartOrStop, Text::UndoDone, Text::UndoPartly,
                                   Text::AlreadyUndone, Text::BackupUnusable};
    static const WayBackTexts restoreBefore{Text::RestoreBeforeQuestion, Text::RestoreNoStartOrStop, Text::GoneBackDone,
                                            Text::GoneBackPartly, Text::NothingToRestore, Text::RunBackupUnusable};
    static const WayBackTexts setAgain{Text::SetAgainQuestion, Text::SetAgainNoStartOrStop, Text::SetAgainDone,
                                       Text::SetAgainPartly, Text::NoneChangedSince, Text::RunFileUnusable};
    return maker == RunMaker::Undo ? undo : maker == RunMaker::RestoreBefore ? restoreBefore : setAgain;
}

// That this way back starts and stops nothing, and, where a service goes back to automatic start,
// that it runs after the next restart.
std::wstring startAndStopNote(Language language, RunMaker maker, const std::vector<ModeChange>& changes)
{
    const bool backToAutomatic = std::any_of(changes.begin(), changes.end(), [](const ModeChange& change) {
        return change.to == StartMode::Automatic;
    });
    return (backToAutomatic ? std::wstring(textIn(language, Text::RunsAfterRestart)) : L"")
        + textIn(language, wayBackTexts(maker).noStartOrStop);
}

// The question: when the run started, how many installed services change, the first ten of them
// with their modes before and after, and how many more; that nothing starts or stops, and that
// it is a run of its own.
std::wstring question(Language language, RunMaker maker, const HistoryRun& run, const std::vector<ModeChange>& changing)
{
    return textIn(language, wayBackTexts(maker).question, {visibly(runTimeOf(run)), std::to_wstring(changing.size())})
        + L"\r\n" + changeLines(language, changing) + L"\r\n" + startAndStopNote(language, maker, changing) + L"\r\n"
        + textIn(language, Text::BackupFirst);
}

// The services this Windows needs that the way back kept, where it kept any.
std::wstring keptLine(Language language, const RunCounts& counts)
{
    if (counts.kept == 0)
        return L"";
    return textIn(language, Text::KeptNeededCount, {count(language, static_cast<std::size_t>(counts.kept))}) + L"\r\n";
}

// How the way back went, every count from its one judged result: the headline, what changed (from
// -> to), what was already so, what failed and why, and every problem of its files.
std::wstring outcome(Language language, RunMaker maker, const MachineRun& run, const RestoreResult& restore)
{
    const RunCounts counts = run.counts();
    std::vector<std::wstring> failures;
    for (const ServiceResult& service : run.result()->services) {
        if (service.outcome != Outcome::Failed)
            continue;
        const auto refused = std::find_if(restore.failures.begin(), restore.failures.end(),
                                          [&](const auto& failure) { return failure.first == service.serviceKey; });
        const std::wstring why = refused != restore.failures.end() ? reason(language, refused->second)
                                                                   : std::wstring(textIn(language, Text::ReadsBackOtherMode));
        failures.push_back(textIn(language, Text::ServiceNote, {serviceName(language, service.serviceKey), service.serviceKey, why}));
    }
    for (const RunProblem& problem : run.problems())
        failures.push_back(runProblemText(language, problem, resultPathFor(run.backup().path)));
    const Text headline = counts.failed == 0 && run.problems().empty() ? wayBackTexts(maker).done : wayBackTexts(maker).partly;
    return textIn(language, headline) + std::wstring(L"\r\n\r\n")
        + textIn(language, Text::ChangedCount, {count(language, static_cast<std::size_t>(counts.changed))}) + L"\r\n"
        + changeLines(language, restore.changed)
        + textIn(language, Text::UnchangedCount, {count(language, static_cast<std::size_t>(counts.unchanged))})
        + L"\r\n" + textIn(language, Text::FailedCount, {count(language, static_cast<std::size_t>(counts.failed))}) + L"\r\n"
        + lines(failures) + keptLine(language, counts) + L"\r\n" + startAndStopNote(language, maker, restore.changed);
}

void inform(const GoingBackPlace& place, const std::wstring& text, bool warning = false)
{
    place.dialogs.inform(place.owner, text, kMainCaption, warning);
}

// The run gone back to: for an undo the newest that is not itself an undo, else the one named.
std::optional<HistoryRun> runGoneBackTo(const std::vector<HistoryRun>& runs, RunMaker maker, const std::string& name)
{
    const HistoryRun* run = maker == RunMaker::Undo ? newestRun(runs, true) : findRun(runs, name);
    return run ? std::optional(*run) : std::nullopt;
}

// The modes to put back, read whole; nullopt, after saying which file cannot be used and why,
// where they cannot be had.
std::optional<std::vector<BackupEntry>> modesToPutBack(const GoingBackPlace& place, RunMaker maker, const HistoryRun& run)
{
    const RunDetail detail = readRun(place.machine, run);
    const bool fromResult = maker == RunMaker::SetAgain;
    // Only the file this way back reads stops it.
    if (const RunFileProblem* problem = detail.problemWith(fromResult ? resultPathFor(run.backup.path) : run.backup.path)) {
        place.dialogs.showError(place.owner,
                                textIn(place.language, wayBackTexts(maker).unusable) + std::wstring(L"\r\n")
                                    + visibly(problem->path, problem->path.size()) + L"\r\n"
                                    + problemReason(place.language, *problem) + L"\r\n\r\n"
                                    + textIn(place.language, Text::NothingChanged),
                                kMainCaption);
        return std::nullopt;
    }
    if (!fromResult)
        return detail.backup;
    if (!detail.result)
        return std::vector<BackupEntry>{};
    return modesToSetAgain(changedSince(*detail.result, servicesOf(place.machine), place.machine.windowsVersion()));
}

// The modes to put back after the warning every run gives, and the services this Windows needs
// that the user chose to keep.
struct AfterWarning {
    std::vector<BackupEntry> modes;
    std::vector<std::wstring> kept;
};

// The modes without the services this Windows needs that they would start less readily, where the
// user chooses so after the warning; nullopt when the user cancels.
std::optional<AfterWarning> afterNeededWarning(const GoingBackPlace& place, std::vector<BackupEntry> modes,
                                               const std::vector<ModeChange>& changing)
{
    const std::optional<WindowsVersion> windows = place.machine.windowsVersion();
    const std::vector<std::wstring> needed = neededStartedLess(changing, windows);
    if (needed.empty())
        return AfterWarning{std::move(modes), {}};
    switch (place.dialogs.warnAndChoose(place.owner, neededServicesWarning(place.language, *windows, needed), kMainCaption)) {
    case platform::Dialogs::Choice::Yes:
        return AfterWarning{without(std::move(modes), needed), needed};
    case platform::Dialogs::Choice::No:
        return AfterWarning{std::move(modes), {}};
    case platform::Dialogs::Choice::Cancel:
        break;
    }
    return std::nullopt;
}

// Only services this Windows needs would change, and the user chose to keep them: said, and
// nothing is done; or nothing differs at all.
void tellNothingToDo(const GoingBackPlace& place, RunMaker maker, const std::vector<std::wstring>& kept)
{
    inform(place, kept.empty() ? std::wstring(textIn(place.language, wayBackTexts(maker).nothingToDo))
                               : std::wstring(textIn(place.language, Text::OnlyNeededWouldChange)) + L"\r\n\r\n"
                                     + namesInShortLines(place.language, kept) + L"\r\n"
                                     + textIn(place.language, Text::NothingChanged));
}

// The way back itself, with the program's claim held: what to put back, the warning, the question,
// then the run. A way back that would change nothing says so and makes no run, as the companion's
// does not either where nothing differs.
void goBackHolding(const GoingBackPlace& place, RunMaker maker, const std::string& name, std::shared_ptr<RunClaim> claim,
                   RestorePoints* restorePoints)
{
    ServiceControl& services = servicesOf(place.machine);
    std::vector<HistoryRun> runs;
    try {
        runs = runHistory(place.machine);
    } catch (const PlatformFailure& failure) {
        place.dialogs.showError(place.owner, failureText(place.language, Text::HistoryNotRead, failure), kMainCaption);
        return;
    }
    try {
        const std::optional<HistoryRun> run = runGoneBackTo(runs, maker, name);
        if (!run) {
            inform(place, textIn(place.language, maker == RunMaker::Undo ? Text::NothingToUndo : Text::NothingToRestore));
            return;
        }
        std::optional<std::vector<BackupEntry>> modes = modesToPutBack(place, maker, *run);
        if (!modes)
            return;
        if (modes->empty() && maker == RunMaker::Undo) {
            inform(place, textIn(place.language, Text::LastRunChangedNothing));
            return;
        }
        const std::optional<WindowsVersion> windows = place.machine.windowsVersion();
        const std::vector<ModeChange> wouldChange = restoreWouldChange(services, *modes, windows);
        const std::optional<AfterWarning> warned = afterNeededWarning(place, std::move(*modes), wouldChange);
        if (!warned)
            return;
        // Read again: the services may have changed while the warning waited.
        const std::vector<ModeChange> changing = restoreWouldChange(services, warned->modes, windows);
        if (changing.empty()) {
            tellNothingToDo(place, maker, warned->kept);
            return;
        }
        // The box holds the whole program and the claim holds every other: nothing can start a run
        // while it waits.
        if (!place.dialogs.ask(place.owner, question(place.language, maker, *run, changing), kMainCaption))
            return;
        MachineRun done(place.machine, goingBack(maker, run->name), warned->modes, {}, std::move(claim),
                        restorePoints);
        const RestoreResult restored = putBack(done, warned->modes, warned->kept);
        place.results.tellRunsChanged();
        inform(place, outcome(place.language, maker, done, restored), done.counts().failed > 0 || !done.problems().empty());
    } catch (const PlatformFailure& failure) {
        // The services could not be read before anything was changed, or the backup that comes
        // first could not be saved: putBack itself tells a read that fails after a change.
        const std::wstring file = failedFile(failure);
        place.dialogs.showError(place.owner,
                                textIn(place.language, Text::BackupNotSaved) + (file.empty() ? L"" : L" " + file) + L"\r\n"
                                    + reasonIn(place.language, failure) + L"\r\n\r\n"
                                    + textIn(place.language, Text::NothingChanged),
                                kMainCaption);
    }
}

void goBackFromWindow(const GoingBackPlace& place, RunMaker maker, const std::string& name)
{
    // The undo item is greyed during a run and until its commands have ended, but the command can
    // also arrive without the menu; the history's buttons say why nothing happens.
    if (!place.machine.services() || (maker == RunMaker::Undo && !place.runs.finished()))
        return;
    // One door with the profiles: one state of a run under way, one claim, one queue of boxes.
    place.runs.goBack(place.owner, [&](std::shared_ptr<RunClaim> claim, RestorePoints* restorePoints) {
        goBackHolding(place, maker, name, std::move(claim), restorePoints);
    });
}

}  // namespace

bool canUndoLastRun(Machine& machine, const RunController& runs)
{
    if (!runs.finished() || !machine.services())
        return false;
    try {
        return newestRun(runHistory(machine)) != nullptr;
    } catch (const PlatformFailure&) {
        return false;
    }
}

void undoLastRun(const GoingBackPlace& place)
{
    goBackFromWindow(place, RunMaker::Undo, "");
}

void restoreBeforeRun(const GoingBackPlace& place, const std::string& run)
{
    goBackFromWindow(place, RunMaker::RestoreBefore, run);
}

void setAgain(const GoingBackPlace& place, const std::string& run)
{
    goBackFromWindow(place, RunMaker::SetAgain, run);
}

}  // namespace quillora::ui
