#include "question_window.h"

#include <array>

#include "program.h"

namespace quillora::ui {
namespace {

constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
const wchar_t kCaption[] = L"按提问优化(建议)";

// The question and the three buttons in one row; yesTab and noTab give the order of "是" and "否".
constexpr std::array<ControlDesign, 4> questionControls(const wchar_t* question, TwipsRect label, int buttonsTop,
                                                        int yesLeft, int noLeft, int exitLeft, int yesTab, int noTab)
{
    return {{
        {ControlKind::PushButton, QuestionWindow::OKButton, L"OKButton", L"是",
         {yesLeft, buttonsTop, kButtonWidth, kButtonHeight}, yesTab, FontRole::WindowDefault},
        {ControlKind::PushButton, QuestionWindow::CancelButton, L"CancelButton", L"否",
         {noLeft, buttonsTop, kButtonWidth, kButtonHeight}, noTab, FontRole::WindowDefault},
        {ControlKind::Label, QuestionWindow::Label1, L"Label1", question, label, 2, FontRole::SimSun},
        {ControlKind::PushButton, QuestionWindow::Command1, L"Command1", L"退出",
         {exitLeft, buttonsTop, kButtonWidth, kButtonHeight}, 3, FontRole::WindowDefault},
    }};
}

constexpr auto kFirstControls =
    questionControls(L"您是否使用刻录机刻光盘？", {1680, 720, 2895, 495}, 1560, 720, 2280, 3840, 0, 1);
constexpr auto kSecondControls =
    questionControls(L"您是否使用打印机打印文档？", {1320, 720, 2895, 495}, 1680, 600, 2160, 3720, 1, 0);
constexpr auto kThirdControls =
    questionControls(L"这台电脑是否要连接扫描仪或照像机？", {1080, 840, 3975, 495}, 1800, 480, 2040, 3600, 1, 0);

const WindowDesign kFirst{kCaption, 5565, 2340, kStyle, kExStyle, false, Placement::CentredOnScreen, {}, kFirstControls};
const WindowDesign kSecond{kCaption, 5460, 2460, kStyle, kExStyle, false, Placement::CentredOnScreen, {}, kSecondControls};
const WindowDesign kThird{kCaption, 5280, 2595, kStyle, kExStyle, false, Placement::CentredOnScreen, {}, kThirdControls};

}  // namespace

QuestionWindow::QuestionWindow(Program& program, const WindowDesign& design, AnswerFlag flag, QuestionWindow* next)
    : Window(program), design_(design), flag_(flag), next_(next)
{
}

const WindowDesign& QuestionWindow::firstQuestion()
{
    return kFirst;
}

const WindowDesign& QuestionWindow::secondQuestion()
{
    return kSecond;
}

const WindowDesign& QuestionWindow::thirdQuestion()
{
    return kThird;
}

void QuestionWindow::answer(std::int16_t value)
{
    hide();
    if (next_) {
        next_->show();
        answerFlag(flag_) = value;
        return;
    }
    answerFlag(flag_) = value;
    program().list.show();
    program().Form1.youhua1();
}

void QuestionWindow::onCommand(int controlId, int notification)
{
    if (notification != BN_CLICKED)
        return;
    switch (controlId) {
    case OKButton:
        answer(kAnswerYes);
        break;
    case CancelButton:
        answer(kAnswerNo);
        break;
    case Command1:
        unload();
        break;
    default:
        break;
    }
}

}  // namespace quillora::ui
