#pragma once

#include <string>

#include "engine/catalogue/action.h"
#include "engine/catalogue/table_language.h"
#include "engine/machine/start_mode.h"

namespace quillora {

inline constexpr wchar_t kCompletionSentence[] = L"优化已经完成！";
inline constexpr wchar_t kCompletedCaption[] = L"优化完成！";

// The words the program says modes and actions with, in one language: the mode at the end of
// each log line, the word for a row left alone, the completion texts, the pieces that make an
// action's words in the windows and the manual ("停止，禁用"), and the one word for what becomes of
// a service, before a run (the services window, status) and after it (the result).
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
    // What becomes of a service.
    const wchar_t* wouldChange;
    const wchar_t* noChange;
    const wchar_t* notInstalled;
    const wchar_t* keptByChoice;
    const wchar_t* keptNeeded;
    const wchar_t* keptAsWindowsHasIt;
    const wchar_t* sets;  // for other machines
    const wchar_t* changed;
    const wchar_t* unchanged;
    const wchar_t* failed;
    const wchar_t* unknown;
    const wchar_t* notLaunched;  // the run stopped before it reached the service
};

// The program as designed.
inline constexpr Wording kChineseWording{
    .disabled = L"禁用",
    .manual = L"手动",
    .automatic = L"自动",
    .leftAlone = L"保留",
    .completionSentence = kCompletionSentence,
    .completedCaption = kCompletedCaption,
    .stop = L"停止",
    .start = L"启动",
    .comma = L"，",
    .delayedStart = L"（延迟启动）",
    .ifDisabled = L"（若已禁用）",
    .wouldChange = L"会改变",
    .noChange = L"不变",
    .notInstalled = L"未安装",
    .keptByChoice = L"保留（您的选择）",
    .keptNeeded = L"保留（系统需要）",
    .keptAsWindowsHasIt = L"保留（系统原设置）",
    .sets = L"设置",
    .changed = L"已更改",
    .unchanged = L"未更改",
    .failed = L"失败",
    .unknown = L"未知",
    .notLaunched = L"未执行",
};
// Traditional Chinese, in the words of Microsoft's zh-TW Windows: 停用, 手動, 自動.
inline constexpr Wording kTraditionalWording{
    .disabled = L"停用",
    .manual = L"手動",
    .automatic = L"自動",
    .leftAlone = L"保留",
    .completionSentence = L"最佳化已經完成！",
    .completedCaption = L"最佳化完成！",
    .stop = L"停止",
    .start = L"啟動",
    .comma = L"，",
    .delayedStart = L" (延遲開始)",  // as Windows' zh-TW services console writes it
    .ifDisabled = L"（若已停用）",
    .wouldChange = L"會變更",
    .noChange = L"不變",
    .notInstalled = L"未安裝",
    .keptByChoice = L"保留（您的選擇）",
    .keptNeeded = L"保留（系統需要）",
    .keptAsWindowsHasIt = L"保留（系統原設定）",
    .sets = L"設定",
    .changed = L"已變更",
    .unchanged = L"未變更",
    .failed = L"失敗",
    .unknown = L"未知",
    .notLaunched = L"未執行",
};
inline constexpr Wording kEnglishWording{
    .disabled = L"disabled",
    .manual = L"manual",
    .automatic = L"automatic",
    .leftAlone = L"kept",
    .completionSentence = L"Optimisation is complete!",
    .completedCaption = L"Optimisation complete!",
    .stop = L"stop",
    .start = L"start",
    .comma = L", ",
    .delayedStart = L" (delayed)",
    .ifDisabled = L" if disabled",
    .wouldChange = L"would change",
    .noChange = L"no change",
    .notInstalled = L"not installed",
    .keptByChoice = L"kept (your choice)",
    .keptNeeded = L"kept (needed here)",
    .keptAsWindowsHasIt = L"kept (as Windows has it)",
    .sets = L"sets it",
    .changed = L"changed",
    .unchanged = L"unchanged",
    .failed = L"failed",
    .unknown = L"unknown",
    .notLaunched = L"not launched",
};

// The words in one of the tables' languages.
constexpr const Wording& wordingIn(TableLanguage language)
{
    return inLanguage(language, kEnglishWording, kChineseWording, kTraditionalWording);
}

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
