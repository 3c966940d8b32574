#include "answers.h"

namespace quillora {

std::int16_t& answerFlag(AnswerFlag flag)
{
    switch (flag) {
    case AnswerFlag::CdBurner:
        return Module1::AnswerCdBurner;
    case AnswerFlag::Printer:
        return Module1::AnswerPrinter;
    case AnswerFlag::Imaging:
        break;
    }
    return Module1::AnswerImaging;
}

bool answeredYes(AnswerFlag flag)
{
    return answerFlag(flag) == kAnswerYes;
}

}  // namespace quillora
