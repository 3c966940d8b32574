#pragma once

#include <span>
#include <string>
#include <vector>

#include "engine/catalogue/profile_table.h"

namespace quillora {

// A publication of Microsoft's that the Windows 10 list rests on.
struct Publication {
    const char* id;     // "S1": how the tables and the README name it
    const char* title;  // as Microsoft titles it
    const char* link;
};

// What one publication says of one service: its rating or the default it gives, and its words.
struct Citation {
    const Publication* from;
    const char* says;  // in its own words where quoted; else what it gives, in ours
    bool quoted = true;
};

// The publications, in the order of their ids.
std::span<const Publication> publications();

// What Microsoft's publications say of a service of the Windows 10 list, in the order of their
// ids; empty for any other service.
std::vector<Citation> citationsFor(const std::wstring& serviceKey);

// The services the publications are cited for, in the order they are kept.
std::vector<std::wstring> citedServices();

// The Windows 10 list with its sources, as Markdown, for `quillora-cli services --windows` and the
// manuals: each service with its question, what restore sets, and what each publication says;
// then the publications with their links. UTF-8.
std::string windows10SourcesTable(TableLanguage language = TableLanguage::English);

}  // namespace quillora
