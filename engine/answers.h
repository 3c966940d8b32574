#pragma once

#include <cstdint>

// The wizard's three answers, shared for the life of the process: -1 is yes, 0 is no. Only the
// question windows write them and only the prompted profile reads them; nothing resets them.
namespace Module1 {
inline std::int16_t AnswerCdBurner = 0;
inline std::int16_t AnswerPrinter = 0;
inline std::int16_t AnswerImaging = 0;
}  // namespace Module1

namespace quillora {

inline constexpr std::int16_t kAnswerYes = -1;
inline constexpr std::int16_t kAnswerNo = 0;

enum class AnswerFlag { CdBurner, Printer, Imaging };

std::int16_t& answerFlag(AnswerFlag flag);

// Only exactly -1 is a yes; any other value, 1 included, counts as no.
bool answeredYes(AnswerFlag flag);

}  // namespace quillora
