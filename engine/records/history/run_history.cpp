#include "engine/records/history/run_history.h"

#include <algorithm>
#include <map>

#include "engine/records/run/run_journal.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

const char kHistoryHeader[] = "quillora-history 1";
const char kHistoryName[] = "history.log";

struct HistoryLine {
    std::optional<RunOrigin> origin;
    std::optional<RunCounts> counts;
    std::size_t order = 0;  // the line's place in the file: the order in which the runs began
};

// The lines of a history file after its first, which must be the header: nullopt where it is not.
// A byte-order mark and LF line ends (Notepad's) are taken; an empty file is a history with no
// run yet.
std::optional<std::vector<std::string>> historyLines(std::string bytes)
{
    const std::string byteOrderMark = "\xEF\xBB\xBF";
    if (bytes.rfind(byteOrderMark, 0) == 0)
        bytes.erase(0, byteOrderMark.size());
    if (bytes.empty())
        return std::vector<std::string>{};
    std::vector<std::string> lines;
    for (std::size_t from = 0; from < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', from), bytes.size());
        std::string line = bytes.substr(from, end - from);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        from = end + 1;
    }
    if (lines.empty() || lines.front() != kHistoryHeader)
        return std::nullopt;
    lines.erase(lines.begin());
    return lines;
}

// One line of the file: its run's name and what it says of it; nullopt where it cannot be read.
std::optional<std::pair<std::string, HistoryLine>> parseHistoryLine(const std::string& line)
{
    const std::vector<std::string> fields = tabFields(line);
    if (fields.size() != 2 && fields.size() != 6 && fields.size() != 8)
        return std::nullopt;
    HistoryLine entry{parseOrigin(fields[1]), std::nullopt};
    if (fields.size() > 2) {
        RunCounts counts;
        int* const slots[] = {&counts.changed, &counts.unchanged, &counts.failed,
                              &counts.kept,    &counts.unknown,   &counts.notLaunched};
        bool whole = true;
        for (std::size_t i = 2; i < fields.size(); ++i) {
            const std::optional<long long> count = decimalNumber(fields[i], 4);
            whole = whole && count;
            *slots[i - 2] = static_cast<int>(count.value_or(0));
        }
        if (whole)
            entry.counts = counts;
    }
    if (!entry.origin)
        return std::nullopt;
    return std::pair{fields[0], entry};
}

std::string formatHistoryLine(const std::string& name, const HistoryLine& entry)
{
    std::string text = name + "\t" + originText(*entry.origin);
    if (const std::optional<RunCounts>& counts = entry.counts) {
        text += "\t" + std::to_string(counts->changed) + "\t" + std::to_string(counts->unchanged) + "\t"
            + std::to_string(counts->failed) + "\t" + std::to_string(counts->kept);
        if (counts->unknown || counts->notLaunched)
            text += "\t" + std::to_string(counts->unknown) + "\t" + std::to_string(counts->notLaunched);
    }
    return text;
}

// The history file's lines by run; a line that cannot be read counts for nothing, and of two lines
// for one run the first counts, in reading as in writing.
std::map<std::string, HistoryLine> readHistory(const std::string& bytes)
{
    std::map<std::string, HistoryLine> runs;
    std::size_t order = 0;
    for (const std::string& line : historyLines(bytes).value_or(std::vector<std::string>{})) {
        if (auto entry = parseHistoryLine(line)) {
            entry->second.order = ++order;
            runs.emplace(entry->first, entry->second);
        }
    }
    return runs;
}

std::string historyPath(Machine& machine)
{
    return backupFolder(machine) + machine.separator() + kHistoryName;
}

std::map<std::string, HistoryLine> historyOf(Machine& machine)
{
    const std::string path = historyPath(machine);
    // The history file only says more of runs that the folder lists: where it cannot be read, the
    // runs are still listed, each as its own files tell.
    try {
        return machine.files().exists(path) ? readHistory(machine.files().read(path)) : std::map<std::string, HistoryLine>{};
    } catch (const PlatformFailure&) {
        return {};
    }
}

