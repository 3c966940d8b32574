#pragma once

#include <optional>
#include <string>

#include "engine/choice/own_profile.h"
#include "engine/machine/machine.h"

namespace quillora {

// The own profile's file, in the backup's form (UTF-8, CR LF):
//
//   quillora-profile 1
//   KEY<TAB>MODE[<TAB>delayed]      for each service to set: auto, demand or disabled
//   end
std::string formatOwnProfile(const OwnProfile& profile);

// Reads an own profile's file, or a backup's, which sets every service it lists as installed.
// Read as a backup is: a key no list knows, a mode the profile cannot set, a key twice or a damaged
// line refuses the whole file; throws BackupError naming the line.
OwnProfile parseOwnProfile(const std::string& bytes);

// The own profile of this machine's user, kept in the data folder: read when first asked for,
// saved whole whenever it changes. A kept profile that cannot be read is never taken for an empty
// one: it is read again at every ask until it can be.
class KeptOwnProfile {
public:
    explicit KeptOwnProfile(Machine& machine) : machine_(machine) {}

    // Throws PlatformFailure where the kept profile cannot be read.
    const OwnProfile& profile();
    // A choice made in the window: it holds at once, then it is saved; throws PlatformFailure,
    // with the choice holding, where it cannot be saved.
    void choose(OwnProfile profile);
    // A whole profile from a file: saved first, and holding only once it is; throws
    // PlatformFailure with nothing changed.
    void replace(OwnProfile profile);

private:
    std::string path();
    void save(const OwnProfile& profile);

    Machine& machine_;
    std::optional<OwnProfile> profile_;
};

}  // namespace quillora
