#include "engine/choice/own_profile.h"

#include <algorithm>

#include "engine/records/backups/backup_file.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

const char kProfileHeader[] = "quillora-profile 1";
const char kBackupHeader[] = "quillora-backup 1";
const char kFileName[] = "own-profile.txt";

OwnMode modeOfEntry(const BackupEntry& entry)
{
    switch (*entry.mode) {
    case StartMode::Disabled:
        return OwnMode::Disabled;
    case StartMode::Manual:
        return OwnMode::Manual;
    default:
        return entry.delayed ? OwnMode::DelayedAutomatic : OwnMode::Automatic;
    }
}

BackupEntry entryOf(const OwnSetting& setting)
{
    const ActionEffect& effect = effectOf(ownAction(setting.mode, setting.serviceKey));
    return {setting.serviceKey, effect.mode, effect.delayed};
}

bool settable(StartMode mode)
{
    return mode == StartMode::Automatic || mode == StartMode::Manual || mode == StartMode::Disabled;
}

void sortByCatalogue(OwnProfile& profile)
{
    const std::vector<std::wstring> keys = catalogueKeys();
    const auto position = [&](const OwnSetting& setting) { return std::find(keys.begin(), keys.end(), setting.serviceKey); };
    std::stable_sort(profile.begin(), profile.end(),
                     [&](const OwnSetting& a, const OwnSetting& b) { return position(a) < position(b); });
}

std::string keyList(const std::vector<std::wstring>& keys)
{
    std::string text;
    for (const std::wstring& key : keys)
        text += (text.empty() ? "" : ", ") + toUtf8(key);
    return text;
}

}  // namespace

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
    sortByCatalogue(changed);
    return changed;
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

std::string formatOwnProfile(const OwnProfile& profile)
{
    std::vector<BackupEntry> entries;
    for (const OwnSetting& setting : profile)
        entries.push_back(entryOf(setting));
    return formatBackupForm(kProfileHeader, entries);
}

OwnProfile parseOwnProfile(const std::string& bytes)
{
    const BackupForm form =
        parseBackupForm(bytes, {kProfileHeader, kBackupHeader}, FileProblem::NotAProfile,
                        std::string("not a Quillora profile (the first line must be '") + kProfileHeader + "' or '"
                            + kBackupHeader + "')");
    const bool backup = form.header == 1;
    OwnProfile profile;
    for (std::size_t i = 0; i < form.entries.size(); ++i) {
        const BackupEntry& entry = form.entries[i];
        // A backup's service that was not installed then is left alone; a profile names only what
        // it sets.
        if (!entry.mode && backup)
            continue;
        if (!entry.mode || !settable(*entry.mode))
            throw BackupError(FileProblem::ModeNotForProfile, static_cast<int>(i) + 2,
                              "a profile sets auto, demand or disabled", formatEntry(entry));
        profile.push_back({entry.serviceKey, modeOfEntry(entry)});
    }
    sortByCatalogue(profile);
    return profile;
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

bool hasDelayedStarts(const std::optional<WindowsVersion>& windows)
{
    return !windows || generationOf(*windows) == WindowsGeneration::VistaAndLater;
}

std::string fittingNotes(const FittedOwnProfile& fitted)
{
    std::string notes;
    if (!fitted.otherWindows.empty())
        notes += "left out, services of another Windows' list: " + keyList(fitted.otherWindows) + "\n";
    if (!fitted.noDelayedStart.empty())
        notes += "automatic without a delay, which this Windows does not have: " + keyList(fitted.noDelayedStart) + "\n";
    if (!fitted.notInstalled.empty())
        notes += "left alone, not installed here: " + keyList(fitted.notInstalled) + "\n";
    return notes;
}

const OwnProfile& KeptOwnProfile::profile()
{
    if (profile_)
        return *profile_;
    const std::string file = path();
    if (!machine_.files().exists(file))
        return profile_.emplace();
    try {
        return profile_.emplace(parseOwnProfile(readFile(machine_.files(), file)));
    } catch (const BackupError& error) {
        throw FileFailure(file, error.problem(), fromUtf8(error.what()));
    }
}

void KeptOwnProfile::choose(OwnProfile profile)
{
    profile_ = std::move(profile);
    save(*profile_);
}

void KeptOwnProfile::replace(OwnProfile profile)
{
    save(profile);
    profile_ = std::move(profile);
}

void KeptOwnProfile::save(const OwnProfile& profile)
{
    const std::string file = path();
    try {
        machine_.files().createFolders(dataFolder(machine_));
        machine_.files().writeAtomically(file, formatOwnProfile(profile), true);
    } catch (const FileFailure& failure) {
        // Whichever step failed, the user is told of the file they asked to keep.
        throw FileFailure(file, failure.number(), failure.description());
    }
}

std::string KeptOwnProfile::path()
{
    return dataFolder(machine_) + machine_.separator() + kFileName;
}

}  // namespace quillora