// Rewrites the history file with the run's line changed; every other line stays as it was, one
// that cannot be read too. A file whose first line is not the header is not the program's to
// write over: it is refused, and left as it is.
template <typename Change>
void changeHistory(Machine& machine, const std::string& backupPath, Change change)
{
    const std::string path = historyPath(machine);
    std::vector<std::string> lines;
    if (machine.files().exists(path)) {
        std::optional<std::vector<std::string>> read = historyLines(readFile(machine.files(), path));
        if (!read)
            throw FileFailure(path, FileProblem::NotAHistory,
                              L"not a Quillora history; left as it is: rename or remove it, and the next run starts a "
                              L"new one (nothing else is lost)");
        lines = std::move(*read);
    }
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    const std::string name = runNameOf(backupPath);
    auto own = lines.end();
    HistoryLine entry;
    for (auto line = lines.begin(); line != lines.end() && own == lines.end(); ++line) {
        if (const auto parsed = parseHistoryLine(*line); parsed && parsed->first == name) {
            own = line;
            entry = parsed->second;
        }
    }
    change(entry);
    // A run whose start was not recorded (the file could not be written then) gets no line: its
    // counts alone would say nothing of what made it.
    if (!entry.origin)
        return;
    if (own != lines.end())
        *own = formatHistoryLine(name, entry);
    else
        lines.push_back(formatHistoryLine(name, entry));
    std::string text = std::string(kHistoryHeader) + "\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    machine.files().writeAtomically(path, text, true);
}

// A file kept beside a run's backup, read and parsed, or what is wrong with it; neither where the
// run has none.
template <typename Parsed>
struct RunFileRead {
    std::optional<Parsed> parsed;
    std::optional<RunFileProblem> problem;
};

template <typename Parsed, typename Parse>
RunFileRead<Parsed> readRunFile(Machine& machine, bool kept, const std::string& path, Parse parse, FileProblem notWhole,
                                const wchar_t* english)
{
    if (!kept)
        return {};
    try {
        if (std::optional<Parsed> parsed = parse(readFile(machine.files(), path)))
            return {std::move(parsed), std::nullopt};
        return {std::nullopt, RunFileProblem{path, FileFailure(path, notWhole, english)}};
    } catch (const PlatformFailure& failure) {
        return {std::nullopt, RunFileProblem{path, failure}};
    }
}

RunFileRead<RunJournal> readJournal(Machine& machine, const HistoryRun& run)
{
    return readRunFile<RunJournal>(machine, run.backup.hasJournal, journalPathFor(run.backup.path), parseJournal,
                                   FileProblem::NotAJournal, L"not a whole Quillora journal");
}

RunFileRead<RunResult> readSavedResult(Machine& machine, const HistoryRun& run)
{
    const std::string path = resultPathFor(run.backup.path);
    return readRunFile<RunResult>(
        machine, run.backup.hasResult, path, [&](const std::string& text) { return parseRunResult(path, text); },
        FileProblem::NotAResult, L"not a whole Quillora result");
}

// What a run's result says of it where the history does not: what made it, and its counts; where
// it cannot be read, that the run is unfinished, and why.
void fillFromResult(Machine& machine, HistoryRun& run)
{
    const RunFileRead<RunResult> read = readSavedResult(machine, run);
    if (read.problem)
        run.unfinished = Unfinished{Unfinished::Why::ResultUnreadable, read.problem->english()};
    if (!read.parsed)
        return;
    if (!run.counts)
        run.counts = countsOf(*read.parsed);
    if (!run.origin)
        run.origin = read.parsed->origin;
}

