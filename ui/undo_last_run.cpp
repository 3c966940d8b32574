#include "ui/undo_last_run.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "engine/backup_file.h"
#include "engine/backup_store.h"
#include "engine/catalogue.h"
#include "engine/printable.h"
#include "engine/backup_on_machine.h"
#include "engine/utf8.h"
#include "ui/identifiers.h"
#include "ui/service_words.h"

namespace quillora::ui {
namespace {

constexpr std::size_t kServicesListed = 10;

const wchar_t kNothingToUndo[] = L"没有可撤销的优化：还没有运行前的自动备份。";
const wchar_t kAlreadyUndone[] =
    L"各服务的启动类型已与上次优化之前的自动备份相同，无需撤销。";
const wchar_t kRunsAfterRestart[] = L"设回自动启动的服务将在下次重新启动 Windows 后运行；";
const wchar_t kNoStartOrStop[] = L"撤销本身不会启动或停止任何服务。";

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

std::wstring count(int services)
{
    return std::to_wstring(services) + L" 个服务";
}

// "    automatic updates: 禁用 → 自动" for the first ten changes, then how many more.
std::wstring changeLines(const std::vector<ModeChange>& changes)
{
    std::vector<std::wstring> listed;
    for (std::size_t i = 0; i < changes.size() && i < kServicesListed; ++i) {
        const ModeChange& change = changes[i];
        listed.push_back(L"    " + displayNameOf(change.serviceKey) + L": " + modeWord(change.from, change.fromDelayed)
                         + L" → " + modeWord(change.to, change.toDelayed));
    }
    if (changes.size() > kServicesListed)
        listed.push_back(L"    …另外 " + count(static_cast<int>(changes.size() - kServicesListed)));
    return lines(listed);
}

// That undo starts and stops nothing, and, where a service goes back to automatic start, that it
// runs after the next restart.
std::wstring startAndStopNote(const std::vector<ModeChange>& changes)
{
    const bool backToAutomatic = std::any_of(changes.begin(), changes.end(), [](const ModeChange& change) {
        return change.to == StartMode::Automatic;
    });
    return (backToAutomatic ? std::wstring(kRunsAfterRestart) : L"") + kNoStartOrStop;
}

// The question: when the backup was made, how many installed services change, the first ten of
// them with their modes before and after, and how many more.
std::wstring question(const StoredBackup& backup, const std::vector<ModeChange>& changing)
{
    return L"要撤销上次优化吗？\r\n\r\n将按 " + backupTime(backup) + L" 的自动备份恢复服务的启动类型，"
        + std::to_wstring(changing.size()) + L" 个已安装的服务将会改变：\r\n" + changeLines(changing) + L"\r\n"
        + startAndStopNote(changing);
}

// The system's text for a failure, as it may be shown, and its number.
std::wstring reason(const PlatformFailure& failure)
{
    return fromUtf8(printable(failure.description())) + L" (" + std::to_wstring(failure.number()) + L")";
}

std::wstring outcome(const RestoreResult& result)
{
    std::vector<std::wstring> failures;
    for (const auto& [key, failure] : result.failures)
        failures.push_back(L"    " + displayNameOf(key) + L" (" + key + L")：" + reason(failure));
    const wchar_t* headline = result.failures.empty() ? L"已撤销上次优化。" : L"上次优化只撤销了一部分。";
    return headline + std::wstring(L"\r\n\r\n已更改：") + count(static_cast<int>(result.changed.size())) + L"\r\n"
        + changeLines(result.changed) + L"未更改：" + count(result.unchanged) + L"\r\n失败："
        + count(static_cast<int>(result.failures.size())) + L"\r\n" + lines(failures) + L"\r\n"
        + startAndStopNote(result.changed);
}

// The backup, read and checked whole; nullopt, after saying what is wrong with it, when it cannot
// be used.
std::optional<std::vector<BackupEntry>> readBackup(platform::Desktop& desktop, HWND owner, const StoredBackup& backup)
{
    std::wstring problem;
    try {
        return readBackupFile(desktop.machine().files(), backup.path);
    } catch (const BackupError& error) {
        problem = fromUtf8(error.what());
    } catch (const FileFailure& failure) {
        problem = reason(failure);
    }
    desktop.showError(owner,
                                L"无法撤销上次优化：自动备份不能使用。\r\n" + fromUtf8(printable(backup.path)) + L"\r\n"
                                    + problem + L"\r\n\r\n未做任何更改。",
                                kMainCaption);
    return std::nullopt;
}

}  // namespace

bool canUndoLastRun(platform::Desktop& desktop, const RunController& runs)
{
    if (runs.inProgress() || !desktop.machine().services())
        return false;
    try {
        return newestAutomaticBackup(desktop.machine()).has_value();
    } catch (const PlatformFailure&) {
        return false;
    }
}

void undoLastRun(platform::Desktop& desktop, const RunController& runs, HWND owner)
{
    // The item is greyed during a run, but the command can also arrive without the menu.
    if (runs.inProgress())
        return;
    ServiceControl* services = desktop.machine().services();
    const std::optional<StoredBackup> newest = services ? newestAutomaticBackup(desktop.machine()) : std::nullopt;
    if (!newest) {
        desktop.inform(owner, kNothingToUndo, kMainCaption, false);
        return;
    }
    const std::optional<std::vector<BackupEntry>> backup = readBackup(desktop, owner, *newest);
    if (!backup)
        return;
    const std::vector<ModeChange> changing = restoreWouldChange(*services, *backup);
    if (changing.empty()) {
        desktop.inform(owner, kAlreadyUndone, kMainCaption, false);
        return;
    }
    if (!desktop.ask(owner, question(*newest, changing), kMainCaption))
        return;
    const RestoreResult result = restoreModes(*services, *backup);
    desktop.inform(owner, outcome(result), kMainCaption, !result.failures.empty());
}

}  // namespace quillora::ui
