#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

// The tests create, delete and reconfigure services, and put stand-ins in place of system
// programs. In a Wine prefix of the build folder that harms nothing; on a real Windows, run as an
// administrator, it would delete the real Alerter or replace the real net.exe. So everything that
// does it asks here first.
namespace quillora::wine_only {

// Wine's ntdll exports wine_get_version; Windows' own does not.
inline bool underWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Throws, before anything is changed, unless this process runs under Wine.
inline void refuseOutsideWine(const std::string& what)
{
    if (!underWine()) {
        throw std::runtime_error("refusing to " + what
                                 + ": this is not Wine, and on a real Windows it would change the machine's own "
                                   "services or system programs; run the tests with make test, under Wine");
    }
}

}  // namespace quillora::wine_only
