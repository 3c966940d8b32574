#include "engine/catalogue/answers.h"

#include <cstddef>

namespace quillora {
namespace {

struct Topic {
    const char* english;
    const char* chinese;
};

// In the order of the flags.
constexpr Topic kTopics[] = {
    {"CD burner", "刻录机"},
    {"printer", "打印机"},
    {"scanner or camera", "扫描仪或照相机"},
    {"Xbox", "Xbox"},
    {"location and maps", "定位和地图"},
    {"mobile hotspot, cellular data and text messages", "移动热点、蜂窝数据和短信"},
    {"NFC and tap-to-pay", "NFC 和刷卡支付"},
    {"Mail, Calendar and People", "邮件、日历和人脉"},
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

const char* questionTopic(AnswerFlag flag)
{
    return kTopics[static_cast<std::size_t>(flag)].english;
}

const char* questionTopicInChinese(AnswerFlag flag)
{
    return kTopics[static_cast<std::size_t>(flag)].chinese;
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
