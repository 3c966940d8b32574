#pragma once

// Every text the windows show, in one table per language; the words of modes and actions are the
// progress log's (engine/wording.h). Chinese is the program as designed and
// what every user sees until they choose otherwise; English and Traditional Chinese stand beside it. A text is found by
// its id; "{1}" and "{2}" in a text are filled in where it is used.

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "engine/catalogue/table_language.h"
#include "engine/catalogue/wording.h"
#include "resources/site.h"
#include "ui/ids/identifiers.h"

namespace quillora::ui {

enum class Language { Chinese, English, TraditionalChinese };

// Each language as the system menu offers it, named in its own script.
struct LanguageChoice {
    Language language;
    unsigned command;
    const wchar_t* menuItem;
};

inline constexpr LanguageChoice kLanguageChoices[] = {
    {Language::Chinese, kChineseCommand, L"简体中文(&Z)"},
    {Language::English, kEnglishCommand, L"&English"},
    {Language::TraditionalChinese, kTraditionalChineseCommand, L"繁體中文(&T)"},
};

enum class Text : int {
    Empty,  // a control without text
    // Window captions.
    MainCaption,
    QuestionCaption,
    ProgressCaption,
    HelpCaption,
    ServicesCaption,
    // The main window.
    QuestionsButton,
    QuestionsLabel,
    AutomaticButton,
    AutomaticLabel,
    RestoreButton,
    RestoreLabel,
    HelpButton,
    ExitButton,
    WebLink,
    // The main window's system menu.
    UndoItem,
    ServicesItem,
    RestorePointItem,
    RestorePointNotSaved,  // {1} the file
    RestorePointMade,      // {1} its number
    RestorePointAlreadyMade,  // {1} the number of the one made earlier
    RestorePointOff,
    RestorePointRefused,   // {1} the error number
    RestorePointNoReason,
    RestorePointShared,    // {1} its number
    // The questions.
    YesButton,
    NoButton,
    CdBurnerQuestion,
    PrinterQuestion,
    ImagingQuestion,
    XboxQuestion,  // Windows 10 and 11 only, as the four after it
    LocationQuestion,
    CellularQuestion,
    NfcQuestion,
    MailQuestion,
    TurnsOff,       // {1} the services a "no" turns off, named as the catalogue names them
    NameBetween,    // between two names of that list
    ContactsNote,   // after the Mail question's services
    // The progress window.
    RunningStatus,
    MakingRestorePoint,
    WaitingForEarlierCommands,
    // The help window.
    HelpText,
    // Message boxes.
    RuntimeError,         // {1} the number, {2} the description
    BackupNotSaved,
    ResultNotSaved,       // {1} the file
    ResultNotRead,        // {1} the file
    ServicesRefused,      // {1} how many
    LanguageNotSaved,     // {1} the file
    NeededWarning,        // {1} this Windows
    NeededChoices,
    NeededDetails,
    // The undo.
    NothingToUndo,
    AlreadyUndone,
    LastRunChangedNothing,
    RunsBusy,
    UndoQuestion,         // {1} when the backup was made, {2} how many services change
    UndoDone,
    RestoreBeforeQuestion, // {1} when the run started, {2} how many services change
    SetAgainQuestion,     // {1} when the run started, {2} how many services change
    BackupFirst,
    GoneBackDone,
    GoneBackPartly,
    SetAgainDone,
    SetAgainPartly,
    NothingToRestore,
    RunUnderWay,
    RunBackupUnusable,
    HistoryNotRead,       // {1} the folder
    UndoPartly,
    ChangedCount,
    UnchangedCount,
    FailedCount,
    KeptNeededCount,      // {1} how many services
    ServiceCount,         // {1} how many
    MoreServices,         // {1} how many more
    RunsAfterRestart,
    NoStartOrStop,
    RestoreNoStartOrStop,
    SetAgainNoStartOrStop,
    OnlyNeededWouldChange,
    BackupUnusable,
    NothingChanged,
    ServiceNote,          // {1} the service, {2} its key, {3} a few words on it
    // The buttons of every box.
    BoxYes,
    BoxNo,
    BoxCancel,
    BoxOk,
    // Modes, states and actions.
    ModeAutomatic,
    ModeDelayed,
    ModeManual,
    ModeDisabled,
    ModeBoot,
    ModeSystem,
    StateRunning,
    StateStopped,
    StateStarting,
    StateStopping,
    StatePaused,
    StateUnknown,
    // The services window.
    ViewLabel,
    ViewRuns,
    ColumnLabel,
    ColumnName,
    ColumnKey,
    ColumnNow,
    ColumnAction,
    ColumnNeeded,
    ColumnChange,
    ColumnBefore,
    ColumnAsked,
    ColumnAfter,
    ColumnResult,
    ColumnSince,
    NeededHere,
    SelectAllButton,
    SelectNoneButton,
    SaveChoiceButton,
    ReadChoiceButton,
    RestoreBeforeButton,
    SetAgainButton,
    ViewOwn,
    ColumnChoice,
    OwnUnchanged,
    MenuUnchanged,        // the own profile's modes as its menu offers them, each with its key
    MenuDisabled,
    MenuManual,
    MenuAutomatic,
    MenuDelayed,
    FillFromProfileButton,
    FillFromMachineButton,
    RunOwnButton,
    OwnCount,             // {1} how many
    OwnNothingToChange,
    OwnReplaces,          // {1} how many services the own profile sets now
    OwnFileRead,          // {1} the file
    OwnOtherWindows,      // {1} the services' keys
    OwnNoDelayedStart,    // {1} the services' keys
    OwnNotInstalled,      // {1} the services' keys
    MadeByOwn,            // {1} how many services it sets
    MadeByOwnApply,       // {1} how many services it sets
    ChoiceCount,          // {1} how many
    ChoiceNotSaved,       // {1} the file
    ChoiceFileRefused,    // {1} the file, {2} the problem
    ChoiceNotRead,        // {1} the file
    ChoiceUnreadable,
    RunWithoutChoice,     // {1} the file, {2} why it cannot be read
    NoRunYet,
    CommandsRunning,
    ResultOfRun,          // {1} when the run started
    MadeByRestoreBefore,  // {1} when that run started
    MadeBySetAgain,       // {1} when that run started
    MadeByUndo,           // {1} when that run started
    MadeByUnknown,
    AnswersShown,         // {1} the answers, in order
    YesWord,
    NoWord,
    RunWithoutResult,
    UnfinishedProgramEnded,
    UnfinishedNotSaved,
    UnfinishedUnreadable,
    RunFileUnusable,
    ChangedSinceCount,    // {1} how many
    NoneChangedSince,
    LastSetChangedCount,  // {1} how many
    LastSetNoneChanged,
    HistoryNotKept,       // {1} the file
    JournalNotKept,       // {1} the file
    ReadsBackOtherMode,
    MadeByRestoreFile,    // {1} the backup's file name
    MadeBySetAgainDrifted,
    FailureReason,
    UnknownReason,
    PaneQuestion,     // {1} what the question is about
    PaneUserTemplate,
    PaneMachineName,  // {1} the name
    PaneSources,
    PaneCitation,     // {1} the publication's id, {2} its title, {3} what it says
    ReasonReportedSuccess,
    ReasonWindowsRefused, // {1} the error number
    AskedPutBack,         // {1} the start mode
    ReasonCommandExit,    // {1} the command, {2} the exit status
    ReasonStatusUnread,   // {1} the command
    ReasonNotLaunched,    // {1} the command
    ReasonProgramEnded,
    ReasonResultUnusable,
    ReasonResultNotSaved,
    ReasonNeverReached,
    ReasonAtLine,         // {1} the line, {2} what is wrong
    ProblemIsFolder,
    ProblemNotAResult,
    ProblemNotAJournal,
    ProblemNotAHistory,
    ProblemEmpty,
    ProblemUtf16,
    ProblemNotUtf8,       // {1} the text at fault, as the next ones
    ProblemLineEnds,
    ProblemLineTooLong,
    ProblemNotABackup,
    ProblemUnknownVersion,
    ProblemKeyAndMode,
    ProblemUnknownKey,
    ProblemUnknownMode,
    ProblemDelayed,
    ProblemLastLineCut,
    ProblemAfterEnd,
    ProblemKeyTwice,
    ProblemEndMissing,
    ProblemNotAProfile,
    ProblemModeNotForProfile,
    Count,
};

struct TextEntry {
    Text id;
    const wchar_t* text;
};

// The program as designed.
inline constexpr TextEntry kChineseTexts[] = {
    {Text::Empty, L""},
    {Text::MainCaption, kMainCaption},
    {Text::QuestionCaption, kQuestionCaption},
    {Text::ProgressCaption, kProgressCaption},
    {Text::HelpCaption, kHelpCaption},
    {Text::ServicesCaption, kServicesCaption},
    {Text::QuestionsButton, L"按提问优化(建议)"},
    {Text::QuestionsLabel, L"根据软件的提问一步一步进行优化，优化效果最佳!"},
    {Text::AutomaticButton, L"自动优化"},
    {Text::AutomaticLabel, L"软件自动进行优化，适合对系统服务不熟悉的用户!"},
    {Text::RestoreButton, L"恢复系统默认"},
    {Text::RestoreLabel, L"对优化的服务恢复到系统默认状态！"},
    {Text::HelpButton, L"帮助"},
    {Text::ExitButton, L"退出"},
    {Text::WebLink, L"最新免费版下载地址" QUILLORA_WIDE(QUILLORA_WEB_ADDRESS)},
    {Text::UndoItem, kUndoLastRunItem},
    {Text::ServicesItem, kViewServicesItem},
    {Text::RestorePointItem, L"优化前创建系统还原点(&P)"},
    {Text::RestorePointNotSaved, L"无法保存这个选择 {1}，它在程序退出前仍然有效。"},
    {Text::RestorePointMade, L"系统还原点：已创建（编号 {1}）"},
    {Text::RestorePointAlreadyMade, L"系统还原点：未创建新的。Windows 每 24 小时只创建一个，保留了之前创建的那个（编号 {1}）"},
    {Text::RestorePointOff, L"系统还原点：未创建，系统还原已关闭"},
    {Text::RestorePointRefused, L"系统还原点：Windows 拒绝创建（错误 {1}）"},
    {Text::RestorePointNoReason, L"系统还原点：Windows 没有创建，也没有说明原因"},
    {Text::RestorePointShared, L"系统还原点：与之前开始的那次优化共用（编号 {1}）"},
    {Text::YesButton, L"是"},
    {Text::NoButton, L"否"},
    {Text::CdBurnerQuestion, L"您是否使用刻录机刻光盘？"},
    {Text::PrinterQuestion, L"您是否使用打印机打印文档？"},
    {Text::ImagingQuestion, L"这台电脑是否要连接扫描仪或照像机？"},
    {Text::XboxQuestion, L"您是否使用 Xbox 应用、Xbox Live 游戏、游戏栏录制或 Xbox 配件（例如手柄）？"},
    {Text::LocationQuestion, L"您是否使用定位（例如“查找我的设备”、天气里的当前位置）或“地图”应用？"},
    {Text::CellularQuestion, L"您是否在这台电脑上使用移动热点、蜂窝数据（SIM 卡）或收发短信？"},
    {Text::NfcQuestion, L"您是否用这台电脑的 NFC 刷卡支付或读写 NFC 标签？"},
    {Text::MailQuestion, L"您是否使用 Windows 自带的“邮件”、“日历”或“人脉”应用？"},
    {Text::TurnsOff, L"选“否”将关闭：{1}。"},
    {Text::NameBetween, L"、"},
    {Text::ContactsNote, L"（联系人可能不再出现在搜索结果中）"},
    {Text::RunningStatus, L"正在优化系统服务，请稍等......"},
    {Text::MakingRestorePoint, L"正在创建系统还原点，请稍等......"},
    {Text::WaitingForEarlierCommands, L"正在等待之前的命令结束......"},
    {Text::HelpText,
     L"\r\n"
     L"    对XP系统服务进行优化的软件，这个软件是免费的，你可以无偿获\r\n"
     L"取，下载网址为" QUILLORA_WIDE(QUILLORA_SITE_HOST) L"，它对系统常用的近百个服务进行优化，\r\n"
     L"大大提高系统运行速度，对于未优化过的系统来说，开机速度可以提高\r\n"
     L"20%以上，并减少内存的占用。建议使用“按提问优化”以达到最好效果\r\n"
     L"，对于不懂电脑的人来说，可以使用“自动优化”，另外，“恢复默认\r\n"
     L"设置”可以恢复到优化前的系统默认状态，可能对解决一些系统问题有\r\n"
     L"帮助！\r\n"
     L"\r\n" QUILLORA_WIDE(QUILLORA_SITE_NAME) QUILLORA_WIDE(QUILLORA_WEB_ADDRESS) L"\r\n" QUILLORA_WIDE(
         QUILLORA_MESSAGING_CONTACT) L"\r\n"
     L"mail:" QUILLORA_WIDE(QUILLORA_MAIL_ADDRESS) L"\r\n"},
    {Text::RuntimeError, L"运行时错误 '{1}':\r\n\r\n{2}"},
    {Text::BackupNotSaved, L"无法保存运行前的服务备份"},
    {Text::ResultNotSaved, L"无法保存优化的结果 {1}"},
    {Text::ResultNotRead, L"无法读取优化的结果 {1}"},
    {Text::ServicesRefused, L"这次优化中，Windows 拒绝了对 {1} 个服务的更改。要查看上次优化的结果吗？"},
    {Text::LanguageNotSaved, L"无法保存语言的选择 {1}"},
    {Text::NeededWarning, L"这台电脑运行的是 {1}。这次优化会更改下面这些服务，而这个版本的 Windows 需要保持它们原有的设置："},
    {Text::NeededDetails, L"系统菜单中的“查看服务(V)...”说明每个服务的作用。"},
    {Text::NeededChoices, L"是：保留这些服务不变，只优化其余的服务。\r\n否：仍然优化全部服务。\r\n取消：不做任何更改。"},
    {Text::NothingToUndo, L"没有可撤销的优化：还没有运行前的自动备份。"},
    {Text::AlreadyUndone, L"各服务的启动类型已与上次优化之前的自动备份相同，无需撤销。"},
    {Text::LastRunChangedNothing, L"上次优化没有更改任何服务（所有服务都按您的选择保留），无需撤销。"},
    {Text::RunsBusy, L"另一个程序（Quillora 或 quillora-cli）正在更改这台电脑的服务。请等它完成后再试。未做任何更改。"},
    {Text::UndoQuestion, L"要撤销上次优化吗？\r\n\r\n将按 {1} 的自动备份恢复服务的启动类型，{2} 个已安装的服务将会改变："},
    {Text::UndoDone, L"已撤销上次优化。"},
    {Text::RestoreBeforeQuestion, L"要恢复到 {1} 那次优化之前的设置吗？\r\n\r\n将按那次优化之前的自动备份恢复服务的启动类型，{2} 个已安装的服务将会改变："},
    {Text::SetAgainQuestion, L"要重新设置 {1} 那次优化留下的启动类型吗？\r\n\r\n{2} 个已安装的服务将会改变："},
    {Text::BackupFirst, L"会先自动备份当前的设置；这次更改也会记入优化记录，可以同样恢复回去。"},
    {Text::GoneBackDone, L"已恢复到那次优化之前的设置。"},
    {Text::GoneBackPartly, L"只恢复了一部分设置。"},
    {Text::SetAgainDone, L"已重新设置这些服务。"},
    {Text::SetAgainPartly, L"只重新设置了一部分服务。"},
    {Text::NothingToRestore, L"各服务的启动类型已与那次优化之前相同，无需恢复。"},
    {Text::RunUnderWay, L"一次优化正在运行，或者它的命令还没有结束。请等它完成后再试。未做任何更改。"},
    {Text::RunBackupUnusable, L"无法恢复到这次优化之前：它的备份不能使用。"},
    {Text::HistoryNotRead, L"无法读取备份文件夹 {1}"},
    {Text::UndoPartly, L"上次优化只撤销了一部分。"},
    {Text::ChangedCount, L"已更改：{1}"},
    {Text::UnchangedCount, L"未更改：{1}"},
    {Text::FailedCount, L"失败：{1}"},
    {Text::KeptNeededCount, L"保留（系统需要）：{1}"},
    {Text::ServiceCount, L"{1} 个服务"},
    {Text::MoreServices, L"…另外 {1} 个服务"},
    {Text::RunsAfterRestart, L"设回自动启动的服务将在下次重新启动 Windows 后运行；"},
    {Text::NoStartOrStop, L"撤销本身不会启动或停止任何服务。"},
    {Text::RestoreNoStartOrStop, L"恢复本身不会启动或停止任何服务。"},
    {Text::SetAgainNoStartOrStop, L"重新设置本身不会启动或停止任何服务。"},
    {Text::OnlyNeededWouldChange, L"只有这个版本的 Windows 需要的服务会改变，而您选择了保留它们："},
    {Text::BackupUnusable, L"无法撤销上次优化：自动备份不能使用。"},
    {Text::NothingChanged, L"未做任何更改。"},
    {Text::ServiceNote, L"    {1} ({2})：{3}"},
    {Text::BoxYes, L"是(&Y)"},
    {Text::BoxNo, L"否(&N)"},
    {Text::BoxCancel, L"取消"},
    {Text::BoxOk, L"确定"},
    {Text::ModeAutomatic, kChineseWording.automatic},
    {Text::ModeDelayed, L"自动（延迟启动）"},
    {Text::ModeManual, kChineseWording.manual},
    {Text::ModeDisabled, kChineseWording.disabled},
    {Text::ModeBoot, L"引导"},
    {Text::ModeSystem, L"系统"},
    {Text::StateRunning, L"正在运行"},
    {Text::StateStopped, L"已停止"},
    {Text::StateStarting, L"正在启动"},
    {Text::StateStopping, L"正在停止"},
    {Text::StatePaused, L"已暂停"},
    {Text::StateUnknown, L"未知"},
    {Text::ViewLabel, L"显示："},
    {Text::ViewRuns, L"优化记录"},
    {Text::ColumnLabel, L"编号"},
    {Text::ColumnName, L"服务"},
    {Text::ColumnKey, L"服务名"},
    {Text::ColumnNow, L"当前状态"},
    {Text::ColumnAction, L"该方案的操作"},
    {Text::ColumnNeeded, L"系统需要"},
    {Text::ColumnChange, L"会改变吗"},
    {Text::ColumnBefore, L"之前"},
    {Text::ColumnAsked, L"要求"},
    {Text::ColumnAfter, L"之后"},
    {Text::ColumnResult, L"结果"},
    {Text::ColumnSince, L"此后被改为"},
    {Text::NeededHere, L"需要"},
    {Text::SelectAllButton, L"全部选中"},
    {Text::SelectNoneButton, L"全部不选"},
    {Text::SaveChoiceButton, L"保存到文件..."},
    {Text::ReadChoiceButton, L"从文件读取..."},
    {Text::RestoreBeforeButton, L"恢复到这次优化之前的设置..."},
    {Text::SetAgainButton, L"重新设置这些服务..."},
    {Text::ViewOwn, L"我的设置"},
    {Text::ColumnChoice, L"我的选择"},
    {Text::OwnUnchanged, L"不更改"},
    {Text::MenuUnchanged, L"不更改(&U)"},
    {Text::MenuDisabled, L"禁用(&D)"},
    {Text::MenuManual, L"手动(&M)"},
    {Text::MenuAutomatic, L"自动(&A)"},
    {Text::MenuDelayed, L"自动（延迟启动）(&L)"},
    {Text::FillFromProfileButton, L"按方案填入..."},
    {Text::FillFromMachineButton, L"按本机现状填入"},
    {Text::RunOwnButton, L"按我的设置优化..."},
    {Text::OwnCount, L"要设置的服务：{1} 个"},
    {Text::OwnReplaces, L"这会替换您现在的设置（{1} 个服务）。是否继续？"},
    {Text::OwnNothingToChange, L"按我的设置，这台电脑上没有需要改变的服务。未做任何更改。"},
    {Text::OwnFileRead, L"已读取 {1}。"},
    {Text::OwnOtherWindows, L"以下服务属于另一版本 Windows 的列表，未使用：{1}"},
    {Text::OwnNoDelayedStart, L"这个 Windows 没有延迟启动，以下服务将设为自动：{1}"},
    {Text::OwnNotInstalled, L"以下服务在这台电脑上没有安装，将不做更改：{1}"},
    {Text::MadeByOwn, L"我的设置（{1} 个服务）"},
    {Text::MadeByOwnApply, L"quillora-cli apply --profile（{1} 个服务）"},
    {Text::ProblemNotAProfile, L"不是 Quillora 的设置文件（第一行必须是“quillora-profile 1”或“quillora-backup 1”）"},
    {Text::ProblemModeNotForProfile, L"设置只能是 auto、demand 或 disabled：“{1}”"},
    {Text::ChoiceCount, L"按您的选择保留 {1} 个服务"},
    {Text::ChoiceNotSaved, L"无法保存您对服务的选择 {1}"},
    {Text::ChoiceFileRefused, L"无法使用这个文件 {1}：\r\n{2}\r\n\r\n未做任何更改。"},
    {Text::ChoiceNotRead, L"无法读取您保存的对服务的选择 {1}"},
    {Text::ChoiceUnreadable, L"无法读取您保存的选择"},
    {Text::RunWithoutChoice,
     L"无法读取您保存的对服务的选择 {1}：\r\n{2}\r\n\r\n如果继续，这次优化将不保留任何服务，包括您可能选择保留的服务。\r\n\r\n是否继续？"},
    {Text::NoRunYet, L"还没有运行过优化。"},
    {Text::CommandsRunning, L"这次优化启动的命令还在运行，全部结束后这里会显示结果。"},
    {Text::ResultOfRun, L"这是 {1} 开始的那次优化的结果。"},
    {Text::MadeByRestoreBefore, L"恢复到 {1} 那次优化之前"},
    {Text::MadeBySetAgain, L"重新设置 {1} 那次优化留下的启动类型"},
    {Text::MadeByUndo, L"撤销 {1} 那次优化"},
    {Text::MadeByUnknown, L"（未记录由什么运行）"},
    {Text::AnswersShown, L"回答：{1}"},
    {Text::YesWord, L"是"},
    {Text::NoWord, L"否"},
    {Text::RunWithoutResult, L"下面是运行前的备份保存的启动类型：这次优化到达过的服务结果未知，没有到达的服务未执行。"},
    {Text::UnfinishedProgramEnded, L"未完成：程序在这次优化完成之前结束了"},
    {Text::UnfinishedNotSaved, L"未完成：它的结果无法保存"},
    {Text::UnfinishedUnreadable, L"未完成：它的结果无法读取"},
    {Text::RunFileUnusable, L"这次优化的一个文件不能使用："},
    {Text::ChangedSinceCount, L"自这次优化以来，有 {1} 个服务的启动类型被改变了。"},
    {Text::NoneChangedSince, L"自这次优化以来，它留下的启动类型都没有被改变。"},
    {Text::LastSetChangedCount, L"在 Quillora 最后设置的服务中，现在有 {1} 个的启动类型与当时不同。"},
    {Text::LastSetNoneChanged, L"Quillora 最后设置的服务，启动类型都与当时相同。"},
    {Text::HistoryNotKept, L"无法保存优化记录 {1}"},
    {Text::JournalNotKept, L"无法保存优化日志 {1}"},
    {Text::ReadsBackOtherMode, L"Windows 接受了更改，但之后报告的是另一个启动类型"},
    {Text::MadeByRestoreFile, L"恢复备份 {1}"},
    {Text::MadeBySetAgainDrifted, L"重新设置此后被改变的服务"},
    {Text::FailureReason, L"失败的原因："},
    {Text::UnknownReason, L"结果未知的原因："},
    {Text::PaneQuestion, L"问题：{1}"},
    {Text::PaneUserTemplate, L"这是按用户的服务模板：更改在每个用户下次登录时生效。"},
    {Text::PaneMachineName, L"本机上的名称：{1}"},
    {Text::PaneSources, L"微软的说法："},
    {Text::PaneCitation, L"- {1}（{2}）：{3}"},
    {Text::ReasonReportedSuccess, L"命令报告成功，但服务没有改变"},
    {Text::ReasonWindowsRefused, L"Windows 拒绝设置启动类型（错误 {1}）"},
    {Text::AskedPutBack, L"恢复为{1}"},
    {Text::ReasonCommandExit, L"{1} 命令以退出码 {2} 结束"},
    {Text::ReasonStatusUnread, L"无法读取 {1} 命令的退出码"},
    {Text::ReasonNotLaunched, L"{1} 命令没有启动"},
    {Text::ReasonProgramEnded, L"程序在这个服务的命令结束之前就退出了"},
    {Text::ReasonResultUnusable, L"这次优化的结果文件已损坏，不能使用（见上方）"},
    {Text::ReasonResultNotSaved, L"这次优化的结果没有保存"},
    {Text::ReasonNeverReached, L"这次优化在到达这个服务之前就停止了，没有为它启动任何命令"},
    {Text::ReasonAtLine, L"第 {1} 行：{2}"},
    {Text::ProblemIsFolder, L"这是一个文件夹"},
    {Text::ProblemNotAResult, L"不是完整的 Quillora 结果"},
    {Text::ProblemNotAJournal, L"不是完整的 Quillora 优化日志"},
    {Text::ProblemNotAHistory, L"不是 Quillora 的优化记录，没有改动它。请将它改名或删除，下次优化会重新开始记录（其他内容都不会丢失）"},
    {Text::ProblemEmpty, L"文件是空的"},
    {Text::ProblemUtf16, L"文件保存为 UTF-16（“Unicode”）：请另存为 UTF-8"},
    {Text::ProblemNotUtf8, L"不是 UTF-8 文字：“{1}”"},
    {Text::ProblemLineEnds, L"行尾必须是 CR LF 或 LF：“{1}”"},
    {Text::ProblemLineTooLong, L"这一行太长：“{1}”"},
    {Text::ProblemNotABackup, L"不是 Quillora 的备份（第一行必须是“quillora-backup 1”）"},
    {Text::ProblemUnknownVersion, L"未知的格式版本：“{1}”"},
    {Text::ProblemKeyAndMode, L"应为服务名、一个制表符和启动类型：“{1}”"},
    {Text::ProblemUnknownKey, L"未知的服务名：“{1}”"},
    {Text::ProblemUnknownMode, L"未知的启动类型（可用的有 auto、demand、disabled、boot、system、absent）：“{1}”"},
    {Text::ProblemDelayed, L"只有自动启动才能标为 delayed：“{1}”"},
    {Text::ProblemLastLineCut, L"文件不完整，最后一行没有行尾：“{1}”"},
    {Text::ProblemAfterEnd, L"end 行之后不能再有内容：“{1}”"},
    {Text::ProblemKeyTwice, L"服务出现了两次：“{1}”"},
    {Text::ProblemEndMissing, L"文件不完整，缺少 end 行"},
};

// English, worded to fit the designed boxes.
inline constexpr TextEntry kEnglishTexts[] = {
    {Text::Empty, L""},
    {Text::MainCaption, kMainCaption},
    {Text::QuestionCaption, L"Optimise by questions"},
    {Text::ProgressCaption, L"Optimising system services..."},
    {Text::HelpCaption, L"Help"},
    {Text::ServicesCaption, L"Services"},
    {Text::QuestionsButton, L"By questions (best)"},
    {Text::QuestionsLabel, L"Answer the questions, step by step, for the best result!"},
    {Text::AutomaticButton, L"Automatic"},
    {Text::AutomaticLabel, L"Optimises on its own: for users who do not know services!"},
    {Text::RestoreButton, L"Restore defaults"},
    {Text::RestoreLabel, L"Back to Windows' default settings!"},
    {Text::HelpButton, L"Help"},
    {Text::ExitButton, L"Exit"},
    {Text::WebLink, L"Latest free version: " QUILLORA_WIDE(QUILLORA_WEB_ADDRESS)},
    {Text::UndoItem, L"&Undo last optimisation..."},
    {Text::ServicesItem, L"&View services..."},
    {Text::RestorePointItem, L"Make a restore &point before each run"},
    {Text::RestorePointNotSaved, L"Could not keep this choice {1}; it holds until the program ends."},
    {Text::RestorePointMade, L"Restore point: made (number {1})"},
    {Text::RestorePointAlreadyMade, L"Restore point: none new. Windows makes one a day and kept the one made earlier (number {1})"},
    {Text::RestorePointOff, L"Restore point: none, System Restore is off"},
    {Text::RestorePointRefused, L"Restore point: Windows refused to make one (error {1})"},
    {Text::RestorePointNoReason, L"Restore point: Windows made none and gave no reason"},
    {Text::RestorePointShared, L"Restore point: shared with the run begun before it (number {1})"},
    {Text::YesButton, L"Yes"},
    {Text::NoButton, L"No"},
    {Text::CdBurnerQuestion, L"Do you burn CDs or DVDs?"},
    {Text::PrinterQuestion, L"Do you print documents?"},
    {Text::ImagingQuestion, L"Will a scanner or camera be connected?"},
    {Text::XboxQuestion,
     L"Do you use the Xbox app, Xbox Live games, Game Bar recording or Xbox accessories such as a controller?"},
    {Text::LocationQuestion, L"Do you use location (such as Find my device, or the weather where you are) or the Maps app?"},
    {Text::CellularQuestion, L"Do you use Mobile hotspot, cellular data (a SIM card) or text messages on this PC?"},
    {Text::NfcQuestion, L"Do you pay by tapping, or read NFC tags, with this PC?"},
    {Text::MailQuestion, L"Do you use the built-in Mail, Calendar or People apps?"},
    {Text::TurnsOff, L"No turns off: {1}."},
    {Text::NameBetween, L", "},
    {Text::ContactsNote, L" (contacts may be missing from search results)"},
    {Text::RunningStatus, L"Optimising, please wait..."},
    {Text::MakingRestorePoint, L"Creating a restore point..."},
    {Text::WaitingForEarlierCommands, L"Waiting for earlier commands..."},
    {Text::HelpText,
     L"\r\n"
     // One paragraph: the box wraps it at its own width.
     L"    Quillora tunes the system services of Windows XP. It is free: download it from "
     QUILLORA_WIDE(QUILLORA_SITE_HOST) L". It optimises close to a hundred common services, which speeds the system up "
     L"a lot: on a system never optimised, start-up can be more than 20% faster, and less memory is used. Use \"By "
     L"questions\" for the best result; if you know little about computers, use \"Automatic\". \"Restore defaults\" "
     L"puts the system back to its default state from before optimising, which may help with some system problems.\r\n"
     L"\r\nQuillora software site: " QUILLORA_WIDE(QUILLORA_WEB_ADDRESS) L"\r\n" QUILLORA_WIDE(
         QUILLORA_MESSAGING_CONTACT) L"\r\n"
     L"mail:" QUILLORA_WIDE(QUILLORA_MAIL_ADDRESS) L"\r\n"},
    {Text::RuntimeError, L"Run-time error '{1}':\r\n\r\n{2}"},
    {Text::BackupNotSaved, L"Could not save the services' backup before the run"},
    {Text::ResultNotSaved, L"Could not save the result of the optimisation {1}"},
    {Text::ResultNotRead, L"Could not read the result of the optimisation {1}"},
    {Text::ServicesRefused, L"Windows refused this optimisation's changes to {1} service{1s}. Show the result of the last run?"},
    {Text::LanguageNotSaved, L"Could not save the choice of language {1}"},
    {Text::NeededWarning,
     L"This computer runs {1}. This optimisation would change these services, which this Windows needs as it has "
     L"them:"},
    {Text::NeededDetails, L"View services... in the system menu says what each one does."},
    {Text::NeededChoices,
     L"Yes: leave these services alone and optimise the rest.\r\nNo: optimise every service all the same.\r\n"
     L"Cancel: change nothing."},
    {Text::NothingToUndo, L"There is nothing to undo: no automatic backup from before a run yet."},
    {Text::AlreadyUndone,
     L"Every service already has the start mode of the automatic backup from before the last run: nothing to undo."},
    {Text::LastRunChangedNothing,
     L"The last run changed no service (you chose to leave every one alone): there is nothing to undo."},
    {Text::RunsBusy, L"Another program (Quillora or quillora-cli) is changing this computer's services. Try again once it has finished. Nothing was changed."},
    {Text::UndoQuestion,
     L"Undo the last optimisation?\r\n\r\nThe start modes of the automatic backup of {1} will be put back; {2} installed "
     L"service{2s} will change:"},
    {Text::UndoDone, L"The last optimisation is undone."},
    {Text::RestoreBeforeQuestion, L"Restore the settings from before the run of {1}?\r\n\r\nThe start modes saved before that run will be put back; {2} installed service{2s} will change:"},
    {Text::SetAgainQuestion, L"Set the start modes the run of {1} left again?\r\n\r\n{2} installed service{2s} will change:"},
    {Text::BackupFirst, L"Your current settings are backed up first, so you can go back from this change too."},
    {Text::GoneBackDone, L"The settings from before that run are back."},
    {Text::GoneBackPartly, L"The settings are only partly back."},
    {Text::SetAgainDone, L"They are set again."},
    {Text::SetAgainPartly, L"Only some of them are set again."},
    {Text::NothingToRestore, L"The start modes are already as they were before that run: there is nothing to put back."},
    {Text::RunUnderWay, L"A run is under way, or its commands have not ended yet. Try again once it has finished. Nothing was changed."},
    {Text::RunBackupUnusable, L"Cannot go back to before this run: its backup cannot be used."},
    {Text::HistoryNotRead, L"Could not read the backup folder {1}"},
    {Text::UndoPartly, L"The last optimisation is only partly undone."},
    {Text::ChangedCount, L"Changed: {1}"},
    {Text::UnchangedCount, L"Unchanged: {1}"},
    {Text::FailedCount, L"Failed: {1}"},
    {Text::KeptNeededCount, L"Kept (needed here): {1}"},
    {Text::ServiceCount, L"{1} service{1s}"},
    {Text::MoreServices, L"...and {1} more service{1s}"},
    {Text::RunsAfterRestart, L"Services set back to automatic start run after the next restart of Windows. "},
    {Text::NoStartOrStop, L"Undo itself starts and stops no service."},
    {Text::RestoreNoStartOrStop, L"Restoring starts and stops no service."},
    {Text::SetAgainNoStartOrStop, L"Setting them again starts and stops no service."},
    {Text::OnlyNeededWouldChange, L"Only services that this version of Windows needs would change, and you chose to keep them:"},
    {Text::BackupUnusable, L"Cannot undo the last optimisation: the automatic backup cannot be used."},
    {Text::NothingChanged, L"Nothing was changed."},
    {Text::ServiceNote, L"    {1} ({2}): {3}"},
    {Text::BoxYes, L"&Yes"},
    {Text::BoxNo, L"&No"},
    {Text::BoxCancel, L"Cancel"},
    {Text::BoxOk, L"OK"},
    {Text::ModeAutomatic, kEnglishWording.automatic},
    {Text::ModeDelayed, L"automatic (delayed)"},
    {Text::ModeManual, kEnglishWording.manual},
    {Text::ModeDisabled, kEnglishWording.disabled},
    {Text::ModeBoot, L"boot"},
    {Text::ModeSystem, L"system"},
    {Text::StateRunning, L"running"},
    {Text::StateStopped, L"stopped"},
    {Text::StateStarting, L"starting"},
    {Text::StateStopping, L"stopping"},
    {Text::StatePaused, L"paused"},
    {Text::StateUnknown, L"unknown"},
    {Text::ViewLabel, L"Show:"},
    {Text::ViewRuns, L"Runs so far"},
    {Text::ColumnLabel, L"No."},
    {Text::ColumnName, L"Service"},
    {Text::ColumnKey, L"Key"},
    {Text::ColumnNow, L"Now"},
    {Text::ColumnAction, L"Profile does"},
    {Text::ColumnNeeded, L"Needed"},
    {Text::ColumnChange, L"Changes?"},
    {Text::ColumnBefore, L"Before"},
    {Text::ColumnAsked, L"Asked"},
    {Text::ColumnAfter, L"After"},
    {Text::ColumnResult, L"Result"},
    {Text::ColumnSince, L"Changed since"},
    {Text::NeededHere, L"needed"},
    {Text::SelectAllButton, L"Select all"},
    {Text::SelectNoneButton, L"Select none"},
    {Text::SaveChoiceButton, L"Save to file..."},
    {Text::ReadChoiceButton, L"Read from file..."},
    {Text::RestoreBeforeButton, L"Restore the settings from before this run..."},
    {Text::SetAgainButton, L"Set them again..."},
    {Text::ViewOwn, L"My own settings"},
    {Text::ColumnChoice, L"Your choice"},
    {Text::OwnUnchanged, L"unchanged"},
    {Text::MenuUnchanged, L"&Unchanged"},
    {Text::MenuDisabled, L"&Disabled"},
    {Text::MenuManual, L"&Manual"},
    {Text::MenuAutomatic, L"&Automatic"},
    {Text::MenuDelayed, L"Automatic (de&layed)"},
    {Text::FillFromProfileButton, L"From a profile..."},
    {Text::FillFromMachineButton, L"From this PC"},
    {Text::RunOwnButton, L"Run my own settings..."},
    {Text::OwnCount, L"Sets {1} service{1s}"},
    {Text::OwnReplaces, L"This replaces your own settings ({1} service{1s}). Go on?"},
    {Text::OwnNothingToChange, L"My own settings change nothing on this computer. Nothing was changed."},
    {Text::OwnFileRead, L"Read {1}."},
    {Text::OwnOtherWindows, L"Left out, services of another Windows' list: {1}"},
    {Text::OwnNoDelayedStart, L"This Windows has no delayed start; set automatic: {1}"},
    {Text::OwnNotInstalled, L"Not installed on this computer, left alone: {1}"},
    {Text::MadeByOwn, L"My own settings ({1} service{1s})"},
    {Text::MadeByOwnApply, L"quillora-cli apply --profile ({1} service{1s})"},
    {Text::ProblemNotAProfile, L"not a Quillora profile (the first line must be 'quillora-profile 1' or 'quillora-backup 1')"},
    {Text::ProblemModeNotForProfile, L"a profile sets auto, demand or disabled: '{1}'"},
    {Text::ChoiceCount, L"Left alone by your choice: {1}"},
    {Text::ChoiceNotSaved, L"Could not save your choice of services {1}"},
    {Text::ChoiceFileRefused, L"Cannot use the file {1}:\r\n{2}\r\n\r\nNothing was changed."},
    {Text::ChoiceNotRead, L"Could not read your saved choice of services {1}"},
    {Text::ChoiceUnreadable, L"Your saved choice cannot be read"},
    {Text::RunWithoutChoice,
     L"Could not read your saved choice of services {1}:\r\n{2}\r\n\r\nIf you go on, this run leaves no service "
     L"alone, not even those you may have chosen to leave alone.\r\n\r\nGo on?"},
    {Text::NoRunYet, L"No optimisation has run yet."},
    {Text::CommandsRunning, L"The commands of this optimisation are still running; the result shows here when they end."},
    {Text::ResultOfRun, L"This is the result of the run started at {1}."},
    {Text::MadeByRestoreBefore, L"back to before the run of {1}"},
    {Text::MadeBySetAgain, L"set again as the run of {1} left them"},
    {Text::MadeByUndo, L"undo of the run of {1}"},
    {Text::MadeByUnknown, L"(what made it is not recorded)"},
    {Text::AnswersShown, L"answers: {1}"},
    {Text::YesWord, L"yes"},
    {Text::NoWord, L"no"},
    {Text::RunWithoutResult, L"Below are the start modes its backup saved before it: unknown where the run reached a service, not launched where it never did."},
    {Text::UnfinishedProgramEnded, L"unfinished: the program ended before the run did"},
    {Text::UnfinishedNotSaved, L"unfinished: its result could not be saved"},
    {Text::UnfinishedUnreadable, L"unfinished: its result cannot be read"},
    {Text::RunFileUnusable, L"A file of this run cannot be used:"},
    {Text::ChangedSinceCount, L"Since this run, the start mode of {1} service{1s} has been changed."},
    {Text::NoneChangedSince, L"Since this run, no start mode it left has been changed."},
    {Text::LastSetChangedCount, L"{1} installed service{1s} now in another start mode than Quillora last set."},
    {Text::LastSetNoneChanged, L"Every service Quillora last set still has the start mode it set."},
    {Text::HistoryNotKept, L"Could not keep the history of runs {1}"},
    {Text::JournalNotKept, L"Could not keep the run's journal {1}"},
    {Text::ReadsBackOtherMode, L"Windows took the change, then reported another start mode"},
    {Text::MadeByRestoreFile, L"restore of the backup {1}"},
    {Text::MadeBySetAgainDrifted, L"set again where changed since"},
    {Text::FailureReason, L"Why it failed: "},
    {Text::UnknownReason, L"Why it is unknown: "},
    {Text::PaneQuestion, L"Question: {1}"},
    {Text::PaneUserTemplate, L"A per-user template: the change takes effect at each user's next sign-in."},
    {Text::PaneMachineName, L"Name on this machine: {1}"},
    {Text::PaneSources, L"What Microsoft says:"},
    {Text::PaneCitation, L"- {1} ({2}): {3}"},
    {Text::ReasonReportedSuccess, L"the commands reported success, but the service did not change"},
    {Text::ReasonWindowsRefused, L"Windows refused to set the start mode (error {1})"},
    {Text::AskedPutBack, L"put back: {1}"},
    {Text::ReasonCommandExit, L"the {1} command ended with exit status {2}"},
    {Text::ReasonStatusUnread, L"the exit status of the {1} command could not be read"},
    {Text::ReasonNotLaunched, L"the {1} command was never launched"},
    {Text::ReasonProgramEnded, L"the program ended before its command finished"},
    {Text::ReasonResultUnusable, L"the run's result file is damaged and cannot be used (see above)"},
    {Text::ReasonResultNotSaved, L"the run's result was never saved"},
    {Text::ReasonNeverReached, L"the run stopped before it reached this service: no command was launched for it"},
    {Text::ReasonAtLine, L"line {1}: {2}"},
    {Text::ProblemIsFolder, L"is a folder"},
    {Text::ProblemNotAResult, L"not a whole Quillora result"},
    {Text::ProblemNotAJournal, L"not a whole Quillora journal"},
    {Text::ProblemNotAHistory, L"not a Quillora history; left as it is. Rename or remove it, and the next run starts a new one (nothing else is lost)"},
    {Text::ProblemEmpty, L"the file is empty"},
    {Text::ProblemUtf16, L"saved as UTF-16 (\"Unicode\"): save it as UTF-8"},
    {Text::ProblemNotUtf8, L"not UTF-8 text: '{1}'"},
    {Text::ProblemLineEnds, L"line ends must be CR LF or LF: '{1}'"},
    {Text::ProblemLineTooLong, L"line too long: '{1}'"},
    {Text::ProblemNotABackup, L"not a Quillora backup (the first line must be 'quillora-backup 1')"},
    {Text::ProblemUnknownVersion, L"unknown format version: '{1}'"},
    {Text::ProblemKeyAndMode, L"expected KEY, a tab and a start mode: '{1}'"},
    {Text::ProblemUnknownKey, L"unknown service key '{1}'"},
    {Text::ProblemUnknownMode, L"unknown start mode (the modes are auto, demand, disabled, boot, system, absent): '{1}'"},
    {Text::ProblemDelayed, L"only an automatic start can be marked delayed: '{1}'"},
    {Text::ProblemLastLineCut, L"the file is cut off: the last line has no line end: '{1}'"},
    {Text::ProblemAfterEnd, L"nothing may follow the end line: '{1}'"},
    {Text::ProblemKeyTwice, L"service given twice: '{1}'"},
    {Text::ProblemEndMissing, L"the file is cut off: the end line is missing"},
};

// Traditional Chinese, as Microsoft's zh-TW Windows words things: 最佳化, 停用, 檔案, 還原.
inline constexpr TextEntry kTraditionalTexts[] = {
    {Text::Empty, L""},
    {Text::MainCaption, kMainCaption},
    {Text::QuestionCaption, L"依提問最佳化(建議)"},
    {Text::ProgressCaption, L"正在最佳化系統服務..."},
    {Text::HelpCaption, L"說明"},
    {Text::ServicesCaption, L"檢視服務"},
    {Text::QuestionsButton, L"依提問最佳化(建議)"},
    {Text::QuestionsLabel, L"依照軟體的提問一步一步最佳化，效果最好！"},
    {Text::AutomaticButton, L"自動最佳化"},
    {Text::AutomaticLabel, L"軟體自動進行最佳化，適合不熟悉系統服務的使用者！"},
    {Text::RestoreButton, L"還原系統預設值"},
    {Text::RestoreLabel, L"將最佳化過的服務還原為系統預設狀態！"},
    {Text::HelpButton, L"說明"},
    {Text::ExitButton, L"結束"},
    {Text::WebLink, L"最新免費版下載網址" QUILLORA_WIDE(QUILLORA_WEB_ADDRESS)},
    {Text::UndoItem, L"復原上次最佳化(&U)..."},
    {Text::ServicesItem, L"檢視服務(&V)..."},
    {Text::RestorePointItem, L"最佳化前建立系統還原點(&P)"},
    {Text::RestorePointNotSaved, L"無法儲存這個選擇 {1}，它在程式結束前仍然有效。"},
    {Text::RestorePointMade, L"系統還原點：已建立（編號 {1}）"},
    {Text::RestorePointAlreadyMade, L"系統還原點：未建立新的。Windows 每 24 小時只建立一個，保留了之前建立的那個（編號 {1}）"},
    {Text::RestorePointOff, L"系統還原點：未建立，系統還原已關閉"},
    {Text::RestorePointRefused, L"系統還原點：Windows 拒絕建立（錯誤 {1}）"},
    {Text::RestorePointNoReason, L"系統還原點：Windows 沒有建立，也沒有說明原因"},
    {Text::RestorePointShared, L"系統還原點：與之前開始的那次最佳化共用（編號 {1}）"},
    {Text::YesButton, L"是"},
    {Text::NoButton, L"否"},
    {Text::CdBurnerQuestion, L"您是否使用燒錄機燒錄光碟？"},
    {Text::PrinterQuestion, L"您是否使用印表機列印文件？"},
    {Text::ImagingQuestion, L"這部電腦是否要連接掃描器或相機？"},
    {Text::XboxQuestion, L"您是否使用 Xbox 應用程式、Xbox Live 遊戲、遊戲列錄影或 Xbox 配件（例如控制器）？"},
    {Text::LocationQuestion, L"您是否使用位置功能（例如「尋找我的裝置」、天氣中的目前位置）或「地圖」應用程式？"},
    {Text::CellularQuestion, L"您是否在這部電腦上使用行動熱點、行動數據（SIM 卡）或收發簡訊？"},
    {Text::NfcQuestion, L"您是否以這部電腦的 NFC 感應付款或讀寫 NFC 標籤？"},
    {Text::MailQuestion, L"您是否使用 Windows 內建的「郵件」、「行事曆」或「連絡人」應用程式？"},
    {Text::TurnsOff, L"選「否」將關閉：{1}。"},
    {Text::NameBetween, L"、"},
    {Text::ContactsNote, L"（搜尋結果中可能不再出現連絡人）"},
    {Text::RunningStatus, L"正在最佳化系統服務，請稍候......"},
    {Text::MakingRestorePoint, L"正在建立系統還原點，請稍候......"},
    {Text::WaitingForEarlierCommands, L"正在等待之前的命令結束......"},
    {Text::HelpText,
     L"\r\n"
     // Each line ends where a sentence or a clause does and is short enough for the box, so that
     // no line starts with punctuation or leaves a word on its own.
     L"    這是為 XP 系統服務進行最佳化的軟體，完全免費，\r\n"
     L"您可以無償取得，下載網址為 " QUILLORA_WIDE(QUILLORA_SITE_HOST) L"。\r\n"
     L"它針對系統常用的近百個服務進行最佳化，\r\n"
     L"大幅提高系統執行速度：對於從未最佳化過的系統，\r\n"
     L"開機速度可以提高 20% 以上，並減少記憶體的使用量。\r\n"
     L"建議使用「依提問最佳化」以達到最佳效果；\r\n"
     L"不熟悉電腦的使用者可以使用「自動最佳化」。\r\n"
     L"此外，「還原系統預設值」可以還原到最佳化之前的系統預設狀態，\r\n"
     L"可能有助於解決某些系統問題！\r\n"
     L"\r\n" QUILLORA_WIDE(QUILLORA_SITE_NAME_TRADITIONAL) QUILLORA_WIDE(QUILLORA_WEB_ADDRESS) L"\r\n" QUILLORA_WIDE(
         QUILLORA_MESSAGING_CONTACT) L"\r\n"
     L"mail:" QUILLORA_WIDE(QUILLORA_MAIL_ADDRESS) L"\r\n"},
    {Text::RuntimeError, L"執行階段錯誤 '{1}':\r\n\r\n{2}"},
    {Text::BackupNotSaved, L"無法儲存執行前的服務備份"},
    {Text::ResultNotSaved, L"無法儲存最佳化的結果 {1}"},
    {Text::ResultNotRead, L"無法讀取最佳化的結果 {1}"},
    {Text::ServicesRefused, L"這次最佳化中，Windows 拒絕了對 {1} 個服務的變更。要檢視上次最佳化的結果嗎？"},
    {Text::LanguageNotSaved, L"無法儲存語言的選擇 {1}"},
    {Text::NeededWarning, L"這部電腦執行的是 {1}。這次最佳化會變更下列服務，而這個版本的 Windows 需要保持它們原有的設定："},
    {Text::NeededDetails, L"系統功能表中的「檢視服務(V)...」說明每個服務的用途。"},
    {Text::NeededChoices, L"是：保留這些服務不變，只最佳化其餘的服務。\r\n否：仍然最佳化全部服務。\r\n取消：不做任何變更。"},
    {Text::NothingToUndo, L"沒有可復原的最佳化：還沒有執行前的自動備份。"},
    {Text::AlreadyUndone, L"各服務的啟動類型已與上次最佳化之前的自動備份相同，不需要復原。"},
    {Text::LastRunChangedNothing, L"上次最佳化沒有變更任何服務（所有服務都依您的選擇保留），不需要復原。"},
    {Text::RunsBusy, L"另一個程式（Quillora 或 quillora-cli）正在變更這台電腦的服務。請等它完成後再試。未做任何變更。"},
    {Text::UndoQuestion, L"要復原上次最佳化嗎？\r\n\r\n將依 {1} 的自動備份還原服務的啟動類型，{2} 個已安裝的服務將會變更："},
    {Text::UndoDone, L"已復原上次最佳化。"},
    {Text::RestoreBeforeQuestion, L"要還原到 {1} 那次最佳化之前的設定嗎？\r\n\r\n將依那次最佳化之前的自動備份還原服務的啟動類型，{2} 個已安裝的服務將會變更："},
    {Text::SetAgainQuestion, L"要重新設定 {1} 那次最佳化留下的啟動類型嗎？\r\n\r\n{2} 個已安裝的服務將會變更："},
    {Text::BackupFirst, L"會先自動備份目前的設定；這次變更也會記入最佳化記錄，可以同樣還原回去。"},
    {Text::GoneBackDone, L"已還原到那次最佳化之前的設定。"},
    {Text::GoneBackPartly, L"只還原了一部分設定。"},
    {Text::SetAgainDone, L"已重新設定這些服務。"},
    {Text::SetAgainPartly, L"只重新設定了一部分服務。"},
    {Text::NothingToRestore, L"各服務的啟動類型已與那次最佳化之前相同，不需要還原。"},
    {Text::RunUnderWay, L"一次最佳化正在執行，或者它的命令還沒有結束。請等它完成後再試。未做任何變更。"},
    {Text::RunBackupUnusable, L"無法還原到這次最佳化之前：它的備份不能使用。"},
    {Text::HistoryNotRead, L"無法讀取備份資料夾 {1}"},
    {Text::UndoPartly, L"上次最佳化只復原了一部分。"},
    {Text::ChangedCount, L"已變更：{1}"},
    {Text::UnchangedCount, L"未變更：{1}"},
    {Text::FailedCount, L"失敗：{1}"},
    {Text::KeptNeededCount, L"保留（系統需要）：{1}"},
    {Text::ServiceCount, L"{1} 個服務"},
    {Text::MoreServices, L"…另外 {1} 個服務"},
    {Text::RunsAfterRestart, L"設回自動啟動的服務將在下次重新啟動 Windows 後執行；"},
    {Text::NoStartOrStop, L"復原本身不會啟動或停止任何服務。"},
    {Text::RestoreNoStartOrStop, L"還原本身不會啟動或停止任何服務。"},
    {Text::SetAgainNoStartOrStop, L"重新設定本身不會啟動或停止任何服務。"},
    {Text::OnlyNeededWouldChange, L"只有這個版本的 Windows 需要的服務會變更，而您選擇了保留它們："},
    {Text::BackupUnusable, L"無法復原上次最佳化：自動備份無法使用。"},
    {Text::NothingChanged, L"未做任何變更。"},
    {Text::ServiceNote, L"    {1} ({2})：{3}"},
    {Text::BoxYes, L"是(&Y)"},
    {Text::BoxNo, L"否(&N)"},
    {Text::BoxCancel, L"取消"},
    {Text::BoxOk, L"確定"},
    {Text::ModeAutomatic, kTraditionalWording.automatic},
    {Text::ModeDelayed, L"自動 (延遲開始)"},
    {Text::ModeManual, kTraditionalWording.manual},
    {Text::ModeDisabled, kTraditionalWording.disabled},
    {Text::ModeBoot, L"開機"},
    {Text::ModeSystem, L"系統"},
    {Text::StateRunning, L"執行中"},
    {Text::StateStopped, L"已停止"},
    {Text::StateStarting, L"正在啟動"},
    {Text::StateStopping, L"正在停止"},
    {Text::StatePaused, L"已暫停"},
    {Text::StateUnknown, L"未知"},
    {Text::ViewLabel, L"顯示："},
    {Text::ViewRuns, L"最佳化記錄"},
    {Text::ColumnLabel, L"編號"},
    {Text::ColumnName, L"服務"},
    {Text::ColumnKey, L"服務名稱"},
    {Text::ColumnNow, L"目前狀態"},
    {Text::ColumnAction, L"這個方案的動作"},
    {Text::ColumnNeeded, L"系統需要"},
    {Text::ColumnChange, L"會變更嗎"},
    {Text::ColumnBefore, L"之前"},
    {Text::ColumnAsked, L"要求"},
    {Text::ColumnAfter, L"之後"},
    {Text::ColumnResult, L"結果"},
    {Text::ColumnSince, L"此後被改為"},
    {Text::NeededHere, L"需要"},
    {Text::SelectAllButton, L"全部核取"},
    {Text::SelectNoneButton, L"全部取消核取"},
    {Text::SaveChoiceButton, L"儲存到檔案..."},
    {Text::ReadChoiceButton, L"從檔案讀取..."},
    {Text::RestoreBeforeButton, L"還原到這次最佳化之前的設定..."},
    {Text::SetAgainButton, L"重新設定這些服務..."},
    {Text::ViewOwn, L"我的設定"},
    {Text::ColumnChoice, L"我的選擇"},
    {Text::OwnUnchanged, L"不變更"},
    {Text::MenuUnchanged, L"不變更(&U)"},
    {Text::MenuDisabled, L"停用(&D)"},
    {Text::MenuManual, L"手動(&M)"},
    {Text::MenuAutomatic, L"自動(&A)"},
    {Text::MenuDelayed, L"自動 (延遲開始)(&L)"},
    {Text::FillFromProfileButton, L"依方案填入..."},
    {Text::FillFromMachineButton, L"依本機現況填入"},
    {Text::RunOwnButton, L"按我的設定最佳化..."},
    {Text::OwnCount, L"要設定的服務：{1} 個"},
    {Text::OwnReplaces, L"這會取代您現在的設定（{1} 個服務）。是否繼續？"},
    {Text::OwnNothingToChange, L"依我的設定，這台電腦上沒有需要變更的服務。未做任何變更。"},
    {Text::OwnFileRead, L"已讀取 {1}。"},
    {Text::OwnOtherWindows, L"以下服務屬於另一版 Windows 的清單，未使用：{1}"},
    {Text::OwnNoDelayedStart, L"這個 Windows 沒有延遲開始，以下服務將設為自動：{1}"},
    {Text::OwnNotInstalled, L"以下服務未安裝在這台電腦上，將不做變更：{1}"},
    {Text::MadeByOwn, L"我的設定（{1} 個服務）"},
    {Text::MadeByOwnApply, L"quillora-cli apply --profile（{1} 個服務）"},
    {Text::ProblemNotAProfile, L"不是 Quillora 的設定檔（第一行必須是「quillora-profile 1」或「quillora-backup 1」）"},
    {Text::ProblemModeNotForProfile, L"設定只能是 auto、demand 或 disabled：「{1}」"},
    {Text::ChoiceCount, L"依您的選擇保留 {1} 個服務"},
    {Text::ChoiceNotSaved, L"無法儲存您對服務的選擇 {1}"},
    {Text::ChoiceFileRefused, L"無法使用這個檔案 {1}：\r\n{2}\r\n\r\n未做任何變更。"},
    {Text::ChoiceNotRead, L"無法讀取您儲存的服務選擇 {1}"},
    {Text::ChoiceUnreadable, L"無法讀取您儲存的選擇"},
    {Text::RunWithoutChoice,
     L"無法讀取您儲存的服務選擇 {1}：\r\n{2}\r\n\r\n如果繼續，這次最佳化將不保留任何服務，包括您可能選擇保留的服務。\r\n\r\n是否繼續？"},
    {Text::NoRunYet, L"還沒有執行過最佳化。"},
    {Text::CommandsRunning, L"這次最佳化啟動的命令還在執行，全部結束後這裡會顯示結果。"},
    {Text::ResultOfRun, L"這是 {1} 開始的那次最佳化的結果。"},
    {Text::MadeByRestoreBefore, L"還原到 {1} 那次最佳化之前"},
    {Text::MadeBySetAgain, L"重新設定 {1} 那次最佳化留下的啟動類型"},
    {Text::MadeByUndo, L"復原 {1} 那次最佳化"},
    {Text::MadeByUnknown, L"（未記錄由什麼執行）"},
    {Text::AnswersShown, L"回答：{1}"},
    {Text::YesWord, L"是"},
    {Text::NoWord, L"否"},
    {Text::RunWithoutResult, L"下面是執行前的備份儲存的啟動類型：這次最佳化到達過的服務結果未知，沒有到達的服務未執行。"},
    {Text::UnfinishedProgramEnded, L"未完成：程式在這次最佳化完成之前結束了"},
    {Text::UnfinishedNotSaved, L"未完成：它的結果無法儲存"},
    {Text::UnfinishedUnreadable, L"未完成：它的結果無法讀取"},
    {Text::RunFileUnusable, L"這次最佳化的一個檔案不能使用："},
    {Text::ChangedSinceCount, L"自這次最佳化以來，有 {1} 個服務的啟動類型被變更了。"},
    {Text::NoneChangedSince, L"自這次最佳化以來，它留下的啟動類型都沒有被變更。"},
    {Text::LastSetChangedCount, L"在 Quillora 最後設定的服務中，現在有 {1} 個的啟動類型與當時不同。"},
    {Text::LastSetNoneChanged, L"Quillora 最後設定的服務，啟動類型都與當時相同。"},
    {Text::HistoryNotKept, L"無法儲存最佳化記錄 {1}"},
    {Text::JournalNotKept, L"無法儲存最佳化日誌 {1}"},
    {Text::ReadsBackOtherMode, L"Windows 接受了變更，但之後回報的是另一個啟動類型"},
    {Text::MadeByRestoreFile, L"還原備份 {1}"},
    {Text::MadeBySetAgainDrifted, L"重新設定此後被變更的服務"},
    {Text::FailureReason, L"失敗的原因："},
    {Text::UnknownReason, L"結果未知的原因："},
    {Text::PaneQuestion, L"問題：{1}"},
    {Text::PaneUserTemplate, L"這是每一使用者服務範本：變更在每位使用者下次登入時生效。"},
    {Text::PaneMachineName, L"本機上的名稱：{1}"},
    {Text::PaneSources, L"微軟的說法："},
    {Text::PaneCitation, L"- {1}（{2}）：{3}"},
    {Text::ReasonReportedSuccess, L"命令回報成功，但服務沒有變更"},
    {Text::ReasonWindowsRefused, L"Windows 拒絕設定啟動類型（錯誤 {1}）"},
    {Text::AskedPutBack, L"還原為{1}"},
    {Text::ReasonCommandExit, L"{1} 命令以結束代碼 {2} 結束"},
    {Text::ReasonStatusUnread, L"無法讀取 {1} 命令的結束代碼"},
    {Text::ReasonNotLaunched, L"{1} 命令沒有啟動"},
    {Text::ReasonProgramEnded, L"程式在這個服務的命令結束之前就結束了"},
    {Text::ReasonResultUnusable, L"這次最佳化的結果檔案已損壞，不能使用（見上方）"},
    {Text::ReasonResultNotSaved, L"這次最佳化的結果沒有儲存"},
    {Text::ReasonNeverReached, L"這次最佳化在到達這個服務之前就停止了，沒有為它啟動任何命令"},
    {Text::ReasonAtLine, L"第 {1} 行：{2}"},
    {Text::ProblemIsFolder, L"這是一個資料夾"},
    {Text::ProblemNotAResult, L"不是完整的 Quillora 結果"},
    {Text::ProblemNotAJournal, L"不是完整的 Quillora 最佳化日誌"},
    {Text::ProblemNotAHistory, L"不是 Quillora 的最佳化記錄，沒有變更它。請將它重新命名或刪除，下次最佳化會重新開始記錄（其他內容都不會遺失）"},
    {Text::ProblemEmpty, L"檔案是空的"},
    {Text::ProblemUtf16, L"檔案儲存為 UTF-16（「Unicode」）：請另存為 UTF-8"},
    {Text::ProblemNotUtf8, L"不是 UTF-8 文字：「{1}」"},
    {Text::ProblemLineEnds, L"行尾必須是 CR LF 或 LF：「{1}」"},
    {Text::ProblemLineTooLong, L"這一行太長：「{1}」"},
    {Text::ProblemNotABackup, L"不是 Quillora 的備份（第一行必須是「quillora-backup 1」）"},
    {Text::ProblemUnknownVersion, L"未知的格式版本：「{1}」"},
    {Text::ProblemKeyAndMode, L"應為服務名稱、一個定位字元和啟動類型：「{1}」"},
    {Text::ProblemUnknownKey, L"未知的服務名稱：「{1}」"},
    {Text::ProblemUnknownMode, L"未知的啟動類型（可用的有 auto、demand、disabled、boot、system、absent）：「{1}」"},
    {Text::ProblemDelayed, L"只有自動啟動才能標示為 delayed：「{1}」"},
    {Text::ProblemLastLineCut, L"檔案不完整，最後一行沒有行尾：「{1}」"},
    {Text::ProblemAfterEnd, L"end 行之後不能再有內容：「{1}」"},
    {Text::ProblemKeyTwice, L"服務出現了兩次：「{1}」"},
    {Text::ProblemEndMissing, L"檔案不完整，缺少 end 行"},
};

constexpr const wchar_t* findText(const TextEntry* table, std::size_t size, Text id)
{
    for (std::size_t i = 0; i < size; ++i) {
        if (table[i].id == id)
            return table[i].text;
    }
    return nullptr;
}

// The text in the language; nullptr only where a table lacks it, which a test rules out.
constexpr const wchar_t* textIn(Language language, Text id)
{
    switch (language) {
    case Language::English:
        return findText(kEnglishTexts, std::size(kEnglishTexts), id);
    case Language::TraditionalChinese:
        return findText(kTraditionalTexts, std::size(kTraditionalTexts), id);
    case Language::Chinese:
        break;
    }
    return findText(kChineseTexts, std::size(kChineseTexts), id);
}

// The language of the manuals' tables that speaks as the windows do.
constexpr TableLanguage tableLanguageOf(Language language)
{
    return language == Language::English              ? TableLanguage::English
        : language == Language::TraditionalChinese ? TableLanguage::TraditionalChinese
                                                   : TableLanguage::Chinese;
}

// The words of modes and actions, and of the progress log, in the language.
constexpr const Wording& wordingFor(Language language)
{
    return wordingIn(tableLanguageOf(language));
}

// The menu's item for the language.
constexpr const LanguageChoice& choiceOf(Language language)
{
    for (const LanguageChoice& choice : kLanguageChoices) {
        if (choice.language == language)
            return choice;
    }
    return kLanguageChoices[0];
}

// The windows' language that speaks as the tables' language does.
constexpr Language languageOf(TableLanguage language)
{
    for (const LanguageChoice& choice : kLanguageChoices) {
        if (tableLanguageOf(choice.language) == language)
            return choice.language;
    }
    return Language::Chinese;
}

// The language a code of settings.ini or "/lang:" names, in any case; nothing for any other text.
constexpr std::optional<Language> languageNamed(std::string_view code)
{
    const std::optional<TableLanguage> named = languageOfCode(code);
    return named ? std::optional<Language>(languageOf(*named)) : std::nullopt;
}

// The text in the language with "{1}", "{2}" filled in; "{1s}" is the English plural's "s" after
// the count given as {1}, nothing after a count of 1.
inline std::wstring textIn(Language language, Text id, std::initializer_list<std::wstring> values)
{
    std::wstring text = textIn(language, id);
    int number = 1;
    for (const std::wstring& value : values) {
        const std::wstring mark = L"{" + std::to_wstring(number++);
        const std::wstring plural = value == L"1" ? L"" : L"s";
        for (std::size_t at = text.find(mark + L"s}"); at != std::wstring::npos; at = text.find(mark + L"s}", at))
            text.replace(at, mark.size() + 2, plural);
        for (std::size_t at = text.find(mark + L"}"); at != std::wstring::npos; at = text.find(mark + L"}", at + value.size()))
            text.replace(at, mark.size() + 1, value);
    }
    return text;
}

}  // namespace quillora::ui
