#pragma once

// A file of the given name in the temporary folder, for the tests that run under Wine.

#include <windows.h>

#include <string>

namespace quillora::testing {

inline std::wstring temporaryFile(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

}  // namespace quillora::testing
