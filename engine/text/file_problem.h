#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace quillora {

// What is wrong with a file the program was given to read, named so that every window can say it
// in its own language; the companion says it in English, as what() does.
enum class FileProblem {
    IsFolder,            // a folder stands where the file should be
    NotAResult,          // a run's result that is not whole
    NotAJournal,         // a run's journal that is not whole
    NotAHistory,         // a history of runs whose first line is not the program's
    Empty,
    SavedAsUtf16,
    NotUtf8,             // the line quoted
    LineEnds,            // the line quoted
    LineTooLong,         // the line quoted
    NotABackup,
    UnknownVersion,      // the line quoted
    ExpectedKeyAndMode,  // the line quoted
    UnknownKey,          // the line, or the key, quoted
    UnknownMode,         // the line quoted
    DelayedNotAutomatic, // the line quoted
    LastLineCut,         // the line quoted
    AfterEndLine,        // the line quoted
    KeyTwice,            // the line, or the key, quoted
    EndLineMissing,
    NotAProfile,         // an own profile's first line is neither a profile's nor a backup's
    ModeNotForProfile,   // the line quoted: a mode an own profile cannot set
};

// A file that cannot be used: what is wrong, the line at fault (1-based; 0 for the file as a
// whole) and the text it quotes, as it was in the file (empty where it quotes none).
class FileProblemError : public std::runtime_error {
public:
    // english: the whole message, in the companion's words.
    FileProblemError(FileProblem problem, int line, std::string quotedText, const std::string& english)
        : std::runtime_error(english), problem_(problem), line_(line), quotedText_(std::move(quotedText))
    {
    }

    FileProblem problem() const { return problem_; }
    int line() const { return line_; }
    const std::string& quotedText() const { return quotedText_; }

private:
    FileProblem problem_;
    int line_;
    std::string quotedText_;
};

}  // namespace quillora
