#include "engine/plan/profile_on_machine.h"

#include <array>

#include "engine/text/printable.h"
#include "engine/plan/service_change.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

// "needed by Windows 10" where the row is for a service that this Windows needs.
std::string neededNote(const PlannedRow& row, const std::optional<WindowsVersion>& windows)
{
    if (!windows || !row.needed)
        return "";
    return "needed by " + windowsProductName(*windows);
}

std::string fateText(Fate fate)
{
    return toUtf8(fateWord(kEnglishWording, fate));
}

// A row's fate as a report line ends it: "kept (needed here): needed by Windows 10 (--all changes it
// too)" where --all would change what the run leaves alone.
std::string leftAloneText(const PlannedRow& row, const std::optional<WindowsVersion>& windows, const char* withAll)
{
    const Fate fate = row.fate;
    if (fate != Fate::KeptNeeded)
        return fateText(fate);
    return fateText(fate) + ": " + neededNote(row, windows) + " (--all " + withAll + ")";
}

// The rows counted by fate, told as "3 would change, 2 kept (your choice)" in the fates' order,
// those with none left out.
class FateCounts {
public:
    void count(Fate fate) { ++counts_[static_cast<std::size_t>(fate)]; }
    int of(Fate fate) const { return counts_[static_cast<std::size_t>(fate)]; }
    std::string text(std::initializer_list<Fate> fates) const
    {
        std::string told;
        for (const Fate fate : fates) {
            if (of(fate))
                told += (told.empty() ? "" : ", ") + std::to_string(of(fate)) + " " + fateText(fate);
        }
        return told;
    }

private:
    std::array<int, 8> counts_{};
};

constexpr std::initializer_list<Fate> kKept = {Fate::KeptByChoice, Fate::KeptNeeded, Fate::KeptAsWindowsHasIt};

std::string stateText(const ServiceState& now)
{
    return modeWords(now.mode, now.delayed) + ", " + runStateName(now.state);
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
        return "left running: running services depend on it (" + printableList(dependants) + ")";
    if (!services.stop(key, timeout))
        return "left running: it did not stop within " + seconds(timeout);
    return std::nullopt;
}

}  // namespace

ServiceReport statusReport(const std::vector<PlannedRow>& rows, const std::optional<WindowsVersion>& windows)
{
    ServiceReport result;
    FateCounts counts;
    for (const PlannedRow& row : rows) {
        const Fate fate = row.fate;
        counts.count(fate);
        const std::string needed = neededNote(row, windows);
        std::string line = serviceName(row.step.serviceKey) + ": " + (row.now ? "now " + stateText(*row.now) + "; " : "")
            + "profile asks " + actionDescription(row.asked) + ": " + leftAloneText(row, windows, "includes it");
        if (!needed.empty() && fate != Fate::KeptNeeded)
            line += "; " + needed;
        result.text += line + "\n";
    }
    result.text += "of " + std::to_string(rows.size()) + " services: "
        + counts.text({Fate::WouldChange, Fate::NoChange, Fate::NotInstalled, Fate::KeptByChoice, Fate::KeptNeeded,
                       Fate::KeptAsWindowsHasIt})
        + "\n";
    return result;
}

ServiceReport verifyReport(const std::vector<PlannedRow>& rows, const std::optional<WindowsVersion>& windows)
{
    ServiceReport result;
    FateCounts counts;
    for (const PlannedRow& row : rows) {
        const Fate fate = row.fate;
        counts.count(fate);
        if (fate == Fate::WouldChange)
            result.text += serviceName(row.step.serviceKey) + ": is " + stateText(*row.now) + "; the profile asks "
                + actionDescription(row.asked) + "\n";
        else if (fate == Fate::KeptByChoice || fate == Fate::KeptNeeded)
            result.text += serviceName(row.step.serviceKey) + ": " + leftAloneText(row, windows, "checks it too") + "\n";
    }
    const int differences = counts.of(Fate::WouldChange);
    const std::string kept = counts.text(kKept);
    result.text += (differences == 0 ? "every installed service is as the profile sets it"
                                     : std::to_string(differences) + " installed services differ from the profile")
        + (kept.empty() ? "" : ", " + kept) + "\n";
    result.complete = differences == 0;
    return result;
}

ServiceReport applyProfile(ServiceControl& services, const std::vector<PlannedRow>& rows,
                           std::chrono::milliseconds timeout, const std::optional<WindowsVersion>& windows,
                           std::vector<std::pair<std::wstring, PlatformFailure>>* refused,
                           const std::function<bool(const PlannedRow&)>& reaching)
{
    ServiceReport result;
    for (const PlannedRow& row : rows) {
        const std::wstring& key = row.step.serviceKey;
        std::string line = serviceName(key) + ": ";
        const Fate fate = row.fate;
        if (fate == Fate::NotInstalled) {
            result.text += line + fateText(fate) + "\n";
            continue;
        }
        if (row.leftAlone) {
            result.text += line + leftAloneText(row, windows, "changes it too") + "\n";
            continue;
        }
        if (reaching && !reaching(row)) {
            result.complete = false;
            break;
        }
        try {
            const ServiceState& now = *row.now;
            const ActionEffect& effect = effectOf(row.action);
            const PendingChange pending = pendingChange(targetOf(effect), now);
            std::vector<std::string> done;
            std::optional<std::string> leftRunning;
            if (pending.stop) {
                leftRunning = stopUnlessNeeded(services, key, timeout);
                if (!leftRunning)
                    done.push_back("stopped");
            }
            if (pending.setMode) {
                services.setStartMode(key, effect.mode, effect.delayed);
                done.push_back("changed from " + modeWords(now.mode, now.delayed) + " to "
                               + modeWords(effect.mode, effect.delayed));
            }
            if (pending.start) {
                if (!services.start(key, timeout))
                    throw PlatformFailure(windows_error::kServiceRequestTimeout,
                                          L"it did not start within " + fromUtf8(seconds(timeout)));
                done.push_back("started");
            }
            if (leftRunning) {
                result.complete = false;
                done.push_back(*leftRunning);
            } else if (done.empty()) {
                done.push_back("unchanged (" + stateText(now) + ")");
            }
            for (std::size_t i = 0; i < done.size(); ++i)
                line += (i ? "; " : "") + done[i];
        } catch (const PlatformFailure& failure) {
            result.complete = false;
            line += failureText(failure);
            if (refused)
                refused->emplace_back(key, failure);
        }
        result.text += line + "\n";
    }
    return result;
}

}  // namespace quillora
