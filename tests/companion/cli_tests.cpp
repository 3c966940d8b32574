#include <doctest.h>

#include "companion/cli.h"
#include "tests/support/memory_machine.h"
#include "tests/support/text_helpers.h"

using quillora::CliResult;
using quillora::testing::countOf;
using quillora::testing::MemoryMachine;

namespace {

// The companion on a machine of its own, as on Windows (with services) unless told otherwise.
CliResult run(const std::vector<std::string>& args, bool withServices = true)
{
    MemoryMachine machine(withServices);
    return quillora::runCli(args, machine);
}

const char kHint[] = "Try 'quillora-cli --help' for more.\n";

}  // namespace

TEST_CASE("usage and version")
{
    for (const auto& args : {std::vector<std::string>{"--help"}, {"plan", "--help"}, {"plan", "automatic", "-h"}, {"/?"},
                             {"-h"}, {"status", "/?"}}) {
        const CliResult result = run(args);
        CHECK(result.status == 0);
        CHECK(result.out.rfind("usage: quillora-cli plan PROFILE [--answers ABC] [--windows10] [--skip FILE] [--commands | --log]\n", 0) == 0);
        CHECK(result.err.empty());
        CHECK(result.out.find("\n       quillora-cli export PROFILE [--answers ABC] [--windows10] --format inf|ansible\n")
              != std::string::npos);
    }
    const CliResult version = run({"--version"});
    CHECK(version.status == 0);
    CHECK(version.out == "quillora-cli 1.01 (Quillora v1.1)\n");
}

TEST_CASE("profile names and answer letters in any case")
{
    const CliResult lower = run({"plan", "prompted", "--answers", "yny"});
    for (const auto& args : {std::vector<std::string>{"plan", "PROMPTED", "--answers", "YNY"},
                             {"plan", "Prompted", "--answers", "yNy"}}) {
        const CliResult result = run(args);
        CHECK(result.status == 0);
        CHECK(result.out == lower.out);
    }
    CHECK(run({"export", "Automatic", "--format", "ansible"}).out == run({"export", "automatic", "--format", "ansible"}).out);
    // Only the case is forgiven.
    CHECK(run({"plan", "AUTOMATIC!"}).status == 2);
    CHECK(run({"plan", "prompted", "--answers", "YES"}).status == 2);
}

TEST_CASE("a command line it cannot take: one line naming the problem and a hint, status 2, nothing on stdout")
{
    struct Case {
        std::vector<std::string> args;
        const char* problem;
    };
    const Case cases[] = {
        {{}, "quillora-cli: missing command"},
        {{"plna", "automatic"}, "quillora-cli: unknown command 'plna'"},
        {{"plan"}, "quillora-cli: missing profile for plan: expected prompted, automatic or restore, or --profile FILE"},
        {{"plan", "fast"}, "quillora-cli: unknown profile 'fast': expected prompted, automatic or restore"},
        {{"plan", "automatic", "--profile", "x"},
         "quillora-cli: unexpected argument 'automatic': --profile FILE takes the place of a profile's name"},
        {{"plan", "prompted", "--answers", "yy"},
         "quillora-cli: malformed --answers 'yy': expected three letters, or eight with Windows 10's five, each y or n"},
        {{"plan", "prompted", "--answers", "y-n"},
         "quillora-cli: malformed --answers 'y-n': expected three letters, or eight with Windows 10's five, each y or n"},
        {{"plan", "prompted", "--answers", "ynyn"},
         "quillora-cli: malformed --answers 'ynyn': expected three letters, or eight with Windows 10's five, each y or n"},
        {{"plan", "prompted", "--answers"}, "quillora-cli: --answers needs a value"},
        {{"plan", "prompted", "--answers", "yyy", "--answers", "nnn"}, "quillora-cli: --answers given twice"},
        {{"plan", "automatic", "--answers", "nnn"},
         "quillora-cli: --answers is only for the prompted profile: the automatic profile asks nothing"},
        {{"status", "restore", "--answers", "nyn"},
         "quillora-cli: --answers is only for the prompted profile: the restore profile asks nothing"},
        {{"plan", "restore", "--commands", "--log"}, "quillora-cli: --commands and --log cannot be combined"},
        {{"plan", "restore", "--verbose"}, "quillora-cli: unknown option '--verbose' for plan"},
        {{"plan", "restore", "automatic"}, "quillora-cli: unexpected argument 'automatic': plan takes one profile"},
        {{"services", "all"}, "quillora-cli: unexpected argument 'all': services takes none"},
        {{"export", "automatic"}, "quillora-cli: export needs --format inf or --format ansible"},
        {{"export", "automatic", "--format", "xml"}, "quillora-cli: unknown format 'xml': expected inf or ansible"},
        {{"export", "automatic", "--format", "inf", "--force"},
         "quillora-cli: --force is for --output: standard output is never refused"},
        {{"export", "restore", "--from-backup", "b.txt", "--format", "inf"},
         "quillora-cli: give either a profile or --from-backup FILE, not both"},
        {{"apply", "automatic", "--timeout", "0"}, "quillora-cli: --timeout '0': expected whole seconds from 1 to 3600"},
        {{"apply", "automatic", "--timeout", "ten"},
         "quillora-cli: --timeout 'ten': expected whole seconds from 1 to 3600"},
        {{"backup"}, "quillora-cli: backup needs a file name (or --name NAME)"},
        {{"backup", "--name", "../x"},
         "quillora-cli: --name '../x': a backup name may hold only letters, digits, '-', '_' and '.'"},
        {{"restore"}, "quillora-cli: restore needs a backup file (or --last)"},
        {{"restore", "b.txt", "--last"}, "quillora-cli: give one of a backup file, --last and --before RUN"},
        {{"restore", "--last", "--before", "x"}, "quillora-cli: give one of a backup file, --last and --before RUN"},
        {{"restore", "--last", "--all"}, "quillora-cli: --all goes with --before"},
        {{"drift", "--all"}, "quillora-cli: --all goes with --fix"},
        {{"history", "a", "b"}, "quillora-cli: unexpected argument 'b': history takes one run at most"},
        {{"backups", "now"}, "quillora-cli: unexpected argument 'now': backups takes none"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.problem);
        const CliResult result = run(c.args);
        CHECK(result.status == 2);
        CHECK(result.out.empty());
        CHECK(result.err == std::string(c.problem) + "\n" + kHint);
    }
}

