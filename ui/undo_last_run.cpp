#include "ui/undo_last_run.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "engine/records/backup_file.h"
#include "engine/records/backup_store.h"
#include "engine/catalogue/catalogue.h"
#include "engine/text/printable.h"
#include "engine/records/backup_on_machine.h"
#include "engine/text/utf8.h"
#include "ui/identifiers.h"
#include "ui/reason_words.h"
#include "ui/service_words.h"

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

std::wstring backupTime(const StoredBackup& backup)
{
    const std::optional<std::string> time = automaticBackupTime(backup);
    return fromUtf8(printable(time ? *time : backup.name));
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
        listed.push_back(L"    " + displayNameOf(change.serviceKey) + L": "
                         + modeWord(language, change.from, change.fromDelayed) + L" → "
                         + modeWord(language, change.to, change.toDelayed));
    }
    if (changes.size() > kServicesListed)
        listed.push_back(L"    " + textIn(language, Text::MoreServices, {std::to_wstring(changes.size() - kServicesListed)}));
    return lines(listed);
}

// That undo starts and stops nothing, and, where a service goes back to automatic start, that it
// runs after the next restart.
std::wstring startAndStopNote(Language language, const std::vector<ModeChange>& changes)
{
    const bool backToAutomatic = std::any_of(changes.begin(), changes.end(), [](const ModeChange& change) {
        return change.to == StartMode::Automatic;
    });
    return (backToAutomatic ? std::wstring(textIn(language, Text::RunsAfterRestart)) : L"")
        + textIn(language, Text::NoStartOrStop);
}

// The question: when the backup was made, how many installed services change, the first ten of
// them with their modes before and after, and how many more.
std::wstring question(Language language, const StoredBackup& backup, const std::vector<ModeChange>& changing)
{
    return textIn(language, Text::UndoQuestion, {backupTime(backup), std::to_wstring(changing.size())}) + L"\r\n"
        + changeLines(language, changing) + L"\r\n" + startAndStopNote(language, changing);
}

// Why Windows refused, in its words and with its number; a problem of the file, in the language.
std::wstring reason(Language language, const PlatformFailure& failure)
{
    const std::wstring why = reasonIn(language, failure);
    return failure.problem() ? why : why + L" (" + std::to_wstring(failure.number()) + L")";
}

std::wstring outcome(Language language, const RestoreResult& result)
{
    std::vector<std::wstring> failures;
    for (const auto& [key, failure] : result.failures)
        failures.push_back(textIn(language, Text::ServiceNote, {displayNameOf(key), key, reason(language, failure)}));
    const Text headline = result.failures.empty() ? Text::UndoDone : Text::UndoPartly;
    return textIn(language, headline) + std::wstring(L"\r\n\r\n")
        + textIn(language, Text::ChangedCount, {count(language, result.changed.size())}) + L"\r\n"
        + changeLines(language, result.changed)
        + textIn(language, Text::UnchangedCount, {count(language, static_cast<std::size_t>(result.unchanged))})
        + L"\r\n" + textIn(language, Text::FailedCount, {count(language, result.failures.size())}) + L"\r\n"
        + lines(failures) + L"\r\n" + startAndStopNote(language, result.changed);
}

// The backup, read and checked whole; nullopt, after saying what is wrong with it, when it cannot
// be used.
std::optional<std::vector<BackupEntry>> readBackup(platform::Dialogs& dialogs, Machine& machine, Language language, HWND owner,
                                                   const StoredBackup& backup)
{
    std::wstring problem;
    try {
        return readBackupFile(machine.files(), backup.path);
    } catch (const BackupError& error) {
        problem = reasonIn(language, error);
    } catch (const FileFailure& failure) {
        problem = reason(language, failure);
    }
    dialogs.showError(owner,
                      textIn(language, Text::BackupUnusable) + std::wstring(L"\r\n") + visibly(backup.path, backup.path.size())
                          + L"\r\n" + problem + L"\r\n\r\n" + textIn(language, Text::NothingChanged),
                      kMainCaption);
    return std::nullopt;
}

// Whether a run is under way or its commands still run: a late sc config would overwrite what the
// undo puts back.
bool runUnfinished(const RunController& runs, const RunResults& results)
{
    return runs.inProgress() || results.lastRunPending();
}

// Whether a run has started since the backup was chosen: one unfinished, or a newer backup than
// the one asked about.
bool overtaken(Machine& machine, const RunController& runs, const RunResults& results, const StoredBackup& asked)
{
    if (runUnfinished(runs, results))
        return true;
    const std::optional<StoredBackup> newest = newestAutomaticBackup(machine);
    return !newest || newest->path != asked.path;
}

}  // namespace

bool canUndoLastRun(Machine& machine, const RunController& runs, const RunResults& results)
{
    if (runUnfinished(runs, results) || !machine.services())
        return false;
    try {
        return newestAutomaticBackup(machine).has_value();
    } catch (const PlatformFailure&) {
        return false;
    }
}

void undoLastRun(platform::Dialogs& dialogs, Machine& machine, const RunController& runs, const RunResults& results,
                 Language language, HWND owner)
{
    // The item is greyed during a run and until its commands have ended, but the command can also
    // arrive without the menu.
    if (runUnfinished(runs, results))
        return;
    ServiceControl* services = machine.services();
    // Held from the choice of the backup to the last mode put back: another program's run would
    // make a newer backup, or change what is put back.
    const std::unique_ptr<RunClaim> claim = services ? machine.claimRuns() : nullptr;
    if (services && !claim) {
        dialogs.inform(owner, textIn(language, Text::RunsBusy), kMainCaption, true);
        return;
    }
    const std::optional<StoredBackup> newest = services ? newestAutomaticBackup(machine) : std::nullopt;
    if (!newest) {
        dialogs.inform(owner, textIn(language, Text::NothingToUndo), kMainCaption, false);
        return;
    }
    const std::optional<std::vector<BackupEntry>> backup = readBackup(dialogs, machine, language, owner, *newest);
    if (!backup)
        return;
    if (backup->empty()) {
        dialogs.inform(owner, textIn(language, Text::LastRunChangedNothing), kMainCaption, false);
        return;
    }
    const std::vector<ModeChange> changing = restoreWouldChange(*services, *backup, machine.windowsVersion());
    if (changing.empty()) {
        dialogs.inform(owner, textIn(language, Text::AlreadyUndone), kMainCaption, false);
        return;
    }
    if (!dialogs.ask(owner, question(language, *newest, changing), kMainCaption))
        return;
    // The answer came after a wait: a run started meanwhile would make the question an old one.
    if (overtaken(machine, runs, results, *newest)) {
        dialogs.inform(owner, textIn(language, Text::UndoOvertaken), kMainCaption, false);
        return;
    }
    const RestoreResult result = restoreModes(*services, *backup, machine.windowsVersion());
    dialogs.inform(owner, outcome(language, result), kMainCaption, !result.failures.empty());
}

}  // namespace quillora::ui
