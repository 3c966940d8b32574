#pragma once

#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "engine/catalogue/action.h"
#include "engine/catalogue/answers.h"
#include "engine/catalogue/table_language.h"
#include "engine/machine/windows_version.h"

namespace quillora {

// A question of the wizard that decides what a row does: the answer's flag, and what a "yes"
// performs instead of the row's own action.
struct RowQuestion {
    AnswerFlag flag;
    ActionKind ifYes;
};

// One row of a profile.
struct ServiceStep {
    std::wstring label;        // fixed text at the start of the log line, such as "3.1"
    std::wstring displayName;  // the name the log line shows
    std::wstring serviceKey;   // the name the command lines use, unquoted
    ActionKind action;         // what the row performs; for a question row, what a "no" performs
    std::optional<RowQuestion> question;
};

// The kind the step performs now, the one place that says it: a question row reads its flag at
// this moment, so an answer given while a run is under way still counts if the run has not
// reached the step yet. Any answer but a yes counts as no.
ActionKind performedAction(const ServiceStep& step, const Answers& answers);


enum class Profile {
    Prompted,   // optimisation by questions: three rows follow the wizard's answers
    Automatic,  // automatic optimisation
    Restore,    // restore of the system defaults
    Own,        // the user's own: a start mode chosen for each service (engine/choice/own_profile.h)
};

// Which lists of the catalogue a profile covers: the sixty services the program was made with
// everywhere, and the fourteen of Windows 10 and 11 that Microsoft's own guidance rates safe to turn
// off where the Windows has them.
enum class Lists { Designed, WithWindows10 };

// The lists for a machine: with the Windows 10 list on Windows 10 and 11 only; the designed list
// alone on any other Windows, or where the Windows is not known.
Lists listsFor(const std::optional<WindowsVersion>& windows);

// The rows of the catalogue that the profile runs over the lists, in run order: the designed rows,
// then the Windows 10 ones.
std::vector<ServiceStep> profileSteps(Profile profile, Lists lists);

// The row at this index of the lists (catalogue order) under the profile; for a row the profile
// does not have, its action means nothing.
ServiceStep catalogueStep(Profile profile, Lists lists, std::size_t index);

// Whether the profile has a row for the service.
bool inProfile(Profile profile, const std::wstring& serviceKey);

// "prompted", "automatic", "restore", "own": the profile's name on the command line and in the settings.
const char* profileName(Profile profile);

// The keys of every service the program knows, in catalogue order.
std::vector<std::wstring> catalogueKeys();
// The key of the catalogue's service that the given key names, in the catalogue's spelling: Windows'
// service names are the same in any case. nullopt for a key the catalogue does not know.
std::optional<std::wstring> catalogueSpelling(const std::wstring& given);

// The keys the lists cover, in catalogue order.
std::vector<std::wstring> catalogueKeys(Lists lists);

// The keys of the Windows 10 list alone, in catalogue order.
std::vector<std::wstring> windows10ListKeys();

// The index of a service among the keys the lists cover.
std::size_t catalogueIndex(Lists lists, const std::wstring& serviceKey);

// What Microsoft's published guidance says of one of the catalogue's services on a generation of
// Windows. For Windows Vista and later it is Microsoft's "Guidance on disabling system services on
// Windows Server 2016 with Desktop Experience" (Windows Server documentation, security guidelines
// for system services), the one published rating of every service of Windows 10 and Server 2016;
// from Windows Server 2019 on these ratings are the defaults. It rates a service "Do not disable",
// "OK to disable", "Already disabled", "Should be disabled" or "No guidance", which it explains as
// "the default configuration of these services should not be changed". No other published guidance
// shows a difference between Vista, 7, 8, 10 and 11, so they are one generation. A service of the
// catalogue that the guidance does not name is not rated; nothing is claimed for it.
enum class Guidance {
    NotListed,     // the guidance for this generation names no such service
    DoNotDisable,  // "Do not disable": needed
    KeepDefault,   // "No guidance": its default configuration should not be changed; needed
    MayDisable,    // "OK to disable", or already disabled by default
};

Guidance guidanceFor(const std::wstring& serviceKey, WindowsGeneration generation);

// Whether the generation needs the service as Windows sets it: a run must not change it. Windows XP
// and Server 2003 need none of them: the catalogue was made for them.
bool isNeeded(const std::wstring& serviceKey, WindowsGeneration generation);

// What kind of service a row sets.
enum class ServiceKind {
    Classic,
    // A per-user template: Windows makes a service from it for each user who signs in.
    UserTemplate,
    // A per-user template that a Group Policy security template cannot set: only its registry
    // value can.
    UserTemplateOutsideSecurityTemplates,
};

// The kind of a catalogue service; classic for a key the catalogue does not know.
ServiceKind kindOf(const std::wstring& serviceKey);

// Whether the service is a per-user template: Windows makes a service from it for each user who
// signs in, so a change to it takes effect at each user's next sign-in.
bool isUserTemplate(const std::wstring& serviceKey);

// The question that decides what optimising by questions does to the service; nullopt for a
// service no answer decides.
std::optional<AnswerFlag> questionOf(const std::wstring& serviceKey);

// The name the log shows for a service of the catalogue; the key itself for any other.
std::wstring displayNameOf(const std::wstring& serviceKey);

// The name the windows give a service in a language: in Chinese, Microsoft's own Chinese name of a
// service of the Windows 10 list, where it publishes one; else the log's name.
std::wstring serviceNameIn(TableLanguage language, const std::wstring& serviceKey);

// The keys of the rows a question decides, in catalogue order.
std::vector<std::wstring> keysAskedBy(AnswerFlag flag);

// The label that starts the service's log line, such as "3.1"; empty for a key the catalogue
// does not know.
std::wstring labelOf(const std::wstring& serviceKey);

// The entry of a table of services whose serviceKey is the key; nullptr where none is. The
// catalogue's tables, and those that say more of its services, are looked up by it.
template <typename Table>
auto entryWithKey(const Table& table, const std::wstring& serviceKey) -> decltype(&*std::begin(table))
{
    for (const auto& entry : table) {
        if (serviceKey == entry.serviceKey)
            return &entry;
    }
    return nullptr;
}

}  // namespace quillora
