#include "companion/output_file.h"

#include "engine/machine/failure.h"

namespace quillora {

void checkOutputFile(Files& files, const std::string& path, bool force)
{
    if (files.isFolder(path))
        throw FileFailure(path, 0, L"is a folder; give the name of a file in it");
    if (!force && files.exists(path))
        throw FileFailure(path, 0, L"exists already; give --force to replace it");
}

}  // namespace quillora