TEST_CASE("an argument quoted back is cut short and shows control characters escaped")
{
    const CliResult huge = run({"plan", std::string(100000, 'x')});
    CHECK(huge.status == 2);
    CHECK(huge.err == "quillora-cli: unknown profile '" + std::string(60, 'x')
                          + "...' (100000 bytes): expected prompted, automatic or restore\n" + kHint);

    const CliResult escapes = run({"plna\x1B]0;owned\x07\r\n\xC2\x9B" "2J"});
    CHECK(escapes.err == std::string("quillora-cli: unknown command 'plna\\x1B]0;owned\\x07\\x0D\\x0A\\u009B2J'\n") + kHint);
    CHECK(escapes.err.find('\x1B') == std::string::npos);

    // Chinese is text, not a control character.
    CHECK(run({"plan", "\xE8\x87\xAA\xE5\x8A\xA8"}).err.rfind("quillora-cli: unknown profile '\xE8\x87\xAA\xE5\x8A\xA8'", 0) == 0);
}

TEST_CASE("the service commands need Windows")
{
    for (const char* command : {"status", "verify", "apply", "backup", "backups", "restore"}) {
        const CliResult result = run({command, "automatic"}, false);
        CHECK(result.status == 2);
        CHECK(result.out.empty());
        CHECK(result.err == std::string("quillora-cli: the ") + command + " command needs Windows\n" + kHint);
    }
}

TEST_CASE("plan --commands prints the command lines alone")
{
    const CliResult result = run({"plan", "restore", "--commands"});
    CHECK(result.status == 0);
    CHECK(countOf(result.out, "\n") == 83);
    CHECK(result.out.rfind("cmd /c NET stop Alerter\ncmd /c sc config Alerter start= disabled\n"
                           "cmd /c sc config ALG start= demand\n", 0) == 0);
    CHECK(countOf(result.out, "cmd /c sc config \"Ati HotKey Poller\" start= demand\n") == 1);
    CHECK(result.out.find("launch") == std::string::npos);
}

TEST_CASE("plan --log prints the log byte for byte in UTF-8")
{
    const CliResult result = run({"plan", "automatic", "--log"});
    CHECK(result.status == 0);
    CHECK(result.out.rfind("1:Alerter:\xE7\xA6\x81\xE7\x94\xA8\r\n", 0) == 0);  // 禁用
    const std::string ending = "\r\n" + std::string(59, '-') + "\r\n\xE4\xBC\x98\xE5\x8C\x96\xE5\xB7\xB2"
                               "\xE7\xBB\x8F\xE5\xAE\x8C\xE6\x88\x90\xEF\xBC\x81";  // 优化已经完成！
    REQUIRE(result.out.size() > ending.size());
    CHECK(result.out.substr(result.out.size() - ending.size()) == ending);
    CHECK(countOf(result.out, "\r\n") == 60);
    CHECK(countOf(result.out, "\n") == 60);
}

TEST_CASE("plan with answers: only the prompted profile reads them")
{
    const CliResult prompted = run({"plan", "prompted", "--answers", "nny", "--commands"});
    CHECK(countOf(prompted.out, "\n") == 117);
    CHECK(countOf(prompted.out, "cmd /c NET stop ImapiService\n") == 1);
    CHECK(countOf(prompted.out, "cmd /c NET stop Spooler\n") == 1);
    CHECK(countOf(prompted.out, "cmd /c NET stop stisvc\n") == 0);

    // Without --answers the prompted profile takes yes to all three: the automatic run.
    CHECK(run({"plan", "prompted", "--commands"}).out == run({"plan", "automatic", "--commands"}).out);
}

TEST_CASE("plan's default output: launches with their style, the log, the completion signals")
{
    const CliResult result = run({"plan", "automatic"});
    CHECK(result.status == 0);
    CHECK(result.out.rfind("launch 0 cmd /c NET stop Alerter\nlaunch 0 cmd /c sc config Alerter start= disabled\n", 0)
          == 0);
    CHECK(countOf(result.out, "launch 0 cmd /c ") == 115);
    CHECK(countOf(result.out, "\r") == 0);
    const std::string tail = "launch 0 cmd /c sc config WmiApSrv start= disabled\nlog:\n1:Alerter:";
    CHECK(result.out.find(tail) != std::string::npos);
    const std::string signals = "\xE4\xBC\x98\xE5\x8C\x96\xE5\xB7\xB2\xE7\xBB\x8F\xE5\xAE\x8C\xE6\x88\x90\xEF\xBC\x81\n"
                                "completion signals:\n"
                                "caption \xE4\xBC\x98\xE5\x8C\x96\xE5\xAE\x8C\xE6\x88\x90\xEF\xBC\x81\n"
                                "label \xE4\xBC\x98\xE5\x8C\x96\xE5\xAE\x8C\xE6\x88\x90\xEF\xBC\x81\n"
                                "exit button enabled\n";
    REQUIRE(result.out.size() > signals.size());
    CHECK(result.out.substr(result.out.size() - signals.size()) == signals);
}
