#pragma once

#include "engine/machine/machine.h"

namespace quillora {

// Whole files through the C++ standard library, for systems other than Windows. Every failure is
// a FileFailure naming the file.
class StandardFiles : public Files {
public:
    bool exists(const std::string& path) override;
    bool isFolder(const std::string& path) override;
    std::string read(const std::string& path) override;
    // Writes a temporary file beside the target and moves it into place; without replace, the
    // move is a new link that fails if the target exists, so a file is never overwritten.
    void writeAtomically(const std::string& path, const std::string& bytes, bool replace) override;
    void append(const std::string& path, const std::string& bytes) override;
    void createFolders(const std::string& path) override;
    std::vector<FileEntry> list(const std::string& folder) override;
};

}  // namespace quillora
