#include <doctest.h>

#include "companion/cli.h"
#include "tests/support/golden.h"
#include "tests/support/memory_machine.h"

using namespace quillora;
using namespace quillora::testing;

TEST_CASE("plan matches the golden command lines and log of every profile, byte for byte")
{
    for (const GoldenRun& run : goldenRuns()) {
        CAPTURE(run.name);
        std::vector<std::string> args{"plan", run.profile};
        if (run.answers) {
            args.push_back("--answers");
            args.push_back(run.answers);
        }
        for (const char* output : {"commands", "log"}) {
            CAPTURE(output);
            std::vector<std::string> withOutput = args;
            withOutput.push_back(std::string("--") + output);
            MemoryMachine machine;
            const CliResult result = runCli(withOutput, machine);
            CHECK(result.status == 0);
            CHECK(result.out == goldenBytes(run.name, output));
        }
    }
}
