#include "engine/plan/profile_on_machine.h"

#include "engine/text/printable.h"
#include "engine/plan/service_change.h"
#include "engine/text/utf8.h"
#include "engine/catalogue/windows_needs.h"

namespace quillora {
namespace {

// "needed by Windows 10" where the row changes a service that this Windows needs.
std::string neededNote(const ServiceStep& step, const std::optional<WindowsVersion>& windows)
{
    if (!windows || !touchesNeeded(step, generationOf(*windows)))
        return "";
    return "needed by " + windowsProductName(*windows);
}

// What status, verify and apply make of one row, each in its own words, counted alike: a row whose
// service is not installed is that first; then a row left alone because this Windows needs it;
// then whether the row would still change anything.
enum class RowOutcome { NotInstalled, LeftAlone, AsAsked, WouldChange };

RowOutcome outcomeOf(const ServiceStep& step, const std::optional<ServiceState>& now, const Answers& answers)
{
    if (!now)
        return RowOutcome::NotInstalled;
    if (step.leftAlone)
        return RowOutcome::LeftAlone;
    return rowWouldChange(step, answers, now) ? RowOutcome::WouldChange : RowOutcome::AsAsked;
}

// "left alone: needed by Windows 10 (--all changes it too)", the line of a row left alone, or
// "skipped by choice" for one the user chose to leave alone.
std::string leftAloneText(const ServiceStep& step, const std::optional<WindowsVersion>& windows, const char* withAll)
{
    if (step.byChoice)
        return "skipped by choice";
    const std::string needed = neededNote(step, windows);
    return "left alone" + (needed.empty() ? "" : ": " + needed) + " (--all " + withAll + ")";
}

// The rows left alone, counted by why.
struct LeftAloneCount {
    int needed = 0, chosen = 0;

    void count(const ServiceStep& step) { ++(step.byChoice ? chosen : needed); }
    // ", 21 left alone as this Windows needs them, 1 skipped by choice", for those there were.
    std::string text() const
    {
        return (needed ? ", " + std::to_string(needed) + " left alone as this Windows needs them" : "")
            + (chosen ? ", " + std::to_string(chosen) + " skipped by choice" : "");
    }
};

std::string stateText(const ServiceState& now)
{
    return modeWords(now.mode, now.delayed) + ", " + runStateName(now.state);
}

// The counts that end an apply.
struct ApplyTally {
    int changed = 0, unchanged = 0, missing = 0, leftRunning = 0, failed = 0;
    LeftAloneCount leftAlone;

    std::string summary() const
    {
        return std::to_string(changed) + " changed, " + std::to_string(unchanged) + " unchanged, "
            + std::to_string(missing) + " not installed, " + std::to_string(leftRunning) + " left running, "
            + std::to_string(failed) + " failed" + leftAlone.text() + "\n";
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

ServiceReport statusReport(ServiceControl& services, const std::vector<ServiceStep>& steps, const Answers& answers,
                           const std::optional<WindowsVersion>& windows)
{
    ServiceReport result;
    int changes = 0, missing = 0;
    LeftAloneCount leftAlone;
    for (const ServiceStep& step : steps) {
        const std::string asked = actionDescription(performedAction(step, answers));
        const std::optional<ServiceState> now = services.query(step.serviceKey);
        const std::string needed = neededNote(step, windows);
        const std::string neededSuffix = needed.empty() ? "" : "; " + needed;
        const RowOutcome outcome = outcomeOf(step, now, answers);
        missing += outcome == RowOutcome::NotInstalled;
        if (outcome == RowOutcome::LeftAlone)
            leftAlone.count(step);
        changes += outcome == RowOutcome::WouldChange;
        std::string line = serviceName(step.serviceKey) + ": "
            + (now ? "now " + stateText(*now) + "; " : "not installed; ") + "profile asks " + asked;
        switch (outcome) {
        case RowOutcome::NotInstalled:
            line += neededSuffix;
            break;
        case RowOutcome::LeftAlone:
            line += ": " + leftAloneText(step, windows, "includes it");
            break;
        case RowOutcome::WouldChange:
            line += ": would change" + neededSuffix;
            break;
        case RowOutcome::AsAsked:
            line += ": unchanged" + neededSuffix;
            break;
        }
        result.text += line + "\n";
    }
    result.text += std::to_string(changes) + " of " + std::to_string(steps.size()) + " services would change, "
        + std::to_string(missing) + " not installed" + leftAlone.text() + "\n";
    return result;
}

ServiceReport verifyReport(ServiceControl& services, const std::vector<ServiceStep>& steps, const Answers& answers,
                           const std::optional<WindowsVersion>& windows)
{
    ServiceReport result;
    int differences = 0;
    LeftAloneCount leftAlone;
    for (const ServiceStep& step : steps) {
        const std::optional<ServiceState> now = services.query(step.serviceKey);
        switch (outcomeOf(step, now, answers)) {
        case RowOutcome::WouldChange:
            ++differences;
            result.text += serviceName(step.serviceKey) + ": is " + stateText(*now) + "; the profile asks "
                + actionDescription(performedAction(step, answers)) + "\n";
            break;
        case RowOutcome::LeftAlone:
            leftAlone.count(step);
            result.text += serviceName(step.serviceKey) + ": " + leftAloneText(step, windows, "checks it too") + "\n";
            break;
        case RowOutcome::NotInstalled:
        case RowOutcome::AsAsked:
            break;
        }
    }
    result.text += (differences == 0 ? "every installed service is as the profile sets it"
                                     : std::to_string(differences) + " installed services differ from the profile")
        + leftAlone.text() + "\n";
    result.complete = differences == 0;
    return result;
}

ServiceReport applyProfile(ServiceControl& services, const std::vector<ServiceStep>& steps, const Answers& answers,
                           std::chrono::milliseconds timeout, const std::optional<WindowsVersion>& windows)
{
    ServiceReport result;
    ApplyTally tally;
    for (const ServiceStep& step : steps) {
        std::string line = serviceName(step.serviceKey) + ": ";
        try {
            const std::optional<ServiceState> now = services.query(step.serviceKey);
            const ActionEffect& effect = effectOf(actionHere(performedAction(step, answers), now));
            const RowOutcome outcome = outcomeOf(step, now, answers);
            if (outcome == RowOutcome::NotInstalled) {
                ++tally.missing;
                result.text += line + "not installed\n";
                continue;
            }
            if (outcome == RowOutcome::LeftAlone) {
                tally.leftAlone.count(step);
                result.text += line + leftAloneText(step, windows, "changes it too") + "\n";
                continue;
            }
            const PendingChange pending =
                outcome == RowOutcome::WouldChange ? pendingChange(targetOf(effect), *now) : PendingChange{};
            std::vector<std::string> done;
            std::optional<std::string> leftRunning;
            if (pending.stop) {
                leftRunning = stopUnlessNeeded(services, step.serviceKey, timeout);
                if (!leftRunning)
                    done.push_back("stopped");
            }
            if (pending.setMode) {
                services.setStartMode(step.serviceKey, effect.mode, effect.delayed);
                done.push_back("changed from " + modeWords(now->mode, now->delayed) + " to "
                               + modeWords(effect.mode, effect.delayed));
            }
            if (pending.start) {
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
