#pragma once

#include <optional>
#include <string_view>
#include <utility>

#include "engine/text/utf8.h"

namespace quillora {

// The languages of the manuals' tables and the companion's: English, Simplified Chinese as the
// program is designed, and Traditional Chinese.
enum class TableLanguage { English, Chinese, TraditionalChinese };

// One of three things, by language.
template <typename T>
constexpr const T& inLanguage(TableLanguage language, const T& english, const T& chinese, const T& traditional)
{
    return language == TableLanguage::English ? english : language == TableLanguage::Chinese ? chinese : traditional;
}

// How settings.ini and the program's "/lang:" spell each language.
inline constexpr std::pair<TableLanguage, std::string_view> kLanguageCodes[] = {
    {TableLanguage::Chinese, "zh"},
    {TableLanguage::English, "en"},
    {TableLanguage::TraditionalChinese, "zh-TW"},
};

constexpr std::string_view languageCode(TableLanguage language)
{
    for (const auto& [named, code] : kLanguageCodes) {
        if (named == language)
            return code;
    }
    return kLanguageCodes[0].second;
}

// The language a code names, in any case ("zh", "EN", "zh-tw"); nothing for any other text.
constexpr std::optional<TableLanguage> languageOfCode(std::string_view code)
{
    for (const auto& [language, own] : kLanguageCodes) {
        if (sameIgnoringCase(own, code))
            return language;
    }
    return std::nullopt;
}

}  // namespace quillora
