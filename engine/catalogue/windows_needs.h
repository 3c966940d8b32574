#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/catalogue/profile_table.h"
#include "engine/catalogue/catalogue.h"
#include "engine/machine/windows_version.h"

namespace quillora {

// A few words on what a service does, in Chinese for the windows and in English for the
// companion, and in Traditional Chinese; empty for a service no generation needs.
std::wstring purposeInChinese(const std::wstring& serviceKey);
std::string purposeInEnglish(const std::wstring& serviceKey);
std::wstring purposeInTraditional(const std::wstring& serviceKey);

// The table of every catalogue service and what each generation needs, as Markdown, for the
// manuals; UTF-8.
std::string windowsNeedsTable(TableLanguage language = TableLanguage::English);

}  // namespace quillora
