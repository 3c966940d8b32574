#pragma once

#include "engine/start_mode.h"

namespace quillora {

inline constexpr wchar_t kCompletionSentence[] = L"优化已经完成！";
inline constexpr wchar_t kCompletedCaption[] = L"优化完成！";

// The words a run writes into the progress window, in the window's language: the mode at the end
// of each log line, the word for a row left alone, and the completion texts.
struct LogWords {
    const wchar_t* disabled;
    const wchar_t* manual;
    const wchar_t* automatic;
    const wchar_t* leftAlone;
    const wchar_t* completionSentence;
    const wchar_t* completedCaption;
};

// The program as designed.
inline constexpr LogWords kChineseLogWords{L"禁用", L"手动", L"自动", L"保留", kCompletionSentence, kCompletedCaption};
inline constexpr LogWords kEnglishLogWords{L"disabled",   L"manual", L"automatic", L"kept", L"Optimisation is complete!",
                                           L"Optimisation complete!"};

// The word a log line states for a start mode a row sets.
constexpr const wchar_t* modeWordOf(const LogWords& words, StartMode mode)
{
    return mode == StartMode::Disabled ? words.disabled : mode == StartMode::Manual ? words.manual : words.automatic;
}

}  // namespace quillora
