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
