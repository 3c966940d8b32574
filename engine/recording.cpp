#include "recording.h"

namespace quillora {

RecordedRun recordRun(Profile profile)
{
    RecordedRun run;
    runProfile(profileSteps(profile), run.log, run.platform);
    return run;
}

}  // namespace quillora
