#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/catalogue/action.h"
#include "engine/catalogue/catalogue.h"
#include "engine/machine/machine.h"
#include "engine/machine/windows_version.h"

namespace quillora {

// The user's own profile: a start mode chosen for each service, run like the three designed
// profiles and carried to other machines as a file.

// What the user chose for one service.
enum class OwnMode { Unchanged, Disabled, Manual, Automatic, DelayedAutomatic };

struct OwnSetting {
    std::wstring serviceKey;
    OwnMode mode;
    bool operator==(const OwnSetting&) const = default;
};

// The services to set, in catalogue order; a service not in it is left unchanged.
using OwnProfile = std::vector<OwnSetting>;

// The mode chosen for the service; Unchanged where none is.
OwnMode ownModeOf(const OwnProfile& profile, const std::wstring& serviceKey);

// The profile with the services of keys set to mode (Unchanged takes them out), in catalogue order.
OwnProfile withMode(const OwnProfile& profile, const std::vector<std::wstring>& keys, OwnMode mode);

// What a row of the own profile performs: what the designed profiles launch for a row that sets
// that mode. A service is stopped before it is disabled and started once automatic; manual sets
// the mode alone, as a restore does, and leaves a running service running. A per-user template
// never runs, so only its mode is set. Keep for Unchanged.
ActionKind ownAction(OwnMode mode, const std::wstring& serviceKey);

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

// An own profile fitted to one machine: what cannot be used there is left out or changed, and told
// once, each kind in a list of its own, in catalogue order.
struct FittedOwnProfile {
    OwnProfile profile;
    std::vector<std::wstring> otherWindows;       // a service of the other Windows' list: left out
    std::vector<std::wstring> noDelayedStart;     // a delayed start this Windows has not: automatic
    std::vector<std::wstring> notInstalled;       // kept, and left alone where it is not installed
};

// lists: the machine's; delayedStarts: whether its Windows delays automatic starts; states: its
// services in the order of the lists' keys, nullopt where they are not known.
FittedOwnProfile fitOwnProfile(const OwnProfile& profile, Lists lists, bool delayedStarts,
                               const std::optional<std::vector<std::optional<ServiceState>>>& states);

// Whether a Windows delays automatic starts: Vista and later, or one not known.
bool hasDelayedStarts(const std::optional<WindowsVersion>& windows);

// What fitOwnProfile left out or changed, in the companion's words, a line each (LF); empty where
// nothing was.
std::string fittingNotes(const FittedOwnProfile& fitted);

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
