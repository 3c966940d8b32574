#include "engine/records/backups/backup_file.h"

#include <algorithm>
#include <set>

#include "engine/catalogue/catalogue.h"
#include "engine/text/printable.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

const char kEnd[] = "end";
const char kAbsent[] = "absent";
const char kDelayed[] = "delayed";
constexpr std::size_t kLongestLine = 512;

// One line as it must be: well-formed UTF-8, no lone carriage return inside, not too long.
void checkLine(const std::string& line, int lineNumber)
{
    if (line.find('\r') != std::string::npos)
        throw BackupError(FileProblem::LineEnds, lineNumber, "line ends must be CR LF or LF", line);
    if (!isUtf8(line))
        throw BackupError(FileProblem::NotUtf8, lineNumber, "not valid UTF-8 text", line);
    if (line.size() > kLongestLine)
        throw BackupError(FileProblem::LineTooLong, lineNumber, "line too long", line);
}

// What Notepad saves as "Unicode": a UTF-16 byte-order mark, or plain letters each followed by a
// zero byte.
bool isUtf16(const std::string& bytes)
{
    const bool byteOrderMark = bytes.rfind("\xFF\xFE", 0) == 0 || bytes.rfind("\xFE\xFF", 0) == 0;
    return byteOrderMark || (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0');
}

// The file's lines, as editors save them: UTF-8 with or without a byte-order mark (Notepad always
// writes one), CR LF or LF line ends. The text is checked line by line as it is read, after the
// first line has shown that this is a backup at all.
struct Lines {
    std::vector<std::string> lines;
    bool lastEnded = true;  // whether the last line has its line end
};

Lines splitLines(const std::string& bytes)
{
    if (bytes.empty())
        throw BackupError(FileProblem::Empty, 1, "the file is empty");
    if (isUtf16(bytes))
        throw BackupError(FileProblem::SavedAsUtf16, 1, kUtf16Refused);
    const std::size_t begin = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    Lines split;
    std::size_t start = begin;
    for (std::size_t end = bytes.find('\n', start); end != std::string::npos; end = bytes.find('\n', start)) {
        const bool crlf = end > start && bytes[end - 1] == '\r';
        split.lines.push_back(bytes.substr(start, end - start - (crlf ? 1 : 0)));
        start = end + 1;
    }
    if (start < bytes.size() || split.lines.empty()) {
        split.lines.push_back(bytes.substr(start));
        split.lastEnded = false;
    }
    return split;
}

// The start modes a backup may hold, as a reader is told them.
std::string modeWords()
{
    std::string words;
    for (const StartMode mode :
         {StartMode::Automatic, StartMode::Manual, StartMode::Disabled, StartMode::Boot, StartMode::System})
        words += std::string(startModeName(mode)) + ", ";
    return words + kAbsent;
}

BackupEntry parseEntryOf(const std::string& line, int lineNumber, const std::vector<std::wstring>& keys)
{
    const std::vector<std::string> parts = tabFields(line);
    if (parts.size() < 2 || parts.size() > 3)
        throw BackupError(FileProblem::ExpectedKeyAndMode, lineNumber, "expected KEY, a tab and a start mode", line);
    BackupEntry entry;
    for (const std::wstring& key : keys) {
        if (toUtf8(key) == parts[0])
            entry.serviceKey = key;
    }
    if (entry.serviceKey.empty())
        throw BackupError(FileProblem::UnknownKey, lineNumber, "unknown service key", line);
    if (parts[1] != kAbsent) {
        entry.mode = parseStartMode(parts[1]);
        if (!entry.mode)
            throw BackupError(FileProblem::UnknownMode, lineNumber, "unknown start mode (the modes are " + modeWords() + ")", line);
    }
    if (parts.size() == 3) {
        if (parts[2] != kDelayed || entry.mode != StartMode::Automatic)
            throw BackupError(FileProblem::DelayedNotAutomatic, lineNumber, "only an automatic start can be marked delayed", line);
        entry.delayed = true;
    }
    return entry;
}

}  // namespace

BackupError::BackupError(FileProblem problem, int line, const std::string& english, std::optional<std::string> quotedLine)
    : FileProblemError(problem, line, quotedLine.value_or(""),
                       "line " + std::to_string(line) + ": " + english + (quotedLine ? ": " + quoted(*quotedLine) : ""))
{
}

std::string formatEntry(const BackupEntry& entry)
{
    return toUtf8(entry.serviceKey) + '\t' + (entry.mode ? startModeName(*entry.mode) : kAbsent)
        + (entry.delayed ? std::string("\t") + kDelayed : "");
}

BackupEntry parseEntry(const std::string& line, int lineNumber)
{
    return parseEntryOf(line, lineNumber, catalogueKeys());
}

std::string formatBackup(const std::vector<BackupEntry>& entries)
{
    return formatBackupForm(kBackupHeader, entries);
}

std::string formatBackupForm(const std::string& header, const std::vector<BackupEntry>& entries)
{
    std::string text = header + "\r\n";
    for (const BackupEntry& entry : entries)
        text += formatEntry(entry) + "\r\n";
    return text + kEnd + "\r\n";
}

std::vector<BackupEntry> parseBackup(const std::string& bytes)
{
    return parseBackupForm(bytes, {kBackupHeader}, FileProblem::NotABackup,
                           std::string("not a Quillora backup (the first line must be '") + kBackupHeader + "')")
        .entries;
}

BackupForm parseBackupForm(const std::string& bytes, const std::vector<std::string>& headers, FileProblem notThisKind,
                           const std::string& notThisKindWords)
{
    const Lines split = splitLines(bytes);
    const std::vector<std::string>& lines = split.lines;
    const auto header = std::find(headers.begin(), headers.end(), lines[0]);
    if (header == headers.end()) {
        for (const std::string& known : headers) {
            if (lines[0].rfind(known.substr(0, known.rfind(' ') + 1), 0) == 0)
                throw BackupError(FileProblem::UnknownVersion, 1, "unknown format version", lines[0]);
        }
        throw BackupError(notThisKind, 1, notThisKindWords);
    }
    for (std::size_t i = 0; i < lines.size(); ++i)
        checkLine(lines[i], static_cast<int>(i + 1));
    if (!split.lastEnded)
        throw BackupError(FileProblem::LastLineCut, static_cast<int>(lines.size()), "the file is cut off: the last line has no line end",
                        lines.back());
    const std::vector<std::wstring> keys = catalogueKeys();
    BackupForm form{static_cast<std::size_t>(header - headers.begin()), {}};
    std::set<std::wstring> seen;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i + 1);
        if (lines[i] == kEnd) {
            if (i + 1 != lines.size())
                throw BackupError(FileProblem::AfterEndLine, lineNumber + 1, "nothing may follow the end line", lines[i + 1]);
            return form;
        }
        BackupEntry entry = parseEntryOf(lines[i], lineNumber, keys);
        if (!seen.insert(entry.serviceKey).second)
            throw BackupError(FileProblem::KeyTwice, lineNumber, "the service appears twice", lines[i]);
        form.entries.push_back(entry);
    }
    throw BackupError(FileProblem::EndLineMissing, static_cast<int>(lines.size()) + 1, "the file is cut off: the end line is missing");
}

}  // namespace quillora
