#include <doctest.h>

#include <windows.h>

#include "engine/machine/failure.h"
#include "platform/process_launch.h"
#include "tests/support/temporary_files.h"
#include "tests/support/wide_strings.h"

using namespace quillora;
using quillora::testing::temporaryFile;

namespace {

bool waitForFile(const std::wstring& path)
{
    for (int tries = 0; tries < 200; ++tries) {
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(100);
    }
    return false;
}

}  // namespace

TEST_CASE("the real launcher starts the system's cmd, hidden, without waiting")
{
    const std::wstring marker = temporaryFile(L"quillora-launch-test.txt");
    DeleteFileW(marker.c_str());
    platform::launchProcess(L"cmd /c echo launched> \"" + marker + L"\"", 0);
    CHECK(waitForFile(marker));
    // cmd may still hold the file it wrote: it goes once cmd has let it go.
    bool deleted = false;
    for (int tries = 0; tries < 200 && !(deleted = DeleteFileW(marker.c_str())); ++tries)
        Sleep(20);
    CHECK(deleted);
}

TEST_CASE("programs are named by their full system path, never searched for")
{
    const std::wstring system = platform::systemDirectory();
    CHECK(platform::applicationPath(L"cmd /c NET stop Alerter") == system + L"\\cmd.exe");
    CHECK(platform::applicationPath(L"CMD /c sc config ALG start= demand") == system + L"\\cmd.exe");
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    CHECK(platform::applicationPath(L"explorer http://example.com") == std::wstring(windows) + L"\\explorer.exe");
    CHECK(platform::applicationPath(L"cmd.exe /c x").empty());
    CHECK(platform::applicationPath(L"net stop Alerter").empty());
}

TEST_CASE("a refused launch reports the system's error number and text")
{
    try {
        platform::launchProcess(L"notepad something", 0);
        FAIL("the launch was not refused");
    } catch (const PlatformFailure& failure) {
        CHECK(failure.number() == ERROR_FILE_NOT_FOUND);
        CHECK_FALSE(failure.description().empty());
        CHECK(failure.description().back() != L'\n');
    }
}
