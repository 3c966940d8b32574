#include "engine/machine/restore_point.h"

#include <algorithm>

#include "engine/text/utf8.h"

namespace quillora {
namespace {

struct KindName {
    RestorePointAnswer::Kind kind;
    const char* name;
    bool numbered;
};
constexpr KindName kKindNames[] = {
    {RestorePointAnswer::Kind::Made, "made", true},
    {RestorePointAnswer::Kind::AlreadyMade, "already-made", true},
    {RestorePointAnswer::Kind::Off, "off", false},
    {RestorePointAnswer::Kind::Refused, "refused", true},
    {RestorePointAnswer::Kind::Shared, "shared", true},
};

}  // namespace

std::string restorePointText(const RestorePointAnswer& answer)
{
    for (const KindName& entry : kKindNames) {
        if (entry.kind != answer.kind)
            continue;
        if (!entry.numbered)
            return entry.name;
        const long long number = answer.kind == RestorePointAnswer::Kind::Refused ? static_cast<long long>(answer.error)
                                                                                  : answer.sequence;
        return std::string(entry.name) + " " + std::to_string(number);
    }
    return "";
}

std::optional<RestorePointAnswer> parseRestorePoint(const std::string& text)
{
    const std::size_t blank = text.find(' ');
    const std::string name = text.substr(0, blank);
    const auto entry = std::find_if(std::begin(kKindNames), std::end(kKindNames),
                                    [&](const KindName& k) { return name == k.name; });
    if (entry == std::end(kKindNames) || entry->numbered != (blank != std::string::npos))
        return std::nullopt;
    RestorePointAnswer answer{entry->kind};
    if (!entry->numbered)
        return answer;
    const std::optional<long long> number = decimalNumber(text.substr(blank + 1), 18);
    if (!number)
        return std::nullopt;
    if (answer.kind == RestorePointAnswer::Kind::Refused)
        answer.error = static_cast<unsigned long>(*number);
    else
        answer.sequence = *number;
    return answer;
}

RestorePointAnswer SharedRestorePoints::begin(const std::wstring& description, const std::function<void()>& waiting)
{
    if (asking_)
        throw RestorePointBusy{};
    if (open_) {
        ++holders_;
        return {RestorePointAnswer::Kind::Shared, *open_};
    }
    asking_ = true;
    RestorePointAnswer answer{RestorePointAnswer::Kind::Off};
    try {
        answer = windows_.begin(description, waiting);
    } catch (...) {
        asking_ = false;
        throw;
    }
    asking_ = false;
    if (answer.kind == RestorePointAnswer::Kind::Made) {
        open_ = answer.sequence;
        holders_ = 1;
    }
    return answer;
}

void SharedRestorePoints::end(std::int64_t sequence)
{
    if (!open_ || *open_ != sequence || --holders_ > 0)
        return;
    open_.reset();
    windows_.end(sequence);
}

}  // namespace quillora
