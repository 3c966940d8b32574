#include <doctest.h>

#include "engine/records/backups/backup_file.h"
#include "engine/catalogue/catalogue.h"
#include "tests/support/wide_strings.h"

using namespace quillora;

namespace {

const std::string kGood =
    "quillora-backup 1\r\n"
    "Alerter\tdisabled\r\n"
    "Ati HotKey Poller\tabsent\r\n"
    "wuauserv\tauto\tdelayed\r\n"
    "end\r\n";

struct Refusal {
    int line = 0;
    std::string message;
};

Refusal refusalOf(const std::string& bytes)
{
    try {
        parseBackup(bytes);
    } catch (const BackupError& error) {
        return {error.line(), error.what()};
    }
    return {};
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

TEST_CASE("broken backups are refused with the line at fault and what is wrong with it")
{
    struct Case {
        const char* what;
        std::string bytes;
        int line;
        std::string message;
    };
    const Case cases[] = {
        {"empty", "", 1, "line 1: the file is empty"},
        {"cut off inside a line", kGood.substr(0, kGood.size() - 9), 4,
         "line 4: the file is cut off: the last line has no line end: 'wuauserv\\x09auto\\x09delay'"},
        {"cut off at a line end, without the end line", kGood.substr(0, kGood.size() - 5), 5,
         "line 5: the file is cut off: the end line is missing"},
        {"unknown version", "quillora-backup 2\r\nend\r\n", 1, "line 1: unknown format version: 'quillora-backup 2'"},
        {"not a backup", "hello\r\nend\r\n", 1, "line 1: not a Quillora backup (the first line must be 'quillora-backup 1')"},
        {"a README saved by Notepad", "\xEF\xBB\xBF# Quillora\r\n\r\nQuillora is a small Windows program\r\n", 1,
         "line 1: not a Quillora backup (the first line must be 'quillora-backup 1')"},
        {"UTF-16 with its byte-order mark", std::string("\xFF\xFEq\0u\0", 6), 1,
         "line 1: saved as UTF-16 (\"Unicode\"): save it as UTF-8"},
        {"UTF-16 without one", std::string("q\0u\0i\0", 6), 1, "line 1: saved as UTF-16 (\"Unicode\"): save it as UTF-8"},
        {"unknown key", "quillora-backup 1\r\nAlerter\tdisabled\r\nNoSuchService\tdemand\r\nend\r\n", 3,
         "line 3: unknown service key: 'NoSuchService\\x09demand'"},
        {"key with different case", "quillora-backup 1\r\nalerter\tdisabled\r\nend\r\n", 2,
         "line 2: unknown service key: 'alerter\\x09disabled'"},
        {"duplicate key", "quillora-backup 1\r\nALG\tdemand\r\nBITS\tauto\r\nALG\tdisabled\r\nend\r\n", 4,
         "line 4: the service appears twice: 'ALG\\x09disabled'"},
        {"a mode in the window's words", "quillora-backup 1\r\nBITS\tmanual\r\nend\r\n", 2,
         "line 2: unknown start mode (the modes are auto, demand, disabled, boot, system, absent): 'BITS\\x09manual'"},
        {"delayed on a manual start", "quillora-backup 1\r\nALG\tdemand\tdelayed\r\nend\r\n", 2,
         "line 2: only an automatic start can be marked delayed: 'ALG\\x09demand\\x09delayed'"},
        {"no mode", "quillora-backup 1\r\nALG\r\nend\r\n", 2, "line 2: expected KEY, a tab and a start mode: 'ALG'"},
        {"a lone CR", "quillora-backup 1\r\nALG\tdemand\rend\r\n", 2, "line 2: line ends must be CR LF or LF: 'ALG\\x09demand\\x0Dend'"},
        {"very long line", "quillora-backup 1\r\nALG\t" + std::string(100000, 'x') + "\r\nend\r\n", 2,
         "line 2: line too long: 'ALG\\x09" + std::string(56, 'x') + "...' (100004 bytes)"},
        {"invalid UTF-8", "quillora-backup 1\r\nALG\tdem\xC3\x28nd\r\nend\r\n", 2, "line 2: not valid UTF-8 text: 'ALG\\x09dem\\xC3(nd'"},
        {"text after the end line", kGood + "ALG\tdemand\r\n", 6, "line 6: nothing may follow the end line: 'ALG\\x09demand'"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.what);
        const Refusal refusal = refusalOf(c.bytes);
        CHECK(refusal.line == c.line);
        CHECK(refusal.message == c.message);
    }
}

TEST_CASE("a backup saved again by an editor reads as the one written")
{
    const std::vector<BackupEntry> written = parseBackup(kGood);
    std::string lf = kGood;
    for (std::size_t at = lf.find("\r\n"); at != std::string::npos; at = lf.find("\r\n", at))
        lf.erase(at, 1);
    const std::string bom = "\xEF\xBB\xBF";
    for (const std::string& saved : {bom + kGood, lf, bom + lf}) {
        CAPTURE(saved);
        CHECK(parseBackup(saved) == written);
    }
}
