#pragma once

#include <vector>

#include "engine/service_step.h"

namespace quillora {

enum class Profile {
    Prompted,   // optimisation by questions: three rows follow the wizard's answers
    Automatic,  // automatic optimisation
    Restore,    // restore of the system defaults
};

// The rows of the catalogue that the profile runs, in run order.
std::vector<ServiceStep> profileSteps(Profile profile);

// "prompted", "automatic", "restore": the profile's name on the command line and in the settings.
const char* profileName(Profile profile);

// Number of services the program knows, whether or not a profile runs them.
std::size_t catalogueSize();

// The keys of every service the program knows, in catalogue order.
std::vector<std::wstring> catalogueKeys();

// The name the log shows for a service of the catalogue; the key itself for any other.
std::wstring displayNameOf(const std::wstring& serviceKey);

// The label that starts the service's log line, such as "3.1"; empty for a key the catalogue
// does not know.
std::wstring labelOf(const std::wstring& serviceKey);

}  // namespace quillora
