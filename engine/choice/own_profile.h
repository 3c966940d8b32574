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

// The same settings in catalogue order.
OwnProfile inCatalogueOrder(OwnProfile profile);

// The mode chosen for the service; Unchanged where none is.
OwnMode ownModeOf(const OwnProfile& profile, const std::wstring& serviceKey);

// The profile with the services of keys set to mode (Unchanged takes them out), in catalogue order.
OwnProfile withMode(const OwnProfile& profile, const std::vector<std::wstring>& keys, OwnMode mode);

// The mode the own profile sets for a start mode, a delayed one where delayed; nullopt for one it
// cannot set (boot, system).
std::optional<OwnMode> ownModeFor(StartMode mode, bool delayed);

// The other way: the start mode a mode of the own profile sets, and whether Windows delays it;
// nullopt for Unchanged.
struct OwnStart {
    StartMode mode;
    bool delayed;
};
std::optional<OwnStart> startOf(OwnMode mode);

// What a row of the own profile performs: what the designed profiles launch for a row that sets
// that mode. A service is stopped before it is disabled and started once automatic; manual sets
// the mode alone, as a restore does, and leaves a running service running. A per-user template
// never runs, so only its mode is set. Keep for Unchanged.
ActionKind ownAction(OwnMode mode, const std::wstring& serviceKey);

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

// What fitOwnProfile left out or changed, in the companion's words, a line each (LF) after the
// prefix; empty where nothing was.
std::string fittingNotes(const FittedOwnProfile& fitted, const std::string& prefix = "");

}  // namespace quillora
