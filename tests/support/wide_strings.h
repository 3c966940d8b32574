#pragma once

// Lets doctest print wide strings in failure messages, as UTF-8.
#include <doctest.h>

#include <string>

#include "engine/text/utf8.h"

namespace doctest {
template <>
struct StringMaker<std::wstring> {
    static String convert(const std::wstring& text)
    {
        return ("L\"" + quillora::toUtf8(text) + "\"").c_str();
    }
};
}  // namespace doctest
