#pragma once

#include "answers.h"
#include "window.h"

namespace quillora::ui {

// One of the wizard's three yes/no windows ("Dialog", "Dialog1", "Dialog2"). An answer hides the
// window and stores -1 or 0 in its flag; the first two then show the next question, the last one
// shows the progress window and starts the prompted run.
class QuestionWindow : public Window {
public:
    enum ControlId { Label1 = 101, OKButton, CancelButton, Command1 };

    // next: the window of the following question; nullptr for the last question.
    QuestionWindow(Program& program, const WindowDesign& design, AnswerFlag flag, QuestionWindow* next);

    // The designs of the three questions, in the wizard's order.
    static const WindowDesign& firstQuestion();
    static const WindowDesign& secondQuestion();
    static const WindowDesign& thirdQuestion();

protected:
    const WindowDesign& design() const override { return design_; }
    void onCommand(int controlId, int notification) override;

private:
    void answer(std::int16_t value);

    const WindowDesign& design_;
    AnswerFlag flag_;
    QuestionWindow* next_;
};

}  // namespace quillora::ui
