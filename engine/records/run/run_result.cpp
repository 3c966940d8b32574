#include "engine/records/run/run_result.h"

#include <algorithm>
#include <array>

#include "engine/catalogue/catalogue.h"
#include "engine/records/backups/backup_store.h"
#include "engine/text/printable.h"
#include "engine/plan/service_change.h"
#include "engine/plan/service_report.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

const char kResultHeader[] = "quillora-result 1";
const char kMadeBy[] = "made-by";
const char kRestorePointLine[] = "restore-point";
const char kResultAbsent[] = "absent";
const char kNotRead[] = "not read";
const char kNotSaved[] = "not saved";
const char kReportedSuccess[] = "reported-success";
const char kNotLaunched[] = "not-launched";
const char kUnread[] = "?";
const char kPutBack[] = "put back ";
const char kRefusedToProgram[] = "windows";

constexpr std::array<Outcome, 9> kOutcomes{Outcome::Changed,           Outcome::Unchanged,
                                           Outcome::NotInstalled,      Outcome::Failed,
                                           Outcome::Unknown,           Outcome::NotLaunched,
                                           Outcome::LeftAloneByChoice, Outcome::LeftAloneNeeded,
                                           Outcome::LeftAloneAsWindowsHasIt};
constexpr std::array<ActionKind, 10> kActions{ActionKind::StopAndDisable,   ActionKind::StopAndManual,
                                              ActionKind::ManualOnly,       ActionKind::StartAndAutomatic,
                                              ActionKind::DisableOnly,      ActionKind::DelayedAutomaticOnly,
                                              ActionKind::ManualIfDisabled, ActionKind::Keep,
                                              ActionKind::StartAndDelayedAutomatic, ActionKind::AutomaticOnly};

struct KindName {
    CommandKind kind;
    const char* name;
};
constexpr std::array<KindName, 3> kCommandNames{{
    {CommandKind::NetStop, "net-stop"},
    {CommandKind::NetStart, "net-start"},
    {CommandKind::ScConfig, "sc-config"},
}};

const char* commandName(const std::optional<CommandKind>& kind)
{
    for (const KindName& entry : kCommandNames) {
        if (entry.kind == kind)
            return entry.name;
    }
    return kRefusedToProgram;
}

// As the backup saved it: the mode, "(delayed)" for a delayed automatic start, "absent", or "not
// saved" for a service left alone by choice.
std::string beforeText(const ServiceResult& service)
{
    const std::optional<BackupEntry>& before = service.before;
    if (!before && service.outcome == Outcome::LeftAloneByChoice)
        return kNotSaved;
    if (!before || !before->mode)
        return kResultAbsent;
    return modeText(*before->mode, before->delayed);
}

// A service not installed after the run is "absent"; one the run did not read after it (its
// outcome unknown, or never reached) is "not read".
std::string afterText(const ServiceResult& service)
{
    const std::optional<ServiceState>& after = service.after;
    if (!after)
        return service.outcome == Outcome::Unknown || service.outcome == Outcome::NotLaunched ? kNotRead : kResultAbsent;
    return modeText(after->mode, after->mode == StartMode::Automatic && after->delayed) + ", "
        + runStateName(after->state);
}

std::string reasonText(const ServiceResult& service)
{
    if (service.outcome != Outcome::Failed)
        return "";
    if (!service.failure)
        return kReportedSuccess;
    const std::optional<unsigned long>& status = service.failure->exitStatus;
    const std::string statusText = !service.failure->launched ? kNotLaunched : status ? std::to_string(*status) : kUnread;
    return std::string(commandName(service.failure->kind)) + " " + statusText;
}

// The command of this kind that did not end well: a nonzero exit status, one that could not be
// read, or one that was never launched.
std::optional<CommandFailure> failedCommand(const TouchedService& touched, CommandKind kind)
{
    for (const LaunchedCommand& command : touched.commands) {
        if (command.kind == kind && (!command.exitStatus || *command.exitStatus != 0))
            return CommandFailure{kind, command.exitStatus};
    }
    if (std::find(touched.notLaunched.begin(), touched.notLaunched.end(), kind) != touched.notLaunched.end())
        return CommandFailure{kind, std::nullopt, false};
    return std::nullopt;
}