// Newest first in the order the runs began: the history's lines say it, and a run without a line
// takes its place by its name, which is its start time. The runs with lines keep the places they
// have by name among the others, taken in the order of their lines: a clock set back between two
// runs leaves them in the order they began.
void orderRuns(std::vector<HistoryRun>& runs, const std::map<std::string, HistoryLine>& history)
{
    const auto lineOf = [&](const HistoryRun& run) {
        const auto line = history.find(run.name);
        return line == history.end() ? std::size_t{0} : line->second.order;
    };
    std::sort(runs.begin(), runs.end(), [](const HistoryRun& a, const HistoryRun& b) { return a.name > b.name; });
    std::vector<std::size_t> places;
    std::vector<HistoryRun> lined;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (lineOf(runs[i]) != 0) {
            places.push_back(i);
            lined.push_back(runs[i]);
        }
    }
    std::sort(lined.begin(), lined.end(), [&](const HistoryRun& a, const HistoryRun& b) { return lineOf(a) > lineOf(b); });
    for (std::size_t i = 0; i < places.size(); ++i)
        runs[places[i]] = std::move(lined[i]);
}

// What can be known of a run whose result was never saved: each service its backup saved, as it
// was before, and nothing known of what the run asked or left. Where its journal tells, the
// services it meant to set: unknown where it reached them, not launched where it never did.
RunResult fromBackup(const std::string& backupPath, const std::vector<BackupEntry>& backup,
                     const std::optional<RunJournal>& journal)
{
    RunResult result{backupPath, {}};
    for (const BackupEntry& entry : backup) {
        const bool meant = journal && std::any_of(journal->intent.begin(), journal->intent.end(),
                                                  [&](const BackupEntry& e) { return e.serviceKey == entry.serviceKey; });
        if (journal && !meant)
            continue;
        const bool notReached = meant && !journal->reachedMode(entry.serviceKey);
        result.services.push_back({entry.serviceKey, entry, Asked(), std::nullopt,
                                   notReached ? Outcome::NotLaunched : Outcome::Unknown, std::nullopt});
    }
    return result;
}

// What an unfinished run speaks for: the services its journal meant to set, or, without one that
// can be read, those its backup saved.
std::vector<std::wstring> servicesOfRun(Machine& machine, const HistoryRun& run, const std::optional<RunJournal>& journal)
{
    std::vector<std::wstring> keys;
    if (journal) {
        for (const BackupEntry& mode : journal->intent)
            keys.push_back(mode.serviceKey);
        return keys;
    }
    try {
        for (const BackupEntry& entry : readBackupFile(machine.files(), run.backup.path))
            keys.push_back(entry.serviceKey);
    } catch (const std::exception&) {
        // Neither says which services it meant: it speaks for none.
    }
    return keys;
}

// What one run says of the services it speaks for, newest run first; a service spoken for by a
// newer run is not asked again.
std::vector<LastSet> lastSetBy(Machine& machine, const HistoryRun& run)
{
    std::vector<LastSet> said;
    const RunFileRead<RunResult> saved = readSavedResult(machine, run);
    const RunFileRead<RunJournal> journal = readJournal(machine, run);
    if (saved.parsed) {
        for (const BackupEntry& mode : modesLeft(*saved.parsed))
            said.push_back({mode, run.name});
        // Saved as the program ended: what was launched and had not ended is what the run meant.
        for (const ServiceResult& service : saved.parsed->services) {
            const std::optional<BackupEntry> reached =
                journal.parsed ? journal.parsed->reachedMode(service.serviceKey) : std::nullopt;
            if (service.outcome == Outcome::Unknown && reached)
                said.push_back({*reached, run.name});
            else if (service.outcome == Outcome::NotLaunched)
                said.push_back({BackupEntry{service.serviceKey, std::nullopt, false}, run.name, LastSet::Kind::NotReached});
        }
        return said;
    }
    if (saved.problem || journal.problem) {
        const std::string why = (saved.problem ? *saved.problem : *journal.problem).english();
        for (const std::wstring& key : servicesOfRun(machine, run, journal.parsed))
            said.push_back({BackupEntry{key, std::nullopt, false}, run.name, LastSet::Kind::Unreadable, why});
        return said;
    }
    // A run of an earlier version without result or journal says nothing: older runs decide.
    if (!journal.parsed)
        return said;
    for (const BackupEntry& meant : journal.parsed->intent) {
        const std::optional<BackupEntry> reached = journal.parsed->reachedMode(meant.serviceKey);
        said.push_back(reached ? LastSet{*reached, run.name} : LastSet{meant, run.name, LastSet::Kind::NotReached});
    }
    return said;
}

}  // namespace

