#include "engine/run/recording.h"

namespace quillora {

RecordedRun recordRun(const std::vector<ServiceStep>& steps, const Answers& answers)
{
    RecordedRun run;
    runProfile(steps, answers, run.log, run.platform);
    return run;
}

}  // namespace quillora
