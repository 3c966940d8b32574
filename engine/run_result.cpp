#include "engine/run_result.h"

#include <algorithm>

#include "engine/printable.h"
#include "engine/service_change.h"
#include "engine/service_report.h"
#include "engine/utf8.h"

namespace quillora {
namespace {

const char kHeader[] = "quillora-result 1";
const char kBackupExtension[] = ".txt";
const char kResultExtension[] = ".result.log";

// As the backup saved it: the mode, "(delayed)" for a delayed automatic start, or "absent".
std::string beforeText(const std::optional<BackupEntry>& before)
{
    if (!before || !before->mode)
        return "absent";
    return modeText(*before->mode, before->delayed);
}

std::string afterText(const std::optional<ServiceState>& after)
{
    if (!after)
        return "absent";
    return modeText(after->mode, after->mode == StartMode::Automatic && after->delayed) + ", "
        + runStateName(after->state);
}

bool sameMode(const BackupEntry& before, const ServiceState& after)
{
    return before.mode && *before.mode == after.mode
        && (after.mode != StartMode::Automatic || before.delayed == after.delayed);
}

}  // namespace

RunRecord::RunRecord(std::vector<ServiceStep> steps, std::string backupPath, std::vector<BackupEntry> backup)
    : steps_(std::move(steps)), backupPath_(std::move(backupPath)), backup_(std::move(backup))
{
}

void RunRecord::launched(std::size_t launch, const std::wstring& commandLine)
{
    unassigned_.push_back({launch, commandLine, std::nullopt});
}

void RunRecord::stepLogged(const Answers& answers)
{
    if (nextStep_ >= steps_.size())
        return;
    const ServiceStep& step = steps_[nextStep_++];
    if (!step.leftAlone)
        touched_.push_back({step.serviceKey, performedAction(step, answers), std::move(unassigned_)});
    unassigned_.clear();
}

void RunRecord::ended(std::size_t launch, unsigned long exitStatus)
{
    for (TouchedService& service : touched_) {
        for (LaunchedCommand& command : service.commands) {
            if (command.launch == launch)
                command.exitStatus = exitStatus;
        }
    }
}

std::vector<std::size_t> RunRecord::running() const
{
    std::vector<std::size_t> launches;
    for (const TouchedService& service : touched_) {
        for (const LaunchedCommand& command : service.commands) {
            if (!command.exitStatus)
                launches.push_back(command.launch);
        }
    }
    return launches;
}

std::optional<BackupEntry> RunRecord::before(const std::wstring& serviceKey) const
{
    for (const BackupEntry& entry : backup_) {
        if (entry.serviceKey == serviceKey)
            return entry;
    }
    return std::nullopt;
}

bool isScConfig(const std::wstring& commandLine)
{
    return commandLine.rfind(L"cmd /c sc config ", 0) == 0;
}

ServiceResult judge(const TouchedService& touched, const std::optional<BackupEntry>& before,
                    const std::optional<ServiceState>& after)
{
    ServiceResult result{touched.serviceKey, before, touched.asked, after, Outcome::NotInstalled, std::nullopt, L""};
    if (!after)
        return result;
    if (!pendingChange(targetOf(effectOf(touched.asked)), *after).any()) {
        result.outcome = before && sameMode(*before, *after) ? Outcome::Unchanged : Outcome::Changed;
        return result;
    }
    result.outcome = Outcome::Failed;
    const auto failed = std::find_if(touched.commands.begin(), touched.commands.end(), [](const LaunchedCommand& c) {
        return c.exitStatus && *c.exitStatus != 0;
    });
    if (failed != touched.commands.end())
        result.failedCommand = *failed;
    return result;
}

std::string resultPathFor(const std::string& backupPath)
{
    const std::size_t extension = sizeof kBackupExtension - 1;
    const bool ends = backupPath.size() > extension
        && backupPath.compare(backupPath.size() - extension, extension, kBackupExtension) == 0;
    return (ends ? backupPath.substr(0, backupPath.size() - extension) : backupPath) + kResultExtension;
}

const char* outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Changed:
        return "changed";
    case Outcome::Unchanged:
        return "unchanged";
    case Outcome::NotInstalled:
        return "not installed";
    case Outcome::Failed:
        break;
    }
    return "failed";
}

std::string formatRunResult(const RunResult& result)
{
    const std::size_t slash = result.backupPath.find_last_of("/\\");
    std::string text = std::string(kHeader) + "\r\nbackup\t"
        + printable(slash == std::string::npos ? result.backupPath : result.backupPath.substr(slash + 1)) + "\r\n";
    for (const ServiceResult& service : result.services) {
        text += toUtf8(service.serviceKey) + "\t" + beforeText(service.before) + "\t" + actionDescription(service.asked)
            + "\t" + afterText(service.after) + "\t" + outcomeName(service.outcome);
        if (!service.reason.empty()) {
            text += '\t';
            text += printable(toUtf8(service.reason));
        }
        text += "\r\n";
    }
    return text + "end\r\n";
}

}  // namespace quillora
