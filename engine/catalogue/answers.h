#pragma once

#include <array>
#include <cstdint>

#include "engine/catalogue/table_language.h"

namespace quillora {

inline constexpr std::int16_t kAnswerYes = -1;
inline constexpr std::int16_t kAnswerNo = 0;

// The questions, in the order they are asked: the wizard's three, then on Windows 10 and 11 the
// five about features that only those Windows have.
enum class AnswerFlag { CdBurner, Printer, Imaging, Xbox, Location, Cellular, Nfc, Mail };

inline constexpr std::array<AnswerFlag, 3> kWizardQuestions{AnswerFlag::CdBurner, AnswerFlag::Printer,
                                                            AnswerFlag::Imaging};
inline constexpr std::array<AnswerFlag, 5> kWindows10Questions{AnswerFlag::Xbox, AnswerFlag::Location,
                                                               AnswerFlag::Cellular, AnswerFlag::Nfc,
                                                               AnswerFlag::Mail};

// What a question asks about, in a few words, UTF-8: "CD burner", "Xbox" in English, as the
// companion says it; "刻录机" and "燒錄機" in the Chinese tables and windows.
const char* questionTopicIn(TableLanguage language, AnswerFlag flag);
inline const char* questionTopic(AnswerFlag flag)
{
    return questionTopicIn(TableLanguage::English, flag);
}

// The answers: -1 is yes, 0 is no. The program owns one set for its whole life and hands it to
// every run by reference; a run reads an answer only when it reaches the row that the answer
// decides, so an answer given during a run still counts for the rows not yet reached. The wizard's
// three start as no; the Windows 10 questions start as yes, which leaves their services as Windows
// has them until someone answers otherwise.
struct Answers {
    std::int16_t AnswerCdBurner = kAnswerNo;
    std::int16_t AnswerPrinter = kAnswerNo;
    std::int16_t AnswerImaging = kAnswerNo;
    std::array<std::int16_t, kWindows10Questions.size()> windows10{kAnswerYes, kAnswerYes, kAnswerYes, kAnswerYes,
                                                                   kAnswerYes};

    std::int16_t& operator[](AnswerFlag flag);
    std::int16_t operator[](AnswerFlag flag) const;

    // Only exactly -1 is a yes; any other value, 1 included, counts as no.
    bool yes(AnswerFlag flag) const { return (*this)[flag] == kAnswerYes; }
};

}  // namespace quillora
