#include "engine/answers.h"

namespace quillora {
namespace {

// The member that holds one flag, for const and non-const sets alike.
template <typename Set>
auto& member(Set& answers, AnswerFlag flag)
{
    switch (flag) {
    case AnswerFlag::CdBurner:
        return answers.AnswerCdBurner;
    case AnswerFlag::Printer:
        return answers.AnswerPrinter;
    case AnswerFlag::Imaging:
        break;
    }
    return answers.AnswerImaging;
}

}  // namespace

std::int16_t& Answers::operator[](AnswerFlag flag)
{
    return member(*this, flag);
}

std::int16_t Answers::operator[](AnswerFlag flag) const
{
    return member(*this, flag);
}

}  // namespace quillora
