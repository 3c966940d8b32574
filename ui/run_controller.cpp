#include "ui/run_controller.h"

#include "engine/backup_store.h"
#include "engine/utf8.h"

namespace quillora::ui {
namespace {

// Thrown out of a run's message processing once the program has ended, and caught where that run
// started, so that it stops after its current step. On Windows the end of the program never
// returns and this is never thrown; it matters where a test stands in for the end.
struct RunAbandoned {};

// Counts a run as under way for as long as it lives.
class UnderWay {
public:
    explicit UnderWay(int& count) : count_(count) { ++count_; }
    ~UnderWay() { --count_; }
    UnderWay(const UnderWay&) = delete;
    UnderWay& operator=(const UnderWay&) = delete;

private:
    int& count_;
};

}  // namespace

RunController::RunController(platform::Desktop& desktop, RunDisplay& display) : desktop_(desktop), display_(display)
{
}

void RunController::start(Profile profile)
{
    backUpBeforeRun();
    display_.present();
    const UnderWay running(runsUnderWay_);
    try {
        runProfile(profileSteps(profile), answers_, display_, platform_);
    } catch (const RunAbandoned&) {
    }
}

void RunController::endProgram()
{
    ended_ = true;
    desktop_.endProgram();
}

// Keeps the start modes a run is about to change, so that the user's own settings can be put back
// (the main window's undo, quillora-cli restore --last).
void RunController::backUpBeforeRun()
{
    const auto notSaved = [](const PlatformFailure& failure, const std::wstring& where) {
        return PlatformFailure(failure.number(), L"无法保存运行前的服务备份" + where + L"\r\n" + failure.description());
    };
    try {
        saveAutomaticBackup(desktop_.machine());
    } catch (const FileFailure& failure) {
        throw notSaved(failure, L" " + fromUtf8(failure.path()));
    } catch (const PlatformFailure& failure) {
        throw notSaved(failure, L"");
    }
}

void RunController::RunPlatform::launch(const std::wstring& commandLine, int showState)
{
    controller_.desktop_.launch(commandLine, showState);
}

void RunController::RunPlatform::processPendingMessages()
{
    controller_.desktop_.processPendingMessages();
    if (controller_.ended_)
        throw RunAbandoned{};
}

}  // namespace quillora::ui
