// The rules of a run, on the run controller itself: backup first, nesting, the end of the program.
// No window is clicked; the progress window is a display in memory.
#include <doctest.h>

#include <windows.h>

#include "engine/records/backups/backup_store.h"
#include "tests/support/golden.h"
#include "tests/support/memory_machine.h"
#include "tests/support/text_helpers.h"
#include "tests/ui/test_desktop.h"
#include "ui/runs/run_controller.h"

using namespace quillora;
using namespace quillora::testing;

namespace {


// The progress window in memory; it notes what the world looked like each time a run brought it
// up.
class MemoryDisplay : public ui::RunDisplay {
public:
    explicit MemoryDisplay(TestDesktop& desktop) : desktop_(desktop) {}

    std::wstring text() override { return log; }
    void setText(const std::wstring& text) override { log = text; }
    void setCaption(const std::wstring& text) override { caption = text; }
    void setStatusLabel(const std::wstring& text) override { statusLabel = text; }
    void enableExit() override { exitEnabled = true; }
    void present() override
    {
        presentedAfter.push_back({backups(), desktop_.recorder.launches.size()});
    }
    void showRunning() override
    {
        caption = L"正在优化系统服务...";
        statusLabel = L"正在优化系统服务，请稍等......";
        exitEnabled = false;
        ++runningShown;
    }
    void showMakingRestorePoint() override { statusLabel = L"正在创建系统还原点，请稍等......"; }
    void showWaitingForEarlierCommands() override { statusLabel = L"正在等待之前的命令结束......"; }
    void withdraw() override { ++withdrawn; }

    std::size_t backups() { return storedBackups(desktop_.memoryMachine).size(); }

    struct Moment {
        std::size_t backups;
        std::size_t launches;
    };
    std::vector<Moment> presentedAfter;
    std::wstring log;
    std::wstring caption;
    std::wstring statusLabel;
    bool exitEnabled = false;
    int runningShown = 0;
    int withdrawn = 0;

private:
    TestDesktop& desktop_;
};

struct Runs {
    TestDesktop desktop;
    MemoryDisplay display{desktop};
    ui::WindowHost host{GetModuleHandleW(nullptr), DefWindowProcW, desktop, ui::Language::Chinese};
    RunResults results{desktop, desktop.machine};
    ChosenSkips skips{desktop.machine};
    KeptOwnProfile own{desktop.machine};
    ui::RunController controller{desktop, desktop, desktop.machine, results, skips, own, display, host, desktop.restorePoints};
};

// The first n lines of a log, each with its line end.
std::wstring firstLines(const std::wstring& log, int n)
{
    std::size_t end = 0;
    for (int line = 0; line < n; ++line)
        end = log.find(L"\r\n", end) + 2;
    return log.substr(0, end);
}

}  // namespace