bool stillRuns(const TouchedService& touched)
{
    return std::any_of(touched.commands.begin(), touched.commands.end(), [](const LaunchedCommand& c) { return !c.ended; });
}

// "auto", "auto (delayed)", ...; nullopt for anything else.
std::optional<std::pair<StartMode, bool>> parseModeText(const std::string& text)
{
    const std::string delayedMark = " (delayed)";
    const bool delayed = text.size() > delayedMark.size()
        && text.compare(text.size() - delayedMark.size(), delayedMark.size(), delayedMark) == 0;
    const std::optional<StartMode> mode = parseStartMode(delayed ? text.substr(0, text.size() - delayedMark.size()) : text);
    if (!mode)
        return std::nullopt;
    return std::pair{*mode, delayed};
}

// An exit status as the file writes it: a 32-bit number in decimal.
std::optional<unsigned long> parseExitStatus(const std::string& text)
{
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    unsigned long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 0xFFFFFFFFull)
        return std::nullopt;
    return static_cast<unsigned long>(value);
}

const char kNotRecorded[] = "not recorded";

std::string askedText(const Asked& asked)
{
    if (const ActionKind* action = std::get_if<ActionKind>(&asked))
        return actionDescription(*action);
    if (const PutBack* putBack = std::get_if<PutBack>(&asked))
        return kPutBack + modeText(putBack->mode, putBack->delayed);
    return kNotRecorded;
}

std::optional<Asked> parseAsked(const std::string& text)
{
    const auto action = std::find_if(kActions.begin(), kActions.end(), [&](ActionKind k) { return actionDescription(k) == text; });
    if (action != kActions.end())
        return Asked(*action);
    if (text == kNotRecorded)
        return Asked();
    const std::size_t prefix = sizeof kPutBack - 1;
    if (text.compare(0, prefix, kPutBack) != 0)
        return std::nullopt;
    const auto mode = parseModeText(text.substr(prefix));
    if (!mode)
        return std::nullopt;
    return Asked(PutBack{mode->first, mode->second});
}

// One service line of a result file; nullopt where it is not well-formed.
std::optional<ServiceResult> parseServiceLine(const std::string& line)
{
    const std::vector<std::string> parts = tabFields(line);
    if (parts.size() < 5 || parts.size() > 6)
        return std::nullopt;
    const std::vector<std::wstring> keys = catalogueKeys();
    if (!isUtf8(parts[0]) || std::find(keys.begin(), keys.end(), fromUtf8(parts[0])) == keys.end())
        return std::nullopt;
    ServiceResult service{fromUtf8(parts[0]), std::nullopt, ActionKind::ManualOnly, std::nullopt, Outcome::Failed,
                          std::nullopt};
    if (parts[1] != kResultAbsent && parts[1] != kNotSaved) {
        const auto mode = parseModeText(parts[1]);
        if (!mode)
            return std::nullopt;
        service.before = BackupEntry{service.serviceKey, mode->first, mode->second};
    }
    const std::optional<Asked> asked = parseAsked(parts[2]);
    if (!asked)
        return std::nullopt;
    service.asked = *asked;
    if (parts[3] != kResultAbsent && parts[3] != kNotRead) {
        const std::size_t comma = parts[3].find(", ");
        const auto mode = parseModeText(parts[3].substr(0, comma));
        const std::optional<RunState> state =
            comma == std::string::npos ? std::nullopt : parseRunState(parts[3].substr(comma + 2));
        if (!mode || !state)
            return std::nullopt;
        service.after = ServiceState{mode->first, mode->second, *state};
    }
    const auto outcome = std::find_if(kOutcomes.begin(), kOutcomes.end(), [&](Outcome o) { return outcomeName(o) == parts[4]; });
    if (outcome == kOutcomes.end())
        return std::nullopt;
    service.outcome = *outcome;
    if (parts.size() == 6 && parts[5] != kReportedSuccess) {
        const std::size_t blank = parts[5].find(' ');
        const std::string name = parts[5].substr(0, blank);
        const auto kind = std::find_if(kCommandNames.begin(), kCommandNames.end(), [&](const KindName& k) { return name == k.name; });
        if ((kind == kCommandNames.end() && name != kRefusedToProgram) || blank == std::string::npos)
            return std::nullopt;
        const std::string status = parts[5].substr(blank + 1);
        const std::optional<CommandKind> command =
            kind == kCommandNames.end() ? std::nullopt : std::optional<CommandKind>(kind->kind);
        service.failure = CommandFailure{command, parseExitStatus(status), status != kNotLaunched};
        if (status != kUnread && status != kNotLaunched && !service.failure->exitStatus)
            return std::nullopt;
    }
    if ((parts.size() == 6) != (service.outcome == Outcome::Failed))
        return std::nullopt;
    if (parts[1] == kNotSaved && service.outcome != Outcome::LeftAloneByChoice)
        return std::nullopt;
    return service;
}

}  // namespace

