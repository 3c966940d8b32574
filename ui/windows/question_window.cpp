#include "ui/windows/question_window.h"

#include <algorithm>
#include <array>
#include <span>

#include "ui/ids/identifiers.h"
#include "ui/words/question_words.h"

namespace quillora::ui {
namespace {

constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

// The question and the three buttons in one row; yesTab and noTab give the order of "是" and "否".
constexpr std::array<ControlDesign, 4> questionControls(Text question, TwipsRect label, int buttonsTop,
                                                        int yesLeft, int noLeft, int exitLeft, int yesTab, int noTab)
{
    return {{
        {ControlKind::PushButton, QuestionControls::YesButton, L"OKButton", Text::YesButton,
         {yesLeft, buttonsTop, kButtonWidth, kButtonHeight}, yesTab, FontRole::WindowDefault},
        {ControlKind::PushButton, QuestionControls::NoButton, L"CancelButton", Text::NoButton,
         {noLeft, buttonsTop, kButtonWidth, kButtonHeight}, noTab, FontRole::WindowDefault},
        {ControlKind::Label, QuestionControls::QuestionLabel, L"Label1", question, label, 2, FontRole::Body},
        {ControlKind::PushButton, QuestionControls::ExitButton, L"Command1", Text::ExitButton,
         {exitLeft, buttonsTop, kButtonWidth, kButtonHeight}, 3, FontRole::WindowDefault},
    }};
}

constexpr auto kFirstControls =
    questionControls(Text::CdBurnerQuestion, {1680, 720, 2895, 495}, 1560, 720, 2280, 3840, 0, 1);
constexpr auto kSecondControls =
    questionControls(Text::PrinterQuestion, {1320, 720, 2895, 495}, 1680, 600, 2160, 3720, 1, 0);
constexpr auto kThirdControls =
    questionControls(Text::ImagingQuestion, {1080, 840, 3975, 495}, 1800, 480, 2040, 3600, 1, 0);

// The questions of Windows 10 and 11 are longer: a question, then what "no" turns off.
constexpr int kLaterButtonsTop = 2280;
constexpr TwipsRect kLaterLabel{480, 300, 6240, 1800};
constexpr auto laterControls(Text question)
{
    return questionControls(question, kLaterLabel, kLaterButtonsTop, 1320, 3000, 4680, 0, 1);
}
constexpr auto kXboxControls = laterControls(Text::XboxQuestion);
constexpr auto kLocationControls = laterControls(Text::LocationQuestion);
constexpr auto kCellularControls = laterControls(Text::CellularQuestion);
constexpr auto kNfcControls = laterControls(Text::NfcQuestion);
constexpr auto kMailControls = laterControls(Text::MailQuestion);

const WindowDesign kFirst{Text::QuestionCaption, 5565, 2340, kStyle, kExStyle, false, Placement::CentredOnScreen, {}, kFirstControls};
const WindowDesign kSecond{Text::QuestionCaption, 5460, 2460, kStyle, kExStyle, false, Placement::CentredOnScreen, {}, kSecondControls};
const WindowDesign kThird{Text::QuestionCaption, 5280, 2595, kStyle, kExStyle, false, Placement::CentredOnScreen, {}, kThirdControls};

// The five are one window, 7200 by 3240 twips, each with its own question.
constexpr WindowDesign laterDesign(std::span<const ControlDesign> controls)
{
    return {Text::QuestionCaption, 7200, 3240, kStyle, kExStyle, false, Placement::CentredOnScreen, {}, controls};
}

// In the order of the flags, Xbox to Mail.
constexpr WindowDesign kLater[] = {laterDesign(kXboxControls), laterDesign(kLocationControls),
                               laterDesign(kCellularControls), laterDesign(kNfcControls), laterDesign(kMailControls)};

}  // namespace

QuestionWindow::QuestionWindow(WindowHost& host, RunController& runs, const WindowDesign& design, AnswerFlag flag,
                               QuestionWindow* next)
    : Window(host), runs_(runs), design_(design), flag_(flag), next_(next)
{
}

const WindowDesign& QuestionWindow::firstDesign()
{
    return kFirst;
}

const WindowDesign& QuestionWindow::secondDesign()
{
    return kSecond;
}

const WindowDesign& QuestionWindow::thirdDesign()
{
    return kThird;
}

const WindowDesign& QuestionWindow::windows10Design(AnswerFlag flag)
{
    return kLater[static_cast<std::size_t>(flag) - static_cast<std::size_t>(AnswerFlag::Xbox)];
}

void QuestionWindow::onLoaded()
{
    nameTheServices();
}

void QuestionWindow::onLanguageChanged()
{
    nameTheServices();
}

// A question of Windows 10 and 11 names the services its "no" turns off, from the catalogue.
void QuestionWindow::nameTheServices()
{
    if (std::find(kWindows10Questions.begin(), kWindows10Questions.end(), flag_) != kWindows10Questions.end())
        SetWindowTextW(control(QuestionControls::QuestionLabel), windows10QuestionText(host().language(), flag_).c_str());
}

void QuestionWindow::answer(std::int16_t value)
{
    hide();
    if (next_) {
        next_->show();
        runs_.answer(flag_, value);
        return;
    }
    runs_.answer(flag_, value);
    runs_.start(Profile::Prompted, handle());
}

void QuestionWindow::onCommand(int controlId, int notification)
{
    if (notification != BN_CLICKED)
        return;
    switch (controlId) {
    case QuestionControls::YesButton:
        answer(kAnswerYes);
        break;
    case QuestionControls::NoButton:
        answer(kAnswerNo);
        break;
    case QuestionControls::ExitButton:
        unload();
        break;
    default:
        break;
    }
}

}  // namespace quillora::ui
