#include "ui/reason_words.h"

#include "engine/text/printable.h"

namespace quillora::ui {
namespace {

Text textOf(FileProblem problem)
{
    switch (problem) {
    case FileProblem::IsFolder:
        return Text::ProblemIsFolder;
    case FileProblem::NotAResult:
        return Text::ProblemNotAResult;
    case FileProblem::Empty:
        return Text::ProblemEmpty;
    case FileProblem::SavedAsUtf16:
        return Text::ProblemUtf16;
    case FileProblem::NotUtf8:
        return Text::ProblemNotUtf8;
    case FileProblem::LineEnds:
        return Text::ProblemLineEnds;
    case FileProblem::LineTooLong:
        return Text::ProblemLineTooLong;
    case FileProblem::NotABackup:
        return Text::ProblemNotABackup;
    case FileProblem::UnknownVersion:
        return Text::ProblemUnknownVersion;
    case FileProblem::ExpectedKeyAndMode:
        return Text::ProblemKeyAndMode;
    case FileProblem::UnknownKey:
        return Text::ProblemUnknownKey;
    case FileProblem::UnknownMode:
        return Text::ProblemUnknownMode;
    case FileProblem::DelayedNotAutomatic:
        return Text::ProblemDelayed;
    case FileProblem::LastLineCut:
        return Text::ProblemLastLineCut;
    case FileProblem::AfterEndLine:
        return Text::ProblemAfterEnd;
    case FileProblem::KeyTwice:
        return Text::ProblemKeyTwice;
    case FileProblem::EndLineMissing:
        break;
    }
    return Text::ProblemEndMissing;
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

}  // namespace quillora::ui
