#include "engine/service_report.h"

#include "engine/catalogue.h"
#include "engine/failure.h"
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
    return "failed (" + std::to_string(failure.number()) + ": " + toUtf8(failure.description()) + ")";
}

// What the profile would set, read now: the prompted profile follows the answers.
StartMode targetMode(const ServiceStep& step, const Answers& answers)
{
    return startModeFor(performedAction(step, answers));
}

}  // namespace

ServiceReport statusReport(ServiceControl& services, const std::vector<ServiceStep>& steps, const Answers& answers)
{
    ServiceReport result;
    int changes = 0, missing = 0;
    for (const ServiceStep& step : steps) {
        const StartMode target = targetMode(step, answers);
        const std::optional<ServiceState> now = services.query(step.serviceKey);
        std::string line = serviceName(step) + ": ";
        if (!now) {
            ++missing;
            line += std::string("not installed; profile sets ") + startModeName(target);
        } else {
            const bool change = now->mode != target;
            changes += change;
            line += "now " + modeText(now->mode, now->delayed) + ", " + now->state + "; profile sets "
                + startModeName(target) + (change ? ": would change" : ": unchanged");
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
        const StartMode target = targetMode(step, answers);
        const std::optional<ServiceState> now = services.query(step.serviceKey);
        if (now && now->mode != target) {
            ++differences;
            result.text += serviceName(step) + ": is " + modeText(now->mode, now->delayed) + ", the profile sets "
                + startModeName(target) + "\n";
        }
    }
    result.text += differences == 0 ? "every installed service is as the profile sets it\n"
                                   : std::to_string(differences) + " installed services differ from the profile\n";
    result.complete = differences == 0;
    return result;
}

std::vector<BackupEntry> currentModes(ServiceControl& services)
{
    std::vector<BackupEntry> entries;
    for (const std::wstring& key : catalogueKeys()) {
        const std::optional<ServiceState> now = services.query(key);
        entries.push_back({key, now ? std::optional<StartMode>(now->mode) : std::nullopt, now && now->delayed});
    }
    return entries;
}

ServiceReport restoreModes(ServiceControl& services, const std::vector<BackupEntry>& backup)
{
    ServiceReport result;
    int failures = 0;
    for (const BackupEntry& entry : backup) {
        std::string line = toUtf8(entry.serviceKey) + ": ";
        const std::optional<ServiceState> now = services.query(entry.serviceKey);
        if (!now) {
            line += "not installed";
        } else if (!entry.mode) {
            line += "not installed when the backup was made; left as it is";
        } else if (now->mode == *entry.mode && now->delayed == entry.delayed) {
            line += "unchanged (" + modeText(now->mode, now->delayed) + ")";
        } else {
            try {
                services.setStartMode(entry.serviceKey, *entry.mode, entry.delayed);
                line += "changed from " + modeText(now->mode, now->delayed) + " to " + modeText(*entry.mode, entry.delayed);
            } catch (const PlatformFailure& failure) {
                ++failures;
                line += failureText(failure);
            }
        }
        result.text += line + "\n";
    }
    result.complete = failures == 0;
    return result;
}

}  // namespace quillora
