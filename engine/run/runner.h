#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/catalogue/wording.h"
#include "engine/plan/plan.h"

namespace quillora {

// The progress window as a run sees it. Every call goes to the window that exists at that moment:
// an implementation must not hold on to one window, because the user may close it while the run
// lets messages through, and the next call then has to reach a freshly loaded one.
class ProgressLog {
public:
    virtual ~ProgressLog() = default;
    virtual std::wstring text() = 0;
    virtual void setText(const std::wstring& text) = 0;
    // Adds to the end of the log. Whatever the window does, the user must see exactly what
    // replacing the whole text with text() + more would show; this is that, for doubles.
    virtual void append(const std::wstring& more) { setText(text() + more); }
    // Whether the log is empty or ends with a line end: what a window can tell without handing
    // over its whole text.
    virtual bool atLineStart()
    {
        const std::wstring log = text();
        return log.empty() || log.ends_with(L"\r\n");
    }
    virtual void setCaption(const std::wstring& caption) = 0;
    virtual void setStatusLabel(const std::wstring& status) = 0;
    virtual void enableExit() = 0;
    // The words the run writes, read at every step: a window whose language changes during a run
    // gets the new words from the next line on.
    virtual const Wording& words() { return kChineseWording; }
};

// What a run needs from the operating system. Both calls may throw PlatformFailure.
class Platform {
public:
    virtual ~Platform() = default;
    // Starts the command line with the given window-show state and returns at once.
    virtual void launch(const std::wstring& commandLine, int showState) = 0;
    // Handles every message already waiting, then returns. Other runs may start and finish in here.
    virtual void processPendingMessages() = 0;
    // The row is about to launch its commands, in their order (none for a row left alone): what
    // follows until the next row belongs to it, even where a launch is refused half-way. Told of
    // every row, those left alone too.
    virtual void stepStarts(const PlannedRow&) {}
};

inline constexpr wchar_t kLineEnd[] = L"\r\n";
inline constexpr wchar_t kDashLine[] = L"-----------------------------------------------------------";

// The text the last step writes after its own line: the dash line and the completion sentence,
// which is left without a line end.
std::wstring closingBanner(const Wording& words = kChineseWording);

// "label:displayName:mode", with no line end; the word for a row left alone in place of the mode.
std::wstring logLine(const PlannedRow& row, const Wording& words = kChineseWording);

// Launches the row's commands, appends its log line (and, for the last row of a run, the closing
// banner) and lets pending messages through.
void runStep(const PlannedRow& row, bool lastOfRun, ProgressLog& log, Platform& platform);

// Runs count rows in order, each planned by rowAt when the run reaches it, then marks the progress
// window as complete.
void runRows(std::size_t count, const std::function<PlannedRow(std::size_t)>& rowAt, ProgressLog& log,
             Platform& platform);

// Runs every row of the profile in order and then marks the progress window as complete. Each row
// is planned when the run reaches it, so a run nested inside this one, or an answer given
// meanwhile, counts for the rows not yet reached. A PlatformFailure stops the run where it
// happened and reaches the caller; nothing after that point is done.
void runPlan(const PlanInputs& inputs, ProgressLog& log, Platform& platform);

}  // namespace quillora
