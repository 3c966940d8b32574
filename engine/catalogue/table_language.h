#pragma once

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

}  // namespace quillora
