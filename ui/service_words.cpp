#include "ui/service_words.h"

namespace quillora::ui {

std::wstring modeWord(StartMode mode, bool delayed)
{
    switch (mode) {
    case StartMode::Automatic:
        return delayed ? L"自动（延迟启动）" : L"自动";
    case StartMode::Manual:
        return L"手动";
    case StartMode::Disabled:
        return L"禁用";
    case StartMode::Boot:
        return L"引导";
    case StartMode::System:
        break;
    }
    return L"系统";
}

std::wstring runStateWord(RunState state)
{
    switch (state) {
    case RunState::Running:
        return L"正在运行";
    case RunState::Stopped:
        return L"已停止";
    case RunState::Starting:
    case RunState::Continuing:
        return L"正在启动";
    case RunState::Stopping:
        return L"正在停止";
    case RunState::Pausing:
    case RunState::Paused:
        return L"已暂停";
    case RunState::Unknown:
        break;
    }
    return L"未知";
}

std::wstring stateWords(const ServiceState& state)
{
    return modeWord(state.mode, state.mode == StartMode::Automatic && state.delayed) + L"，" + runStateWord(state.state);
}

std::wstring actionWords(ActionKind kind)
{
    const ActionEffect& effect = effectOf(kind);
    return std::wstring(effect.stopsFirst ? L"停止，" : L"") + effect.modeWord + (effect.startsAfter ? L"，启动" : L"");
}

}  // namespace quillora::ui
