#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/catalogue/catalogue.h"
#include "engine/run/runner.h"

namespace quillora {

// A platform that starts nothing: it writes down each launch and counts the message-processing
// points. The companion's plan command and the tests run profiles against it.
class RecordingPlatform : public Platform {
public:
    struct Launch {
        std::wstring commandLine;
        int showState;
        bool operator==(const Launch&) const = default;
    };

    void launch(const std::wstring& commandLine, int showState) override
    {
        launches.push_back({commandLine, showState});
    }
    void processPendingMessages() override { ++messagePumps; }

    std::vector<Launch> launches;
    int messagePumps = 0;
};

// A progress log held in memory. Caption and label stay empty until a run sets them, so what a
// run wrote can be told apart from what it did not write.
class MemoryProgressLog : public ProgressLog {
public:
    std::wstring text() override { return log; }
    void setText(const std::wstring& newText) override { log = newText; }
    void setCaption(const std::wstring& newCaption) override { caption = newCaption; }
    void setStatusLabel(const std::wstring& newStatus) override { statusLabel = newStatus; }
    void enableExit() override { exitEnabled = true; }

    std::wstring log;
    std::optional<std::wstring> caption;
    std::optional<std::wstring> statusLabel;
    bool exitEnabled = false;
};

// A whole run of a profile on an empty log, as the recording doubles saw it.
struct RecordedRun {
    RecordingPlatform platform;
    MemoryProgressLog log;
};
RecordedRun recordRun(const PlanInputs& inputs);

}  // namespace quillora
