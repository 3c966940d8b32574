#pragma once

#include <string>

#include "engine/catalogue/action.h"
#include "engine/catalogue/answers.h"
#include "engine/catalogue/table_language.h"

namespace quillora {

// Every service of the catalogue, in catalogue order, with what each profile does to it, as a
// Markdown table in UTF-8: the tables of the two manuals, and `quillora-cli services`.
std::string profileTable(TableLanguage language = TableLanguage::English);

// What an action does, in the table's language: the English description, or the words the Chinese
// windows use ("停止，禁用", "停止，停用"); UTF-8.
std::string actionInTable(TableLanguage language, ActionKind kind);

}  // namespace quillora
