#include "platform/files.h"

#include <windows.h>

#include "engine/utf8.h"
#include "platform/handles.h"
#include "platform/system_error.h"

namespace quillora::platform {

bool WindowsFiles::exists(const std::string& path)
{
    return GetFileAttributesW(fromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string WindowsFiles::read(const std::string& path)
{
    const KernelHandle file(
        CreateFileW(fromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        throw systemFailure(GetLastError());
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    return bytes;
}

void WindowsFiles::writeAtomically(const std::string& path, const std::string& bytes, bool replace)
{
    const std::wstring target = fromUtf8(path);
    const std::wstring temporary = target + L".quillora-tmp";
    {
        const KernelHandle file(
            CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE)
            throw systemFailure(GetLastError());
        DWORD written = 0;
        const bool complete = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
            && written == bytes.size() && FlushFileBuffers(file.get());
        if (!complete) {
            const DWORD error = GetLastError();
            DeleteFileW(temporary.c_str());
            throw systemFailure(error ? error : ERROR_WRITE_FAULT);
        }
    }
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(temporary.c_str(), target.c_str(), flags)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        throw systemFailure(error);
    }
}

}  // namespace quillora::platform
