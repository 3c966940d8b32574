#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/catalogue.h"
#include "engine/service_step.h"

namespace quillora {

// The services a user chose to leave alone, as a file the companion takes with --skip: UTF-8 with
// a byte-order mark and CR LF line ends, a comment line naming the profile, then one service key
// a line. Lines starting with '#' are comments; blank lines count for nothing.

// A skip file that cannot be taken, with the line at fault (1-based; 0 for the file as a whole).
class SkipFileError : public std::runtime_error {
public:
    SkipFileError(int line, const std::string& problem)
        : std::runtime_error(problem), line_(line) {}
    int line() const { return line_; }

private:
    int line_;
};

// The keys of a skip file, in its order. Reading is forgiving where editors are (no byte-order
// mark, LF line ends, blanks around a key); a file that is not UTF-8 text, an unknown key and a key
// given twice are refused.
std::vector<std::wstring> parseSkipFile(const std::string& bytes);

// The file for the keys, exactly as written: byte-order mark, the comment line, one key a line.
std::string formatSkipFile(const std::string& profileName, const std::vector<std::wstring>& keys);

// The steps with the chosen services left alone by choice: they launch nothing and log "保留".
std::vector<ServiceStep> leavingChosenAlone(std::vector<ServiceStep> steps, const std::vector<std::wstring>& keys);

}  // namespace quillora
