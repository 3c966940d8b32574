#include "engine/run/recording.h"

namespace quillora {

RecordedRun recordRun(const PlanInputs& inputs)
{
    RecordedRun run;
    runPlan(inputs, run.log, run.platform);
    return run;
}

}  // namespace quillora
