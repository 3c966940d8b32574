#pragma once

#include <optional>
#include <vector>

#include "engine/catalogue/service_step.h"
#include "engine/machine/windows_version.h"

namespace quillora {

enum class Profile {
    Prompted,   // optimisation by questions: three rows follow the wizard's answers
    Automatic,  // automatic optimisation
    Restore,    // restore of the system defaults
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

// "prompted", "automatic", "restore": the profile's name on the command line and in the settings.
const char* profileName(Profile profile);

// The keys of every service the program knows, in catalogue order.
std::vector<std::wstring> catalogueKeys();
// The keys the lists cover, in catalogue order.
std::vector<std::wstring> catalogueKeys(Lists lists);

// The keys of the Windows 10 list alone, in catalogue order.
std::vector<std::wstring> windows10ListKeys();

// The index of a service among the keys the lists cover.
std::size_t catalogueIndex(Lists lists, const std::wstring& serviceKey);

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

// The name the Chinese question windows give a service of the Windows 10 list; the log's name for
// any other.
std::wstring chineseNameOf(const std::wstring& serviceKey);

// The keys of the rows a question decides, in catalogue order.
std::vector<std::wstring> keysAskedBy(AnswerFlag flag);

// The label that starts the service's log line, such as "3.1"; empty for a key the catalogue
// does not know.
std::wstring labelOf(const std::wstring& serviceKey);

}  // namespace quillora
