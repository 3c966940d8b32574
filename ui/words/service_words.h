#pragma once

#include <string>

#include "engine/machine/machine.h"
#include "ui/words/texts.h"

namespace quillora::ui {

// What the windows call start modes and run states, in the progress log's words; actions are
// actionWords (engine/wording.h).

// "自动", "自动（延迟启动）", "手动", "禁用", "引导", "系统".
std::wstring modeWord(Language language, StartMode mode, bool delayed);

// "正在运行", "已停止", and the states between.
std::wstring runStateWord(Language language, RunState state);

// "自动，正在运行": a service as Windows reports it now.
std::wstring stateWords(Language language, const ServiceState& state);

// What the windows call a service of the catalogue: its Chinese name in Chinese where Microsoft
// publishes one (the Windows 10 list), else the name the log gives it.
std::wstring serviceName(Language language, const std::wstring& serviceKey);

}  // namespace quillora::ui
