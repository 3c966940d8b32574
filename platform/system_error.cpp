#include "platform/system_error.h"

namespace quillora::platform {

std::wstring systemErrorText(DWORD error)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : L"Unknown error " + std::to_wstring(error);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text;
}

PlatformFailure systemFailure(DWORD error)
{
    return PlatformFailure(error, systemErrorText(error));
}

}  // namespace quillora::platform

namespace quillora::platform {

static_assert(windows_error::kFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(windows_error::kNotEnoughMemory == ERROR_NOT_ENOUGH_MEMORY);
static_assert(windows_error::kInternalError == ERROR_INTERNAL_ERROR);
static_assert(windows_error::kPathNotFound == ERROR_PATH_NOT_FOUND);
static_assert(windows_error::kAccessDenied == ERROR_ACCESS_DENIED);
static_assert(windows_error::kFileExists == ERROR_FILE_EXISTS);
static_assert(windows_error::kServiceRequestTimeout == ERROR_SERVICE_REQUEST_TIMEOUT);
static_assert(windows_error::kServiceSpecificError == ERROR_SERVICE_SPECIFIC_ERROR);

}  // namespace quillora::platform
