#pragma once

#include <cstdint>

namespace quillora {

inline constexpr std::int16_t kAnswerYes = -1;
inline constexpr std::int16_t kAnswerNo = 0;

enum class AnswerFlag { CdBurner, Printer, Imaging };

// The wizard's three answers: -1 is yes, 0 is no. The program owns one set for its whole life and
// hands it to every run by reference; a run reads an answer only when it reaches the row that the
// answer decides, so an answer given during a run still counts for the rows not yet reached.
struct Answers {
    std::int16_t AnswerCdBurner = kAnswerNo;
    std::int16_t AnswerPrinter = kAnswerNo;
    std::int16_t AnswerImaging = kAnswerNo;

    std::int16_t& operator[](AnswerFlag flag);
    std::int16_t operator[](AnswerFlag flag) const;

    // Only exactly -1 is a yes; any other value, 1 included, counts as no.
    bool yes(AnswerFlag flag) const { return (*this)[flag] == kAnswerYes; }
};

}  // namespace quillora