TEST_CASE("each run, a nested one too, shows the progress window first, then saves the modes before its first launch")
{
    Runs r;
    MemoryServices& services = r.desktop.memoryMachine.memoryServices;
    services.services[L"Alerter"] = installed(StartMode::Automatic, RunState::Running);
    services.services[L"Spooler"] = installed(StartMode::Disabled, RunState::Stopped);

    std::vector<std::size_t> backupsAtPump;
    std::vector<bool> inProgressAtPump;
    r.desktop.recorder.atMessages = [&](int pump) {
        backupsAtPump.push_back(r.display.backups());
        inProgressAtPump.push_back(r.controller.inProgress());
        if (pump == 1)
            r.controller.start(Profile::Restore, nullptr);
    };
    CHECK_FALSE(r.controller.inProgress());
    r.controller.start(Profile::Automatic, nullptr);

    REQUIRE(r.display.presentedAfter.size() == 2);
    CHECK(r.display.presentedAfter[0].backups == 0);  // the outer run: shown first, as designed
    CHECK(r.display.presentedAfter[0].launches == 0);
    CHECK(r.display.presentedAfter[1].backups == 1);  // the nested run: after the outer's first step
    CHECK(r.display.presentedAfter[1].launches == 2);
    REQUIRE(backupsAtPump.size() == 59 + 60);
    CHECK(backupsAtPump.front() == 1);
    CHECK(backupsAtPump[1] == 2);
    CHECK(backupsAtPump.back() == 2);

    const std::string first = r.desktop.memoryMachine.memoryFiles.files.at(kBackups + "/auto-20261207-101500-01.txt").bytes;
    CHECK(first.find("\r\nAlerter\tauto\r\n") != std::string::npos);
    CHECK(first.find("\r\nSpooler\tdisabled\r\n") != std::string::npos);
    CHECK(first.find("\r\nMessenger\tabsent\r\n") != std::string::npos);
    CHECK(r.desktop.memoryMachine.memoryFiles.files.count(kBackups + "/auto-20261207-101500-02.txt") == 1);
    CHECK(services.changes.empty());

    // Under way at every message point, the nested run's and the outer run's after it; not after.
    CHECK(std::count(inProgressAtPump.begin(), inProgressAtPump.end(), true) == 59 + 60);
    CHECK_FALSE(r.controller.inProgress());

    // The nested restore run sits after the outer run's first line, then the outer run goes on.
    const std::wstring automatic = goldenLog("automatic");
    CHECK(r.display.log
          == firstLines(automatic, 1) + goldenLog("restore") + L"\r\n" + automatic.substr(firstLines(automatic, 1).size()));
    CHECK(r.desktop.recorder.launches.size() == 115 + 83);
    CHECK(r.display.exitEnabled);
}

TEST_CASE("a run whose backup is refused launches nothing and leaves no window saying that it runs")
{
    Runs r;
    r.desktop.memoryMachine.memoryFiles.readOnly = true;
    CHECK_THROWS_AS(r.controller.start(Profile::Automatic, nullptr), PlatformFailure);
    CHECK(r.display.presentedAfter.size() == 1);
    CHECK(r.display.withdrawn == 1);
    CHECK(r.desktop.recorder.launches.empty());
    CHECK(r.display.log.empty());
    CHECK_FALSE(r.controller.inProgress());

    // Nested: the refused backup stops the nested run only; the outer one goes on to its end.
    r.desktop.memoryMachine.memoryFiles.readOnly = false;
    std::optional<PlatformFailure> nestedFailure;
    r.desktop.recorder.atMessages = [&](int pump) {
        if (pump != 2)
            return;
        r.desktop.memoryMachine.memoryFiles.readOnly = true;
        try {
            r.controller.start(Profile::Restore, nullptr);
        } catch (const PlatformFailure& failure) {
            nestedFailure = failure;
        }
        r.desktop.memoryMachine.memoryFiles.readOnly = false;
    };
    r.controller.start(Profile::Automatic, nullptr);
    CHECK(nestedFailure.has_value());
    CHECK(r.display.presentedAfter.size() == 3);
    CHECK(r.display.withdrawn == 1);  // the outer run's window stays as it is
    CHECK(r.display.log == goldenLog("automatic"));

    // The services are this program's until the run's commands have ended; then another program's
    // run holds them, and a run here says so and does nothing: no backup, no launch, no window.
    CHECK(r.controller.holdsServices());
    r.results.collect();
    CHECK_FALSE(r.controller.holdsServices());
    r.desktop.memoryMachine.heldElsewhere = true;
    const std::size_t backups = r.display.backups();
    r.controller.start(Profile::Restore, nullptr);
    REQUIRE(r.desktop.notices.size() == 1);
    CHECK(r.desktop.notices[0].text
          == L"另一个程序（Quillora 或 quillora-cli）正在更改这台电脑的服务。请等它完成后再试。未做任何更改。");
    CHECK(r.desktop.notices[0].warning);
    CHECK(r.display.backups() == backups);
    CHECK(r.display.presentedAfter.size() == 3);
    CHECK(r.desktop.recorder.launches.size() == 115);
}

