#include "engine/machine/standard_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "engine/machine/failure.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

FileFailure failure(const std::string& path, int number)
{
    return FileFailure(path, static_cast<unsigned long>(number), fromUtf8(std::strerror(number)));
}

FileFailure failure(const std::string& path, const std::error_code& error)
{
    return FileFailure(path, static_cast<unsigned long>(error.value()), fromUtf8(error.message()));
}

std::int64_t unixSeconds(std::filesystem::file_time_type time)
{
    const auto system = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        time - std::filesystem::file_time_type::clock::now() + std::chrono::system_clock::now());
    return std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
}

}  // namespace

bool StandardFiles::exists(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

bool StandardFiles::isFolder(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored);
}

std::string StandardFiles::read(const std::string& path)
{
    if (isFolder(path))
        throw failure(path, EISDIR);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file)
        throw failure(path, errno ? errno : ENOENT);
    std::string bytes;
    char chunk[65536];
    while (const std::size_t read = std::fread(chunk, 1, sizeof chunk, file.get()))
        bytes.append(chunk, read);
    // A read the system refuses is an error, never the end of the file: half a backup must not
    // pass for a whole one.
    if (std::ferror(file.get()))
        throw failure(path, errno ? errno : EIO);
    return bytes;
}

void StandardFiles::writeAtomically(const std::string& path, const std::string& bytes, bool replace)
{
    // A name of this process's own: another program saving the same file meanwhile writes its own.
    const std::string temporary = path + "." + std::to_string(getpid()) + ".quillora-tmp";
    std::error_code ignored;
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file)
            throw failure(path, errno ? errno : EIO);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.flush();
        if (!file) {
            const int error = errno ? errno : EIO;
            std::filesystem::remove(temporary, ignored);
            throw failure(path, error);
        }
    }
    std::error_code error;
    if (replace)
        std::filesystem::rename(temporary, path, error);
    else
        std::filesystem::create_hard_link(temporary, path, error);
    std::filesystem::remove(temporary, ignored);
    if (error)
        throw failure(path, error);
}

void StandardFiles::append(const std::string& path, const std::string& bytes)
{
    if (!std::filesystem::is_regular_file(path))
        throw failure(path, ENOENT);
    std::ofstream file(path, std::ios::binary | std::ios::app);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.flush();
    if (!file)
        throw failure(path, errno ? errno : EIO);
}

void StandardFiles::createFolders(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error)
        throw failure(path, error);
}

std::vector<FileEntry> StandardFiles::list(const std::string& folder)
{
    std::vector<FileEntry> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file())
            files.push_back({entry.path().filename().string(), unixSeconds(entry.last_write_time()),
                             static_cast<std::int64_t>(entry.file_size())});
    }
    if (error && error != std::errc::no_such_file_or_directory)
        throw failure(folder, error);
    return files;
}

}  // namespace quillora
