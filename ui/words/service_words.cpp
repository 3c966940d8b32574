#include "ui/words/service_words.h"

#include "engine/catalogue/catalogue.h"

namespace quillora::ui {
namespace {

Text modeTextId(StartMode mode, bool delayed)
{
    switch (mode) {
    case StartMode::Automatic:
        return delayed ? Text::ModeDelayed : Text::ModeAutomatic;
    case StartMode::Manual:
        return Text::ModeManual;
    case StartMode::Disabled:
        return Text::ModeDisabled;
    case StartMode::Boot:
        return Text::ModeBoot;
    case StartMode::System:
        break;
    }
    return Text::ModeSystem;
}

Text stateText(RunState state)
{
    switch (state) {
    case RunState::Running:
        return Text::StateRunning;
    case RunState::Stopped:
        return Text::StateStopped;
    case RunState::Starting:
    case RunState::Continuing:
        return Text::StateStarting;
    case RunState::Stopping:
        return Text::StateStopping;
    case RunState::Pausing:
    case RunState::Paused:
        return Text::StatePaused;
    case RunState::Unknown:
        break;
    }
    return Text::StateUnknown;
}

}  // namespace

std::wstring modeWord(Language language, StartMode mode, bool delayed)
{
    return textIn(language, modeTextId(mode, delayed));
}

std::wstring runStateWord(Language language, RunState state)
{
    return textIn(language, stateText(state));
}

std::wstring serviceName(Language language, const std::wstring& serviceKey)
{
    return serviceNameIn(tableLanguageOf(language), serviceKey);
}

std::wstring stateWords(Language language, const ServiceState& state)
{
    return modeWord(language, state.mode, state.mode == StartMode::Automatic && state.delayed)
        + wordingFor(language).comma + runStateWord(language, state.state);
}

}  // namespace quillora::ui
