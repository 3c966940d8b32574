#include "engine/catalogue/answers.h"

#include <cstddef>

namespace quillora {
namespace {

struct Topic {
    const char* english;
    const char* chinese;
    const char* traditional;
};

// In the order of the flags.
constexpr Topic kTopics[] = {
    {"CD burner", "刻录机", "燒錄機"},
    {"printer", "打印机", "印表機"},
    {"scanner or camera", "扫描仪或照相机", "掃描器或相機"},
    {"Xbox", "Xbox", "Xbox"},
    {"location and maps", "定位和地图", "位置和地圖"},
    {"mobile hotspot, cellular data and text messages", "移动热点、蜂窝数据和短信", "行動熱點、行動數據和簡訊"},
    {"NFC and tap-to-pay", "NFC 和刷卡支付", "NFC 和感應付款"},
    {"Mail, Calendar and People", "邮件、日历和人脉", "郵件、行事曆和連絡人"},
};

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
        return answers.AnswerImaging;
    default:
        break;
    }
    return answers.windows10[static_cast<std::size_t>(flag) - static_cast<std::size_t>(AnswerFlag::Xbox)];
}

}  // namespace

const char* questionTopicIn(TableLanguage language, AnswerFlag flag)
{
    const Topic& topic = kTopics[static_cast<std::size_t>(flag)];
    return inLanguage(language, topic.english, topic.chinese, topic.traditional);
}

std::int16_t& Answers::operator[](AnswerFlag flag)
{
    return member(*this, flag);
}

std::int16_t Answers::operator[](AnswerFlag flag) const
{
    return member(*this, flag);
}

}  // namespace quillora