TEST_CASE("the end of the program stops every run after its current step")
{
    Runs r;
    SUBCASE("one run")
    {
        MemoryServices& services = r.desktop.memoryMachine.memoryServices;
        services.services[L"Alerter"] = installed(StartMode::Automatic, RunState::Running);
        r.desktop.stillRunning = {3};  // ALG's sc config
        r.desktop.recorder.atMessages = [&](int pump) {
            if (pump == 1)
                services.services[L"Alerter"] = installed(StartMode::Disabled, RunState::Stopped);
            if (pump == 5)
                r.controller.endProgram();
        };
        r.controller.start(Profile::Automatic, nullptr);
        CHECK(r.desktop.programEnds == 1);
        // The result was saved first, at once. ALG's command still ran, but ALG was not installed
        // before the run: it is not installed after it either.
        const std::string result = r.desktop.memoryMachine.memoryFiles.read(kBackups + "/auto-20261207-101500-01.result.log");
        CHECK(result.find("\r\nAlerter\tauto\tstop, disabled\tdisabled, stopped\tchanged\r\n") != std::string::npos);
        CHECK(result.find("\r\nALG\tabsent\tstop, disabled\tabsent\tnot installed\r\n") != std::string::npos);
        CHECK(r.desktop.forgotten.count(3) == 1);
        // Every row of the run is in its result: those it never reached as that.
        CHECK(countOf(result, "\tnot launched\r\n") == 59 - 5);
        CHECK(result.find("\r\nWZCSVC\tabsent\tstop, manual\tnot read\tnot launched\r\n") != std::string::npos);
        // The journal said each of the five services it reached before its commands.
        const std::string journal = r.desktop.memoryMachine.memoryFiles.read(kBackups + "/auto-20261207-101500-01.journal.log");
        CHECK(countOf(journal, "\r\nintent\t") == 59);
        CHECK(countOf(journal, "\r\nreached\t") == 5);
        CHECK(r.desktop.recorder.launches.size() == 10);
        CHECK(r.desktop.recorder.messagePumps == 5);
        CHECK(r.display.log == firstLines(goldenLog("automatic"), 5));
        CHECK_FALSE(r.display.exitEnabled);
        CHECK(r.display.caption == L"正在优化系统服务...");
    }
    SUBCASE("a nested run, and the run it is nested in")
    {
        r.desktop.recorder.atMessages = [&](int pump) {
            if (pump == 1)
                r.controller.start(Profile::Restore, nullptr);
            if (pump == 3)
                r.controller.endProgram();
        };
        r.controller.start(Profile::Automatic, nullptr);
        // The outer run's first step, the nested run's first two, and nothing after.
        CHECK(r.desktop.recorder.launches.size() == 2 + 3);
        CHECK(r.desktop.recorder.messagePumps == 3);
        CHECK(r.display.log == firstLines(goldenLog("automatic"), 1) + firstLines(goldenLog("restore"), 2));
        CHECK_FALSE(r.display.exitEnabled);
    }
    CHECK_FALSE(r.controller.inProgress());
}

TEST_CASE("the restore point is a run's first step, in sight: one request at a time, each point ended once")
{
    Runs r;
    AnsweringRestorePoints& points = r.desktop.restorePoints;
    points.answer = RestorePointAnswer{RestorePointAnswer::Kind::Made, 7};
    SUBCASE("a second click while Windows makes it shares it, and starts once Windows has answered")
    {
        bool clicked = false;
        points.whileMaking = [&] {
            CHECK(r.display.statusLabel == L"正在创建系统还原点，请稍等......");
            CHECK(r.display.presentedAfter.size() == 1);
            CHECK(r.display.backups() == 0);
            if (!std::exchange(clicked, true))
                r.controller.start(Profile::Restore, nullptr);
        };
        r.controller.start(Profile::Automatic, nullptr);
        CHECK(points.begun.size() == 1);
        CHECK(r.display.presentedAfter.size() == 2);
        const std::wstring automatic = goldenLog("automatic");
        CHECK(r.display.log
              == firstLines(automatic, 1) + goldenLog("restore") + L"\r\n" + automatic.substr(firstLines(automatic, 1).size()));
        CHECK(r.display.caption == L"优化完成！");
        CHECK(points.ended.empty());  // not before the last command of the runs it covers
        r.results.collect();
        CHECK(points.ended == std::vector<std::int64_t>{7});
        const std::string shared = r.desktop.memoryMachine.memoryFiles.read(kBackups + "/auto-20261207-101500-02.result.log");
        CHECK(shared.find("\r\nrestore-point\tshared 7\r\n") != std::string::npos);
    }
    SUBCASE("the main window closed meanwhile: no backup, no command, the point ended, then the program ends")
    {
        points.whileMaking = [&] {
            r.controller.endProgram();
            CHECK(r.desktop.windowsHidden == 1);
            CHECK(r.desktop.programEnds == 0);  // not before Windows has answered
        };
        r.controller.start(Profile::Automatic, nullptr);
        CHECK(r.desktop.programEnds == 1);
        CHECK(points.ended == std::vector<std::int64_t>{7});
        CHECK(r.display.backups() == 0);
        CHECK(r.desktop.recorder.launches.empty());
    }
    SUBCASE("where System Restore answers at once, nothing of it shows")
    {
        r.controller.start(Profile::Restore, nullptr);
        CHECK(r.display.statusLabel == L"优化完成！");
        CHECK(points.begun.size() == 1);
    }
}

