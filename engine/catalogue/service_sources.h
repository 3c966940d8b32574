#pragma once

#include <span>
#include <string>
#include <vector>

#include "engine/catalogue/profile_table.h"

namespace quillora {

// How a publication is titled, and where it is, in one language.
struct Edition {
    const char* title = nullptr;
    const char* link = nullptr;
};

// A publication of Microsoft's that the Windows 10 list rests on, with the editions Microsoft
// published of it in Chinese, where the program quotes one.
struct Publication {
    const char* id;  // "S1": how the windows, the tables and the README name it
    Edition english;
    Edition chinese;      // Microsoft's zh-CN edition; no title where none is quoted
    Edition traditional;  // Microsoft's zh-TW edition
};

// Whose words a citation gives in one language.
enum class Said {
    Quoted,      // the publication's own words, in that language
    Translated,  // the program's rendering of the publication's English words
    Described,   // what the publication gives, in the program's words
};

struct CitedWords {
    const char* text;
    Said said;
};

// What one publication says of one service, in English and in both Chinese scripts.
struct Citation {
    const Publication* from;
    CitedWords english;
    CitedWords chinese;
    CitedWords traditional;
};

// The publications, numbered from S1 without a gap.
std::span<const Publication> publications();

// What Microsoft's publications say of a service of the Windows 10 list, in the order of their
// ids; empty for any other service.
std::vector<Citation> citationsFor(const std::wstring& serviceKey);

// The services the publications are cited for, in the order they are kept.
std::vector<std::wstring> citedServices();

// A citation's words in a language: quoted words in the language's quotation marks, the
// program's renderings marked as such; UTF-8.
std::string citedWords(const Citation& citation, TableLanguage language);

// The edition that names a citation's publication in a language: the Chinese one where the
// citation quotes it, else the English original.
const Edition& citedEdition(const Citation& citation, TableLanguage language);

// The Windows 10 list with its sources, as Markdown, for `quillora-cli services --windows` and the
// manuals: each service with its question, what restore sets, and what each publication says;
// then the publications with their links. UTF-8.
std::string windows10SourcesTable(TableLanguage language = TableLanguage::English);

}  // namespace quillora
