#include "engine/run_results.h"

#include <algorithm>
#include <utility>

#include "engine/utf8.h"

namespace quillora {

RunResults::RunResults(LaunchedProcesses& processes, Machine& machine) : processes_(processes), machine_(machine) {}

RunResults::~RunResults() = default;

RunRecord& RunResults::runStarts(const SavedBackup& backup)
{
    if (!timer_)
        timer_ = processes_.every(kCollectPeriod, [this] { collect(); });
    tracked_.push_back({std::make_unique<RunRecord>(backup.path, backup.entries, backup.states)});
    lastRun_ = tracked_.back().record.get();
    anyRun_ = true;
    lastResult_.reset();
    for (ResultListener* listener : std::vector(listeners_))
        listener->resultsChanged();
    return *tracked_.back().record;
}

void RunResults::runOver(RunRecord& record)
{
    record.runOver();
}

void RunResults::noteEnded(Tracked& tracked)
{
    for (const std::size_t launch : tracked.record->running()) {
        try {
            if (const std::optional<unsigned long> status = processes_.exitStatus(launch))
                tracked.record->ended(launch, *status);
        } catch (const PlatformFailure& failure) {
            // Asked again at every tick it would fail again: the command counts as ended, how
            // unknown.
            processes_.forget(launch);
            tracked.record->ended(launch, std::nullopt);
            problem(&tracked, {false, resultPathFor(tracked.record->backupPath()), failure});
        }
    }
}

// Reads back and saves the run's result; the record is done with.
RunResult RunResults::finish(Tracked& tracked)
{
    RunResult result{tracked.record->backupPath(), {}};
    try {
        result = readBack(*tracked.record, servicesOf(machine_));
    } catch (const PlatformFailure& failure) {
        // Nothing lost: every service the run touched is in the file, how it ended unknown.
        for (const TouchedService& touched : tracked.record->touched())
            result.services.push_back({touched.serviceKey, tracked.record->before(touched.serviceKey).saved,
                                       touched.asked, std::nullopt, Outcome::Unknown, std::nullopt});
        problem(&tracked, {false, resultPathFor(result.backupPath), failure});
    }
    save(tracked, result);
    for (const std::size_t launch : tracked.record->running())
        processes_.forget(launch);
    return result;
}

void RunResults::save(Tracked& tracked, const RunResult& result)
{
    const std::string path = resultPathFor(result.backupPath);
    try {
        machine_.files().writeAtomically(path, formatRunResult(result), true);
    } catch (const PlatformFailure& failure) {
        problem(&tracked, {true, path, failure});
    }
}

void RunResults::problem(Tracked* tracked, const ResultProblem& what)
{
    if (tracked && std::exchange(tracked->problemSaid, true))
        return;
    for (ResultListener* listener : std::vector(listeners_))
        listener->resultProblem(what);
}

void RunResults::collect()
{
    // A listener's message box lets ticks through: they wait for this one.
    if (collecting_)
        return;
    collecting_ = true;
    std::vector<RunResult> arrived;
    bool newestArrived = false;
    for (std::size_t i = 0; i < tracked_.size();) {
        Tracked& tracked = tracked_[i];
        noteEnded(tracked);
        if (!tracked.record->complete()) {
            ++i;
            continue;
        }
        arrived.push_back(finish(tracked));
        if (tracked.record.get() == lastRun_) {
            lastRun_ = nullptr;
            lastResult_ = arrived.back();
            newestArrived = true;
        }
        tracked_.erase(tracked_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    collecting_ = false;
    // Told once nothing is held: a listener may start a run or show a box that lets ticks through.
    for (const RunResult& result : arrived) {
        for (ResultListener* listener : std::vector(listeners_))
            listener->resultArrived(result);
    }
    if (newestArrived) {
        for (ResultListener* listener : std::vector(listeners_))
            listener->resultsChanged();
    }
}

void RunResults::programEnds()
{
    std::vector<Tracked> pending = std::move(tracked_);
    tracked_.clear();
    lastRun_ = nullptr;
    for (Tracked& tracked : pending) {
        noteEnded(tracked);
        finish(tracked);
    }
}

bool RunResults::lastRunPending() const
{
    return lastRun_ != nullptr;
}

const std::optional<RunResult>& RunResults::lastResult()
{
    if (!anyRun_ && !loaded_)
        loadNewestSaved();
    return lastResult_;
}

// The result saved beside the newest automatic backup, from an earlier start of the program.
void RunResults::loadNewestSaved()
{
    loaded_ = true;
    if (!machine_.services())
        return;
    std::string path;
    try {
        const std::optional<StoredBackup> newest = newestAutomaticBackup(machine_);
        if (!newest || !newest->hasResult)
            return;
        path = resultPathFor(newest->path);
        lastResult_ = parseRunResult(path, machine_.files().read(path));
        if (!lastResult_)
            problem(nullptr, {false, path, PlatformFailure(0, L"not a whole Quillora result")});
    } catch (const PlatformFailure& failure) {
        problem(nullptr, {false, path, failure});
    }
}

void RunResults::listen(ResultListener& listener)
{
    listeners_.push_back(&listener);
}

void RunResults::stopListening(ResultListener& listener)
{
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), &listener), listeners_.end());
}

}  // namespace quillora
