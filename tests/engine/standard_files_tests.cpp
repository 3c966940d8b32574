#include <doctest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "engine/machine/failure.h"
#include "engine/machine/standard_files.h"

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

TEST_CASE("a save does not trip over another program's temporary file of the same file")
{
    // Another program saving the same file meanwhile holds a temporary file of its own; a name
    // shared by every program would be taken here by a folder.
    const std::string folder =
        (std::filesystem::temp_directory_path() / ("quillora-atomic-" + std::to_string(getpid()))).string();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    const std::string path = folder + "/settings.ini";
    std::filesystem::create_directory(path + ".quillora-tmp");
    StandardFiles files;
    files.writeAtomically(path, "[Quillora]\r\n", true);
    CHECK(files.read(path) == "[Quillora]\r\n");
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        CHECK_MESSAGE((entry.path().filename() == "settings.ini" || entry.path().filename() == "settings.ini.quillora-tmp"),
                      entry.path().string());
    std::filesystem::remove_all(folder);
}
