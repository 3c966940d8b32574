#include "ui/words/question_words.h"

#include "engine/catalogue/catalogue.h"
#include "ui/words/service_words.h"

namespace quillora::ui {

Text questionTextId(AnswerFlag flag)
{
    switch (flag) {
    case AnswerFlag::CdBurner:
        return Text::CdBurnerQuestion;
    case AnswerFlag::Printer:
        return Text::PrinterQuestion;
    case AnswerFlag::Imaging:
        return Text::ImagingQuestion;
    case AnswerFlag::Xbox:
        return Text::XboxQuestion;
    case AnswerFlag::Location:
        return Text::LocationQuestion;
    case AnswerFlag::Cellular:
        return Text::CellularQuestion;
    case AnswerFlag::Nfc:
        return Text::NfcQuestion;
    case AnswerFlag::Mail:
        break;
    }
    return Text::MailQuestion;
}

std::wstring windows10QuestionText(Language language, AnswerFlag flag)
{
    std::wstring names;
    for (const std::wstring& key : keysAskedBy(flag)) {
        names += (names.empty() ? L"" : textIn(language, Text::NameBetween))
            + serviceName(language, key);
    }
    // Without the Mail app's services, Windows' search finds no contacts.
    if (flag == AnswerFlag::Mail)
        names += textIn(language, Text::ContactsNote);
    return std::wstring(textIn(language, questionTextId(flag))) + L"\r\n\r\n"
        + textIn(language, Text::TurnsOff, {names});
}

}  // namespace quillora::ui
