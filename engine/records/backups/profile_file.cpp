#include "engine/records/backups/profile_file.h"

#include "engine/records/backups/backup_file.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

const char kProfileHeader[] = "quillora-profile 1";
const char kFileName[] = "own-profile.txt";

BackupEntry entryOf(const OwnSetting& setting)
{
    const std::optional<OwnStart> start = startOf(setting.mode);
    return {setting.serviceKey, start ? std::optional<StartMode>(start->mode) : std::nullopt, start && start->delayed};
}

}  // namespace

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
        const std::optional<OwnMode> mode = entry.mode ? ownModeFor(*entry.mode, entry.delayed) : std::nullopt;
        if (!mode)
            throw BackupError(FileProblem::ModeNotForProfile, static_cast<int>(i) + 2,
                              "a profile sets auto, demand or disabled", formatEntry(entry));
        profile.push_back({entry.serviceKey, *mode});
    }
    return inCatalogueOrder(std::move(profile));
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
    keepInDataFolder(machine_, path(), [&] { return formatOwnProfile(profile); });
}

std::string KeptOwnProfile::path()
{
    return dataFolder(machine_) + machine_.separator() + kFileName;
}

}  // namespace quillora
