#include "engine/records/transaction/run_results.h"

#include <algorithm>
#include <utility>

#include "engine/text/utf8.h"

namespace quillora {

RunResults::RunResults(LaunchedProcesses& processes, Machine& machine) : processes_(processes), machine_(machine) {}

RunResults::~RunResults() = default;

RunRecord& RunResults::runStarts(std::unique_ptr<MachineRun> run)
{
    if (!timer_)
        timer_ = processes_.every(kCollectPeriod, [this] { collect(); });
    const SavedBackup& backup = run->backup();
    auto newRecord = std::make_unique<RunRecord>(backup.path, backup.entries, backup.states, run->planned());
    tracked_.push_back({std::move(run), std::move(newRecord)});
    // Taken before anyone is told: a listener may start a run of its own.
    Tracked& tracked = tracked_.back();
    RunRecord& record = *tracked.record;
    lastRun_ = &record;
    lastResult_.reset();
    News news;
    newProblems(tracked, news);
    tell(news);
    tellEach([](ResultListener& listener) { listener.resultsChanged(); });
    return record;
}

void RunResults::runOver(RunRecord& record)
{
    record.runOver();
}

void RunResults::noteEnded(Tracked& tracked, News& news)
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
            tracked.run->readBackFailed(failure);
            newProblems(tracked, news);
        }
    }
}

// Reads back and saves the run's result; the record is done with.
RunResult RunResults::finish(Tracked& tracked, News& news)
{
    RunResult result;
    try {
        result = readBack(*tracked.record, servicesOf(machine_));
    } catch (const PlatformFailure& failure) {
        // Nothing lost: every row of the run is in the file, how it ended unknown.
        for (const TouchedService& touched : tracked.record->rows()) {
            const ServiceBefore before = tracked.record->before(touched.serviceKey);
            result.services.push_back({touched.serviceKey, before.saved, touched.asked, std::nullopt,
                                       outcomeUnread(touched, before), std::nullopt});
        }
        tracked.run->readBackFailed(failure);
    }
    result = tracked.run->finish(std::move(result));
    newProblems(tracked, news);
    for (const std::size_t launch : tracked.record->running())
        processes_.forget(launch);
    return result;
}

// What went wrong with the run's files since last told: each problem once.
void RunResults::newProblems(Tracked& tracked, News& news)
{
    const std::vector<RunProblem>& problems = tracked.run->problems();
    for (; tracked.problemsTold < problems.size(); ++tracked.problemsTold)
        news.problems.push_back({problems[tracked.problemsTold], resultPathFor(tracked.run->backup().path)});
}

void RunResults::collect()
{
    // A listener's message box lets ticks through: they wait for this one.
    if (collecting_)
        return;
    collecting_ = true;
    News news;
    std::optional<PlatformFailure> failed;
    try {
        collectInto(news);
    } catch (const std::exception& error) {
        failed = failureOf(error);
    }
    collecting_ = false;
    tell(news);
    if (failed)
        tellEach([&](ResultListener& listener) { listener.resultsFailed(*failed); });
}

void RunResults::collectInto(News& news)
{
    for (std::size_t i = 0; i < tracked_.size();) {
        Tracked& tracked = tracked_[i];
        noteEnded(tracked, news);
        if (!tracked.record->complete()) {
            ++i;
            continue;
        }
        news.arrived.push_back(finish(tracked, news));
        if (tracked.record.get() == lastRun_) {
            lastRun_ = nullptr;
            lastResult_ = news.arrived.back();
            news.newestArrived = true;
        }
        tracked_.erase(tracked_.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

// Told once nothing is held: a listener may start a run, or show a box that lets ticks through.
void RunResults::tell(const News& news)
{
    for (const Problem& problem : news.problems)
        tellEach([&](ResultListener& listener) { listener.resultProblem(problem.problem, problem.resultPath); });
    for (const RunResult& result : news.arrived)
        tellEach([&](ResultListener& listener) { listener.resultArrived(result); });
    if (news.newestArrived)
        tellEach([](ResultListener& listener) { listener.resultsChanged(); });
}

// Tells every listener, each whatever the others do; a listener that fails is told to them all.
template <typename Call>
void RunResults::tellEach(Call call)
{
    std::vector<PlatformFailure> failed;
    for (ResultListener* listener : std::vector(listeners_)) {
        // One told before it may have made another stop listening.
        if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
            continue;
        try {
            call(*listener);
        } catch (const std::exception& error) {
            failed.push_back(failureOf(error));
        }
    }
    for (const PlatformFailure& failure : failed) {
        for (ResultListener* listener : std::vector(listeners_)) {
            try {
                listener->resultsFailed(failure);
            } catch (const std::exception&) {
                // A listener that cannot say a failure has nobody left to say it to; the results
                // stay whole.
            }
        }
    }
}

void RunResults::programEnds()
{
    std::vector<Tracked> pending = std::move(tracked_);
    tracked_.clear();
    lastRun_ = nullptr;
    News news;
    for (Tracked& tracked : pending) {
        noteEnded(tracked, news);
        finish(tracked, news);
        // A run under way ends after its current step, and says so to its record then; a run whose
        // commands still run keeps its claim until the program has ended.
        if (!tracked.record->complete())
            ended_.push_back(std::move(tracked));
    }
    // Only the problems: no result is shown as the program goes.
    tell(news);
}

bool RunResults::lastRunPending() const
{
    return lastRun_ != nullptr;
}

bool RunResults::pending(const std::string& backupPath) const
{
    return std::any_of(tracked_.begin(), tracked_.end(),
                       [&](const Tracked& tracked) { return tracked.record->backupPath() == backupPath; });
}

void RunResults::tellRunsChanged()
{
    tellEach([](ResultListener& listener) { listener.resultsChanged(); });
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
