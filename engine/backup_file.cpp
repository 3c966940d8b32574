#include "engine/backup_file.h"

#include <set>

#include "engine/catalogue.h"
#include "engine/printable.h"
#include "engine/utf8.h"

namespace quillora {
namespace {

const char kHeader[] = "quillora-backup 1";
const char kHeaderWord[] = "quillora-backup ";
const char kEnd[] = "end";
const char kAbsent[] = "absent";
const char kDelayed[] = "delayed";
constexpr std::size_t kLongestLine = 512;

// A refusal that quotes the line at fault, escaped and cut, so that the user sees what is wrong
// with it and nothing in it reaches the terminal raw.
BackupError lineError(int lineNumber, const std::string& problem, const std::string& line)
{
    return BackupError(lineNumber, problem + ": " + quoted(line));
}

// One line as it must be: well-formed UTF-8, no other line end inside, not too long.
void checkLine(const std::string& line, int lineNumber)
{
    if (line.find_first_of("\r\n") != std::string::npos)
        throw lineError(lineNumber, "line ends must be CR LF", line);
    if (!isUtf8(line))
        throw lineError(lineNumber, "not valid UTF-8 text", line);
    if (line.size() > kLongestLine)
        throw lineError(lineNumber, "line too long", line);
}

// Splits the file into lines, refusing anything but UTF-8 text with CR LF line ends.
std::vector<std::string> checkedLines(const std::string& bytes)
{
    if (bytes.empty())
        throw BackupError(1, "the file is empty");
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
        throw BackupError(1, "the file starts with a byte-order mark; save it as UTF-8 without one");
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = bytes.find("\r\n"); end != std::string::npos; end = bytes.find("\r\n", start)) {
        lines.push_back(bytes.substr(start, end - start));
        checkLine(lines.back(), static_cast<int>(lines.size()));
        start = end + 2;
    }
    if (start < bytes.size()) {
        const std::string rest = bytes.substr(start);
        const int lineNumber = static_cast<int>(lines.size()) + 1;
        checkLine(rest, lineNumber);
        throw lineError(lineNumber, "the file is cut off: the last line has no line end", rest);
    }
    return lines;
}

std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> parts(1);
    for (char c : line) {
        if (c == '\t')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

BackupEntry parseEntry(const std::string& line, int lineNumber, const std::vector<std::wstring>& keys)
{
    const std::vector<std::string> parts = fields(line);
    if (parts.size() < 2 || parts.size() > 3)
        throw lineError(lineNumber, "expected KEY, a tab and a start mode", line);
    BackupEntry entry;
    for (const std::wstring& key : keys) {
        if (toUtf8(key) == parts[0])
            entry.serviceKey = key;
    }
    if (entry.serviceKey.empty())
        throw lineError(lineNumber, "unknown service key", line);
    if (parts[1] != kAbsent) {
        entry.mode = parseStartMode(parts[1]);
        if (!entry.mode)
            throw lineError(lineNumber, "unknown start mode", line);
    }
    if (parts.size() == 3) {
        if (parts[2] != kDelayed || entry.mode != StartMode::Automatic)
            throw lineError(lineNumber, "only an automatic start can be marked delayed", line);
        entry.delayed = true;
    }
    return entry;
}

}  // namespace

BackupError::BackupError(int line, const std::string& problem)
    : std::runtime_error("line " + std::to_string(line) + ": " + problem), line_(line)
{
}

std::string formatBackup(const std::vector<BackupEntry>& entries)
{
    std::string text = std::string(kHeader) + "\r\n";
    for (const BackupEntry& entry : entries) {
        text += toUtf8(entry.serviceKey) + '\t' + (entry.mode ? startModeName(*entry.mode) : kAbsent);
        if (entry.delayed)
            text += std::string("\t") + kDelayed;
        text += "\r\n";
    }
    return text + kEnd + "\r\n";
}

std::vector<BackupEntry> parseBackup(const std::string& bytes)
{
    const std::vector<std::string> lines = checkedLines(bytes);
    if (lines[0] != kHeader) {
        const bool otherVersion = lines[0].rfind(kHeaderWord, 0) == 0;
        throw lineError(1, otherVersion ? "unknown format version" : "not a Quillora backup file", lines[0]);
    }
    const std::vector<std::wstring> keys = catalogueKeys();
    std::vector<BackupEntry> entries;
    std::set<std::wstring> seen;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i + 1);
        if (lines[i] == kEnd) {
            if (i + 1 != lines.size())
                throw lineError(lineNumber + 1, "nothing may follow the end line", lines[i + 1]);
            if (entries.empty())
                throw BackupError(lineNumber, "the backup lists no service");
            return entries;
        }
        BackupEntry entry = parseEntry(lines[i], lineNumber, keys);
        if (!seen.insert(entry.serviceKey).second)
            throw lineError(lineNumber, "the service appears twice", lines[i]);
        entries.push_back(entry);
    }
    throw BackupError(static_cast<int>(lines.size()) + 1, "the file is cut off: the end line is missing");
}

}  // namespace quillora