RunCounts countsOf(const RunResult& result)
{
    RunCounts counts;
    for (const ServiceResult& service : result.services) {
        switch (service.outcome) {
        case Outcome::Changed:
            ++counts.changed;
            break;
        case Outcome::Unchanged:
            ++counts.unchanged;
            break;
        case Outcome::Failed:
            ++counts.failed;
            break;
        case Outcome::LeftAloneByChoice:
        case Outcome::LeftAloneNeeded:
        case Outcome::LeftAloneAsWindowsHasIt:
            ++counts.kept;
            break;
        case Outcome::Unknown:
            ++counts.unknown;
            break;
        case Outcome::NotLaunched:
            ++counts.notLaunched;
            break;
        case Outcome::NotInstalled:
            break;
        }
    }
    return counts;
}

std::string runTimeOf(const HistoryRun& run)
{
    const std::optional<std::string> time = automaticBackupTime(run.backup);
    return time ? *time : run.name;
}

std::vector<HistoryRun> runHistory(Machine& machine)
{
    const std::map<std::string, HistoryLine> history = historyOf(machine);
    std::vector<HistoryRun> runs;
    for (StoredBackup& backup : storedBackups(machine)) {
        if (!backup.automatic)
            continue;
        HistoryRun run{runNameOf(backup.path), std::move(backup), std::nullopt, std::nullopt, std::nullopt};
        const auto line = history.find(run.name);
        if (line != history.end()) {
            run.origin = line->second.origin;
            run.counts = line->second.counts;
        }
        if (!run.backup.hasResult)
            run.unfinished = Unfinished{run.counts ? Unfinished::Why::ResultNotSaved : Unfinished::Why::ProgramEnded, ""};
        else if (!run.counts || !run.origin)
            fillFromResult(machine, run);
        // Counted as its files tell: what it reached unknown, what it never reached not launched.
        if (!run.counts && run.unfinished)
            run.counts = countsOf(readRun(machine, run).shown);
        runs.push_back(std::move(run));
    }
    orderRuns(runs, history);
    return runs;
}

const HistoryRun* newestRun(const std::vector<HistoryRun>& runs, bool skippingUndos)
{
    for (const HistoryRun& run : runs) {
        if (!skippingUndos || !run.origin || run.origin->maker != RunMaker::Undo)
            return &run;
    }
    return nullptr;
}

const HistoryRun* findRun(const std::vector<HistoryRun>& runs, const std::string& name)
{
    const auto run = std::find_if(runs.begin(), runs.end(), [&](const HistoryRun& r) { return r.name == name; });
    return run == runs.end() ? nullptr : &*run;
}

void recordOrigin(Machine& machine, const std::string& backupPath, const RunOrigin& origin)
{
    changeHistory(machine, backupPath, [&](HistoryLine& line) { line.origin = origin; });
}

void recordCounts(Machine& machine, const std::string& backupPath, const RunCounts& counts)
{
    changeHistory(machine, backupPath, [&](HistoryLine& line) { line.counts = counts; });
}

std::string RunFileProblem::english() const
{
    if (const auto* problem = std::get_if<FileProblemError>(&why))
        return problem->what();
    return toUtf8(std::get<PlatformFailure>(why).description());
}