RunRecord::RunRecord(std::string backupPath, std::vector<BackupEntry> backup, std::vector<std::optional<ServiceState>> states,
                     std::vector<PlannedService> planned)
    : planned_(std::move(planned)), backupPath_(std::move(backupPath)), backup_(std::move(backup)), states_(std::move(states))
{
}

std::vector<TouchedService> RunRecord::rows() const
{
    std::vector<TouchedService> rows;
    const auto touchedRow = [&](const std::wstring& key) {
        return std::find_if(touched_.begin(), touched_.end(), [&](const TouchedService& t) { return t.serviceKey == key; });
    };
    for (const PlannedService& row : planned_) {
        const auto touched = touchedRow(row.serviceKey);
        rows.push_back(touched != touched_.end() ? *touched
                                                 : TouchedService{row.serviceKey, row.asked, {}, row.leftAlone, {}, false});
    }
    for (const TouchedService& touched : touched_) {
        const bool planned = std::any_of(planned_.begin(), planned_.end(),
                                         [&](const PlannedService& row) { return row.serviceKey == touched.serviceKey; });
        if (!planned)
            rows.push_back(touched);
    }
    return rows;
}

void RunRecord::stepStarts(const std::wstring& serviceKey, ActionKind asked, const std::vector<ServiceCommand>& commands,
                           std::optional<LeftAlone> leftAlone)
{
    TouchedService service{serviceKey, asked, {}, leftAlone};
    for (const ServiceCommand& command : commands)
        service.notLaunched.push_back(command.kind);
    touched_.push_back(std::move(service));
}

void RunRecord::launched(std::size_t launch)
{
    if (touched_.empty() || touched_.back().notLaunched.empty())
        return;
    TouchedService& step = touched_.back();
    step.commands.push_back({step.notLaunched.front(), launch, false, std::nullopt});
    step.notLaunched.erase(step.notLaunched.begin());
}

void RunRecord::ended(std::size_t launch, std::optional<unsigned long> exitStatus)
{
    for (TouchedService& service : touched_) {
        for (LaunchedCommand& command : service.commands) {
            if (command.launch == launch) {
                command.ended = true;
                command.exitStatus = exitStatus;
            }
        }
    }
}

std::vector<std::size_t> RunRecord::running() const
{
    std::vector<std::size_t> launches;
    for (const TouchedService& service : touched_) {
        for (const LaunchedCommand& command : service.commands) {
            if (!command.ended)
                launches.push_back(command.launch);
        }
    }
    return launches;
}

ServiceBefore RunRecord::before(const std::wstring& serviceKey) const
{
    for (std::size_t i = 0; i < backup_.size(); ++i) {
        if (backup_[i].serviceKey == serviceKey)
            return {backup_[i], i < states_.size() ? states_[i] : std::nullopt};
    }
    return {};
}

// A service that was not installed before the run is not installed after it, whether or not its
// commands have ended: nothing a run launches installs a service.
Outcome outcomeUnread(const TouchedService& touched, const ServiceBefore& before)
{
    if (touched.leftAlone)
        return leftAloneOutcome(*touched.leftAlone);
    if (!touched.reached)
        return Outcome::NotLaunched;
    return !before.state && before.saved && !before.saved->mode ? Outcome::NotInstalled : Outcome::Unknown;
}

