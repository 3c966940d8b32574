#include "engine/choice/own_profile.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "engine/text/printable.h"

namespace quillora {
namespace {

// Each mode the own profile sets, with the start mode it sets.
constexpr std::pair<OwnMode, OwnStart> kOwnStarts[] = {
    {OwnMode::Disabled, {StartMode::Disabled, false}},
    {OwnMode::Manual, {StartMode::Manual, false}},
    {OwnMode::Automatic, {StartMode::Automatic, false}},
    {OwnMode::DelayedAutomatic, {StartMode::Automatic, true}},
};

}  // namespace

OwnProfile inCatalogueOrder(OwnProfile profile)
{
    const std::vector<std::wstring> keys = catalogueKeys();
    const auto position = [&](const OwnSetting& setting) { return std::find(keys.begin(), keys.end(), setting.serviceKey); };
    std::stable_sort(profile.begin(), profile.end(),
                     [&](const OwnSetting& a, const OwnSetting& b) { return position(a) < position(b); });
    return profile;
}

OwnMode ownModeOf(const OwnProfile& profile, const std::wstring& serviceKey)
{
    const OwnSetting* setting = entryWithKey(profile, serviceKey);
    return setting ? setting->mode : OwnMode::Unchanged;
}

OwnProfile withMode(const OwnProfile& profile, const std::vector<std::wstring>& keys, OwnMode mode)
{
    OwnProfile changed;
    for (const OwnSetting& setting : profile) {
        if (std::find(keys.begin(), keys.end(), setting.serviceKey) == keys.end())
            changed.push_back(setting);
    }
    if (mode != OwnMode::Unchanged) {
        for (const std::wstring& key : keys)
            changed.push_back({key, mode});
    }
    return inCatalogueOrder(std::move(changed));
}

std::optional<OwnMode> ownModeFor(StartMode mode, bool delayed)
{
    const auto found = std::find_if(std::begin(kOwnStarts), std::end(kOwnStarts), [&](const auto& entry) {
        return entry.second.mode == mode && entry.second.delayed == (delayed && mode == StartMode::Automatic);
    });
    return found == std::end(kOwnStarts) ? std::nullopt : std::optional<OwnMode>(found->first);
}

std::optional<OwnStart> startOf(OwnMode mode)
{
    const auto found = std::find_if(std::begin(kOwnStarts), std::end(kOwnStarts),
                                    [&](const auto& entry) { return entry.first == mode; });
    return found == std::end(kOwnStarts) ? std::nullopt : std::optional<OwnStart>(found->second);
}

ActionKind ownAction(OwnMode mode, const std::wstring& serviceKey)
{
    const bool neverRuns = isUserTemplate(serviceKey);
    switch (mode) {
    case OwnMode::Disabled:
        return neverRuns ? ActionKind::DisableOnly : ActionKind::StopAndDisable;
    case OwnMode::Manual:
        return ActionKind::ManualOnly;
    case OwnMode::Automatic:
        return neverRuns ? ActionKind::AutomaticOnly : ActionKind::StartAndAutomatic;
    case OwnMode::DelayedAutomatic:
        return neverRuns ? ActionKind::DelayedAutomaticOnly : ActionKind::StartAndDelayedAutomatic;
    case OwnMode::Unchanged:
        break;
    }
    return ActionKind::Keep;
}

FittedOwnProfile fitOwnProfile(const OwnProfile& profile, Lists lists, bool delayedStarts,
                               const std::optional<std::vector<std::optional<ServiceState>>>& states)
{
    const std::vector<std::wstring> keys = catalogueKeys(lists);
    FittedOwnProfile fitted;
    for (OwnSetting setting : profile) {
        const auto found = std::find(keys.begin(), keys.end(), setting.serviceKey);
        if (found == keys.end()) {
            fitted.otherWindows.push_back(setting.serviceKey);
            continue;
        }
        if (setting.mode == OwnMode::DelayedAutomatic && !delayedStarts) {
            fitted.noDelayedStart.push_back(setting.serviceKey);
            setting.mode = OwnMode::Automatic;
        }
        const auto index = static_cast<std::size_t>(found - keys.begin());
        if (states && (index >= states->size() || !(*states)[index]))
            fitted.notInstalled.push_back(setting.serviceKey);
        fitted.profile.push_back(setting);
    }
    return fitted;
}

std::string fittingNotes(const FittedOwnProfile& fitted, const std::string& prefix)
{
    std::string notes;
    if (!fitted.otherWindows.empty())
        notes += prefix + "left out, services of another Windows' list: " + printableList(fitted.otherWindows) + "\n";
    if (!fitted.noDelayedStart.empty())
        notes += prefix + "automatic without a delay, which this Windows does not have: " + printableList(fitted.noDelayedStart)
            + "\n";
    if (!fitted.notInstalled.empty())
        notes += prefix + "left alone, not installed here: " + printableList(fitted.notInstalled) + "\n";
    return notes;
}

}  // namespace quillora
