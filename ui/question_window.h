#pragma once

#include "engine/answers.h"
#include "ui/run_controller.h"
#include "ui/window.h"

namespace quillora::ui {

// One of the wizard's three yes/no windows. An answer hides the window and stores -1 or 0 in its
// flag; the first two then show the next question, the last one starts the run that optimises by
// questions.
class QuestionWindow : public Window {
public:
    // next: the window of the following question; nullptr for the last question.
    QuestionWindow(WindowHost& host, RunController& runs, const WindowDesign& design, AnswerFlag flag,
                   QuestionWindow* next);

    // The designs of the three questions, in the wizard's order.
    static const WindowDesign& firstDesign();
    static const WindowDesign& secondDesign();
    static const WindowDesign& thirdDesign();

protected:
    const WindowDesign& design() const override { return design_; }
    void onCommand(int controlId, int notification) override;

private:
    void answer(std::int16_t value);

    RunController& runs_;
    const WindowDesign& design_;
    AnswerFlag flag_;
    QuestionWindow* next_;
};

}  // namespace quillora::ui
