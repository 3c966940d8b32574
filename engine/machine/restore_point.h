#pragma once

#include <cstdint>
#include <functional>
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
        Shared,       // the one being made for a run begun earlier, numbered sequence, which covers both
    };
    Kind kind;
    std::int64_t sequence = 0;
    unsigned long error = 0;
    bool operator==(const RestorePointAnswer&) const = default;
    // Whether the run holds a restore point open, which must be ended once the run is.
    bool opened() const { return kind == Kind::Made || kind == Kind::Shared; }
};

// As a run's result keeps it: "made 12", "already-made 12", "off", "refused 5", "shared 12".
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
    // restore point that Windows made is Made; the engine tells one made earlier apart. waiting,
    // where given, is called once the answer is slow to come, so that the wait can be shown.
    virtual RestorePointAnswer begin(const std::wstring& description, const std::function<void()>& waiting = nullptr) = 0;
    // The changes of the restore point begun with this number are over.
    virtual void end(std::int64_t sequence) = 0;
};

// System Restore as the program's runs share it: at most one request to Windows at a time, and a
// run that begins while a restore point is open (an earlier run's, whose commands still run)
// shares it instead of asking for another. Every point begun is ended once, when the last run
// that holds it ends it.
class SharedRestorePoints final : public RestorePoints {
public:
    explicit SharedRestorePoints(RestorePoints& windows) : windows_(windows) {}

    // Throws RestorePointBusy where it is asked while Windows has not answered an earlier request.
    RestorePointAnswer begin(const std::wstring& description, const std::function<void()>& waiting = nullptr) override;
    void end(std::int64_t sequence) override;

    // Whether a request waits for Windows' answer.
    bool asking() const { return asking_; }

private:
    RestorePoints& windows_;
    bool asking_ = false;
    std::optional<std::int64_t> open_;
    int holders_ = 0;
};

// A restore point asked for while Windows still makes another.
struct RestorePointBusy {};

}  // namespace quillora
