#include <doctest.h>

#include "engine/backup_file.h"
#include "engine/catalogue.h"
#include "tests/support/wide_strings.h"

using namespace quillora;

namespace {

const std::string kGood =
    "quillora-backup 1\r\n"
    "Alerter\tdisabled\r\n"
    "Ati HotKey Poller\tabsent\r\n"
    "wuauserv\tauto\tdelayed\r\n"
    "end\r\n";

int refusedAtLine(const std::string& bytes)
{
    try {
        parseBackup(bytes);
    } catch (const BackupError& error) {
        return error.line();
    }
    return 0;
}

}  // namespace

TEST_CASE("a backup is written and read back unchanged")
{
    const std::vector<BackupEntry> entries{
        {L"Alerter", StartMode::Disabled, false},
        {L"Ati HotKey Poller", std::nullopt, false},
        {L"wuauserv", StartMode::Automatic, true},
    };
    CHECK(formatBackup(entries) == kGood);
    CHECK(parseBackup(kGood) == entries);

    std::vector<BackupEntry> all;
    for (const std::wstring& key : catalogueKeys())
        all.push_back({key, StartMode::Manual, false});
    CHECK(parseBackup(formatBackup(all)) == all);
}

TEST_CASE("broken backups are refused with the line at fault")
{
    struct Case {
        const char* what;
        std::string bytes;
        int line;
    };
    const Case cases[] = {
        {"empty", "", 1},
        {"cut off inside a line", kGood.substr(0, kGood.size() - 9), 4},
        {"cut off at a line end, without the end line", kGood.substr(0, kGood.size() - 5), 5},
        {"unknown version", "quillora-backup 2\r\nend\r\n", 1},
        {"not a backup", "hello\r\nend\r\n", 1},
        {"unknown key", "quillora-backup 1\r\nAlerter\tdisabled\r\nNoSuchService\tdemand\r\nend\r\n", 3},
        {"key with different case", "quillora-backup 1\r\nalerter\tdisabled\r\nend\r\n", 2},
        {"duplicate key", "quillora-backup 1\r\nALG\tdemand\r\nBITS\tauto\r\nALG\tdisabled\r\nend\r\n", 4},
        {"bad mode", "quillora-backup 1\r\nALG\tsometimes\r\nend\r\n", 2},
        {"delayed on a manual start", "quillora-backup 1\r\nALG\tdemand\tdelayed\r\nend\r\n", 2},
        {"no mode", "quillora-backup 1\r\nALG\r\nend\r\n", 2},
        {"byte-order mark", "\xEF\xBB\xBF" + kGood, 1},
        {"LF line ends", "quillora-backup 1\nALG\tdemand\nend\n", 1},
        {"a lone LF later on", "quillora-backup 1\r\nALG\tdemand\nend\r\n", 2},
        {"very long line", "quillora-backup 1\r\nALG\t" + std::string(100000, 'x') + "\r\nend\r\n", 2},
        {"invalid UTF-8", "quillora-backup 1\r\nALG\tdem\xC3\x28nd\r\nend\r\n", 2},
        {"text after the end line", kGood + "ALG\tdemand\r\n", 6},
    };
    for (const Case& c : cases) {
        CAPTURE(c.what);
        CHECK(refusedAtLine(c.bytes) == c.line);
    }
}

TEST_CASE("the error names its line")
{
    try {
        parseBackup("quillora-backup 1\r\nALG\tsometimes\r\nend\r\n");
        FAIL("accepted");
    } catch (const BackupError& error) {
        CHECK(std::string(error.what()) == "line 2: unknown start mode 'sometimes'");
    }
}
