#pragma once

#include <string>
#include <vector>

#include "engine/answers.h"
#include "engine/service_step.h"
#include "engine/windows_version.h"

namespace quillora {

// What Microsoft's published guidance says of one of the catalogue's services on a generation of
// Windows.
enum class Guidance {
    NotListed,     // the guidance for this generation names no such service
    DoNotDisable,  // "Do not disable": needed
    KeepDefault,   // "No guidance": its default configuration should not be changed; needed
    MayDisable,    // "OK to disable", or already disabled by default
};

Guidance guidanceFor(const std::wstring& serviceKey, WindowsGeneration generation);

// Whether the generation needs the service: a run must not stop or disable it. Windows XP and
// Server 2003 need none of them: the catalogue was made for them.
bool isNeeded(const std::wstring& serviceKey, WindowsGeneration generation);

// A few words on what a service does, in Chinese for the windows and in English for the
// companion; empty for a service no generation needs.
std::wstring purposeInChinese(const std::wstring& serviceKey);
std::string purposeInEnglish(const std::wstring& serviceKey);

// Whether the step, with these answers, stops or disables a service that this generation needs.
bool touchesNeeded(const ServiceStep& step, const Answers& answers, WindowsGeneration generation);

// The steps that would stop or disable a service that this generation needs, in run order.
std::vector<ServiceStep> neededServicesTouched(const std::vector<ServiceStep>& steps, const Answers& answers,
                                               WindowsGeneration generation);

// The same steps with those of the given services left alone: they launch nothing and log "保留".
std::vector<ServiceStep> leavingAlone(std::vector<ServiceStep> steps, const std::vector<ServiceStep>& alone);

// The table of every catalogue service and what each generation needs, as Markdown, for the
// README; UTF-8.
std::string windowsNeedsTable();

}  // namespace quillora
