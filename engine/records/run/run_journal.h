#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/records/backups/backup_file.h"

namespace quillora {

// A run's journal, written beside its backup before the run acts, so that how far a run got is
// known after its program was killed: what it means to leave each service in, then each service
// as the run reaches it, noted before its commands are launched or its mode is set. UTF-8, CR LF:
//
//   quillora-journal 1
//   intent<TAB>KEY<TAB>MODE[<TAB>delayed]    one line a service the run means to set
//   reached<TAB>KEY<TAB>MODE[<TAB>delayed]   added as the run reaches the service
//
// MODE in the words of sc config (auto, demand, disabled). A last line without its line end was
// cut by the program's end while it was written, and counts for nothing.
struct RunJournal {
    std::vector<BackupEntry> intent;
    std::vector<BackupEntry> reached;  // in the order reached, each with the mode the run set

    // What the run set the service to, where it reached it; nullopt where it never did.
    std::optional<BackupEntry> reachedMode(const std::wstring& serviceKey) const;
};

// The journal as the run writes it before it acts: its first line and its intent.
std::string formatJournal(const std::vector<BackupEntry>& intent);

// The line added as the run reaches a service.
std::string reachedLine(const BackupEntry& mode);

// A journal read back; nullopt where it is not a whole journal (a line not the program's).
std::optional<RunJournal> parseJournal(const std::string& text);

}  // namespace quillora
