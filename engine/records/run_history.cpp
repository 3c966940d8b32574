#include "engine/records/run_history.h"

#include <algorithm>
#include <map>

#include "engine/text/utf8.h"

namespace quillora {
namespace {

const char kHistoryHeader[] = "quillora-history 1";
const char kHistoryName[] = "history.log";
constexpr Profile kProfiles[] = {Profile::Prompted, Profile::Automatic, Profile::Restore};

struct MakerName {
    RunMaker maker;
    const char* name;
};
constexpr MakerName kMakerNames[] = {
    {RunMaker::Window, "window"},
    {RunMaker::Apply, "apply"},
    {RunMaker::RestoreBefore, "restore-before"},
    {RunMaker::SetAgain, "set-again"},
    {RunMaker::Undo, "undo"},
};

bool madeByProfile(RunMaker maker)
{
    return maker == RunMaker::Window || maker == RunMaker::Apply;
}

bool areAnswerLetters(const std::string& text)
{
    return (text.size() == kWizardQuestions.size() || text.size() == kWizardQuestions.size() + kWindows10Questions.size())
        && text.find_first_not_of("yn") == std::string::npos;
}

std::optional<RunOrigin> parseOrigin(const std::string& text)
{
    std::vector<std::string> words;
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t blank = std::min(text.find(' ', from), text.size());
        words.push_back(text.substr(from, blank - from));
        from = blank + 1;
    }
    const auto maker = std::find_if(std::begin(kMakerNames), std::end(kMakerNames),
                                    [&](const MakerName& entry) { return words[0] == entry.name; });
    if (maker == std::end(kMakerNames) || words.size() < 2 || words.size() > 3)
        return std::nullopt;
    RunOrigin origin{maker->maker, std::nullopt, "", ""};
    if (!madeByProfile(origin.maker)) {
        origin.run = words[1];
        return words.size() == 2 && !words[1].empty() ? std::optional(origin) : std::nullopt;
    }
    for (const Profile profile : kProfiles) {
        if (words[1] == profileName(profile))
            origin.profile = profile;
    }
    if (words.size() == 3)
        origin.answers = words[2];
    const bool answered = origin.profile == Profile::Prompted;
    if (!origin.profile || answered != (words.size() == 3) || (answered && !areAnswerLetters(origin.answers)))
        return std::nullopt;
    return origin;
}

std::optional<int> parseCount(const std::string& text)
{
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoi(text);
}

struct HistoryLine {
    std::optional<RunOrigin> origin;
    std::optional<RunCounts> counts;
};

// The lines of a history file after its first, which must be the header: nullopt where it is not.
// A byte-order mark and LF line ends (Notepad's) are taken.
std::optional<std::vector<std::string>> historyLines(std::string bytes)
{
    const std::string byteOrderMark = "\xEF\xBB\xBF";
    if (bytes.rfind(byteOrderMark, 0) == 0)
        bytes.erase(0, byteOrderMark.size());
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
    if (fields.size() != 2 && fields.size() != 6)
        return std::nullopt;
    HistoryLine entry{parseOrigin(fields[1]), std::nullopt};
    if (fields.size() == 6) {
        const std::optional<int> changed = parseCount(fields[2]), unchanged = parseCount(fields[3]),
                                 failed = parseCount(fields[4]), kept = parseCount(fields[5]);
        if (changed && unchanged && failed && kept)
            entry.counts = RunCounts{*changed, *unchanged, *failed, *kept};
    }
    if (!entry.origin)
        return std::nullopt;
    return std::pair{fields[0], entry};
}

std::string formatHistoryLine(const std::string& name, const HistoryLine& entry)
{
    std::string text = name + "\t" + originText(*entry.origin);
    if (const std::optional<RunCounts>& counts = entry.counts)
        text += "\t" + std::to_string(counts->changed) + "\t" + std::to_string(counts->unchanged) + "\t"
            + std::to_string(counts->failed) + "\t" + std::to_string(counts->kept);
    return text;
}

// The history file's lines by run; a line that cannot be read counts for nothing.
std::map<std::string, HistoryLine> readHistory(const std::string& bytes)
{
    std::map<std::string, HistoryLine> runs;
    for (const std::string& line : historyLines(bytes).value_or(std::vector<std::string>{})) {
        if (auto entry = parseHistoryLine(line))
            runs[entry->first] = entry->second;
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
            throw FileFailure(path, FileProblem::NotAHistory, L"not a Quillora history; left as it is");
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

std::optional<RunCounts> countsFromResult(Machine& machine, const StoredBackup& backup)
{
    const std::string path = resultPathFor(backup.path);
    try {
        const std::optional<RunResult> result = parseRunResult(path, machine.files().read(path));
        return result ? std::optional(countsOf(*result)) : std::nullopt;
    } catch (const PlatformFailure&) {
        return std::nullopt;  // said when the run is read whole
    }
}

// What can be known of a run whose result was never saved: each service its backup saved, as it
// was before, and nothing known of what the run asked or left.
RunResult fromBackup(const std::string& backupPath, const std::vector<BackupEntry>& backup)
{
    RunResult result{backupPath, {}};
    for (const BackupEntry& entry : backup)
        result.services.push_back({entry.serviceKey, entry, Asked(), std::nullopt, Outcome::Unknown, std::nullopt});
    return result;
}

}  // namespace

std::string originText(const RunOrigin& origin)
{
    std::string text;
    for (const MakerName& entry : kMakerNames) {
        if (entry.maker == origin.maker)
            text = entry.name;
    }
    if (madeByProfile(origin.maker))
        return text + " " + profileName(*origin.profile) + (origin.answers.empty() ? "" : " " + origin.answers);
    return text + " " + origin.run;
}

RunOrigin profileOrigin(RunMaker maker, Profile profile, const Answers& answers, Lists lists)
{
    RunOrigin origin{maker, profile, "", ""};
    if (profile != Profile::Prompted)
        return origin;
    for (const AnswerFlag flag : kWizardQuestions)
        origin.answers += answers.yes(flag) ? 'y' : 'n';
    if (lists == Lists::WithWindows10) {
        for (const AnswerFlag flag : kWindows10Questions)
            origin.answers += answers.yes(flag) ? 'y' : 'n';
    }
    return origin;
}

RunOrigin goingBack(RunMaker maker, const std::string& run)
{
    return {maker, std::nullopt, "", run};
}

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
        case Outcome::NotInstalled:
        case Outcome::Unknown:
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
        HistoryRun run{runNameOf(backup.path), std::move(backup), std::nullopt, std::nullopt};
        const auto line = history.find(run.name);
        if (line != history.end()) {
            run.origin = line->second.origin;
            run.counts = line->second.counts;
        }
        if (!run.counts && run.backup.hasResult)
            run.counts = countsFromResult(machine, run.backup);
        runs.push_back(std::move(run));
    }
    return runs;
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
    if (run.backup.hasResult) {
        const std::string resultPath = resultPathFor(path);
        try {
            detail.result = parseRunResult(resultPath, readFile(machine.files(), resultPath));
            if (!detail.result)
                detail.problems.push_back(
                    {resultPath, FileFailure(resultPath, FileProblem::NotAResult, L"not a whole Quillora result")});
        } catch (const PlatformFailure& failure) {
            detail.problems.push_back({resultPath, failure});
        }
    }
    detail.shown = detail.result ? *detail.result : fromBackup(path, detail.backup.value_or(std::vector<BackupEntry>{}));
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

void saveResult(Machine& machine, const RunResult& result)
{
    machine.files().writeAtomically(resultPathFor(result.backupPath), formatRunResult(result), true);
    recordCounts(machine, result.backupPath, countsOf(result));
}

void keepInHistory(std::vector<FileFailure>& notKept, const std::function<void()>& write)
{
    try {
        write();
    } catch (const FileFailure& failure) {
        notKept.push_back(failure);
    } catch (const PlatformFailure& failure) {
        notKept.push_back(FileFailure("", failure.number(), failure.description()));
    }
}

const RunFileProblem* RunDetail::problemWith(const std::string& path) const
{
    const auto problem = std::find_if(problems.begin(), problems.end(), [&](const RunFileProblem& p) { return p.path == path; });
    return problem == problems.end() ? nullptr : &*problem;
}

}  // namespace quillora