ServiceResult judge(const TouchedService& touched, const ServiceBefore& before, const std::optional<ServiceState>& after)
{
    ServiceResult result{touched.serviceKey, before.saved, touched.asked, after, outcomeUnread(touched, before),
                         std::nullopt};
    if (result.outcome != Outcome::Unknown || stillRuns(touched))
        return result;
    if (!after) {
        result.outcome = Outcome::NotInstalled;
        return result;
    }
    const ServiceTarget target = targetOf(effectOf(touched.asked));
    const PendingChange left = pendingChange(target, *after);
    if (!left.any()) {
        // Judged whole: a service stopped or started by the run, at the mode it had, was changed.
        const bool wasAsAsked = before.state && !pendingChange(target, *before.state).any();
        result.outcome = wasAsAsked ? Outcome::Unchanged : Outcome::Changed;
        return result;
    }
    result.outcome = Outcome::Failed;
    // A mode not set is sc config's doing; a state not reached is NET's. NET stop of a service that
    // was already stopped fails harmlessly and is never blamed: the state was reached.
    if (left.setMode)
        result.failure = failedCommand(touched, CommandKind::ScConfig);
    else
        result.failure = failedCommand(touched, left.stop ? CommandKind::NetStop : CommandKind::NetStart);
    return result;
}

Outcome leftAloneOutcome(LeftAlone why)
{
    switch (why) {
    case LeftAlone::ByChoice:
        return Outcome::LeftAloneByChoice;
    case LeftAlone::Needed:
        return Outcome::LeftAloneNeeded;
    case LeftAlone::NotInstalled:
        return Outcome::NotInstalled;
    case LeftAlone::AsWindowsHasIt:
        break;
    }
    return Outcome::LeftAloneAsWindowsHasIt;
}

RunResult readBack(const RunRecord& record, ServiceControl& services)
{
    RunResult result{record.backupPath(), {}};
    for (const TouchedService& touched : record.rows())
        result.services.push_back(judge(touched, record.before(touched.serviceKey), services.query(touched.serviceKey)));
    return result;
}

RunResult appliedResult(const SavedBackup& backup, const std::vector<PlannedRow>& rows,
                        const std::vector<std::pair<std::wstring, PlatformFailure>>& refused, ServiceControl& services,
                        std::optional<PlatformFailure>& unread, std::size_t stoppedAt)
{
    RunResult result{backup.path, {}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const PlannedRow& row = rows[i];
        const std::wstring& key = row.step.serviceKey;
        // apply launches no command: its steps have none to blame.
        const TouchedService touched{key, row.asked, {}, row.leftAlone, {}, i < stoppedAt || row.fate == Fate::NotInstalled};
        const ServiceBefore before{savedEntry(backup, key), row.now};
        const std::optional<ServiceState> after = touched.reached ? readAfter(services, key, unread) : std::nullopt;
        ServiceResult service = unread || !touched.reached
            ? ServiceResult{key, before.saved, row.asked, std::nullopt, outcomeUnread(touched, before), std::nullopt}
            : judge(touched, before, after);
        const auto why = std::find_if(refused.begin(), refused.end(), [&](const auto& r) { return r.first == key; });
        if (why != refused.end()) {
            service.outcome = Outcome::Failed;
            service.failure = CommandFailure{std::nullopt, why->second.number()};
        }
        result.services.push_back(std::move(service));
    }
    return result;
}

std::optional<ServiceState> readAfter(ServiceControl& services, const std::wstring& serviceKey,
                                      std::optional<PlatformFailure>& unread)
{
    if (unread)
        return std::nullopt;
    try {
        return services.query(serviceKey);
    } catch (const PlatformFailure& failure) {
        unread = failure;
        return std::nullopt;
    }
}

std::size_t failures(const RunResult& result)
{
    return static_cast<std::size_t>(std::count_if(result.services.begin(), result.services.end(),
                                                  [](const ServiceResult& s) { return s.outcome == Outcome::Failed; }));
}

