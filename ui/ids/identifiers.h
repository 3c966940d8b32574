#pragma once

// The names and numbers by which programs outside Quillora.exe find its windows and controls (the
// test driver, the benchmarks, the screenshot maker), and the colours the windows draw with. The
// windows take them from here, so no copy can drift.

namespace quillora::ui {

inline constexpr wchar_t kWindowClassName[] = L"QuilloraWindow";

// Window captions.
inline constexpr wchar_t kMainCaption[] = L"Quillora1.1";
inline constexpr wchar_t kQuestionCaption[] = L"按提问优化(建议)";
inline constexpr wchar_t kProgressCaption[] = L"正在优化系统服务...";
inline constexpr wchar_t kHelpCaption[] = L"帮助";
inline constexpr wchar_t kServicesCaption[] = L"查看服务";

// Control ids, window by window.
struct MainControls {
    enum Id : int {
        QuestionsButton = 101,
        QuestionsLabel,
        AutomaticButton,
        AutomaticLabel,
        RestoreButton,
        RestoreLabel,
        Banner,
        HelpButton,
        ExitButton,
        WebLink,
    };
};

struct ProgressControls {
    enum Id : int { StatusLabel = 101, LogBox, ExitButton };
};

struct QuestionControls {
    enum Id : int { QuestionLabel = 101, YesButton, NoButton, ExitButton };
};

struct HelpControls {
    enum Id : int { HelpText = 101, ExitButton };
};

struct ServicesControls {
    enum Id : int {
        ViewLabel = 101,
        ViewChoice,
        ServiceList,
        DescriptionBox,
        SelectAllButton,
        SelectNoneButton,
        SaveChoiceButton,
        ReadChoiceButton,
        ChoiceCount,
        RunChoice,
        RunSummary,
        RestoreBeforeButton,
        SetAgainButton,
        FillFromProfileButton,
        FillFromMachineButton,
        SaveOwnButton,
        ReadOwnButton,
        RunOwnButton,
    };
};

// The main window's system-menu item that undoes the last run, and its text. A system command's
// low four bits belong to Windows.
inline constexpr unsigned kUndoLastRunCommand = 0x0100;
inline constexpr wchar_t kUndoLastRunItem[] = L"撤销上次优化(&U)...";

// The item below it that opens the services window.
inline constexpr unsigned kViewServicesCommand = 0x0110;
inline constexpr wchar_t kViewServicesItem[] = L"查看服务(&V)...";

// The item below it that turns the restore point before each run on and off.
inline constexpr unsigned kRestorePointCommand = 0x0150;

// The items below them that choose the language of every window.
inline constexpr unsigned kChineseCommand = 0x0120;
inline constexpr unsigned kEnglishCommand = 0x0130;
inline constexpr unsigned kTraditionalChineseCommand = 0x0140;

// Colours as COLORREF values (0x00BBGGRR).
constexpr unsigned long colour(unsigned red, unsigned green, unsigned blue)
{
    return red | (green << 8) | (blue << 16);
}
inline constexpr unsigned long kWebLinkBackground = colour(255, 255, 0);
inline constexpr unsigned long kStatusText = colour(255, 0, 0);
inline constexpr unsigned long kLogText = colour(0, 128, 0);
inline constexpr unsigned long kHelpTextBackground = colour(242, 242, 242);

}  // namespace quillora::ui
