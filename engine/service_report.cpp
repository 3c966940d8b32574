#include "engine/service_report.h"

#include "engine/catalogue.h"
#include "engine/failure.h"
#include "engine/printable.h"
#include "engine/utf8.h"

namespace quillora {
namespace {

std::string modeText(StartMode mode, bool delayed)
{
    return std::string(startModeName(mode)) + (delayed ? " (delayed)" : "");
}

std::string serviceName(const ServiceStep& step)
{
    return toUtf8(step.label + L":" + step.displayName) + " (" + toUtf8(step.serviceKey) + ")";
}

std::string failureText(const PlatformFailure& failure)
{
    return "failed (" + std::to_string(failure.number()) + ": " + printable(failure.description()) + ")";
}

// What the step's row does to its service, read now: the prompted profile follows the answers.
const ActionEffect& rowEffect(const ServiceStep& step, const Answers& answers)
{
    return effectOf(performedAction(step, answers));
}

// "disabled and stops it": the state a row leaves its service in.
std::string targetText(const ActionEffect& effect)
{
    return std::string(startModeName(effect.mode))
        + (effect.stopsFirst ? " and stops it" : effect.startsAfter ? " and starts it" : "");
}

// Whether the service is as the row leaves it: in the row's start mode, stopped where the row
// stops it and running where it starts it.
bool asRowLeavesIt(const ActionEffect& effect, const ServiceState& now)
{
    if (now.mode != effect.mode)
        return false;
    if (effect.stopsFirst)
        return now.state == RunState::Stopped;
    if (effect.startsAfter)
        return now.state == RunState::Running;
    return true;
}

// Whether the service is in the start mode the backup saved for it.
bool hasSavedMode(const ServiceState& now, const BackupEntry& entry)
{
    return now.mode == *entry.mode && now.delayed == entry.delayed;
}

std::string stateText(const ServiceState& now)
{
    return modeText(now.mode, now.delayed) + ", " + runStateName(now.state);
}

// The counts that end an apply.
struct ApplyTally {
    int changed = 0, unchanged = 0, missing = 0, leftRunning = 0, failed = 0;

    std::string summary() const
    {
        return std::to_string(changed) + " changed, " + std::to_string(unchanged) + " unchanged, "
            + std::to_string(missing) + " not installed, " + std::to_string(leftRunning) + " left running, "
            + std::to_string(failed) + " failed\n";
    }
};

std::string joined(const std::vector<std::wstring>& keys)
{
    std::string text;
    for (const std::wstring& key : keys)
        text += (text.empty() ? "" : ", ") + printable(key);
    return text;
}

std::string seconds(std::chrono::milliseconds timeout)
{
    return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(timeout).count()) + " s";
}

// Stops a service that its row stops, unless others that are running depend on it. Returns
// what kept it running, or nothing when it is stopped.
std::optional<std::string> stopUnlessNeeded(ServiceControl& services, const std::wstring& key,
                                            std::chrono::milliseconds timeout)
{
    const std::vector<std::wstring> dependants = services.runningDependants(key);
    if (!dependants.empty())
        return "left running: running services depend on it (" + joined(dependants) + ")";
    if (!services.stop(key, timeout))
        return "left running: it did not stop within " + seconds(timeout);
    return std::nullopt;
}

}  // namespace

ServiceReport statusReport(ServiceControl& services, const std::vector<ServiceStep>& steps, const Answers& answers)
{
    ServiceReport result;
    int changes = 0, missing = 0;
    for (const ServiceStep& step : steps) {
        const ActionEffect& effect = rowEffect(step, answers);
        const std::optional<ServiceState> now = services.query(step.serviceKey);
        std::string line = serviceName(step) + ": ";
        if (!now) {
            ++missing;
            line += "not installed; profile sets " + targetText(effect);
        } else {
            const bool change = !asRowLeavesIt(effect, *now);
            changes += change;
            line += "now " + stateText(*now) + "; profile sets " + targetText(effect)
                + (change ? ": would change" : ": unchanged");
        }
        result.text += line + "\n";
    }
    result.text += std::to_string(changes) + " of " + std::to_string(steps.size()) + " services would change, "
        + std::to_string(missing) + " not installed\n";
    return result;
}

