#include "engine/backup_file.h"

#include <set>

#include "engine/catalogue.h"
#include "engine/utf8.h"

namespace quillora {
namespace {

const char kHeader[] = "quillora-backup 1";
const char kHeaderWord[] = "quillora-backup ";
const char kEnd[] = "end";
const char kAbsent[] = "absent";
const char kDelayed[] = "delayed";
constexpr std::size_t kLongestLine = 512;

// Splits the file into lines, refusing anything but UTF-8 text with CR LF line ends.
std::vector<std::string> checkedLines(const std::string& bytes)
{
    if (bytes.empty())
        throw BackupError(1, "the file is empty");
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
        throw BackupError(1, "the file starts with a byte-order mark; save it as UTF-8 without one");
    std::vector<std::string> lines(1);
    for (std::size_t at = 0; at < bytes.size();) {
        const int lineNumber = static_cast<int>(lines.size());
        const std::size_t length = utf8SequenceLength(bytes, at);
        if (length == 0)
            throw BackupError(lineNumber, "not valid UTF-8 text");
        if (bytes[at] == '\n' || (bytes[at] == '\r' && (at + 1 == bytes.size() || bytes[at + 1] != '\n')))
            throw BackupError(lineNumber, "line ends must be CR LF");
        if (bytes[at] == '\r') {
            lines.emplace_back();
            at += 2;
            continue;
        }
        if (lines.back().size() + length > kLongestLine)
            throw BackupError(lineNumber, "line too long");
        lines.back().append(bytes, at, length);
        at += length;
    }
    if (!lines.back().empty())
        throw BackupError(static_cast<int>(lines.size()), "the file is cut off: the last line has no line end");
    lines.pop_back();
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
        throw BackupError(lineNumber, "expected KEY, a tab and a start mode");
    BackupEntry entry;
    for (const std::wstring& key : keys) {
        if (toUtf8(key) == parts[0])
            entry.serviceKey = key;
    }
    if (entry.serviceKey.empty())
        throw BackupError(lineNumber, "unknown service key '" + parts[0] + "'");
    if (parts[1] != kAbsent) {
        entry.mode = parseStartMode(parts[1]);
        if (!entry.mode)
            throw BackupError(lineNumber, "unknown start mode '" + parts[1] + "'");
    }
    if (parts.size() == 3) {
        if (parts[2] != kDelayed || entry.mode != StartMode::Automatic)
            throw BackupError(lineNumber, "only an automatic start can be marked delayed");
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
        throw BackupError(1, otherVersion ? "unknown format version '" + lines[0].substr(sizeof kHeaderWord - 1) + "'"
                                          : "not a Quillora backup file");
    }
    const std::vector<std::wstring> keys = catalogueKeys();
    std::vector<BackupEntry> entries;
    std::set<std::wstring> seen;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i + 1);
        if (lines[i] == kEnd) {
            if (i + 1 != lines.size())
                throw BackupError(lineNumber + 1, "nothing may follow the end line");
            if (entries.empty())
                throw BackupError(lineNumber, "the backup lists no service");
            return entries;
        }
        BackupEntry entry = parseEntry(lines[i], lineNumber, keys);
        if (!seen.insert(entry.serviceKey).second)
            throw BackupError(lineNumber, "service key '" + toUtf8(entry.serviceKey) + "' appears twice");
        entries.push_back(entry);
    }
    throw BackupError(static_cast<int>(lines.size()) + 1, "the file is cut off: the end line is missing");
}

}  // namespace quillora
