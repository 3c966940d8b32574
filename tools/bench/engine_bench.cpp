// The engine alone: one complete automatic run against recording doubles.
#include <benchmark/benchmark.h>

#include "catalogue.h"
#include "recording.h"

namespace {

void automaticRun(benchmark::State& state)
{
    const auto steps = quillora::profileSteps(quillora::Profile::Automatic);
    for (auto _ : state) {
        quillora::RecordingPlatform platform;
        quillora::MemoryProgressLog log;
        quillora::runProfile(steps, log, platform);
        benchmark::DoNotOptimize(log.log.data());
    }
}
BENCHMARK(automaticRun);

}  // namespace

BENCHMARK_MAIN();