TEST_CASE("a refused launch ends the run under way, and the next run can start")
{
    Runs r;
    r.desktop.recorder.refusedLaunch = 4;
    CHECK_THROWS_AS(r.controller.start(Profile::Automatic, nullptr), PlatformFailure);
    CHECK_FALSE(r.controller.inProgress());
    r.desktop.recorder.refusedLaunch.reset();
    r.display.log.clear();
    r.controller.start(Profile::Restore, nullptr);
    CHECK(r.display.log == goldenLog("restore"));
}

TEST_CASE("a saved choice that cannot be read: the run asks first; no launches nothing, yes runs as designed")
{
    for (const bool yes : {false, true}) {
        CAPTURE(yes);
        Runs r;
        r.desktop.memoryMachine.memoryFiles.createFolders("/home/user/Quillora");
        r.desktop.memoryMachine.memoryFiles.files["/home/user/Quillora/settings.ini"] = {"[Quillora]\r\nskip.automatic=Alerter\r\n", 1};
        r.desktop.memoryMachine.memoryFiles.unreadable.insert("/home/user/Quillora/settings.ini");
        r.desktop.answerYes = yes;
        r.controller.start(Profile::Automatic, nullptr);
        REQUIRE(r.desktop.questions.size() == 1);
        CHECK(r.desktop.questions[0].text.rfind(
                  L"无法读取您保存的对服务的选择 /home/user/Quillora/settings.ini：\r\nAccess is denied.\r\n\r\n", 0)
              == 0);
        if (yes) {
            CHECK(r.display.log == goldenLog("automatic"));
            CHECK(r.desktop.recorder.launches.size() == goldenCommandLines("automatic").size());
            CHECK(r.display.backups() == 1);
        } else {
            CHECK(r.desktop.recorder.launches.empty());
            CHECK(r.display.presentedAfter.empty());
            CHECK(r.display.backups() == 0);
        }
    }
}

TEST_CASE("what would stop a run waits for the last run to end, nested runs too, and is told in order")
{
    Runs r;
    std::vector<std::string> told;
    r.desktop.recorder.atMessages = [&](int pump) {
        if (pump == 3) {
            r.controller.afterRuns([&] { told.push_back("first"); });
            r.controller.start(Profile::Restore, nullptr);  // nested
            CHECK(told.empty());                            // the outer run still goes on
        } else if (pump == 10) {
            r.controller.afterRuns([&] { told.push_back("second"); });  // inside the nested run
        }
    };
    r.controller.start(Profile::Automatic, nullptr);
    CHECK(told == std::vector<std::string>{"first", "second"});
    r.controller.afterRuns([&] { told.push_back("idle"); });
    CHECK(told.back() == "idle");
}

