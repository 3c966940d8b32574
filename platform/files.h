#pragma once

#include <string>

#include "engine/machine/machine.h"

namespace quillora::platform {

// Whole files on a Windows file system, named in UTF-8 so that any file name survives. Every
// failure is a FileFailure naming the file.
class WindowsFiles : public Files {
public:
    bool exists(const std::string& path) override;
    bool isFolder(const std::string& path) override;
    std::string read(const std::string& path) override;
    // Writes a temporary file beside the target and renames it into place, so that a failure
    // never leaves a half-written file.
    void writeAtomically(const std::string& path, const std::string& bytes, bool replace) override;
    void append(const std::string& path, const std::string& bytes) override;
    void createFolders(const std::string& path) override;
    std::vector<FileEntry> list(const std::string& folder) override;
};

}  // namespace quillora::platform
