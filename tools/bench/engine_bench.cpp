// The engine alone: one complete automatic run against recording doubles.
#include <benchmark/benchmark.h>

#include "engine/run/recording.h"

namespace {

void automaticRun(benchmark::State& state)
{
    const quillora::Answers answers;
    const auto plan = quillora::inputsForOtherMachines(quillora::Profile::Automatic, answers, quillora::Lists::Designed);
    for (auto _ : state) {
        quillora::RecordingPlatform platform;
        quillora::MemoryProgressLog log;
        quillora::runPlan(plan, log, platform);
        benchmark::DoNotOptimize(log.log.data());
    }
}
BENCHMARK(automaticRun);

}  // namespace

BENCHMARK_MAIN();
