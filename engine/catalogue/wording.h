#pragma once

#include <string>

#include "engine/catalogue/action.h"
#include "engine/machine/start_mode.h"

namespace quillora {

inline constexpr wchar_t kCompletionSentence[] = L"优化已经完成！";
inline constexpr wchar_t kCompletedCaption[] = L"优化完成！";

// The words the program says modes and actions with, in one language: the mode at the end of
// each log line, the word for a row left alone, the completion texts, and the pieces that make an
// action's words in the windows and the manual ("停止，禁用").
struct Wording {
    const wchar_t* disabled;
    const wchar_t* manual;
    const wchar_t* automatic;
    const wchar_t* leftAlone;
    const wchar_t* completionSentence;
    const wchar_t* completedCaption;
    const wchar_t* stop;
    const wchar_t* start;
    const wchar_t* comma;  // between the parts of an action, or of a mode and a state
    const wchar_t* delayedStart;  // after "automatic" for a start Windows delays
    const wchar_t* ifDisabled;    // after "manual" for a change made only to a disabled service
};

// The program as designed.
inline constexpr Wording kChineseWording{
    L"禁用", L"手动", L"自动", L"保留", kCompletionSentence, kCompletedCaption, L"停止", L"启动", L"，",
    L"（延迟启动）", L"（若已禁用）"};
inline constexpr Wording kEnglishWording{L"disabled",   L"manual", L"automatic", L"kept", L"Optimisation is complete!",
                                           L"Optimisation complete!", L"stop",  L"start",     L", ",
                                           L" (delayed)", L" if disabled"};

// The word a log line states for a start mode a row sets.
constexpr const wchar_t* modeWordOf(const Wording& words, StartMode mode)
{
    return mode == StartMode::Disabled ? words.disabled : mode == StartMode::Manual ? words.manual : words.automatic;
}

// What an action does, from the action table: "停止，禁用", "手动", "自动，启动"; in English
// "stop, disabled", "manual", "automatic, start"; "保留" / "kept" for an action that keeps its
// service as it is.
inline std::wstring actionWords(const Wording& words, ActionKind kind)
{
    const ActionEffect& effect = effectOf(kind);
    if (effect.keeps)
        return words.leftAlone;
    std::wstring text = modeWordOf(words, effect.mode);
    if (effect.delayed)
        text += words.delayedStart;
    if (effect.onlyFromDisabled)
        text += words.ifDisabled;
    if (effect.stopsFirst)
        text = words.stop + (words.comma + text);
    if (effect.startsAfter)
        text += words.comma + std::wstring(words.start);
    return text;
}

}  // namespace quillora
