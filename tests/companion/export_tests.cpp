// The exported template and playbook, read back and held against the golden runs: what the
// program's command lines do to each service is what the files ask of Group Policy and Ansible.
#include <doctest.h>

#include <algorithm>
#include <map>
#include <set>

#include "companion/cli.h"
#include "engine/text/utf8.h"
#include "tests/support/golden.h"
#include "tests/support/memory_machine.h"
#include "tests/support/wide_strings.h"

using namespace quillora;
using namespace quillora::testing;

namespace {

std::string exported(const std::vector<std::string>& args)
{
    MemoryMachine machine;
    const CliResult result = runCli(args, machine);
    CHECK(result.status == 0);
    return result.out;
}

// A template decoded from UTF-16LE, after checking its byte-order mark and that every line ends
// in CR LF.
std::vector<std::string> templateLines(const std::string& bytes)
{
    REQUIRE(bytes.size() % 2 == 0);
    REQUIRE(bytes.rfind("\xFF\xFE", 0) == 0);
    std::wstring text;
    for (std::size_t i = 2; i < bytes.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    const std::string utf8 = toUtf8(text);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (auto end = utf8.find('\n'); end != std::string::npos; end = utf8.find('\n', start)) {
        REQUIRE(end > start);
        REQUIRE(utf8[end - 1] == '\r');
        lines.push_back(utf8.substr(start, end - start - 1));
        start = end + 1;
    }
    CHECK(start == utf8.size());
    return lines;
}

// The sections of a template: name to lines, comments left out.
std::map<std::string, std::vector<std::string>> sections(const std::vector<std::string>& lines)
{
    std::map<std::string, std::vector<std::string>> found;
    std::string current;
    for (const std::string& line : lines) {
        if (line.empty() || line[0] == ';')
            continue;
        if (line.front() == '[' && line.back() == ']')
            current = line.substr(1, line.size() - 2);
        else
            found[current].push_back(line);
    }
    return found;
}

std::map<std::string, std::string> templateModes(const std::vector<std::string>& settings)
{
    std::map<std::string, std::string> modes;
    for (const std::string& line : settings) {
        std::smatch match;
        REQUIRE(std::regex_match(line, match, std::regex(R"re("([^" ]+)",([234]),"")re")));
        const char* words[] = {"auto", "demand", "disabled"};
        modes[match[1]] = words[match[2].str()[0] - '2'];
    }
    return modes;
}

std::map<std::string, GoldenEffect> playbookServices(const std::string& playbook)
{
    std::map<std::string, GoldenEffect> services;
    const std::regex item(R"re(      - \{name: "([^"]+)", start_mode: (\w+)(?:, state: (\w+))?\}\n)re");
    for (auto it = std::sregex_iterator(playbook.begin(), playbook.end(), item); it != std::sregex_iterator(); ++it) {
        const std::map<std::string, std::string> modes{
            {"disabled", "disabled"}, {"manual", "demand"}, {"auto", "auto"}, {"delayed", "auto (delayed)"}};
        services[(*it)[1]] = {modes.at((*it)[2]), (*it)[3]};
    }
    return services;
}

// With --all: every row of the run, as the command lines do.
std::vector<std::string> profileArguments(const GoldenRun& run, const char* format)
{
    std::vector<std::string> args{"export", run.profile, "--format", format, "--all"};
    if (run.answers) {
        args.push_back("--answers");
        args.push_back(run.answers);
    }
    return args;
}

}  // namespace

TEST_CASE("the security template sets every service of the run as its command lines do")
{
    for (const GoldenRun& run : goldenRuns()) {
        CAPTURE(run.name);
        const std::vector<std::string> lines = templateLines(exported(profileArguments(run, "inf")));
        const auto found = sections(lines);
        CHECK(found.at("Unicode") == std::vector<std::string>{"Unicode=yes"});
        CHECK(found.at("Version") == std::vector<std::string>{"signature=\"$CHICAGO$\"", "Revision=1"});
        CHECK(lines.front() == "[Unicode]");

        std::map<std::string, std::string> expected;
        for (const auto& [key, what] : goldenEffects(run.name)) {
            // A blank in a service name is not allowed in a template: those two rows stay out.
            if (key.find(' ') == std::string::npos)
                expected[key] = what.mode;
        }
        CHECK(templateModes(found.at("Service General Setting")) == expected);

        std::string comments;
        for (const std::string& line : lines)
            comments += line[0] == ';' ? line + "\n" : "";
        CHECK(comments.find("; Quillora profile " + std::string(run.profile) + "\n") != std::string::npos);
        CHECK(comments.find("left out: \"Ati HotKey Poller\"") != std::string::npos);
        CHECK(comments.find("left out: \"ATI Smart\"") != std::string::npos);
        if (run.answers) {
            const auto word = [&](int i) { return run.answers[i] == 'y' ? std::string("yes") : std::string("no"); };
            CHECK(comments.find("; answers: CD burner " + word(0) + ", printer " + word(1) + ", scanner or camera "
                                + word(2) + "\n")
                  != std::string::npos);
        }
    }
}

TEST_CASE("the playbook sets every service of the run, stopping and starting as the command lines do")
{
    for (const GoldenRun& run : goldenRuns()) {
        CAPTURE(run.name);
        const std::string playbook = exported(profileArguments(run, "ansible"));
        const auto expected = goldenEffects(run.name);
        const auto found = playbookServices(playbook);
        REQUIRE(found.size() == expected.size());
        for (const auto& entry : expected) {
            const auto& key = entry.first;
            CAPTURE(key);
            REQUIRE(found.count(key));
            CHECK(found.at(key).mode == entry.second.mode);
            CHECK(found.at(key).state == entry.second.state);
        }
        CHECK(playbook.find("  hosts: \"{{ quillora_hosts | default('windows') }}\"\n") != std::string::npos);
    }
}

TEST_CASE("a backup exported and read back gives the backup's modes")
{
    MemoryMachine machine;
    const std::string backup = "quillora-backup 1\r\nAlerter\tdisabled\r\nALG\tabsent\r\nBITS\tdemand\r\n"
                               "wuauserv\tauto\tdelayed\r\nSpooler\tauto\r\nend\r\n";
    machine.memoryFiles.files["/tmp/before.txt"] = {backup, 1};

    const CliResult inf = runCli({"export", "--from-backup", "/tmp/before.txt", "--format", "inf"}, machine);
    REQUIRE(inf.status == 0);
    const auto settings = sections(templateLines(inf.out)).at("Service General Setting");
    CHECK(templateModes(settings)
          == std::map<std::string, std::string>{
              {"Alerter", "disabled"}, {"BITS", "demand"}, {"wuauserv", "auto"}, {"Spooler", "auto"}});

    const CliResult ansible = runCli({"export", "--from-backup", "/tmp/before.txt", "--format", "ansible",
                                      "--output", "/tmp/before.yml"},
                                     machine);
    REQUIRE(ansible.status == 0);
    const std::string playbook = machine.memoryFiles.files.at("/tmp/before.yml").bytes;
    const auto services = playbookServices(playbook);
    CHECK(services.size() == 4);
    CHECK(services.at("wuauserv").mode == "auto (delayed)");
    CHECK(services.at("Alerter").mode == "disabled");
    CHECK(services.at("Alerter").state.empty());  // a backup's modes are set, nothing is stopped
    CHECK(services.at("BITS").mode == "demand");
    CHECK(services.at("Spooler").mode == "auto");
    CHECK(services.count("ALG") == 0);

    // --output never replaces a file without --force, and does with it.
    CHECK(runCli({"export", "restore", "--format", "ansible", "--output", "/tmp/before.yml"}, machine).status == 3);
    CHECK(machine.memoryFiles.files.at("/tmp/before.yml").bytes == playbook);
    CHECK(runCli({"export", "restore", "--format", "ansible", "--output", "/tmp/before.yml", "--force"}, machine)
              .status
          == 0);
    CHECK(machine.memoryFiles.files.at("/tmp/before.yml").bytes != playbook);
}

TEST_CASE("--installed-only keeps the services this machine has")
{
    MemoryMachine machine;
    machine.memoryServices.services[L"Alerter"] = {};
    machine.memoryServices.services[L"Spooler"] = {};
    const CliResult result = runCli({"export", "automatic", "--format", "inf", "--installed-only"}, machine);
    REQUIRE(result.status == 0);
    const auto lines = templateLines(result.out);
    CHECK(templateModes(sections(lines).at("Service General Setting"))
          == std::map<std::string, std::string>{{"Alerter", "disabled"}, {"Spooler", "demand"}});

    MemoryMachine elsewhere(false);
    const CliResult refused = runCli({"export", "automatic", "--format", "inf", "--installed-only"}, elsewhere);
    CHECK(refused.status == 2);
    CHECK(refused.err.rfind("quillora-cli: --installed-only reads this machine's services, which needs Windows\n", 0)
          == 0);
}

// Microsoft's ratings "Do not disable" and "No guidance" for Windows Server 2016 and Windows 10,
// transcribed for the catalogue's keys.
const std::set<std::string> kNeededOnWindows10{
    "RemoteRegistry", "TermService", "Themes", "ALG", "BITS", "COMSysApp", "CryptSvc", "TrkWks", "MSDTC", "HidServ",
    "PolicyAgent", "SwPrv", "Netlogon", "RasAuto", "SENS", "Schedule", "LmHosts", "VSS", "MSIServer", "W32Time",
    "wuauserv", "WmiApSrv"};

TEST_CASE("by default an export leaves out every service Windows 10 and 11 need, and says that --all includes them")
{
    for (const GoldenRun& run : goldenRuns()) {
        CAPTURE(run.name);
        std::vector<std::string> plain = profileArguments(run, "ansible");
        plain.erase(std::find(plain.begin(), plain.end(), "--all"));
        const std::string playbook = exported(plain);
        std::map<std::string, GoldenEffect> expected;
        std::vector<std::string> leftOut;
        for (const auto& [key, what] : goldenEffects(run.name)) {
            if (kNeededOnWindows10.count(key))
                leftOut.push_back(key);
            else
                expected[key] = what;
        }
        const auto found = playbookServices(playbook);
        CHECK(found.size() == expected.size());
        for (const auto& entry : expected) {
            CAPTURE(entry.first);
            REQUIRE(found.count(entry.first));
            CHECK(found.at(entry.first).mode == entry.second.mode);
        }
        const std::string lead = "# left out: Windows Vista and later (10 and 11 too) need these services as Windows "
                                 "sets them; --all includes them: ";
        const std::size_t comment = playbook.find(lead);
        REQUIRE(comment != std::string::npos);
        std::set<std::string> named;
        const std::string list = playbook.substr(comment + lead.size(), playbook.find('\n', comment) - comment - lead.size());
        for (std::size_t start = 0; start < list.size();) {
            const std::size_t end = std::min(list.find(", ", start), list.size());
            named.insert(list.substr(start, end - start));
            start = end + 2;
        }
        CHECK(named == std::set<std::string>(leftOut.begin(), leftOut.end()));
        for (const std::string& key : leftOut)
            CHECK_MESSAGE(playbook.find("\"" + key + "\"") == std::string::npos, key);

        std::vector<std::string> plainInf = profileArguments(run, "inf");
        plainInf.erase(std::find(plainInf.begin(), plainInf.end(), "--all"));
        const std::map<std::string, std::string> modes =
            templateModes(sections(templateLines(exported(plainInf))).at("Service General Setting"));
        for (const char* key : {"wuauserv", "W32Time", "Schedule", "RemoteRegistry"})
            CHECK(modes.count(key) == 0);
        CHECK(modes.count("Alerter") == 1);
    }
}

TEST_CASE("with --all an export changes the needed services too and names them")
{
    const std::string comment = "Windows Vista and later (10 and 11 too) need these services as Windows sets them, and "
                                "this export changes them (--all): ";
    const std::string restore = exported({"export", "restore", "--format", "ansible", "--all"});
    CHECK(restore.find("# " + comment + "ALG, wuauserv, BITS,") != std::string::npos);
    CHECK(restore.find("      - {name: \"RemoteRegistry\", start_mode: auto, state: started}\n") != std::string::npos);
    const std::vector<std::string> lines = templateLines(exported({"export", "automatic", "--format", "inf", "--all"}));
    CHECK(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) { return line.rfind("; " + comment, 0) == 0; })
          == 1);
    CHECK(std::count(lines.begin(), lines.end(), "\"wuauserv\",4,\"\"") == 1);

    // A backup's modes are the machine's own: --all means nothing there.
    MemoryMachine machine;
    const CliResult refused = runCli({"export", "--from-backup", "x.txt", "--format", "inf", "--all"}, machine);
    CHECK(refused.status == 2);
}
