#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/catalogue/answers.h"
#include "engine/catalogue/catalogue.h"
#include "engine/choice/own_profile.h"
#include "engine/machine/machine.h"
#include "engine/records/backups/backup_on_machine.h"
#include "engine/records/run/run_result.h"
#include "engine/machine/windows_version.h"
#include "ui/words/texts.h"

namespace quillora::ui {

// The rows of the services window, as text in the window's language: what the list shows, how it
// sorts and what it copies. No window here: the window puts these rows into its list view.

struct ServiceRow {
    std::wstring serviceKey;
    std::vector<std::wstring> cells;
    std::wstring note;  // shown below the list: why the run failed on it, or why that is unknown
    bool choosable = false;  // a profile's row whose choice can change something: the user's to leave alone
    bool unknown = false;    // a result's row whose outcome is unknown
    bool installed = false;  // the service was there when the row was made: now, or after the run
};

// The columns of a profile's view on this Windows and of the result's view, in order. Only Windows
// Vista and later need any of the services: before them a profile's view has no "needed" column.
std::vector<Text> profileColumns(const std::optional<WindowsVersion>& windows);
// The own profile's view: a profile's columns with the user's choice before what it would do.
std::vector<Text> ownColumns(const std::optional<WindowsVersion>& windows);
const std::vector<Text>& resultColumns();

// Every service of the catalogue's lists for this Windows as the profile's plan treats it here.
// states: the services of those lists now, in catalogue order (nullopt: not installed); windows: the Windows it runs, nullopt where unknown;
// skipped: the services the profile leaves alone by the user's choice, which change nothing. A row
// has a check box only where the profile can change its service on some machine, installed here or
// not, since the choice is carried to exports for other machines.
std::vector<ServiceRow> profileRows(Profile profile, const Answers& answers,
                                    const std::vector<std::optional<ServiceState>>& states,
                                    const std::optional<WindowsVersion>& windows, Language language,
                                    const std::vector<std::wstring>& skipped = {});

// Every service of the lists for this Windows as the own profile's plan treats it here, with the
// mode the user chose for it.
std::vector<ServiceRow> ownRows(const OwnProfile& own, const std::vector<std::optional<ServiceState>>& states,
                                const std::optional<WindowsVersion>& windows, Language language);

// The word of a mode the user chose, as the own profile's view shows it.
std::wstring ownModeWord(Language language, OwnMode mode);

// What the description pane says of a service of the Windows 10 list before Windows' own
// description: its question, its name on this machine where that differs from the catalogue's, when
// a per-user template's change takes effect, and what Microsoft's publications say of it, each
// named. Empty for any other service.
std::wstring guidanceNotes(const std::wstring& serviceKey, const std::wstring& machineName, Language language);

// Windows' words for one of its error numbers, as sc config's exit status is.
using ErrorWords = std::function<std::wstring(unsigned long)>;

// Why nothing is known of how a run ended, where its saved result does not say: a run shown from
// its backup alone.
enum class WithoutResult {
    NotSaved,   // the program ended before it saved one, or an earlier version ran it
    Unusable,   // the result file is damaged
};

// Every service a run touched and what became of it; where its mode has changed since (from now
// back to what the run left, as a restore of it would go), the mode it left and the mode now.
std::vector<ServiceRow> resultRows(const RunResult& result, Language language, const ErrorWords& errorWords,
                                   const std::vector<ModeChange>& changedSince = {},
                                   WithoutResult withoutResult = WithoutResult::NotSaved);

// Sorts by one column, keeping the order of equal rows; log labels sort as numbers (3.1 after 3,
// 10 after 9).
void sortRows(std::vector<ServiceRow>& rows, std::size_t column, bool ascending);

// A row's cells, tab-separated, without a line end.
std::wstring rowText(const ServiceRow& row);

// The column titles, then the rows chosen, as tab-separated text with CR LF line ends, for a
// spreadsheet or a mail; nothing when no row is chosen.
std::wstring copiedText(const std::vector<std::wstring>& titles, const std::vector<ServiceRow>& rows,
                        const std::vector<std::size_t>& chosen);

}  // namespace quillora::ui
