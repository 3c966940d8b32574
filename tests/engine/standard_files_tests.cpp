#include <doctest.h>

#include <string>

#include "engine/failure.h"
#include "engine/standard_files.h"

using namespace quillora;

TEST_CASE("a read the system refuses is an error naming the file, not an early end of file")
{
    // Reading a process's own memory from offset 0 fails with EIO at the first read on Linux,
    // after the open succeeded.
    StandardFiles files;
    try {
        files.read("/proc/self/mem");
        FAIL("the read was taken for an empty file");
    } catch (const FileFailure& failure) {
        CHECK(failure.path() == "/proc/self/mem");
        CHECK(failure.number() != 0);
    }
    CHECK_THROWS_AS(files.read("/proc"), FileFailure);
    CHECK_THROWS_AS(files.read("/no/such/file"), FileFailure);
}
