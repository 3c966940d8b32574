// The progress window adds to its log by inserting at the end. A user must not be able to tell
// that from the log written the plain way, by replacing the whole text at every step: two real
// progress windows, one written each way, go through the same sequences and are compared.
#include <doctest.h>

#include <windows.h>

#include "tests/support/engine_doubles.h"
#include "tests/support/golden.h"
#include "tests/support/wide_strings.h"
#include "tests/ui/test_desktop.h"
#include "ui/ids/identifiers.h"

using namespace quillora;
using namespace quillora::testing;
using ui::ProgressControls;
using ui::ProgressWindow;

namespace {

// The same window, written the plain way: read the whole text and write it back extended.
class ReplacingLog : public ProgressLog {
public:
    explicit ReplacingLog(ProgressWindow& window) : window_(window) {}
    std::wstring text() override { return window_.text(); }
    void setText(const std::wstring& text) override { window_.setText(text); }
    void setCaption(const std::wstring& caption) override { window_.setCaption(caption); }
    void setStatusLabel(const std::wstring& status) override { window_.setStatusLabel(status); }
    void enableExit() override { window_.enableExit(); }

private:
    ProgressWindow& window_;
};

// All a user can see of a log box, and what its undo and modified flag would do.
struct BoxState {
    std::wstring text;
    DWORD selectionStart, selectionEnd;
    LRESULT firstVisibleLine;
    int scrollPosition;
    bool canUndo, modified;
    bool operator==(const BoxState&) const = default;
};

BoxState stateOf(ProgressWindow& window)
{
    const HWND box = window.control(ProgressControls::LogBox);
    BoxState state{};
    state.text = window.text();
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&state.selectionStart),
                 reinterpret_cast<LPARAM>(&state.selectionEnd));
    state.firstVisibleLine = SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0);
    state.scrollPosition = GetScrollPos(box, SB_VERT);
    state.canUndo = SendMessageW(box, EM_CANUNDO, 0, 0) != 0;
    state.modified = SendMessageW(box, EM_GETMODIFY, 0, 0) != 0;
    return state;
}

void checkSame(ProgressWindow& appended, ProgressWindow& replaced)
{
    const BoxState a = stateOf(appended);
    const BoxState b = stateOf(replaced);
    CHECK(a.text == b.text);
    CHECK(a.selectionStart == b.selectionStart);
    CHECK(a.selectionEnd == b.selectionEnd);
    CHECK(a.firstVisibleLine == b.firstVisibleLine);
    CHECK(a.scrollPosition == b.scrollPosition);
    CHECK(a.canUndo == b.canUndo);
    CHECK(a.modified == b.modified);
}

// What a user does to a box: click somewhere, type, scroll down.
void userTypes(ProgressWindow& window, const wchar_t* typed)
{
    const HWND box = window.control(ProgressControls::LogBox);
    const auto length = static_cast<WPARAM>(GetWindowTextLengthW(box));
    SendMessageW(box, EM_SETSEL, length / 2, length / 2);
    for (const wchar_t* c = typed; *c; ++c)
        SendMessageW(box, WM_CHAR, *c, 0);
    SendMessageW(box, WM_VSCROLL, SB_BOTTOM, 0);
}

// Two progress windows of one program, side by side, written each way.
struct TwoLogs {
    ProgramFixture f;
    ProgressWindow& appended = f.program.progressWindow;
    ProgressWindow replaced{f.program.host};
    ReplacingLog replacing{replaced};

    TwoLogs()
    {
        appended.show();
        replaced.show();
    }
};

// Runs one step into both windows and compares them.
void stepBoth(TwoLogs& logs, const PlannedRow& row, bool last)
{
    RecordingPlatform quiet;
    runStep(row, last, logs.appended, quiet);
    runStep(row, last, logs.replacing, quiet);
    checkSame(logs.appended, logs.replaced);
}

// The profile's rows as the program plans them for any machine, the answers all no.
std::vector<PlannedRow> rowsOf(Profile profile)
{
    static const Answers answers;
    return profilePlan(inputsForOtherMachines(profile, answers, Lists::Designed));
}
}  // namespace

TEST_CASE("appending and replacing leave the same box after every step of a run")
{
    TwoLogs logs;
    const std::vector<PlannedRow> steps = rowsOf(Profile::Restore);
    for (std::size_t i = 0; i < steps.size(); ++i)
        stepBoth(logs, steps[i], i + 1 == steps.size());
    CHECK(logs.appended.text() == goldenLog("restore"));
    // A second run in the same window, as a nested run or a run after an earlier one does.
    for (const PlannedRow& row : rowsOf(Profile::Automatic))
        stepBoth(logs, row, false);
}

TEST_CASE("appending and replacing agree after the user typed, selected and scrolled in the box")
{
    TwoLogs logs;
    const std::vector<PlannedRow> steps = rowsOf(Profile::Automatic);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (i % 7 == 3) {
            userTypes(logs.appended, L"note\r");
            userTypes(logs.replaced, L"note\r");
            checkSame(logs.appended, logs.replaced);
            CHECK(stateOf(logs.appended).modified);
        }
        if (i == 20) {
            // The user empties the box.
            SetWindowTextW(logs.appended.control(ProgressControls::LogBox), L"");
            SetWindowTextW(logs.replaced.control(ProgressControls::LogBox), L"");
        }
        stepBoth(logs, steps[i], i + 1 == steps.size());
    }
}

TEST_CASE("appending and replacing agree in windows closed and loaded again mid-run, and on a megabyte")
{
    TwoLogs logs;
    const std::vector<PlannedRow> steps = rowsOf(Profile::Automatic);
    stepBoth(logs, steps[0], false);
    logs.appended.unload();
    logs.replaced.unload();
    stepBoth(logs, steps[1], false);
    CHECK_FALSE(logs.appended.isVisible());

    std::wstring megabyte;
    while (megabyte.size() < 1024 * 1024)
        megabyte += L"an earlier log line " + std::to_wstring(megabyte.size()) + L"\r\n";
    logs.appended.setText(megabyte);
    logs.replaced.setText(megabyte);
    // On a megabyte the next steps and the last are compared. The steps between, each like those
    // and compared on a short log above, go to the appended box alone, and the replaced box is
    // given its text before the last: writing a megabyte back at every step took half a minute
    // under Wine.
    constexpr std::size_t kCompared = 6;
    for (std::size_t i = 2; i < kCompared; ++i)
        stepBoth(logs, steps[i], false);
    RecordingPlatform quiet;
    for (std::size_t i = kCompared; i + 1 < steps.size(); ++i)
        runStep(steps[i], false, logs.appended, quiet);
    logs.replaced.setText(logs.appended.text());
    stepBoth(logs, steps.back(), true);
    const std::wstring automatic = goldenLog("automatic");
    const std::size_t thirdLine = automatic.find(L"\r\n", automatic.find(L"\r\n") + 2) + 2;
    CHECK(logs.appended.text() == megabyte + automatic.substr(thirdLine));
}
