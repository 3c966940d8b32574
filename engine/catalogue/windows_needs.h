#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/catalogue/profile_table.h"
#include "engine/catalogue/catalogue.h"
#include "engine/machine/windows_version.h"

namespace quillora {

// A few words on what a service does, in a language, UTF-8; empty for a service no generation
// needs.
std::string purposeIn(TableLanguage language, const std::wstring& serviceKey);

// The table of every catalogue service and what each generation needs, as Markdown, for the
// manuals; UTF-8.
std::string windowsNeedsTable(TableLanguage language = TableLanguage::English);

}  // namespace quillora
