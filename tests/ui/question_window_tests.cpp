#include <doctest.h>

#include "tests/support/golden.h"
#include "tests/support/wide_strings.h"
#include "tests/ui/test_desktop.h"
#include "ui/ids/identifiers.h"

using namespace quillora;
using namespace quillora::testing;
using ui::MainWindow;
using ui::MainControls;
using ui::QuestionControls;
using ui::QuestionWindow;

namespace {

constexpr int kYes = QuestionControls::YesButton;
constexpr int kNo = QuestionControls::NoButton;

struct QuestionExpectation {
    QuestionWindow ui::Program::*window;
    const wchar_t* question;
    SIZE client;
    RECT label;
    int buttonsTop;
    int lefts[3];
    int firstFocus;
};

const QuestionExpectation kQuestions[] = {
    {&ui::Program::firstQuestion, L"您是否使用刻录机刻光盘？", {371, 156}, {112, 48, 305, 81}, 104, {48, 152, 256},
     QuestionControls::YesButton},
    {&ui::Program::secondQuestion, L"您是否使用打印机打印文档？", {364, 164}, {88, 48, 281, 81}, 112, {40, 144, 248},
     QuestionControls::NoButton},
    {&ui::Program::thirdQuestion, L"这台电脑是否要连接扫描仪或照像机？", {352, 173}, {72, 56, 337, 89}, 120, {32, 136, 240},
     QuestionControls::NoButton},
};

void answer(QuestionWindow& window, int button)
{
    click(window.control(button));
}

// The program's three answers as one value, for compact checks.
std::vector<int> flags(ui::Program& program)
{
    const Answers& answers = program.runs.answers();
    return {answers.AnswerCdBurner, answers.AnswerPrinter, answers.AnswerImaging};
}

std::vector<std::wstring> launchedFor(const TestDesktop& desktop, const std::wstring& key)
{
    std::vector<std::wstring> lines;
    for (const auto& launch : desktop.recorder.launches) {
        if (launch.commandLine.find(L" " + key) != std::wstring::npos)
            lines.push_back(launch.commandLine);
    }
    return lines;
}

POINT topLeft(HWND window)
{
    RECT place;
    GetWindowRect(window, &place);
    return {place.left, place.top};
}

}  // namespace

TEST_CASE("the three question windows' designs")
{
    ProgramFixture f;
    for (const QuestionExpectation& expected : kQuestions) {
        CAPTURE(expected.buttonsTop);
        QuestionWindow& question = f.program.*expected.window;
        question.show();
        flushMessages();
        const HWND window = question.handle();
        CHECK(ui::windowText(window) == L"按提问优化(建议)");
        CHECK(clientSize(window).cx == expected.client.cx);
        CHECK(clientSize(window).cy == expected.client.cy);
        const LONG style = GetWindowLongW(window, GWL_STYLE);
        CHECK((style & WS_SYSMENU));
        CHECK_FALSE((style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)));
        CHECK((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME));
        CHECK(GetWindow(window, GW_OWNER) == f.program.host.hiddenOwner());  // no taskbar button
        CHECK(std::abs(offsetFromScreenCentre(window).x) <= 1);

        const HWND label = question.control(QuestionControls::QuestionLabel);
        CHECK(ui::windowText(label) == expected.question);
        CHECK(rectInParent(label) == expected.label);
        CHECK(std::wstring(fontOf(label).lfFaceName) == L"宋体");
        CHECK(fontOf(label).lfHeight == -14);
        CHECK(fontOf(label).lfCharSet == GB2312_CHARSET);
        const int buttons[] = {QuestionControls::YesButton, QuestionControls::NoButton, QuestionControls::ExitButton};
        const wchar_t* captions[] = {L"是", L"否", L"退出"};
        for (int i = 0; i < 3; ++i) {
            const HWND button = question.control(buttons[i]);
            CHECK(ui::windowText(button) == captions[i]);
            const int left = expected.lefts[i];
            CHECK(rectInParent(button) == RECT{left, expected.buttonsTop, left + 81, expected.buttonsTop + 25});
        }
        CHECK(GetFocus() == question.control(expected.firstFocus));
        // Tab: the first two buttons in the designed order, then the exit button.
        const int second = expected.firstFocus == QuestionControls::YesButton ? QuestionControls::NoButton
                                                                             : QuestionControls::YesButton;
        for (int next : {second, static_cast<int>(QuestionControls::ExitButton), expected.firstFocus}) {
            PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
            flushMessages();
            CHECK(GetDlgCtrlID(GetFocus()) == next);
        }
        question.unload();
    }
}

