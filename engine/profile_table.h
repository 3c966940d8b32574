#pragma once

#include <string>

namespace quillora {

enum class TableLanguage { English, Chinese };

// Every service of the catalogue, in catalogue order, with what each profile does to it, as a
// Markdown table in UTF-8: the tables of the two manuals, and `quillora-cli services`.
std::string profileTable(TableLanguage language = TableLanguage::English);

}  // namespace quillora
