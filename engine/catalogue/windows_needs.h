#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/catalogue/profile_table.h"
#include "engine/catalogue/service_step.h"
#include "engine/machine/windows_version.h"

namespace quillora {

// What Microsoft's published guidance says of one of the catalogue's services on a generation of
// Windows.
enum class Guidance {
    NotListed,     // the guidance for this generation names no such service
    DoNotDisable,  // "Do not disable": needed
    KeepDefault,   // "No guidance": its default configuration should not be changed; needed
    MayDisable,    // "OK to disable", or already disabled by default
};

// The services the guidance rates, in the order they are kept.
std::vector<std::wstring> ratedServices();

Guidance guidanceFor(const std::wstring& serviceKey, WindowsGeneration generation);

// Whether the generation needs the service as Windows sets it: a run must not change it. Windows XP
// and Server 2003 need none of them: the catalogue was made for them.
bool isNeeded(const std::wstring& serviceKey, WindowsGeneration generation);

// A few words on what a service does, in Chinese for the windows and in English for the
// companion; empty for a service no generation needs.
std::wstring purposeInChinese(const std::wstring& serviceKey);
std::string purposeInEnglish(const std::wstring& serviceKey);

// The table of every catalogue service and what each generation needs, as Markdown, for the
// manuals; UTF-8.
std::string windowsNeedsTable(TableLanguage language = TableLanguage::English);

}  // namespace quillora
