#include "platform/files.h"

#include <windows.h>

#include "engine/machine/failure.h"
#include "engine/text/utf8.h"
#include "platform/handles.h"
#include "platform/system_error.h"

namespace quillora::platform {
namespace {

// Seconds between 1601 (FILETIME) and 1970.
constexpr std::int64_t kEpochDifference = 11644473600LL;

FileFailure fileFailure(const std::string& path, DWORD error)
{
    return FileFailure(path, error, systemErrorText(error));
}

inline void closeFind(HANDLE find) { FindClose(find); }
using FindHandle = Owned<HANDLE, closeFind>;

std::int64_t unixSeconds(const FILETIME& time)
{
    const std::int64_t ticks = (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return ticks / 10000000 - kEpochDifference;
}

// The path as the system takes it. A whole path too long for MAX_PATH (one chosen in a deep
// folder of the file dialogs, say) gets the \\?\ prefix that lifts the limit, which also asks for
// backslashes only; room is left for the temporary name of an atomic write.
std::wstring systemPath(const std::string& path)
{
    constexpr std::size_t kTemporaryRoom = 32;
    std::wstring wide = fromUtf8(path);
    if (wide.size() + kTemporaryRoom < MAX_PATH)
        return wide;
    for (wchar_t& c : wide) {
        if (c == L'/')
            c = L'\\';
    }
    const bool drive = wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\';
    const bool share = wide.rfind(L"\\\\", 0) == 0 && wide.rfind(L"\\\\?\\", 0) != 0;
    if (drive)
        return L"\\\\?\\" + wide;
    if (share)
        return L"\\\\?\\UNC\\" + wide.substr(2);
    return wide;
}

}  // namespace

bool WindowsFiles::exists(const std::string& path)
{
    return GetFileAttributesW(systemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WindowsFiles::isFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(systemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string WindowsFiles::read(const std::string& path)
{
    const KernelHandle file(
        CreateFileW(systemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        throw fileFailure(path, GetLastError());
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    // A read the system refuses is an error, never the end of the file: half a backup must not
    // pass for a whole one.
    for (;;) {
        if (!ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr))
            throw fileFailure(path, GetLastError());
        if (read == 0)
            return bytes;
        bytes.append(chunk, read);
    }
}

void WindowsFiles::writeAtomically(const std::string& path, const std::string& bytes, bool replace)
{
    const std::wstring target = systemPath(path);
    // A name of this process's own: another program saving the same file meanwhile writes its own.
    const std::wstring temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".quillora-tmp";
    {
        const KernelHandle file(
            CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE)
            throw fileFailure(path, GetLastError());
        DWORD written = 0;
        const bool complete = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
            && written == bytes.size() && FlushFileBuffers(file.get());
        if (!complete) {
            const DWORD error = GetLastError();
            DeleteFileW(temporary.c_str());
            throw fileFailure(path, error ? error : ERROR_WRITE_FAULT);
        }
    }
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(temporary.c_str(), target.c_str(), flags)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        throw fileFailure(path, error);
    }
}

void WindowsFiles::append(const std::string& path, const std::string& bytes)
{
    const KernelHandle file(CreateFileW(systemPath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        throw fileFailure(path, GetLastError());
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written != bytes.size())
        throw fileFailure(path, GetLastError() ? GetLastError() : ERROR_WRITE_FAULT);
}

void WindowsFiles::createFolders(const std::string& path)
{
    const std::wstring folder = fromUtf8(path);
    for (std::size_t at = folder.find_first_of(L"\\/", 3); at != std::wstring::npos;
         at = folder.find_first_of(L"\\/", at + 1))
        CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw fileFailure(path, GetLastError());
}

std::vector<FileEntry> WindowsFiles::list(const std::string& folder)
{
    std::vector<FileEntry> files;
    WIN32_FIND_DATAW found{};
    const FindHandle find(FindFirstFileW((fromUtf8(folder) + L"\\*").c_str(), &found));
    if (find.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return files;
        throw fileFailure(folder, error);
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back({toUtf8(found.cFileName), unixSeconds(found.ftLastWriteTime),
                             (static_cast<std::int64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow});
    } while (FindNextFileW(find.get(), &found));
    return files;
}

}  // namespace quillora::platform
