#pragma once

#include <string>

namespace quillora {

// Every service of the catalogue, in catalogue order, with what each profile does to it, as a
// Markdown table in UTF-8: the table of the README, and `quillora-cli services`.
std::string profileTable();

}  // namespace quillora
