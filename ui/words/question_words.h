#pragma once

#include <string>

#include "engine/catalogue/answers.h"
#include "ui/words/texts.h"

namespace quillora::ui {

// The label of a question of Windows 10 and 11: the question, then what a "no" turns off, the
// services named as the catalogue names them, in its order, so that the label names exactly the
// rows the answer decides.
std::wstring windows10QuestionText(Language language, AnswerFlag flag);

// The text id of a question, any of the eight.
Text questionTextId(AnswerFlag flag);

}  // namespace quillora::ui