TEST_CASE("full passes through the wizard set the flags and start the prompted run")
{
    struct Pass {
        int answers[3];
        std::vector<int> flags;
        std::size_t launches;
        const wchar_t* lines[3];
    };
    const Pass passes[] = {
        {{kYes, kYes, kYes}, {-1, -1, -1}, 115,
         {L"23:IMAPI CD-Burning COM Service:手动", L"42:Print Spooler:手动", L"74:Windows Image Acquisition (WIA):手动"}},
        {{kNo, kNo, kNo}, {0, 0, 0}, 118,
         {L"23:IMAPI CD-Burning COM Service:禁用", L"42:Print Spooler:禁用", L"74:Windows Image Acquisition (WIA):禁用"}},
        {{kYes, kNo, kYes}, {-1, 0, -1}, 116,
         {L"23:IMAPI CD-Burning COM Service:手动", L"42:Print Spooler:禁用", L"74:Windows Image Acquisition (WIA):手动"}},
    };
    for (const Pass& pass : passes) {
        ProgramFixture f;
        f.program.mainWindow.show();
        click(f.program.mainWindow.control(MainControls::QuestionsButton));
        CHECK(f.program.firstQuestion.isVisible());

        answer(f.program.firstQuestion, pass.answers[0]);
        CHECK_FALSE(f.program.firstQuestion.isVisible());
        CHECK(f.program.secondQuestion.isVisible());
        answer(f.program.secondQuestion, pass.answers[1]);
        CHECK(f.program.thirdQuestion.isVisible());
        answer(f.program.thirdQuestion, pass.answers[2]);

        CHECK(flags(f.program) == pass.flags);
        CHECK(f.desktop.recorder.launches.size() == pass.launches);
        CHECK(f.program.progressWindow.isVisible());
        for (const wchar_t* line : pass.lines)
            CHECK(f.program.progressWindow.text().find(std::wstring(line) + L"\r\n") != std::wstring::npos);
        const bool printerNo = pass.flags[1] == 0;
        CHECK(launchedFor(f.desktop, L"Spooler")
              == (printerNo ? std::vector<std::wstring>{L"cmd /c NET stop Spooler", L"cmd /c sc config Spooler start= disabled"}
                            : std::vector<std::wstring>{L"cmd /c sc config Spooler start= demand"}));
        // After a full pass the three windows stay loaded and hidden.
        for (QuestionWindow* window : {&f.program.firstQuestion, &f.program.secondQuestion, &f.program.thirdQuestion}) {
            CHECK(window->isLoaded());
            CHECK_FALSE(window->isVisible());
        }
        CHECK(ui::windowText(f.program.progressWindow.handle()) == L"优化完成！");
    }
}

TEST_CASE("exit at a question: that window unloads, no run starts, earlier answers stay")
{
    ProgramFixture f;
    for (const AnswerFlag flag : {AnswerFlag::CdBurner, AnswerFlag::Printer, AnswerFlag::Imaging})
        f.program.runs.answer(flag, 5);
    SUBCASE("at the first question, by its exit button")
    {
        f.program.firstQuestion.show();
        answer(f.program.firstQuestion, QuestionControls::ExitButton);
        CHECK_FALSE(f.program.firstQuestion.isLoaded());
        CHECK(flags(f.program) == std::vector<int>{5, 5, 5});
    }
    SUBCASE("at the second, by the title bar, after a yes")
    {
        f.program.firstQuestion.show();
        answer(f.program.firstQuestion, kYes);
        SendMessageW(f.program.secondQuestion.handle(), WM_CLOSE, 0, 0);
        CHECK_FALSE(f.program.secondQuestion.isLoaded());
        CHECK(f.program.firstQuestion.isLoaded());
        CHECK(flags(f.program) == std::vector<int>{-1, 5, 5});
    }
    SUBCASE("at the third, by the title bar")
    {
        f.program.firstQuestion.show();
        answer(f.program.firstQuestion, kNo);
        answer(f.program.secondQuestion, kYes);
        SendMessageW(f.program.thirdQuestion.handle(), WM_CLOSE, 0, 0);
        CHECK_FALSE(f.program.thirdQuestion.isLoaded());
        CHECK(flags(f.program) == std::vector<int>{0, -1, 5});
    }
    CHECK(f.desktop.recorder.launches.empty());
    CHECK_FALSE(f.program.progressWindow.isLoaded());
}

