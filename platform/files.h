#pragma once

#include <string>

#include "engine/machine.h"

namespace quillora::platform {

// Whole files on a Windows file system, named in UTF-8 so that any file name survives.
class WindowsFiles : public Files {
public:
    bool exists(const std::string& path) override;
    std::string read(const std::string& path) override;
    // Writes a temporary file beside the target and renames it into place, so that a failure
    // never leaves a half-written file.
    void writeAtomically(const std::string& path, const std::string& bytes, bool replace) override;
};

}  // namespace quillora::platform
