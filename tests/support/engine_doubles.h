#pragma once

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <optional>
#include <string>
#include <vector>

#include "engine/machine/failure.h"
#include "engine/plan/plan.h"
#include "engine/run/recording.h"
#include "engine/run/runner.h"

namespace quillora::testing {

// The command lines a recording platform saw launched, in order.
inline std::vector<std::wstring> commandLinesOf(const RecordingPlatform& platform)
{
    std::vector<std::wstring> lines;
    for (const RecordingPlatform::Launch& launch : platform.launches)
        lines.push_back(launch.commandLine);
    return lines;
}

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

// A row of the catalogue as the program's own planner plans it for other machines, in the profile
// whose row a test needs, with the answers as they are now.
inline PlannedRow planned(Profile profile, const std::wstring& serviceKey, const Answers& answers = {})
{
    const std::vector<std::wstring> keys = catalogueKeys(Lists::Designed);
    const auto found = std::find(keys.begin(), keys.end(), serviceKey);
    if (found == keys.end())
        throw std::invalid_argument("not a service of the catalogue");
    return planRow(inputsForOtherMachines(profile, answers, Lists::Designed), static_cast<std::size_t>(found - keys.begin()));
}

// Runs planned rows in order, as a run of a profile runs its own.
inline void runPlanned(const std::vector<PlannedRow>& rows, ProgressLog& log, Platform& platform)
{
    runRows(rows.size(), [&](std::size_t i) { return rows[i]; }, log, platform);
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
