#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/machine/failure.h"
#include "engine/run/recording.h"

namespace quillora::testing {

// A recording platform whose message points can run test code (a click, a window closed by the
// user) and whose n-th launch can be refused.
class ScriptedPlatform : public RecordingPlatform {
public:
    void launch(const std::wstring& commandLine, int showState) override
    {
        if (refusedLaunch && launches.size() == *refusedLaunch)
            throw PlatformFailure(2, L"The system cannot find the file specified.");
        RecordingPlatform::launch(commandLine, showState);
    }

    void processPendingMessages() override
    {
        RecordingPlatform::processPendingMessages();
        if (atMessages)
            atMessages(messagePumps);
    }

    std::optional<std::size_t> refusedLaunch;  // 0-based index among all launches
    std::function<void(int pumpNumber)> atMessages;
};

// A hand-made step as a run plans it for other machines: launched as its action says, the answer
// read when the run reaches it.
inline PlannedRow planned(const ServiceStep& step, const Answers& answers)
{
    PlannedRow row;
    row.step = step;
    row.inProfile = true;
    row.asked = row.action = performedAction(step, answers);
    if (effectOf(row.action).keeps)
        row.leftAlone = LeftAlone::AsWindowsHasIt;
    else
        row.commands = serviceCommands(row.action, step.serviceKey);
    row.mode = effectOf(row.action).mode;
    return row;
}

// Runs hand-made steps in order, as a run of a profile runs its rows.
inline void runSteps(const std::vector<ServiceStep>& steps, const Answers& answers, ProgressLog& log, Platform& platform)
{
    runRows(steps.size(), [&](std::size_t i) { return planned(steps[i], answers); }, log, platform);
}

// One load of the progress window, in its load state until a run writes to it.
struct LoadedProgressWindow {
    std::wstring text;
    std::wstring caption = L"正在优化系统服务...";
    std::wstring statusLabel = L"正在优化系统服务，请稍等......";
    bool exitEnabled = false;
};

// The progress window as the program has it: loaded, in its load state, by the first access;
// closed by the user at any time; loaded afresh by the next access after a close.

class ReloadingProgressLog : public ProgressLog {
public:
    using Window = LoadedProgressWindow;

    std::wstring text() override { return current().text; }
    void setText(const std::wstring& text) override { current().text = text; }
    void setCaption(const std::wstring& caption) override { current().caption = caption; }
    void setStatusLabel(const std::wstring& status) override { current().statusLabel = status; }
    void enableExit() override { current().exitEnabled = true; }

    Window& current()
    {
        if (!window) {
            window.emplace();
            ++loads;
        }
        return *window;
    }
    void close() { window.reset(); }

    std::optional<Window> window;
    int loads = 0;
};

}  // namespace quillora::testing