const char* outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Changed:
        return "changed";
    case Outcome::Unchanged:
        return "unchanged";
    case Outcome::NotInstalled:
        return "not installed";
    case Outcome::Unknown:
        return "unknown";
    case Outcome::NotLaunched:
        return "not launched";
    case Outcome::LeftAloneByChoice:
        return "left alone: your choice";
    case Outcome::LeftAloneNeeded:
        return "left alone: needed by Windows";
    case Outcome::LeftAloneAsWindowsHasIt:
        return "left alone: as Windows has it";
    case Outcome::Failed:
        break;
    }
    return "failed";
}

const wchar_t* outcomeWord(const Wording& words, Outcome outcome)
{
    switch (outcome) {
    case Outcome::Changed:
        return words.changed;
    case Outcome::Unchanged:
        return words.unchanged;
    case Outcome::NotInstalled:
        return fateWord(words, Fate::NotInstalled);
    case Outcome::Unknown:
        return words.unknown;
    case Outcome::NotLaunched:
        return words.notLaunched;
    case Outcome::LeftAloneByChoice:
        return fateWord(words, Fate::KeptByChoice);
    case Outcome::LeftAloneNeeded:
        return fateWord(words, Fate::KeptNeeded);
    case Outcome::LeftAloneAsWindowsHasIt:
        return fateWord(words, Fate::KeptAsWindowsHasIt);
    case Outcome::Failed:
        break;
    }
    return words.failed;
}

std::vector<std::string> resultFields(const ServiceResult& service)
{
    return {toUtf8(service.serviceKey), beforeText(service), askedText(service.asked), afterText(service),
            outcomeName(service.outcome), reasonText(service)};
}

std::string formatRunResult(const RunResult& result)
{

    std::string text = std::string(kResultHeader) + "\r\nbackup\t"
        + printable(fileNameOf(result.backupPath)) + "\r\n";
    if (result.origin)
        text += std::string(kMadeBy) + "\t" + printable(originText(*result.origin)) + "\r\n";
    if (result.restorePoint)
        text += std::string(kRestorePointLine) + "\t" + restorePointText(*result.restorePoint) + "\r\n";
    for (const ServiceResult& service : result.services) {
        std::vector<std::string> fields = resultFields(service);
        if (fields.back().empty())
            fields.pop_back();
        for (std::size_t i = 0; i < fields.size(); ++i)
            text += (i ? "\t" : "") + fields[i];
        text += "\r\n";
    }
    return text + "end\r\n";
}

std::optional<RunResult> parseRunResult(const std::string& resultPath, const std::string& text)
{
    std::string rest;
    const std::vector<std::string> lines = crlfLines(text, rest);
    if (!rest.empty() || lines.size() < 3 || lines.front() != kResultHeader || lines.back() != "end")
        return std::nullopt;
    const std::vector<std::string> backup = tabFields(lines[1]);
    if (backup.size() != 2 || backup[0] != "backup" || backup[1].find_first_of("/\\") != std::string::npos)
        return std::nullopt;
    const std::size_t slash = resultPath.find_last_of("/\\");
    RunResult result{(slash == std::string::npos ? "" : resultPath.substr(0, slash + 1)) + backup[1], {}};
    std::size_t first = 2;
    if (const std::vector<std::string> madeBy = tabFields(lines[first]); madeBy.size() == 2 && madeBy[0] == kMadeBy) {
        result.origin = parseOrigin(madeBy[1]);
        if (!result.origin)
            return std::nullopt;
        ++first;
    }
    if (const std::vector<std::string> point = tabFields(lines[first]); point.size() == 2 && point[0] == kRestorePointLine) {
        result.restorePoint = parseRestorePoint(point[1]);
        if (!result.restorePoint)
            return std::nullopt;
        ++first;
    }
    for (std::size_t i = first; i + 1 < lines.size(); ++i) {
        std::optional<ServiceResult> service = parseServiceLine(lines[i]);
        if (!service)
            return std::nullopt;
        result.services.push_back(std::move(*service));
    }
    return result;
}

}  // namespace quillora