RunDetail readRun(Machine& machine, const HistoryRun& run)
{
    RunDetail detail;
    const std::string& path = run.backup.path;
    try {
        detail.backup = readBackupFile(machine.files(), path);
    } catch (const BackupError& error) {
        detail.problems.push_back({path, error});
    } catch (const PlatformFailure& failure) {
        detail.problems.push_back({path, failure});
    }
    RunFileRead<RunResult> saved = readSavedResult(machine, run);
    detail.result = std::move(saved.parsed);
    if (saved.problem)
        detail.problems.push_back(std::move(*saved.problem));
    if (detail.result) {
        detail.shown = *detail.result;
        return detail;
    }
    RunFileRead<RunJournal> journal = readJournal(machine, run);
    if (journal.problem)
        detail.problems.push_back(std::move(*journal.problem));
    detail.shown = fromBackup(path, detail.backup.value_or(std::vector<BackupEntry>{}), journal.parsed);
    return detail;
}

std::vector<BackupEntry> modesLeft(const RunResult& result)
{
    std::vector<BackupEntry> modes;
    for (const ServiceResult& service : result.services) {
        const bool setByRun = service.outcome == Outcome::Changed || service.outcome == Outcome::Unchanged;
        if (setByRun && service.after) {
            const ServiceState& after = *service.after;
            modes.push_back({service.serviceKey, after.mode, after.mode == StartMode::Automatic && after.delayed});
        }
    }
    return modes;
}

std::vector<ModeChange> changedSince(const RunResult& result, ServiceControl& services,
                                     const std::optional<WindowsVersion>& windows)
{
    // A restore of the modes left would change exactly what has changed since.
    return restoreWouldChange(services, modesLeft(result), windows);
}

std::vector<BackupEntry> modesToSetAgain(const std::vector<ModeChange>& changedSince)
{
    std::vector<BackupEntry> modes;
    for (const ModeChange& change : changedSince)
        modes.push_back({change.serviceKey, change.to, change.toDelayed});
    return modes;
}

std::vector<LastSet> LastSetReadings::of(Machine& machine, const HistoryRun& run)
{
    const StoredBackup& files = run.backup;
    const auto unchanged = [&](const StoredBackup& read) {
        return read.hasResult == files.hasResult && read.resultStamp == files.resultStamp
            && read.hasJournal == files.hasJournal && read.journalStamp == files.journalStamp;
    };
    const auto found = byRun_.find(run.name);
    if (found != byRun_.end() && unchanged(found->second.files))
        return found->second.said;
    std::vector<LastSet> said = lastSetBy(machine, run);
    byRun_[run.name] = Reading{files, said};
    return said;
}

std::vector<LastSet> lastSetModes(Machine& machine, const std::vector<HistoryRun>& runs, LastSetReadings* readings)
{
    std::vector<LastSet> lastSet;
    for (const HistoryRun& run : runs) {
        for (LastSet& said : readings ? readings->of(machine, run) : lastSetBy(machine, run)) {
            const bool known = std::any_of(lastSet.begin(), lastSet.end(),
                                           [&](const LastSet& set) { return set.mode.serviceKey == said.mode.serviceKey; });
            if (!known)
                lastSet.push_back(std::move(said));
        }
    }
    return lastSet;
}

std::vector<ModeChange> changedSinceLastSet(const std::vector<LastSet>& lastSet, ServiceControl& services,
                                            const std::optional<WindowsVersion>& windows)
{
    std::vector<BackupEntry> modes;
    for (const LastSet& set : lastSet) {
        if (set.kind == LastSet::Kind::Set)
            modes.push_back(set.mode);
    }
    return restoreWouldChange(services, modes, windows);
}

std::optional<RunResult> savedResult(Machine& machine, const HistoryRun& run)
{
    return readSavedResult(machine, run).parsed;
}

void writeResult(Machine& machine, const RunResult& result)
{
    machine.files().writeAtomically(resultPathFor(result.backupPath), formatRunResult(result), true);
}

const RunFileProblem* RunDetail::problemWith(const std::string& path) const
{
    const auto problem = std::find_if(problems.begin(), problems.end(), [&](const RunFileProblem& p) { return p.path == path; });
    return problem == problems.end() ? nullptr : &*problem;
}

}  // namespace quillora
