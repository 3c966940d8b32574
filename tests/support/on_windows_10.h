#pragma once

#include <windows.h>

#include <doctest.h>

#include <string>

namespace quillora::testing {

// Copies a built program to copyPath and has Wine tell the copy that it runs on Windows 10 (Wine's
// per-program version, kept in the test prefix only, by the copy's file name); everything else is
// as for the other tests.
inline std::wstring copyOnWindows10(const std::wstring& program, const std::wstring& copyPath)
{
    REQUIRE(CopyFileW(program.c_str(), copyPath.c_str(), FALSE));
    const std::wstring name = copyPath.substr(copyPath.find_last_of(L"\\/") + 1);
    HKEY key = nullptr;
    const std::wstring path = L"Software\\Wine\\AppDefaults\\" + name;
    REQUIRE(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr)
            == ERROR_SUCCESS);
    const wchar_t version[] = L"win10";
    RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version), sizeof version);
    RegCloseKey(key);
    return copyPath;
}

}  // namespace quillora::testing
