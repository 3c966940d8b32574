#include "engine/catalogue/action.h"

#include "engine/text/utf8.h"
#include "engine/catalogue/wording.h"

#include <array>
#include <cstring>

namespace quillora {
namespace {

struct KindEffect {
    ActionKind kind;
    ActionEffect effect;
};

constexpr std::array<KindEffect, 10> kEffects{{
    {ActionKind::StopAndDisable, {true, StartMode::Disabled, false}},
    {ActionKind::StopAndManual, {true, StartMode::Manual, false}},
    {ActionKind::ManualOnly, {false, StartMode::Manual, false}},
    {ActionKind::StartAndAutomatic, {false, StartMode::Automatic, true}},
    {ActionKind::DisableOnly, {false, StartMode::Disabled, false}},
    {ActionKind::DelayedAutomaticOnly, {false, StartMode::Automatic, false, true}},
    {ActionKind::ManualIfDisabled, {false, StartMode::Manual, false, false, true}},
    {ActionKind::Keep, {false, StartMode::Manual, false, false, false, true}},
    {ActionKind::StartAndDelayedAutomatic, {false, StartMode::Automatic, true, true}},
    {ActionKind::AutomaticOnly, {false, StartMode::Automatic, false}},
}};

const wchar_t kNetStop[] = L"cmd /c NET stop ";
const wchar_t kNetStart[] = L"cmd /c NET start ";

std::wstring scConfig(const std::wstring& key, const ActionEffect& effect)
{
    const char* name = effect.delayed ? kDelayedAutoName : startModeName(effect.mode);
    return L"cmd /c sc config " + quotedKey(key) + L" start= " + std::wstring(name, name + std::strlen(name));
}

}  // namespace

const ActionEffect& effectOf(ActionKind kind)
{
    for (const KindEffect& entry : kEffects) {
        if (entry.kind == kind)
            return entry.effect;
    }
    return kEffects.front().effect;
}

std::wstring quotedKey(const std::wstring& serviceKey)
{
    if (serviceKey.find(L' ') == std::wstring::npos)
        return serviceKey;
    return L'"' + serviceKey + L'"';
}

// The NET command is launched before sc config whether it stops or starts the service: the
// program waits for neither, so both are under way together.
std::vector<ServiceCommand> serviceCommands(ActionKind kind, const std::wstring& serviceKey)
{
    const ActionEffect& effect = effectOf(kind);
    std::vector<ServiceCommand> commands;
    if (effect.keeps)
        return commands;
    if (effect.stopsFirst)
        commands.push_back({CommandKind::NetStop, kNetStop + quotedKey(serviceKey)});
    if (effect.startsAfter)
        commands.push_back({CommandKind::NetStart, kNetStart + quotedKey(serviceKey)});
    commands.push_back({CommandKind::ScConfig, scConfig(serviceKey, effect)});
    return commands;
}

std::string actionDescription(ActionKind kind)
{
    return toUtf8(actionWords(kEnglishWording, kind));
}

}  // namespace quillora
