#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillora {

// What Windows answered when a run asked System Restore for a restore point before it.
struct RestorePointAnswer {
    enum class Kind {
        Made,         // a new restore point, numbered sequence
        AlreadyMade,  // none: Windows 8 and later keep one a day, and gave the number of the one made earlier
        Off,          // none: System Restore is off, or this Windows has none
        Refused,      // none: Windows refused, with error
    };
    Kind kind;
    std::int64_t sequence = 0;
    unsigned long error = 0;
    bool operator==(const RestorePointAnswer&) const = default;
};

// As a run's result keeps it: "made 12", "already-made 12", "off", "refused 5".
std::string restorePointText(const RestorePointAnswer& answer);
// The same read back; nullopt for text that says none of them.
std::optional<RestorePointAnswer> parseRestorePoint(const std::string& text);

// System Restore, as a run asks it: a "modify settings" restore point begun before the run's
// backup and ended once the run's last command has ended. The windows ask it through a hidden
// process of their own, waited for with the message loop; the companion asks it itself.
class RestorePoints {
public:
    virtual ~RestorePoints() = default;
    // Begins a restore point described so ("Quillora: window automatic"); Windows' answer. A
    // restore point that Windows made is Made; the engine tells one made earlier apart.
    virtual RestorePointAnswer begin(const std::wstring& description) = 0;
    // The changes of the restore point begun with this number are over.
    virtual void end(std::int64_t sequence) = 0;
};

}  // namespace quillora
