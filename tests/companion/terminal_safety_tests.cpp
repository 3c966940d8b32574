// Nothing that comes from outside the companion (a file's contents or name, an argument, a
// message of the system) reaches the terminal with a byte that could steer it.
#include <doctest.h>

#include <string>
#include <vector>

#include "companion/cli.h"
#include "engine/records/backups/backup_file.h"
#include "tests/support/memory_machine.h"

using namespace quillora;
using quillora::testing::installed;
using quillora::testing::MemoryMachine;

namespace {

// The first byte that a terminal could take as a command: a C0 control other than tab and line
// feed, DEL, or a C1 control in its UTF-8 form (C2 80 to C2 9F). npos if there is none.
std::size_t firstControlByte(const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F)
            return i;
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80
            && static_cast<unsigned char>(text[i + 1]) <= 0x9F)
            return i;
    }
    return std::string::npos;
}

void checkTerminalSafe(const CliResult& result)
{
    CHECK(firstControlByte(result.out) == std::string::npos);
    CHECK(firstControlByte(result.err) == std::string::npos);
}

const std::string kTitle = "\x1B]0;owned\x07";  // retitles a terminal
const std::string kClear = "\xC2\x9B" "2J";      // clears it, through C1's CSI

MemoryMachine machineWithAlerter()
{
    MemoryMachine machine;
    machine.memoryServices.services[L"Alerter"] = installed(StartMode::Automatic, RunState::Running);
    machine.memoryFiles.folders.insert("/tmp/backups");
    return machine;
}

}  // namespace

TEST_CASE("restore of a backup whose key or mode holds ESC or BEL changes nothing and prints no control byte")
{
    const std::string lines[] = {
        "Alerter" + kTitle + "\tdisabled",
        "Alerter\tdisabled" + kTitle,
        "Alerter\tdisabled\x07",
        "Alert\x1B" "er\tdisabled",
        "Alerter\tdisabled" + kClear,
    };
    for (const std::string& line : lines) {
        MemoryMachine machine = machineWithAlerter();
        machine.memoryFiles.files["/tmp/evil.txt"] = {"quillora-backup 1\r\n" + line + "\r\nend\r\n", 1};
        const CliResult result = runCli({"restore", "/tmp/evil.txt"}, machine);
        CAPTURE(result.err);
        CHECK(result.status == kExitFailure);
        CHECK(result.out.empty());
        CHECK(result.err.rfind("quillora-cli: '/tmp/evil.txt': line 2: ", 0) == 0);
        CHECK(result.err.find("; nothing was changed\n") != std::string::npos);
        checkTerminalSafe(result);
        CHECK(machine.memoryServices.changes.empty());
        CHECK(machine.memoryServices.services[L"Alerter"].mode == StartMode::Automatic);
    }
}

