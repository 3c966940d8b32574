#include "engine/records/run/run_journal.h"

#include <algorithm>

#include "engine/text/utf8.h"

namespace quillora {
namespace {

const char kJournalHeader[] = "quillora-journal 1";
const char kIntentLine[] = "intent";
const char kReachedLine[] = "reached";

// A line of the journal: what it says (intent or reached), then the service as a backup's line has it.
std::string entryLine(const char* kind, const BackupEntry& mode)
{
    return std::string(kind) + "\t" + formatEntry(mode) + "\r\n";
}

// KIND and the service of a line; nullopt where it is not such a line, or names no mode.
std::optional<std::pair<std::string, BackupEntry>> parseEntryLine(const std::string& line)
{
    const std::size_t tab = line.find('\t');
    const std::string kind = line.substr(0, tab);
    if (tab == std::string::npos || (kind != kIntentLine && kind != kReachedLine))
        return std::nullopt;
    try {
        const BackupEntry entry = parseEntry(line.substr(tab + 1), 0);
        if (entry.mode)
            return std::pair{kind, entry};
    } catch (const BackupError&) {
        // Not a service's line as the program writes it.
    }
    return std::nullopt;
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
    // What follows the last line end was being written when the program ended.
    std::string cut;
    const std::vector<std::string> lines = crlfLines(text, cut);
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