TEST_CASE("a window tells the truth during a run: under way until the outermost run ends, a new run on a new line")
{
    Runs r;
    r.controller.start(Profile::Automatic, nullptr);
    CHECK(r.display.caption == L"优化完成！");
    CHECK(r.display.exitEnabled);
    CHECK(r.display.log == goldenLog("automatic"));

    // A second run in the window the first one completed.
    std::vector<std::wstring> captions;
    std::vector<bool> exits;
    r.desktop.recorder.atMessages = [&](int) {
        captions.push_back(r.display.caption);
        exits.push_back(r.display.exitEnabled);
    };
    r.controller.start(Profile::Restore, nullptr);
    REQUIRE(captions.size() == 60);
    CHECK(std::count(captions.begin(), captions.end(), L"正在优化系统服务...") == 60);
    CHECK(std::count(exits.begin(), exits.end(), false) == 60);
    CHECK(r.display.statusLabel == L"优化完成！");
    CHECK(r.display.exitEnabled);
    // Its first line starts a line of its own; nothing of the first run's log is lost.
    CHECK(r.display.log == goldenLog("automatic") + L"\r\n" + goldenLog("restore"));

    // A nested run's end leaves the window under way while the run it is nested in goes on.
    captions.clear();
    exits.clear();
    bool nested = false;
    r.desktop.recorder.atMessages = [&](int) {
        if (!nested) {
            nested = true;
            r.controller.start(Profile::Restore, nullptr);
        }
        captions.push_back(r.display.caption);
        exits.push_back(r.display.exitEnabled);
    };
    r.controller.start(Profile::Automatic, nullptr);
    CHECK(r.display.runningShown == 3);  // once a run from outside; the nested one found it under way
    CHECK(std::count(captions.begin(), captions.end(), L"正在优化系统服务...") == static_cast<long>(captions.size()));
    CHECK(std::count(exits.begin(), exits.end(), false) == static_cast<long>(exits.size()));
    CHECK(r.display.caption == L"优化完成！");
    CHECK(r.display.exitEnabled);

    // A run nested in the last step starts after that step's completion sentence, on a line of its
    // own, and nothing follows its own.
    r.display.log.clear();
    const int pumpsBefore = r.desktop.recorder.messagePumps;
    r.desktop.recorder.atMessages = [&](int pump) {
        if (pump == pumpsBefore + 59)
            r.controller.start(Profile::Restore, nullptr);
    };
    r.controller.start(Profile::Automatic, nullptr);
    CHECK(r.display.log == goldenLog("automatic") + L"\r\n" + goldenLog("restore"));
}

TEST_CASE("what waits for the runs is told when a run ends by a refused launch")
{
    Runs r;
    r.desktop.recorder.refusedLaunch = 4;
    std::vector<std::string> told;
    r.desktop.recorder.atMessages = [&](int pump) {
        if (pump == 1)
            r.controller.afterRuns([&] { told.push_back("waited"); });
    };
    CHECK_THROWS_AS(r.controller.start(Profile::Automatic, nullptr), PlatformFailure);
    CHECK(told == std::vector<std::string>{"waited"});
}

namespace {

// Tells the run controller, as the main window does, of every result that could not be saved.
class ProblemTeller : public ResultListener {
public:
    ProblemTeller(ui::RunController& runs, std::vector<std::string>& told) : runs_(runs), told_(told) {}
    void resultProblem(const RunProblem& problem, const std::string&) override
    {
        runs_.afterRuns([this, path = problem.failure.path()] { told_.push_back(path); });
    }

private:
    ui::RunController& runs_;
    std::vector<std::string>& told_;
};

}  // namespace

TEST_CASE("the end of the program tells a result it could not save, and what else waited")
{
    Runs r;
    std::vector<std::string> told;
    ProblemTeller teller(r.controller, told);
    r.results.listen(teller);
    r.desktop.recorder.atMessages = [&](int pump) {
        if (pump == 2)
            r.controller.afterRuns([&] { told.push_back("waited"); });
        if (pump == 5) {
            r.desktop.memoryMachine.memoryFiles.readOnly = true;
            r.controller.endProgram();
        }
    };
    r.controller.start(Profile::Automatic, nullptr);
    r.results.stopListening(teller);
    CHECK(r.desktop.waitsForLaunched == 1);
    CHECK(r.desktop.programEnds == 1);
    // Each file that could not be written is told, the history's too.
    CHECK(told == std::vector<std::string>{"waited", kBackups + "/auto-20261207-101500-01.result.log", kBackups + "/history.log"});
}
