#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/catalogue/catalogue.h"
#include "engine/machine/machine.h"
#include "engine/text/file_problem.h"

namespace quillora {

// The services a user chose to leave alone, as a file the companion takes with --skip: UTF-8 with
// a byte-order mark and CR LF line ends, a comment line naming the profile, then one service key
// a line. Lines starting with '#' are comments; blank lines count for nothing.

// A skip file that cannot be taken, with the line at fault (1-based; 0 for the file as a whole);
// what() does not name the line.
class SkipFileError : public FileProblemError {
public:
    using FileProblemError::FileProblemError;
};

// The keys of a skip file, in its order. Reading is forgiving where editors are (no byte-order
// mark, LF line ends, blanks around a key, a key in any case, as Windows takes it, which is
// returned in the catalogue's spelling); a file that is not UTF-8 text, an unknown key and a key
// given twice are refused.
std::vector<std::wstring> parseSkipFile(const std::string& bytes);

// The file for the keys, exactly as written: byte-order mark, the comment line, one key a line.
std::string formatSkipFile(const std::string& profileName, const std::vector<std::wstring>& keys);

// The services the user of this machine chose to leave alone, profile by profile: read from the
// settings when first asked for, and kept there whenever they change. A saved choice that cannot
// be read is never taken for an empty one: it is read again at every ask until it can be.
class ChosenSkips {
public:
    explicit ChosenSkips(Machine& machine) : machine_(machine) {}

    // In catalogue order. Throws FileFailure where the saved choice cannot be read.
    const std::vector<std::wstring>& skipped(Profile profile);
    // A check box changed: the choice holds for this start at once; then it is saved. Throws
    // FileFailure, with nothing changed, where the saved choice cannot be read; FileFailure or
    // PlatformFailure, with the choice holding, where it cannot be saved.
    void choose(Profile profile, const std::vector<std::wstring>& keys);
    // A whole new choice, as from a file: saved first, and holding only once it is. Throws as
    // choose does, with nothing changed.
    void replace(Profile profile, const std::vector<std::wstring>& keys);

private:
    struct Choice {
        bool read = false;
        std::vector<std::wstring> keys;
    };
    Choice& of(Profile profile);

    Machine& machine_;
    Choice choices_[3];
};

}  // namespace quillora
