#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/records/backups/backup_store.h"
#include "engine/machine/failure.h"
#include "engine/machine/machine.h"
#include "engine/records/transaction/machine_run.h"
#include "engine/records/history/run_history.h"
#include "engine/records/run/run_result.h"

namespace quillora {

// A repeating timer the system runs; it stops when destroyed.
class Timer {
public:
    virtual ~Timer() = default;
};

// The processes a run launched and kept, as the results see them.
class LaunchedProcesses {
public:
    virtual ~LaunchedProcesses() = default;
    // The exit status of a kept launch once its process has ended, nullopt while it runs; once
    // read, the process is let go. Throws PlatformFailure where the status cannot be read.
    virtual std::optional<unsigned long> exitStatus(std::size_t launch) = 0;
    // Lets a kept process go without asking how it ended.
    virtual void forget(std::size_t launch) = 0;
    // Calls tick every period until the timer is destroyed.
    virtual std::unique_ptr<Timer> every(std::chrono::milliseconds period, std::function<void()> tick) = 0;
};

// What is told when the results change. Every call may show something to the user, or start a
// run: nothing is told while the results hold a reference into their own state.
class ResultListener {
public:
    // A run started, a result arrived or a run was added: whatever shows the runs shows them anew.
    virtual void resultsChanged() {}
    // A run's result has just been read back and saved, while the program runs.
    virtual void resultArrived(const RunResult&) {}
    // A run's result could not be read back, or one of its files (result, history) could not be
    // written; each said once per run. resultPath: the run's result file.
    virtual void resultProblem(const RunProblem&, const std::string& /*resultPath*/) {}
    // Something failed while results were collected or told (a listener among them); the results
    // go on as they were.
    virtual void resultsFailed(const PlatformFailure&) {}

protected:
    ~ResultListener() = default;
};

// The one owner of what runs really did. A run tells it of its steps and launches through the
// record it gets when it starts; a timer of its own collects the exit statuses; once a run is over
// and every command it launched has ended, its services are read back, judged, and the result is
// saved beside the run's backup. When the program ends, every result still waited for is saved at
// once, with the services whose commands still run marked Unknown.
class RunResults {
public:
    static constexpr std::chrono::milliseconds kCollectPeriod{500};

    RunResults(LaunchedProcesses& processes, Machine& machine);
    ~RunResults();
    RunResults(const RunResults&) = delete;
    RunResults& operator=(const RunResults&) = delete;

    // A run that has saved its backup and recorded what made it is starting; it is the last run
    // from now on. The run, and with it its claim on the services, lives until its result is saved
    // once every command it launched has ended; the record of its launches as long. What went
    // wrong with its files is told to the listeners, each once. Every row of its plan is in its
    // result, whether the run reaches it or not.
    RunRecord& runStarts(std::unique_ptr<MachineRun> run);
    // The run of this record is over.
    void runOver(RunRecord& record);

    // Notes which commands have ended, and reads back, saves and tells every result now complete.
    // Whatever fails on the way is told to the listeners, never thrown: it runs from a timer.
    void collect();
    // Saves every result still waited for, now, without waiting for its commands any longer: the
    // services whose commands still run are Unknown. Runs whose commands have all ended give back
    // their claim; the others keep it until the program has ended, so that nobody else changes
    // the services while their commands may.
    void programEnds();

    // Whether the last run started still runs or waits for its commands to end.
    bool lastRunPending() const;
    // Whether any run still runs or waits for its commands to end.
    bool anyPending() const { return !tracked_.empty(); }
    // Whether the run that saved this backup still runs or waits for its commands to end.
    bool pending(const std::string& backupPath) const;
    // What the last run of this start of the program really did; nullopt while it is pending, or
    // before any run.
    const std::optional<RunResult>& lastResult() const { return lastResult_; }
    // A run was added to the history by other means than this (a going back): whatever shows the
    // runs shows them anew.
    void tellRunsChanged();

    void listen(ResultListener& listener);
    void stopListening(ResultListener& listener);

private:
    struct Tracked {
        std::unique_ptr<MachineRun> run;
        std::unique_ptr<RunRecord> record;
        std::size_t problemsTold = 0;
    };

    struct Problem {
        RunProblem problem;
        std::string resultPath;
    };

    // What is to be told once the loop over the tracked runs is done with them.
    struct News {
        std::vector<Problem> problems;
        std::vector<RunResult> arrived;
        bool newestArrived = false;
    };

    void noteEnded(Tracked& tracked, News& news);
    RunResult finish(Tracked& tracked, News& news);
    static void newProblems(Tracked& tracked, News& news);
    void collectInto(News& news);
    void tell(const News& news);
    template <typename Call>
    void tellEach(Call call);

    LaunchedProcesses& processes_;
    Machine& machine_;
    std::unique_ptr<Timer> timer_;
    // Runs whose result is not known yet, in the order they started.
    std::vector<Tracked> tracked_;
    // What the program's end saved of runs whose commands still ran, kept for the runs still ending
    // and for their claim.
    std::vector<Tracked> ended_;
    const RunRecord* lastRun_ = nullptr;  // the last run started, while it is among them
    std::optional<RunResult> lastResult_;
    bool collecting_ = false;
    std::vector<ResultListener*> listeners_;
};

}  // namespace quillora
