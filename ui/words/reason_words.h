#pragma once

#include <string>

#include "engine/machine/failure.h"
#include "engine/records/transaction/machine_run.h"
#include "engine/text/file_problem.h"
#include "ui/words/texts.h"

namespace quillora::ui {

// Why a file or the system refused, as a window says it: a problem the program found itself in the
// window's language, with whatever it quotes from the file shown visibly; the system's reason in
// the system's own words.

// "第 3 行：未知的启动类型（…）：“ALG→manual”".
std::wstring reasonIn(Language language, const FileProblemError& error);

// The program's own words for a problem it found, else the system's description.
std::wstring reasonIn(Language language, const PlatformFailure& failure);

// The file a failure names, shown visibly and whole; empty where it names none.
std::wstring failedFile(const PlatformFailure& failure);

// What a box says of a file that failed: the text, its "{1}" the file, then the reason on a line
// of its own.
std::wstring failureText(Language language, Text what, const PlatformFailure& failure);

// What a box says of a problem of a run: its file named by what it is (the result, the history),
// or the read of the services after a change that failed. resultPath: the run's result file.
std::wstring runProblemText(Language language, const RunProblem& problem, const std::string& resultPath);

}  // namespace quillora::ui