TEST_CASE("file names, arguments, file contents and system messages are all printed escaped")
{
    const std::string evil = "/tmp/backups/b" + kTitle + kClear + "\r\n.txt";
    MemoryMachine machine = machineWithAlerter();
    machine.memoryFiles.files["/tmp/cut.txt"] = {"quillora-backup 1\r\nAlerter\tdisabled" + kTitle, 1};
    machine.memoryFiles.files["/tmp/bom.txt"] = {"\xEF\xBB\xBF" "quillora-backup 1" + kTitle + "\r\n", 1};
    const std::vector<std::vector<std::string>> commands{
        {"backup", evil},
        {"backup", evil},  // now it exists: refused, naming it
        {"restore", evil},
        {"restore", "/tmp/missing" + kTitle},
        {"restore", "/tmp/cut.txt"},
        {"restore", "/tmp/bom.txt"},
        {"export", "--from-backup", evil, "--format", "ansible"},
        {"export", "--from-backup", evil, "--format", "inf", "--output", evil + ".inf"},
        {"export", "automatic", "--format", "inf", "--output", "/nowhere" + kTitle},
        {"plan", "automatic" + kTitle},
        {"plan", "automatic", "--answers", kClear},
        {"backup", "--name", kTitle},
        {"apply", "automatic", "--timeout", kTitle},
        {"status", "automatic", "--" + kTitle},
    };
    for (const std::vector<std::string>& args : commands) {
        CAPTURE(args[0]);
        CAPTURE(args[1]);
        checkTerminalSafe(runCli(args, machine));
    }
    CHECK(machine.memoryFiles.files.count(evil) == 1);

    SUBCASE("the system's own messages and names")
    {
        machine.memoryServices.refusal = L"Access\x1B]0;owned\x07 is denied.\r\n";
        machine.memoryServices.services[L"Alerter"].accessDenied = true;
        machine.memoryServices.services[L"Messenger"] = installed(StartMode::Automatic, RunState::Running);
        machine.memoryServices.services[L"Messenger"].dependants = {L"Dep\x1B]0;x\x07"};
        machine.memoryServices.services[L"Dep\x1B]0;x\x07"] = installed(StartMode::Automatic, RunState::Running);
        const CliResult applied = runCli({"apply", "automatic"}, machine);
        CHECK(applied.out.find("(5: Access\\x1B]0;owned\\x07 is denied.\\x0D\\x0A)") != std::string::npos);
        CHECK(applied.out.find("(Dep\\x1B]0;x\\x07)") != std::string::npos);
        checkTerminalSafe(applied);
        machine.memoryServices.queryRefused = true;
        checkTerminalSafe(runCli({"status", "automatic"}, machine));
    }
    SUBCASE("a backup folder whose name holds control characters")
    {
        machine.data = "/tmp/data" + kTitle;
        checkTerminalSafe(runCli({"backups"}, machine));
        checkTerminalSafe(runCli({"apply", "restore"}, machine));
        checkTerminalSafe(runCli({"backups"}, machine));
        checkTerminalSafe(runCli({"restore", "--last"}, machine));
    }
    SUBCASE("a history whose lines name runs and files with control characters")
    {
        REQUIRE(runCli({"apply", "restore"}, machine).status == 0);
        const std::string folder = machine.data + "/backups/";
        machine.memoryFiles.files[folder + "history.log"] = {
            "quillora-history 1\r\n20261207-101500-01\tundo " + kTitle + "\r\n20261207-101500-02\trestore a" + kClear
                + "\x00b.txt\r\n",
            1};
        machine.memoryFiles.files[folder + "auto-20261207-101500-02.txt"] = {"quillora-backup 1\r\nend\r\n", 2};
        machine.memoryFiles.files[folder + "auto-20261207-101500-01.result.log"].bytes.insert(
            machine.memoryFiles.files[folder + "auto-20261207-101500-01.result.log"].bytes.find("\r\nend"),
            "\r\nAlerter\tauto\tput back auto\tauto, running\tfailed\treported-success" + kTitle);
        const CliResult listed = runCli({"history"}, machine);
        CHECK(listed.out.find("\tundo \\x1B]0;") != std::string::npos);
        checkTerminalSafe(listed);
        checkTerminalSafe(runCli({"history", "20261207-101500-01"}, machine));
        checkTerminalSafe(runCli({"history", "20261207-101500-02"}, machine));
        checkTerminalSafe(runCli({"drift"}, machine));
    }
}

TEST_CASE("an argument that is not UTF-8 is refused, naming it, before anything is done")
{
    for (const std::string& bad : {std::string("/tmp/b\xC0\xAF.txt"), std::string("/tmp/\xED\xA0\x80.txt"),
                                   std::string("/tmp/\xF4\x90\x80\x80.txt"), std::string("/tmp/\xE8\x87.txt")}) {
        MemoryMachine machine = machineWithAlerter();
        const CliResult result = runCli({"backup", bad}, machine);
        CHECK(result.status == kExitUsage);
        CHECK(result.err.rfind("quillora-cli: argument 2 is not valid UTF-8 text: '/tmp/", 0) == 0);
        checkTerminalSafe(result);
        CHECK(machine.memoryFiles.files.empty());
    }
}
