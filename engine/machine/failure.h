#pragma once

#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "engine/text/file_problem.h"

namespace quillora {

// The Windows error numbers that the engine and its doubles report themselves, under the names
// Windows gives them (ERROR_...); the platform checks them against Windows' own headers.
namespace windows_error {
inline constexpr unsigned long kFileNotFound = 2;
inline constexpr unsigned long kNotEnoughMemory = 8;
inline constexpr unsigned long kPathNotFound = 3;
inline constexpr unsigned long kAccessDenied = 5;
inline constexpr unsigned long kFileExists = 80;
inline constexpr unsigned long kServiceRequestTimeout = 1053;
inline constexpr unsigned long kServiceSpecificError = 1066;
inline constexpr unsigned long kInternalError = 1359;
}  // namespace windows_error

// A platform operation that could not be carried out: a refused process launch, a log write the
// window could not hold. It carries the system's error number and its description so that whoever
// finally reports it can show both.
class PlatformFailure : public std::runtime_error {
public:
    PlatformFailure(unsigned long number, std::wstring description)
        : std::runtime_error("platform operation failed"),
          number_(number),
          description_(std::move(description)) {}

    unsigned long number() const { return number_; }
    const std::wstring& description() const { return description_; }
    // A problem the program found itself, whose description is its English; nullopt where the
    // system gave the reason, in its own words.
    const std::optional<FileProblem>& problem() const { return problem_; }

protected:
    PlatformFailure(FileProblem problem, std::wstring english) : PlatformFailure(0, std::move(english))
    {
        problem_ = problem;
    }

private:
    unsigned long number_;
    std::wstring description_;
    std::optional<FileProblem> problem_;
};

// A file that could not be read or written, named by its path (UTF-8), so that every message
// about it can say which file it was.
class FileFailure : public PlatformFailure {
public:
    FileFailure(std::string path, unsigned long number, std::wstring description)
        : PlatformFailure(number, std::move(description)), path_(std::move(path))
    {
    }
    FileFailure(std::string path, FileProblem problem, std::wstring english)
        : PlatformFailure(problem, std::move(english)), path_(std::move(path))
    {
    }

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Another program is changing the machine's services: nothing was done.
class RunsBusy : public PlatformFailure {
public:
    RunsBusy() : PlatformFailure(0, L"another run is changing this machine's services; nothing was changed") {}
};

// Any failure caught where it cannot go further (a timer, a listener), as a PlatformFailure that
// can be told like the others.
inline PlatformFailure failureOf(const std::exception& error)
{
    if (const auto* failure = dynamic_cast<const PlatformFailure*>(&error))
        return *failure;
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return PlatformFailure(windows_error::kNotEnoughMemory, L"Not enough memory.");
    const std::string what = error.what();
    return PlatformFailure(windows_error::kInternalError, std::wstring(what.begin(), what.end()));
}

}  // namespace quillora
