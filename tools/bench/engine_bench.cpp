// The engine alone: one complete automatic run against recording doubles.
#include <benchmark/benchmark.h>

#include "engine/catalogue/catalogue.h"
#include "engine/run/recording.h"

namespace {

void automaticRun(benchmark::State& state)
{
    const auto steps = quillora::profileSteps(quillora::Profile::Automatic, quillora::Lists::Designed);
    const quillora::Answers answers;
    for (auto _ : state) {
        quillora::RecordingPlatform platform;
        quillora::MemoryProgressLog log;
        quillora::runProfile(steps, answers, log, platform);
        benchmark::DoNotOptimize(log.log.data());
    }
}
BENCHMARK(automaticRun);

}  // namespace

BENCHMARK_MAIN();
