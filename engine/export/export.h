#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/catalogue/answers.h"
#include "engine/records/backups/backup_file.h"
#include "engine/catalogue/catalogue.h"
#include "engine/plan/plan.h"

namespace quillora {

// What an export asks of one service: its start mode and whether to stop or start it, as the
// program's command lines do for a profile's row.
struct ExportTarget {
    enum class Run { Leave, Stop, Start };

    std::wstring serviceKey;
    StartMode mode;
    bool delayed = false;
    Run run = Run::Leave;
    bool onlyFromDisabled = false;  // set only where the service is disabled now
    bool operator==(const ExportTarget&) const = default;
};

// The services an export sets, and the comment lines that say where they came from.
struct ExportPlan {
    std::vector<std::string> description;  // UTF-8, one line each
    std::vector<ExportTarget> targets;
};

// What an export of a profile plans for: other machines, whose state is not known. A fleet today
// runs Windows 10 and 11, and every machine Ansible manages is a later Windows than XP: unless
// withNeeded, the rows that change a service Windows Vista and later need are left out. The
// answers must outlive the inputs.
PlanInputs exportInputs(Profile profile, const Answers& answers, Lists lists, bool withNeeded = false,
                        std::vector<std::wstring> skipped = {});

// Every row of the profile those inputs plan (the own profile with what it sets), the prompted one
// following the answers; the services Windows needs that it leaves out are named in a comment,
// and those skipped by choice in a comment of their own. A row that keeps its service as Windows
// has it sets nothing.
ExportPlan profileExport(const PlanInputs& inputs, const std::string& profileName);

// The saved modes of a backup, neither stopping nor starting anything, as restore does; services
// that were not installed when it was made are left out.
ExportPlan backupExport(const std::vector<BackupEntry>& backup, const std::string& backupName);

// A Group Policy security template setting the start modes in its System Services area
// ([Service General Setting]): UTF-16LE with a byte-order mark and CR LF line ends, as Windows
// reads it. A per-user template that such a template cannot set gets its registry value in
// [Registry Values]. Rows the format cannot hold are left out and named in its comments.
std::string securityTemplate(const ExportPlan& plan);

// An Ansible playbook (UTF-8) that sets each service with ansible.windows.win_service on every
// host of the inventory pattern in the variable quillora_hosts, skipping services a host does not
// have, and reports which services changed.
std::string ansiblePlaybook(const ExportPlan& plan);

}  // namespace quillora
