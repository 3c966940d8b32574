#include "engine/records/run/run_journal.h"

#include <algorithm>

#include "engine/catalogue/catalogue.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

const char kJournalHeader[] = "quillora-journal 1";
const char kIntentLine[] = "intent";
const char kReachedLine[] = "reached";
const char kDelayedMark[] = "delayed";

std::string entryLine(const char* kind, const BackupEntry& mode)
{
    return std::string(kind) + "\t" + toUtf8(mode.serviceKey) + "\t" + startModeName(mode.mode.value_or(StartMode::Manual))
        + (mode.delayed ? std::string("\t") + kDelayedMark : "") + "\r\n";
}

// KIND, KEY, MODE[, delayed] of a line; nullopt where it is not such a line.
std::optional<std::pair<std::string, BackupEntry>> parseEntryLine(const std::string& line)
{
    const std::vector<std::string> parts = tabFields(line);
    if (parts.size() < 3 || parts.size() > 4 || (parts[0] != kIntentLine && parts[0] != kReachedLine) || !isUtf8(parts[1]))
        return std::nullopt;
    const std::vector<std::wstring> keys = catalogueKeys();
    const std::wstring key = fromUtf8(parts[1]);
    const std::optional<StartMode> mode = parseStartMode(parts[2]);
    if (std::find(keys.begin(), keys.end(), key) == keys.end() || !mode)
        return std::nullopt;
    const bool delayed = parts.size() == 4;
    if (delayed && (parts[3] != kDelayedMark || *mode != StartMode::Automatic))
        return std::nullopt;
    return std::pair{parts[0], BackupEntry{key, mode, delayed}};
}

}  // namespace

std::optional<BackupEntry> RunJournal::reachedMode(const std::wstring& serviceKey) const
{
    const auto found = std::find_if(reached.begin(), reached.end(), [&](const BackupEntry& e) { return e.serviceKey == serviceKey; });
    return found == reached.end() ? std::nullopt : std::optional(*found);
}

std::string formatJournal(const std::vector<BackupEntry>& intent)
{
    std::string text = std::string(kJournalHeader) + "\r\n";
    for (const BackupEntry& mode : intent)
        text += entryLine(kIntentLine, mode);
    return text;
}

std::string reachedLine(const BackupEntry& mode)
{
    return entryLine(kReachedLine, mode);
}

std::optional<RunJournal> parseJournal(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
        lines.push_back(text.substr(from, end - from));
    // What follows the last line end was being written when the program ended.
    if (lines.empty() || lines.front() != kJournalHeader)
        return std::nullopt;
    RunJournal journal;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto entry = parseEntryLine(lines[i]);
        if (!entry)
            return std::nullopt;
        // Every intent comes before the run acts: one after a reached line is not the program's.
        if (entry->first == kIntentLine && !journal.reached.empty())
            return std::nullopt;
        (entry->first == kIntentLine ? journal.intent : journal.reached).push_back(entry->second);
    }
    return journal;
}

}  // namespace quillora