TEST_CASE("a later pass shows a hidden question where it was left, an unloaded one centred")
{
    ProgramFixture f;
    MainWindow& form = f.program.mainWindow;
    click(form.control(MainControls::QuestionsButton));
    SetWindowPos(f.program.firstQuestion.handle(), nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    answer(f.program.firstQuestion, kYes);
    const POINT secondCentred = topLeft(f.program.secondQuestion.handle());
    SetWindowPos(f.program.secondQuestion.handle(), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    answer(f.program.secondQuestion, QuestionControls::ExitButton);

    click(form.control(MainControls::QuestionsButton));
    CHECK(f.program.firstQuestion.isVisible());
    CHECK(topLeft(f.program.firstQuestion.handle()).x == 30);
    CHECK(topLeft(f.program.firstQuestion.handle()).y == 40);
    answer(f.program.firstQuestion, kNo);
    CHECK(topLeft(f.program.secondQuestion.handle()).x == secondCentred.x);
    CHECK(topLeft(f.program.secondQuestion.handle()).y == secondCentred.y);

    // Showing a visible question again changes nothing.
    f.program.secondQuestion.show();
    CHECK(topLeft(f.program.secondQuestion.handle()).x == secondCentred.x);
}

TEST_CASE("a second full pass overwrites the flags and appends to the open progress window")
{
    ProgramFixture f;
    answer(f.program.firstQuestion, kYes);
    answer(f.program.secondQuestion, kYes);
    answer(f.program.thirdQuestion, kYes);
    CHECK(flags(f.program) == std::vector<int>{-1, -1, -1});
    const std::wstring firstLog = f.program.progressWindow.text();
    CHECK(firstLog == goldenLog("automatic"));
    f.desktop.recorder.launches.clear();

    click(f.program.mainWindow.control(MainControls::QuestionsButton));
    answer(f.program.firstQuestion, kNo);
    answer(f.program.secondQuestion, kNo);
    answer(f.program.thirdQuestion, kNo);
    CHECK(flags(f.program) == std::vector<int>{0, 0, 0});
    CHECK(f.desktop.recorder.launches.size() == 118);
    const std::wstring log = f.program.progressWindow.text();
    CHECK(log.rfind(firstLog + L"\r\n1:Alerter:禁用\r\n", 0) == 0);
    CHECK(log.find(L"42:Print Spooler:禁用\r\n", firstLog.size()) != std::wstring::npos);
}

TEST_CASE("answers given during a prompted run")
{
    ProgramFixture f;
    SUBCASE("the first question answered again counts only before its row")
    {
        f.desktop.recorder.atMessages = [&](int pump) {
            if (pump == 10 || pump == 25) {
                f.program.firstQuestion.show();
                answer(f.program.firstQuestion, kYes);  // row 18 is ahead at pump 10
                f.program.secondQuestion.hide();
            }
        };
        answer(f.program.firstQuestion, kNo);
        answer(f.program.secondQuestion, kNo);
        answer(f.program.thirdQuestion, kNo);
        CHECK(f.program.progressWindow.text().find(L"23:IMAPI CD-Burning COM Service:手动\r\n") != std::wstring::npos);
        CHECK(f.desktop.recorder.launches.size() == 117);
    }
    SUBCASE("the third question answered again nests a second prompted run")
    {
        bool nested = false;
        f.desktop.recorder.atMessages = [&](int pump) {
            if (pump == 2 && !nested) {
                nested = true;
                f.program.thirdQuestion.show();
                answer(f.program.thirdQuestion, kYes);
            }
        };
        answer(f.program.firstQuestion, kYes);
        answer(f.program.secondQuestion, kYes);
        answer(f.program.thirdQuestion, kNo);
        const std::wstring log = f.program.progressWindow.text();
        // The nested run sits between the outer run's second and third lines; its yes also
        // decides the outer run's row, which comes later.
        const std::wstring twoLines = L"1:Alerter:禁用\r\n2:Application Layer Gateway Service:禁用\r\n";
        CHECK(log.rfind(twoLines + twoLines + L"3.1:", 0) == 0);
        const std::wstring imagingManual = L"74:Windows Image Acquisition (WIA):手动\r\n";
        const auto firstManual = log.find(imagingManual);
        REQUIRE(firstManual != std::wstring::npos);
        CHECK(log.find(imagingManual, firstManual + 1) != std::wstring::npos);
        CHECK(log.find(L"74:Windows Image Acquisition (WIA):禁用") == std::wstring::npos);
        CHECK(f.desktop.recorder.launches.size() == 115 + 115);
    }
}
