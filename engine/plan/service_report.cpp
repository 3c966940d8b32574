#include "engine/plan/service_report.h"

#include "engine/catalogue/catalogue.h"
#include "engine/text/printable.h"
#include "engine/text/utf8.h"
#include "engine/catalogue/wording.h"

namespace quillora {

std::string modeText(StartMode mode, bool delayed)
{
    return std::string(startModeName(mode)) + (delayed ? " (delayed)" : "");
}

std::string modeWords(StartMode mode, bool delayed)
{
    const bool worded = mode == StartMode::Automatic || mode == StartMode::Manual || mode == StartMode::Disabled;
    const std::string word = worded ? toUtf8(modeWordOf(kEnglishWording, mode)) : startModeName(mode);
    return word + (delayed ? toUtf8(kEnglishWording.delayedStart) : "");
}

std::string serviceName(const std::wstring& serviceKey)
{
    return toUtf8(labelOf(serviceKey) + L":" + displayNameOf(serviceKey)) + " (" + toUtf8(serviceKey) + ")";
}

std::string failureText(const PlatformFailure& failure)
{
    return "failed (" + std::to_string(failure.number()) + ": " + printable(failure.description()) + ")";
}

}  // namespace quillora
