#include <doctest.h>

#include "companion/cli.h"
#include "tests/support/text_helpers.h"

using quillora::CliResult;
using quillora::runCli;
using quillora::testing::countOf;

namespace {

std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

}  // namespace

TEST_CASE("usage")
{
    for (const auto& args : {std::vector<std::string>{"--help"}, {"plan", "--help"}, {"plan", "automatic", "-h"}}) {
        const CliResult result = runCli(args, nullptr);
        CHECK(result.status == 0);
        CHECK(result.out.rfind("usage: quillora-cli plan PROFILE [--answers ABC] [--commands | --log]\n", 0) == 0);
        CHECK(result.err.empty());
    }
}

TEST_CASE("bad arguments: one line naming the problem, the usage, status 2, nothing on stdout")
{
    struct Case {
        std::vector<std::string> args;
        const char* problem;
    };
    const Case cases[] = {
        {{}, "quillora-cli: missing command"},
        {{"plna", "automatic"}, "quillora-cli: unknown command 'plna'"},
        {{"plan"}, "quillora-cli: missing profile: expected prompted, automatic or restore"},
        {{"plan", "fast"}, "quillora-cli: unknown profile 'fast': expected prompted, automatic or restore"},
        {{"plan", "prompted", "--answers", "yy"},
         "quillora-cli: malformed --answers 'yy': expected three letters, each y or n"},
        {{"plan", "prompted", "--answers", "yYn"},
         "quillora-cli: malformed --answers 'yYn': expected three letters, each y or n"},
        {{"plan", "prompted", "--answers", "ynyn"},
         "quillora-cli: malformed --answers 'ynyn': expected three letters, each y or n"},
        {{"plan", "prompted", "--answers"}, "quillora-cli: --answers needs a value, such as --answers yny"},
        {{"plan", "restore", "--commands", "--log"},
         "quillora-cli: --commands and --log cannot be combined or repeated"},
        {{"plan", "restore", "--verbose"}, "quillora-cli: unknown option '--verbose'"},
        {{"plan", "restore", "automatic"},
         "quillora-cli: unexpected argument 'automatic': only one profile can be planned"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.problem);
        const CliResult result = runCli(c.args, nullptr);
        CHECK(result.status == 2);
        CHECK(result.out.empty());
        CHECK(firstLine(result.err) == c.problem);
        CHECK(result.err.find("usage: quillora-cli plan") != std::string::npos);
    }
}

TEST_CASE("plan --commands prints the command lines alone")
{
    const CliResult result = runCli({"plan", "restore", "--commands"}, nullptr);
    CHECK(result.status == 0);
    CHECK(countOf(result.out, "\n") == 83);
    CHECK(result.out.rfind("cmd /c NET stop Alerter\ncmd /c sc config Alerter start= disabled\n"
                           "cmd /c sc config ALG start= demand\n", 0) == 0);
    CHECK(countOf(result.out, "cmd /c sc config \"Ati HotKey Poller\" start= demand\n") == 1);
    CHECK(result.out.find("launch") == std::string::npos);
}

TEST_CASE("plan --log prints the log byte for byte in UTF-8")
{
    const CliResult result = runCli({"plan", "automatic", "--log"}, nullptr);
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
    const CliResult prompted = runCli({"plan", "prompted", "--answers", "nyn", "--commands"}, nullptr);
    CHECK(countOf(prompted.out, "\n") == 117);
    CHECK(countOf(prompted.out, "cmd /c NET stop ImapiService\n") == 1);
    CHECK(countOf(prompted.out, "cmd /c NET stop Spooler\n") == 0);
    CHECK(countOf(prompted.out, "cmd /c NET stop stisvc\n") == 1);

    CHECK(runCli({"plan", "prompted", "--commands"}, nullptr).out == runCli({"plan", "automatic", "--commands"}, nullptr).out);
    CHECK(runCli({"plan", "automatic", "--answers", "nnn", "--commands"}, nullptr).out
          == runCli({"plan", "automatic", "--commands"}, nullptr).out);
}

TEST_CASE("plan's default output: launches with their style, the log, the completion signals")
{
    const CliResult result = runCli({"plan", "automatic"}, nullptr);
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
