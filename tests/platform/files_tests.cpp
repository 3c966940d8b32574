#include <doctest.h>

#include <windows.h>

#include <string>

#include "companion/cli.h"
#include "engine/failure.h"
#include "platform/files.h"
#include "platform/windows_machine.h"

using namespace quillora;

TEST_CASE("a read the system refuses is an error naming the file, never an early end of file")
{
    // Wine maps Z: to the Unix root. A process's own memory opens as a file, but its first read
    // fails (EIO at address 0, ERROR_NOT_READY here): the one refused read Wine can show.
    const std::string path = "Z:\\proc\\self\\mem";
    try {
        platform::WindowsFiles().read(path);
        FAIL("a refused read was taken for the end of the file");
    } catch (const FileFailure& failure) {
        CHECK(failure.path() == path);
        CHECK(failure.number() == ERROR_NOT_READY);
    }

    platform::WindowsMachine machine;
    const CliResult restore = runCli({"restore", path}, machine);
    CHECK(restore.status == kExitFailure);
    CHECK(restore.err.rfind("quillora-cli: 'Z:\\proc\\self\\mem': ", 0) == 0);
    CHECK(restore.err.find("(error 21)\n") != std::string::npos);
}
