#pragma once

#include <string>

#include "engine/action.h"
#include "engine/machine.h"
#include "ui/texts.h"

namespace quillora::ui {

// What the windows call start modes, run states and actions, in the progress log's words.

// "自动", "自动（延迟启动）", "手动", "禁用", "引导", "系统".
std::wstring modeWord(Language language, StartMode mode, bool delayed);

// "正在运行", "已停止", and the states between.
std::wstring runStateWord(Language language, RunState state);

// "自动，正在运行": a service as Windows reports it now.
std::wstring stateWords(Language language, const ServiceState& state);

// What an action does: "停止，禁用", "停止，手动", "手动", "自动，启动".
std::wstring actionWords(Language language, ActionKind kind);

}  // namespace quillora::ui
