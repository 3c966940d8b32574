#include <doctest.h>

#include <windows.h>

#include <string>

#include "companion/cli.h"
#include "engine/machine/failure.h"
#include "engine/text/utf8.h"
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

TEST_CASE("a path longer than MAX_PATH, as the file dialogs give it, is written, found and read")
{
    wchar_t temporary[MAX_PATH] = {};
    REQUIRE(GetTempPathW(MAX_PATH, temporary));
    std::wstring folder = std::wstring(L"\\\\?\\") + temporary + L"quillora-long-path";
    CreateDirectoryW(folder.c_str(), nullptr);
    while (folder.size() < 4 + MAX_PATH + 20) {
        folder += L"\\a-folder-deep-in-a-folder-deep-in-another";
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    const std::string path = toUtf8(folder.substr(4) + L"\\choice.txt");
    REQUIRE(path.size() > MAX_PATH);
    platform::WindowsFiles files;
    files.writeAtomically(path, "Alerter\r\n", false);
    CHECK(files.exists(path));
    CHECK_FALSE(files.isFolder(path));
    CHECK(files.read(path) == "Alerter\r\n");
    files.writeAtomically(path, "ALG\r\n", true);
    CHECK(files.read(path) == "ALG\r\n");
    CHECK(DeleteFileW((folder + L"\\choice.txt").c_str()));
}

TEST_CASE("the data folder found without shell32 is the one the shell gives")
{
    platform::WindowsMachine machine;
    const std::optional<std::string> folder = machine.dataFolder();
    REQUIRE(folder);
    CHECK(*folder == toUtf8(machine.shellFolder(0x001c /* CSIDL_LOCAL_APPDATA */)) + "\\Quillora");
}
