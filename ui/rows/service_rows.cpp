#include "ui/rows/service_rows.h"

#include <algorithm>
#include <utility>
#include <variant>

#include "engine/plan/plan.h"
#include "engine/catalogue/service_sources.h"
#include "engine/text/utf8.h"
#include "ui/words/service_words.h"

namespace quillora::ui {
namespace {

const wchar_t kNothing[] = L"-";

// "not installed" in the language, as every view says it.
std::wstring notInstalled(Language language)
{
    return fateWord(wordingFor(language), Fate::NotInstalled);
}

const wchar_t* commandName(CommandKind kind)
{
    switch (kind) {
    case CommandKind::NetStop:
        return L"NET stop";
    case CommandKind::NetStart:
        return L"NET start";
    case CommandKind::ScConfig:
        break;
    }
    return L"sc config";
}

// Why a service failed, in the language: the command that explains it and its exit status, with
// Windows' words where the status is a Windows error number (sc config's).
std::wstring failureReason(const ServiceResult& service, Language language, const ErrorWords& errorWords,
                           WithoutResult withoutResult)
{
    // A run shown from its backup asked nothing that is known: its result is what is missing.
    if (service.outcome == Outcome::Unknown && std::holds_alternative<std::monostate>(service.asked))
        return textIn(language, withoutResult == WithoutResult::Unusable ? Text::ReasonResultUnusable : Text::ReasonResultNotSaved);
    if (service.outcome == Outcome::Unknown)
        return textIn(language, Text::ReasonProgramEnded);
    if (service.outcome == Outcome::NotLaunched)
        return textIn(language, Text::ReasonNeverReached);
    if (service.outcome != Outcome::Failed)
        return L"";
    if (!service.failure)
        return textIn(language, Text::ReasonReportedSuccess);
    if (!service.failure->kind) {
        const unsigned long error = service.failure->exitStatus.value_or(0);
        return textIn(language, Text::ReasonWindowsRefused, {std::to_wstring(error)}) + L"\r\n" + errorWords(error);
    }
    const wchar_t* command = commandName(*service.failure->kind);
    if (!service.failure->launched)
        return textIn(language, Text::ReasonNotLaunched, {command});
    if (!service.failure->exitStatus)
        return textIn(language, Text::ReasonStatusUnread, {command});
    const unsigned long status = *service.failure->exitStatus;
    std::wstring reason = textIn(language, Text::ReasonCommandExit, {command, std::to_wstring(status)});
    if (service.failure->kind == CommandKind::ScConfig)
        reason += L"\r\n" + errorWords(status);
    return reason;
}

// The mode the backup saved; nothing for a service left alone by choice, which it leaves out.
std::wstring beforeWords(Language language, const ServiceResult& service)
{
    const std::optional<BackupEntry>& before = service.before;
    if (!before && service.outcome == Outcome::LeftAloneByChoice)
        return kNothing;
    return before && before->mode ? modeWord(language, *before->mode, before->delayed)
                                   : notInstalled(language);
}

// What the run asked: the profile's action, or the mode a restore put back; nothing known for a run
// whose result was never saved.
std::wstring askedWords(Language language, const Asked& asked)
{
    if (const ActionKind* action = std::get_if<ActionKind>(&asked))
        return actionWords(wordingFor(language), *action);
    if (const PutBack* putBack = std::get_if<PutBack>(&asked))
        return textIn(language, Text::AskedPutBack, {modeWord(language, putBack->mode, putBack->delayed)});
    return kNothing;
}

// "禁用 → 自动": the mode the run left, then the mode now; nothing where it has not changed.
std::wstring changedSinceWords(Language language, const std::wstring& serviceKey, const std::vector<ModeChange>& changedSince)
{
    for (const ModeChange& change : changedSince) {
        if (change.serviceKey == serviceKey)
            return modeWord(language, change.to, change.toDelayed) + L" → " + modeWord(language, change.from, change.fromDelayed);
    }
    return L"";
}

// A log label as a number and its decimal, "38.1" as {38, 1}.
std::pair<int, int> labelNumber(const std::wstring& label)
{
    std::pair<int, int> number{0, 0};
    int* part = &number.first;
    for (const wchar_t c : label) {
        if (c == L'.')
            part = &number.second;
        else if (c >= L'0' && c <= L'9')
            *part = *part * 10 + (c - L'0');
    }
    return number;
}

bool showsNeeded(const std::optional<WindowsVersion>& windows)
{
    return windows && generationOf(*windows) == WindowsGeneration::VistaAndLater;
}

bool lessInColumn(const std::wstring& a, const std::wstring& b, std::size_t column)
{
    if (column == 0)
        return labelNumber(a) < labelNumber(b);
    return a < b;
}

}  // namespace

std::vector<Text> profileColumns(const std::optional<WindowsVersion>& windows)
{
    if (!showsNeeded(windows))
        return {Text::ColumnLabel, Text::ColumnName, Text::ColumnKey, Text::ColumnNow, Text::ColumnAction, Text::ColumnChange};
    return {Text::ColumnLabel, Text::ColumnName,   Text::ColumnKey,   Text::ColumnNow,
            Text::ColumnAction, Text::ColumnNeeded, Text::ColumnChange};
}

std::vector<Text> ownColumns(const std::optional<WindowsVersion>& windows)
{
    std::vector<Text> columns = profileColumns(windows);
    columns.insert(columns.begin() + 4, Text::ColumnChoice);
    return columns;
}

const std::vector<Text>& resultColumns()
{
    static const std::vector<Text> columns = {Text::ColumnLabel, Text::ColumnName,  Text::ColumnKey,
                                              Text::ColumnBefore, Text::ColumnAsked, Text::ColumnAfter,
                                              Text::ColumnResult, Text::ColumnSince};
    return columns;
}

namespace {

// The rows of a plan as a profile's view shows them; choiceWord, where given, says the user's
// choice for a row's service before what the row does.
std::vector<ServiceRow> plannedRows(const PlanInputs& inputs, const std::optional<WindowsVersion>& windows,
                                    Language language, const std::function<std::wstring(const std::wstring&)>& choiceWord)
{
    const Wording& words = wordingFor(language);
    std::vector<ServiceRow> rows;
    for (const PlannedRow& row : planRows(inputs)) {
        const std::wstring& key = row.step.serviceKey;
        const std::wstring action = row.inProfile ? actionWords(words, row.asked) : kNothing;
        const std::wstring state = row.now ? stateWords(language, *row.now) : notInstalled(language);
        std::vector<std::wstring> cells = {row.step.label, serviceName(language, key), key, state};
        if (choiceWord)
            cells.push_back(choiceWord(key));
        cells.push_back(action);
        if (showsNeeded(windows))
            cells.push_back(row.needed ? textIn(language, Text::NeededHere) : L"");
        cells.push_back(fateWord(words, row.fate));
        rows.push_back({key, std::move(cells), L"", !choiceWord && choiceCanChange(row), false, row.now.has_value()});
    }
    return rows;
}

}  // namespace

// As status says it, and as a run does where the warning's recommended answer leaves the services
// this Windows needs alone.
std::vector<ServiceRow> profileRows(Profile profile, const Answers& answers,
                                    const std::vector<std::optional<ServiceState>>& states,
                                    const std::optional<WindowsVersion>& windows, Language language,
                                    const std::vector<std::wstring>& skipped)
{
    return plannedRows(inputsFor(profile, answers, skipped, windows, states, NeededServices::LeftAlone), windows,
                       language, nullptr);
}

std::vector<ServiceRow> ownRows(const OwnProfile& own, const std::vector<std::optional<ServiceState>>& states,
                                const std::optional<WindowsVersion>& windows, Language language)
{
    const Answers noAnswers;
    PlanInputs inputs = inputsFor(Profile::Own, noAnswers, {}, windows, states, NeededServices::LeftAlone);
    inputs.own = own;
    return plannedRows(inputs, windows, language,
                       [&](const std::wstring& key) { return ownModeWord(language, ownModeOf(own, key)); });
}

std::wstring ownModeWord(Language language, OwnMode mode)
{
    const std::optional<OwnStart> start = startOf(mode);
    return start ? modeWord(language, start->mode, start->delayed) : textIn(language, Text::OwnUnchanged);
}

std::wstring guidanceNotes(const std::wstring& serviceKey, const std::wstring& machineName, Language language)
{
    const std::vector<Citation> citations = citationsFor(serviceKey);
    const std::optional<AnswerFlag> question = questionOf(serviceKey);
    if (citations.empty() || !question)
        return L"";
    const TableLanguage inTables = tableLanguageOf(language);
    std::wstring text = textIn(language, Text::PaneQuestion, {fromUtf8(questionTopicIn(inTables, *question))}) + L"\r\n";
    if (!machineName.empty() && machineName != displayNameOf(serviceKey))
        text += textIn(language, Text::PaneMachineName, {machineName}) + L"\r\n";
    if (isUserTemplate(serviceKey))
        text += std::wstring(textIn(language, Text::PaneUserTemplate)) + L"\r\n";
    text += std::wstring(textIn(language, Text::PaneSources)) + L"\r\n";
    for (const Citation& citation : citations) {
        text += textIn(language, Text::PaneCitation,
                       {fromUtf8(citation.from->id), fromUtf8(citedEdition(citation, inTables).title),
                        fromUtf8(citedWords(citation, inTables))})
            + L"\r\n";
    }
    return text;
}

std::vector<ServiceRow> resultRows(const RunResult& result, Language language, const ErrorWords& errorWords,
                                   const std::vector<ModeChange>& changedSince, WithoutResult withoutResult)
{
    std::vector<ServiceRow> rows;
    for (const ServiceResult& service : result.services) {
        const std::wstring& key = service.serviceKey;
        // A service whose command never finished was not read back: nothing is known of it after.
        std::wstring after = service.after ? stateWords(language, *service.after) : notInstalled(language);
        if (!service.after && service.outcome == Outcome::Unknown)
            after = kNothing;
        rows.push_back({key,
                        {labelOf(key), serviceName(language, key), key, beforeWords(language, service),
                         askedWords(language, service.asked), after, outcomeWord(wordingFor(language), service.outcome),
                         changedSinceWords(language, key, changedSince)},
                        failureReason(service, language, errorWords, withoutResult), false,
                        service.outcome == Outcome::Unknown, service.after.has_value()});
    }
    return rows;
}

void sortRows(std::vector<ServiceRow>& rows, std::size_t column, bool ascending)
{
    std::stable_sort(rows.begin(), rows.end(), [&](const ServiceRow& a, const ServiceRow& b) {
        const std::wstring& left = a.cells[column];
        const std::wstring& right = b.cells[column];
        return ascending ? lessInColumn(left, right, column) : lessInColumn(right, left, column);
    });
}

namespace {

std::wstring tabSeparated(const std::vector<std::wstring>& cells)
{
    std::wstring line;
    for (std::size_t i = 0; i < cells.size(); ++i)
        line += (i ? L"\t" : L"") + cells[i];
    return line;
}

}  // namespace

std::wstring rowText(const ServiceRow& row)
{
    return tabSeparated(row.cells);
}

std::wstring copiedText(const std::vector<std::wstring>& titles, const std::vector<ServiceRow>& rows,
                        const std::vector<std::size_t>& chosen)
{
    std::wstring text;
    for (const std::size_t index : chosen) {
        if (index < rows.size())
            text += rowText(rows[index]) + L"\r\n";
    }
    return text.empty() ? text : tabSeparated(titles) + L"\r\n" + text;
}

}  // namespace quillora::ui
