#include <doctest.h>

#include "engine/settings.h"
#include "tests/support/memory_machine.h"

using namespace quillora;
using quillora::testing::MemoryMachine;

TEST_CASE("the language setting: beside the backups' folder, read back as written, anything else ignored")
{
    MemoryMachine machine;
    CHECK(settingsPath(machine) == "/home/user/Quillora/settings.ini");
    CHECK_FALSE(savedLanguage(machine).has_value());
    saveLanguage(machine, "en");
    CHECK(machine.memoryFiles.files.at("/home/user/Quillora/settings.ini").bytes == "[Quillora]\r\nlanguage=en\r\n");
    CHECK(savedLanguage(machine) == "en");
    machine.memoryFiles.files["/home/user/Quillora/settings.ini"].bytes = "[Quillora]\r\nlanguage=fr\r\n";
    CHECK_FALSE(savedLanguage(machine).has_value());

    machine.memoryFiles.readOnly = true;
    try {
        saveLanguage(machine, "zh");
        FAIL("a refused write must throw");
    } catch (const FileFailure& failure) {
        CHECK(failure.path() == "/home/user/Quillora/settings.ini");
    }
    // Without a folder for the program (anywhere but Windows) nothing is saved or read.
    MemoryMachine elsewhere(false);
    CHECK_FALSE(savedLanguage(elsewhere).has_value());
}

TEST_CASE("the services left alone by choice: one line a profile, kept beside the language, unknown keys dropped")
{
    MemoryMachine machine;
    CHECK(savedSkips(machine, Profile::Automatic).empty());
    saveLanguage(machine, "en");
    saveSkips(machine, Profile::Automatic, {L"Alerter", L"Ati HotKey Poller"});
    saveSkips(machine, Profile::Restore, {L"Themes"});
    saveSkips(machine, Profile::Automatic, {L"Ati HotKey Poller", L"W32Time"});
    CHECK(machine.memoryFiles.files.at("/home/user/Quillora/settings.ini").bytes
          == "[Quillora]\r\nlanguage=en\r\nskip.automatic=Ati HotKey Poller,W32Time\r\nskip.restore=Themes\r\n");
    CHECK(savedSkips(machine, Profile::Automatic) == std::vector<std::wstring>{L"Ati HotKey Poller", L"W32Time"});
    CHECK(savedSkips(machine, Profile::Restore) == std::vector<std::wstring>{L"Themes"});
    CHECK(savedSkips(machine, Profile::Prompted).empty());
    saveLanguage(machine, "zh");
    CHECK(savedSkips(machine, Profile::Restore) == std::vector<std::wstring>{L"Themes"});

    // Edited by hand: a key of no service, and a service named twice, count once or not at all.
    machine.memoryFiles.files["/home/user/Quillora/settings.ini"].bytes =
        "[Quillora]\nskip.prompted=Nothing,ALG,Alerter,ALG\n";
    CHECK(savedSkips(machine, Profile::Prompted) == std::vector<std::wstring>{L"Alerter", L"ALG"});
}