ServiceReport verifyReport(ServiceControl& services, const std::vector<ServiceStep>& steps, const Answers& answers)
{
    ServiceReport result;
    int differences = 0;
    for (const ServiceStep& step : steps) {
        const ActionEffect& effect = rowEffect(step, answers);
        const std::optional<ServiceState> now = services.query(step.serviceKey);
        if (now && !asRowLeavesIt(effect, *now)) {
            ++differences;
            result.text += serviceName(step) + ": is " + stateText(*now) + "; the profile sets " + targetText(effect)
                + "\n";
        }
    }
    result.text += differences == 0 ? "every installed service is as the profile sets it\n"
                                   : std::to_string(differences) + " installed services differ from the profile\n";
    result.complete = differences == 0;
    return result;
}

std::vector<BackupEntry> currentModes(ServiceControl& services)
{
    const std::vector<std::wstring> keys = catalogueKeys();
    const std::vector<std::optional<ServiceState>> states = services.queryAll(keys);
    std::vector<BackupEntry> entries;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::optional<ServiceState>& now = states[i];
        entries.push_back({keys[i], now ? std::optional<StartMode>(now->mode) : std::nullopt, now && now->delayed});
    }
    return entries;
}

std::vector<std::wstring> restoreWouldChange(ServiceControl& services, const std::vector<BackupEntry>& backup)
{
    std::vector<std::wstring> keys;
    for (const BackupEntry& entry : backup) {
        const std::optional<ServiceState> now = entry.mode ? services.query(entry.serviceKey) : std::nullopt;
        if (now && !hasSavedMode(*now, entry))
            keys.push_back(entry.serviceKey);
    }
    return keys;
}

RestoreResult restoreModes(ServiceControl& services, const std::vector<BackupEntry>& backup)
{
    RestoreResult result;
    for (const BackupEntry& entry : backup) {
        std::string line = toUtf8(entry.serviceKey) + ": ";
        const std::optional<ServiceState> now = services.query(entry.serviceKey);
        if (!now) {
            line += "not installed";
        } else if (!entry.mode) {
            line += "not installed when the backup was made; left as it is";
        } else if (hasSavedMode(*now, entry)) {
            ++result.unchanged;
            line += "unchanged (" + modeText(now->mode, now->delayed) + ")";
        } else {
            try {
                services.setStartMode(entry.serviceKey, *entry.mode, entry.delayed);
                ++result.changed;
                line += "changed from " + modeText(now->mode, now->delayed) + " to " + modeText(*entry.mode, entry.delayed);
            } catch (const PlatformFailure& failure) {
                result.failures.emplace_back(entry.serviceKey, failure);
                line += failureText(failure);
            }
        }
        result.report.text += line + "\n";
    }
    result.report.complete = result.failures.empty();
    return result;
}

ServiceReport applyProfile(ServiceControl& services, const std::vector<ServiceStep>& steps, const Answers& answers,
                           std::chrono::milliseconds timeout)
{
    ServiceReport result;
    ApplyTally tally;
    for (const ServiceStep& step : steps) {
        const ActionEffect& effect = rowEffect(step, answers);
        std::string line = serviceName(step) + ": ";
        try {
            const std::optional<ServiceState> now = services.query(step.serviceKey);
            if (!now) {
                ++tally.missing;
                result.text += line + "not installed\n";
                continue;
            }
            std::vector<std::string> done;
            std::optional<std::string> leftRunning;
            if (effect.stopsFirst && now->state != RunState::Stopped) {
                leftRunning = stopUnlessNeeded(services, step.serviceKey, timeout);
                if (!leftRunning)
                    done.push_back("stopped");
            }
            if (now->mode != effect.mode || now->delayed) {
                services.setStartMode(step.serviceKey, effect.mode, false);
                done.push_back("changed from " + modeText(now->mode, now->delayed) + " to " + startModeName(effect.mode));
            }
            if (effect.startsAfter && now->state != RunState::Running) {
                if (!services.start(step.serviceKey, timeout))
                    throw PlatformFailure(windows_error::kServiceRequestTimeout,
                                          L"it did not start within " + fromUtf8(seconds(timeout)));
                done.push_back("started");
            }
            if (leftRunning) {
                ++tally.leftRunning;
                done.push_back(*leftRunning);
            } else if (done.empty()) {
                ++tally.unchanged;
                done.push_back("unchanged (" + stateText(*now) + ")");
            } else {
                ++tally.changed;
            }
            for (std::size_t i = 0; i < done.size(); ++i)
                line += (i ? "; " : "") + done[i];
        } catch (const PlatformFailure& failure) {
            ++tally.failed;
            line += failureText(failure);
        }
        result.text += line + "\n";
    }
    result.text += tally.summary();
    result.complete = tally.leftRunning == 0 && tally.failed == 0;
    return result;
}

}  // namespace quillora
