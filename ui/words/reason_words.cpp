#include "ui/words/reason_words.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "engine/text/printable.h"

namespace quillora::ui {
namespace {

// The windows' text for each problem the program finds in a file.
constexpr std::pair<FileProblem, Text> kProblemTexts[] = {
    {FileProblem::IsFolder, Text::ProblemIsFolder},
    {FileProblem::NotAResult, Text::ProblemNotAResult},
    {FileProblem::NotAJournal, Text::ProblemNotAJournal},
    {FileProblem::NotAHistory, Text::ProblemNotAHistory},
    {FileProblem::Empty, Text::ProblemEmpty},
    {FileProblem::SavedAsUtf16, Text::ProblemUtf16},
    {FileProblem::NotUtf8, Text::ProblemNotUtf8},
    {FileProblem::LineEnds, Text::ProblemLineEnds},
    {FileProblem::LineTooLong, Text::ProblemLineTooLong},
    {FileProblem::NotABackup, Text::ProblemNotABackup},
    {FileProblem::UnknownVersion, Text::ProblemUnknownVersion},
    {FileProblem::ExpectedKeyAndMode, Text::ProblemKeyAndMode},
    {FileProblem::UnknownKey, Text::ProblemUnknownKey},
    {FileProblem::UnknownMode, Text::ProblemUnknownMode},
    {FileProblem::DelayedNotAutomatic, Text::ProblemDelayed},
    {FileProblem::LastLineCut, Text::ProblemLastLineCut},
    {FileProblem::AfterEndLine, Text::ProblemAfterEnd},
    {FileProblem::KeyTwice, Text::ProblemKeyTwice},
    {FileProblem::EndLineMissing, Text::ProblemEndMissing},
    {FileProblem::NotAProfile, Text::ProblemNotAProfile},
    {FileProblem::ModeNotForProfile, Text::ProblemModeNotForProfile},
};
static_assert(std::size(kProblemTexts) == static_cast<std::size_t>(FileProblem::ModeNotForProfile) + 1,
              "a text for every problem");

Text textOf(FileProblem problem)
{
    const auto found = std::find_if(std::begin(kProblemTexts), std::end(kProblemTexts),
                                    [&](const auto& entry) { return entry.first == problem; });
    return found->second;
}

}  // namespace

std::wstring reasonIn(Language language, const FileProblemError& error)
{
    const std::wstring what = textIn(language, textOf(error.problem()), {visibly(error.quotedText())});
    if (error.line() <= 0)
        return what;
    return textIn(language, Text::ReasonAtLine, {std::to_wstring(error.line()), what});
}

std::wstring reasonIn(Language language, const PlatformFailure& failure)
{
    if (failure.problem())
        return textIn(language, textOf(*failure.problem()));
    return failure.description();
}

std::wstring failedFile(const PlatformFailure& failure)
{
    const auto* file = dynamic_cast<const FileFailure*>(&failure);
    return file ? visibly(file->path(), file->path().size()) : L"";
}

std::wstring failureText(Language language, Text what, const PlatformFailure& failure)
{
    return textIn(language, what, {failedFile(failure)}) + L"\r\n" + reasonIn(language, failure);
}

std::wstring runProblemText(Language language, const RunProblem& problem, const std::string& resultPath)
{
    if (problem.kind == RunProblem::Kind::ServicesNotReadBack)
        return textIn(language, Text::ResultNotRead, {visibly(resultPath, resultPath.size())}) + L"\r\n"
            + reasonIn(language, problem.failure);
    const Text what = problem.file == RunFile::History ? Text::HistoryNotKept
        : problem.file == RunFile::Result              ? Text::ResultNotSaved
        : problem.file == RunFile::Journal             ? Text::JournalNotKept
                                                       : Text::BackupNotSaved;
    return failureText(language, what, problem.failure);
}

}  // namespace quillora::ui
