// quillora-cli.exe as a Windows console program: what a console shows, what a redirection gets,
// and the built program run from outside with its output redirected.
#include <doctest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "engine/text/utf8.h"
#include "platform/console.h"
#include "platform/handles.h"
#include "tests/support/golden.h"
#include "tests/support/on_windows_10.h"
#include "tests/support/stand_in_services.h"
#include "tests/support/temporary_files.h"
#include "tests/support/text_helpers.h"
#include "tests/support/wide_strings.h"

using namespace quillora;
using quillora::testing::StandInServices;
using quillora::testing::temporaryFile;

namespace {

const std::string kChinese = "4:automatic updates:\xE7\xA6\x81\xE7\x94\xA8";  // 禁用

std::string fileBytes(const std::wstring& path)
{
    platform::KernelHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    REQUIRE(file.get() != INVALID_HANDLE_VALUE);
    std::string bytes(GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

void writeFile(const std::wstring& path, const std::string& bytes)
{
    platform::KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    REQUIRE(file.get() != INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring builtCompanion()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L"\\/"));
    return folder.substr(0, folder.find_last_of(L"\\/")) + L"\\quillora-cli.exe";
}

struct Run {
    DWORD status = 0;
    std::string out;  // the bytes of standard output, redirected to a file
    std::string err;
};

// quillora-cli.exe (or a copy) started from outside as "quillora-cli.exe ARGS > out 2> err".
Run runCompanion(const std::wstring& arguments, const std::wstring& program = builtCompanion())
{
    static int runs = 0;
    ++runs;
    const std::wstring out = temporaryFile((L"quillora-cli-out-" + std::to_wstring(runs) + L".txt").c_str());
    const std::wstring err = temporaryFile((L"quillora-cli-err-" + std::to_wstring(runs) + L".txt").c_str());
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Run run;
    {
        platform::KernelHandle outFile(
            CreateFileW(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
        platform::KernelHandle errFile(
            CreateFileW(err.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = outFile.get();
        startup.hStdError = errFile.get();
        std::wstring commandLine = L"\"" + program + L"\" " + arguments;
        PROCESS_INFORMATION started{};
        REQUIRE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                               &startup, &started));
        platform::KernelHandle process(started.hProcess);
        platform::KernelHandle thread(started.hThread);
        REQUIRE(WaitForSingleObject(process.get(), 60000) == WAIT_OBJECT_0);
        GetExitCodeProcess(process.get(), &run.status);
    }
    run.out = fileBytes(out);
    run.err = fileBytes(err);
    return run;
}

bool hasLoneLineFeed(const std::string& bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            return true;
    }
    return false;
}

}  // namespace

TEST_CASE("a console shows Chinese whatever its code page; a file gets UTF-8 with CR LF")
{
    SUBCASE("a real console")
    {
        FreeConsole();
        REQUIRE(AllocConsole());
        SetConsoleOutputCP(437);  // a code page without Chinese, as on many English systems
        platform::KernelHandle console(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                                   nullptr));
        REQUIRE(console.get() != INVALID_HANDLE_VALUE);
        CONSOLE_SCREEN_BUFFER_INFO before{};
        REQUIRE(GetConsoleScreenBufferInfo(console.get(), &before));
        platform::writeStandard(console.get(), kChinese + "\n");
        const std::wstring expected = fromUtf8(kChinese);
        std::wstring shown(expected.size(), L' ');
        DWORD read = 0;
        REQUIRE(ReadConsoleOutputCharacterW(console.get(), shown.data(), static_cast<DWORD>(shown.size()),
                                            COORD{0, before.dwCursorPosition.Y}, &read));
        CHECK(shown == expected);
        FreeConsole();
    }
    SUBCASE("a file")
    {
        const std::wstring path = temporaryFile(L"quillora-console-test.txt");
        {
            platform::KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            platform::writeStandard(file.get(), kChinese + "\nsecond\r\nthird\n");
        }
        CHECK(fileBytes(path) == kChinese + "\r\nsecond\r\nthird\r\n");
    }
}

TEST_CASE("quillora-cli.exe from outside: redirected output, Windows habits, input from Notepad")
{
    SUBCASE("plan --log keeps its exact bytes; other output has CR LF and no lone LF")
    {
        const Run log = runCompanion(L"plan automatic --log");
        CHECK(log.status == 0);
        CHECK(fromUtf8(log.out) == quillora::testing::goldenLog("automatic"));
        const Run services = runCompanion(L"services");
        CHECK(services.status == 0);
        CHECK(services.out.find("| 1 | Alerter | `Alerter` |") != std::string::npos);
        CHECK(services.out.find("\r\n") != std::string::npos);
        CHECK_FALSE(hasLoneLineFeed(services.out));
    }
    SUBCASE("an export to standard output is byte for byte the file --output writes")
    {
        for (const wchar_t* format : {L"inf", L"ansible"}) {
            CAPTURE(std::string(format, format + wcslen(format)));
            const std::wstring file = temporaryFile((std::wstring(L"quillora-export.") + format).c_str());
            DeleteFileW(file.c_str());
            REQUIRE(runCompanion(std::wstring(L"export automatic --format ") + format + L" --output \"" + file + L"\"")
                        .status
                    == 0);
            const Run redirected = runCompanion(std::wstring(L"export automatic --format ") + format);
            CHECK(redirected.status == 0);
            CHECK(redirected.out == fileBytes(file));
        }
        // The template's first line end, as UTF-16LE: CR LF with nothing doubled.
        const Run inf = runCompanion(L"export automatic --format inf");
        CHECK(inf.out.substr(0, 24) == std::string("\xFF\xFE[\0U\0n\0i\0c\0o\0d\0e\0]\0\r\0\n\0", 24));
    }
    SUBCASE("/? is the help")
    {
        const Run help = runCompanion(L"/?");
        CHECK(help.status == 0);
        CHECK(help.out.rfind("usage: quillora-cli plan PROFILE", 0) == 0);
        CHECK_FALSE(hasLoneLineFeed(help.out));
    }
    SUBCASE("a backup from Notepad restores; one saved as UTF-16 is refused, changing nothing")
    {
        StandInServices services({{L"Alerter", SERVICE_DISABLED}, {L"ALG", SERVICE_DISABLED}});
        const Run status = runCompanion(L"status AUTOMATIC");
        CHECK(status.status == 0);
        CHECK(status.out.find("1:Alerter (Alerter): now disabled, stopped; profile asks stop, disabled: "
                              "no change\r\n")
              != std::string::npos);

        const std::wstring utf16 = temporaryFile(L"quillora-unicode.txt");
        writeFile(utf16, std::string("\xFF\xFEq\0u\0i\0l\0", 10));
        const Run refused = runCompanion(L"restore \"" + utf16 + L"\"");
        CHECK(refused.status == 3);
        CHECK(refused.err.find("UTF-16") != std::string::npos);
        CHECK(services.startType(L"ALG") == SERVICE_DISABLED);

        const std::wstring notepad = temporaryFile(L"quillora-notepad.txt");
        writeFile(notepad, "\xEF\xBB\xBFquillora-backup 1\nAlerter\tdisabled\nALG\tauto\nend\n");
        const Run restored = runCompanion(L"restore \"" + notepad + L"\"");
        CHECK(restored.status == 0);
        CHECK(restored.out.find("2:Application Layer Gateway Service (ALG): changed from disabled to automatic\r\n")
              != std::string::npos);
        CHECK(services.startType(L"ALG") == SERVICE_AUTO_START);
    }
}

TEST_CASE("on Windows 10, against Wine's own services, apply then verify both succeed, and status finds nothing to change")
{
    const std::wstring onWindows10 =
        quillora::testing::copyOnWindows10(builtCompanion(), temporaryFile(L"QuilloraCliOnWindows10.exe"));
    const Run status = runCompanion(L"status automatic", onWindows10);
    REQUIRE(status.status == 0);
    CHECK(status.out.find("needed by Windows 10") != std::string::npos);

    const Run applied = runCompanion(L"apply automatic", onWindows10);
    CHECK(applied.status == 0);
    const Run verified = runCompanion(L"verify automatic", onWindows10);
    CHECK(verified.status == 0);
    CHECK(verified.out.find("kept (needed here): needed by Windows 10 (--all checks it too)\r\n") != std::string::npos);
    const Run after = runCompanion(L"status automatic", onWindows10);
    // The designed rows and the fourteen of Windows 10's own list.
    CHECK(after.out.find("\r\nof 73 services: ") != std::string::npos);
    CHECK(after.out.find("would change") == std::string::npos);

    // The prefix's services as they were, for the tests after this one.
    CHECK(runCompanion(L"restore --last", onWindows10).status == 0);
}
