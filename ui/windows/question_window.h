#pragma once

#include "engine/catalogue/answers.h"
#include "ui/runs/run_controller.h"
#include "ui/window/window.h"

namespace quillora::ui {

// One of the yes/no windows: the wizard's three, then on Windows 10 and 11 five more. An answer
// hides the window and stores -1 or 0 in its flag; each window but the last then shows the next
// question, the last one starts the run that optimises by questions.
class QuestionWindow : public Window {
public:
    // next: the window of the following question; nullptr for the last question.
    QuestionWindow(WindowHost& host, RunController& runs, const WindowDesign& design, AnswerFlag flag,
                   QuestionWindow* next);

    // The designs of the wizard's three questions, in its order.
    static const WindowDesign& firstDesign();
    static const WindowDesign& secondDesign();
    static const WindowDesign& thirdDesign();
    // The design of one of the questions of Windows 10 and 11, by its flag (Xbox to Mail).
    static const WindowDesign& windows10Design(AnswerFlag flag);

protected:
    const WindowDesign& design() const override { return design_; }
    void onCommand(int controlId, int notification) override;
    void onLoaded() override;
    void onLanguageChanged() override;

private:
    void answer(std::int16_t value);
    void nameTheServices();

    RunController& runs_;
    const WindowDesign& design_;
    AnswerFlag flag_;
    QuestionWindow* next_;
};

}  // namespace quillora::ui
