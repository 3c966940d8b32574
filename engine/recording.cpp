#include "engine/recording.h"

namespace quillora {

RecordedRun recordRun(Profile profile, const Answers& answers)
{
    RecordedRun run;
    runProfile(profileSteps(profile), answers, run.log, run.platform);
    return run;
}

}  // namespace quillora
