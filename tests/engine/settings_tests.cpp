#include <doctest.h>

#include "engine/choice/settings.h"
#include "engine/choice/skip_choice.h"
#include "tests/support/memory_machine.h"

using namespace quillora;
using quillora::testing::MemoryMachine;

TEST_CASE("the language setting: beside the backups' folder, read back as written, anything else ignored")
{
    MemoryMachine machine;
    CHECK(settingsPath(machine) == "/home/user/Quillora/settings.ini");
    CHECK_FALSE(savedLanguage(machine).has_value());
    saveLanguage(machine, TableLanguage::English);
    CHECK(machine.memoryFiles.files.at("/home/user/Quillora/settings.ini").bytes == "[Quillora]\r\nlanguage=en\r\n");
    CHECK(savedLanguage(machine) == TableLanguage::English);
    saveLanguage(machine, TableLanguage::TraditionalChinese);
    CHECK(machine.memoryFiles.files.at("/home/user/Quillora/settings.ini").bytes == "[Quillora]\r\nlanguage=zh-TW\r\n");
    // Edited by hand: names and codes in any case, blanks around them.
    const std::pair<const char*, std::optional<TableLanguage>> lines[] = {
        {"language = en", TableLanguage::English},
        {"Language=zh-tw", TableLanguage::TraditionalChinese},
        {" LANGUAGE\t=  ZH ", TableLanguage::Chinese},
        {"language=fr", std::nullopt},
        {"language=zh-CN", std::nullopt},
        {"language=zh-TW2", std::nullopt},
        {"languages=en", std::nullopt},
    };
    for (const auto& line : lines) {
        CAPTURE(line.first);
        machine.memoryFiles.files["/home/user/Quillora/settings.ini"].bytes = std::string("[Quillora]\r\n") + line.first + "\r\n";
        CHECK(savedLanguage(machine) == line.second);
    }
    // Saving replaces the line of any case, and keeps the others.
    machine.memoryFiles.files["/home/user/Quillora/settings.ini"].bytes = "[Quillora]\r\n Language = en\r\nskip.restore=Themes\r\n";
    saveLanguage(machine, TableLanguage::Chinese);
    CHECK(machine.memoryFiles.files.at("/home/user/Quillora/settings.ini").bytes
          == "[Quillora]\r\nlanguage=zh\r\nskip.restore=Themes\r\n");

    machine.memoryFiles.readOnly = true;
    try {
        saveLanguage(machine, TableLanguage::Chinese);
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
    saveLanguage(machine, TableLanguage::English);
    saveSkips(machine, Profile::Automatic, {L"Alerter", L"Ati HotKey Poller"});
    saveSkips(machine, Profile::Restore, {L"Themes"});
    saveSkips(machine, Profile::Automatic, {L"Ati HotKey Poller", L"W32Time"});
    CHECK(machine.memoryFiles.files.at("/home/user/Quillora/settings.ini").bytes
          == "[Quillora]\r\nlanguage=en\r\nskip.automatic=Ati HotKey Poller,W32Time\r\nskip.restore=Themes\r\n");
    CHECK(savedSkips(machine, Profile::Automatic) == std::vector<std::wstring>{L"Ati HotKey Poller", L"W32Time"});
    CHECK(savedSkips(machine, Profile::Restore) == std::vector<std::wstring>{L"Themes"});
    CHECK(savedSkips(machine, Profile::Prompted).empty());
    saveLanguage(machine, TableLanguage::Chinese);
    CHECK(savedSkips(machine, Profile::Restore) == std::vector<std::wstring>{L"Themes"});

    // Edited by hand: a key of no service, and a service named twice, count once or not at all.
    machine.memoryFiles.files["/home/user/Quillora/settings.ini"].bytes =
        "[Quillora]\nskip.prompted=Nothing,ALG,Alerter,ALG\n";
    CHECK(savedSkips(machine, Profile::Prompted) == std::vector<std::wstring>{L"Alerter", L"ALG"});

    // As a skip file's keys are read: any case, blanks around them; written back in the
    // catalogue's spelling and order.
    machine.memoryFiles.files["/home/user/Quillora/settings.ini"].bytes =
        "[Quillora]\r\nskip.automatic=w32time, Spooler,Alerter \r\n Skip.Restore = ati hotkey poller ,lfsvc\r\n";
    const std::vector<std::wstring> chosen = savedSkips(machine, Profile::Automatic);
    CHECK(chosen == std::vector<std::wstring>{L"Alerter", L"Spooler", L"W32Time"});
    CHECK(savedSkips(machine, Profile::Restore) == std::vector<std::wstring>{L"Ati HotKey Poller", L"lfsvc"});
    saveSkips(machine, Profile::Automatic, chosen);
    CHECK(machine.memoryFiles.files.at("/home/user/Quillora/settings.ini").bytes
          == "[Quillora]\r\nskip.automatic=Alerter,Spooler,W32Time\r\nSkip.Restore=ati hotkey poller ,lfsvc\r\n");
}

TEST_CASE("a settings file that cannot be read is never taken for an empty choice, nor written over")
{
    MemoryMachine machine;
    const std::string path = "/home/user/Quillora/settings.ini";
    saveSkips(machine, Profile::Automatic, {L"Alerter", L"ALG"});
    const std::string saved = machine.memoryFiles.files.at(path).bytes;
    machine.memoryFiles.unreadable.insert(path);
    ChosenSkips skips(machine);

    SUBCASE("asked for, the choice throws naming the file, every time until it can be read")
    {
        for (int ask = 0; ask < 2; ++ask) {
            try {
                skips.skipped(Profile::Automatic);
                FAIL("a choice that cannot be read must not read as none");
            } catch (const FileFailure& failure) {
                CHECK(failure.path() == path);
                CHECK(failure.number() == windows_error::kAccessDenied);
            }
        }
        machine.memoryFiles.unreadable.clear();
        CHECK(skips.skipped(Profile::Automatic) == std::vector<std::wstring>{L"Alerter", L"ALG"});
    }
    SUBCASE("a click and a whole new choice change nothing, in memory or on disk")
    {
        CHECK_THROWS_AS(skips.choose(Profile::Automatic, {L"Themes"}), FileFailure);
        CHECK_THROWS_AS(skips.replace(Profile::Automatic, {}), FileFailure);
        CHECK_THROWS_AS(saveLanguage(machine, TableLanguage::English), FileFailure);
        CHECK(machine.memoryFiles.files.at(path).bytes == saved);
        machine.memoryFiles.unreadable.clear();
        CHECK(skips.skipped(Profile::Automatic) == std::vector<std::wstring>{L"Alerter", L"ALG"});
    }
    SUBCASE("the language alone falls back to the design, Chinese")
    {
        CHECK_FALSE(savedLanguage(machine).has_value());
    }
    SUBCASE("a folder in the file's place is refused in the words of every other folder")
    {
        machine.memoryFiles.unreadable.clear();
        machine.memoryFiles.files.erase(path);
        machine.memoryFiles.folders.insert(path);
        try {
            skips.skipped(Profile::Restore);
            FAIL("a folder is no settings file");
        } catch (const FileFailure& failure) {
            CHECK(failure.path() == path);
            CHECK(failure.description() == L"is a folder");
        }
    }
}

TEST_CASE("a whole new choice holds only once it is saved; a click holds at once")
{
    MemoryMachine machine;
    ChosenSkips skips(machine);
    skips.choose(Profile::Restore, {L"Themes", L"Alerter"});
    CHECK(skips.skipped(Profile::Restore) == std::vector<std::wstring>{L"Alerter", L"Themes"});  // catalogue order
    machine.memoryFiles.readOnly = true;
    CHECK_THROWS_AS(skips.replace(Profile::Restore, {L"ALG"}), FileFailure);
    CHECK(skips.skipped(Profile::Restore) == std::vector<std::wstring>{L"Alerter", L"Themes"});
    CHECK_THROWS_AS(skips.choose(Profile::Restore, {L"ALG"}), FileFailure);
    CHECK(skips.skipped(Profile::Restore) == std::vector<std::wstring>{L"ALG"});
    machine.memoryFiles.readOnly = false;
    skips.replace(Profile::Restore, {L"W32Time"});
    CHECK(savedSkips(machine, Profile::Restore) == std::vector<std::wstring>{L"W32Time"});
}
