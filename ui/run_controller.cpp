#include "ui/run_controller.h"

#include "engine/backup_store.h"
#include "engine/utf8.h"
#include "engine/windows_needs.h"
#include "ui/identifiers.h"

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

// The warning before a run that would stop or disable services this Windows needs: which Windows,
// and each service with its name, key and what it does.
std::wstring neededServicesWarning(const WindowsVersion& version, const std::vector<ServiceStep>& needed)
{
    std::wstring text = L"这台电脑运行的是 " + fromUtf8(windowsName(version))
        + L"。这次优化会停止或禁用下面这些服务，而这个版本的 Windows 需要它们：\r\n\r\n";
    for (const ServiceStep& step : needed)
        text += L"    " + step.displayName + L" (" + step.serviceKey + L")：" + purposeInChinese(step.serviceKey) + L"\r\n";
    return text + L"\r\n是：保留这些服务不变，只优化其余的服务。\r\n否：仍然优化全部服务。\r\n取消：不做任何更改。";
}

}  // namespace

RunController::RunController(platform::Desktop& desktop, RunDisplay& display) : desktop_(desktop), display_(display)
{
}

void RunController::start(Profile profile, HWND owner)
{
    const std::optional<std::vector<ServiceStep>> steps = stepsToRun(profile, owner);
    if (!steps)
        return;
    backUpBeforeRun();
    display_.present();
    const UnderWay running(runsUnderWay_);
    try {
        runProfile(*steps, answers_, display_, platform_);
    } catch (const RunAbandoned&) {
    }
}

// The profile's steps, with the services this Windows needs left alone where the user chooses so;
// nullopt when the user cancels. Windows XP and Server 2003 need none of them: nothing is asked.
std::optional<std::vector<ServiceStep>> RunController::stepsToRun(Profile profile, HWND owner)
{
    std::vector<ServiceStep> steps = profileSteps(profile);
    const std::optional<WindowsVersion> version = desktop_.machine().windowsVersion();
    if (!version)
        return steps;
    const std::vector<ServiceStep> needed = neededServicesTouched(steps, answers_, generationOf(*version));
    if (needed.empty())
        return steps;
    switch (desktop_.warnAndChoose(owner, neededServicesWarning(*version, needed), kMainCaption)) {
    case platform::Desktop::Choice::Yes:
        return leavingAlone(std::move(steps), needed);
    case platform::Desktop::Choice::No:
        return steps;
    case platform::Desktop::Choice::Cancel:
        break;
    }
    return std::nullopt;
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
