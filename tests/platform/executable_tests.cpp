#include <doctest.h>

#include <windows.h>

#include <fstream>
#include <iterator>

#include "resources/site.h"
#include "tests/platform/pe_image.h"

using namespace quillora::testing;

namespace {

// The programs are built next to the tests' folder.
std::wstring builtProgram(const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L"\\/"));
    return folder.substr(0, folder.find_last_of(L"\\/")) + L"\\" + name;
}

std::vector<unsigned char> imageBytes(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(file != INVALID_HANDLE_VALUE);
    std::vector<unsigned char> bytes(GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    REQUIRE(read == bytes.size());
    return bytes;
}

// Functions that Windows XP SP3's system DLLs do not export and that a toolchain can pull in.
const char* const kNewerThanXp[] = {
    "GetTickCount64", "InitializeSRWLock", "AcquireSRWLockExclusive", "AcquireSRWLockShared",
    "ReleaseSRWLockExclusive", "ReleaseSRWLockShared", "TryAcquireSRWLockExclusive",
    "InitializeConditionVariable", "SleepConditionVariableCS", "SleepConditionVariableSRW",
    "WakeConditionVariable", "WakeAllConditionVariable", "InitOnceExecuteOnce", "InitOnceBeginInitialize",
    "InitOnceComplete", "FlsAlloc", "FlsFree", "FlsGetValue", "FlsSetValue", "SetDefaultDllDirectories",
    "AddDllDirectory", "RemoveDllDirectory", "GetSystemTimePreciseAsFileTime", "CreateSymbolicLinkW",
    "GetFileInformationByHandleEx", "SetFileInformationByHandle", "CompareStringEx", "LCMapStringEx",
    "GetLocaleInfoEx", "GetUserDefaultLocaleName", "CreateEventExW", "CreateMutexExW", "CreateSemaphoreExW",
    "GetFinalPathNameByHandleW", "QueryFullProcessImageNameW", "SetThreadStackGuarantee", "GetCurrentProcessorNumber",
    "GetLogicalProcessorInformation", "InitializeCriticalSectionEx", "CancelIoEx", "WerRegisterRuntimeExceptionModule",
};

const std::set<std::string> kXpSystemDlls{"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "MSVCRT.DLL",   "OLE32.DLL",
                                          "OLEAUT32.DLL", "ADVAPI32.DLL", "SHELL32.DLL", "COMCTL32.DLL"};

// What the program may take from COMCTL32: the functions that its version 5.82, which every XP
// has without a manifest, exports by name. The rest of the list view is messages.
const std::set<std::string> kXpCommonControls{"InitCommonControlsEx"};

void checkLoadsOnXp(const wchar_t* program, std::uint16_t subsystem)
{
    CAPTURE(std::string(program, program + wcslen(program)));
    const PeImage image = readPeImage(imageBytes(builtProgram(program)));
    CHECK(image.machine == 0x14C);
    CHECK(image.subsystem == subsystem);
    CHECK(image.majorSubsystemVersion == 5);
    CHECK(image.minorSubsystemVersion == 1);
    CHECK(image.majorOsVersion == 5);
    CHECK(image.minorOsVersion == 1);
    for (const auto& [dll, functions] : image.imports) {
        CAPTURE(dll);
        CHECK(kXpSystemDlls.count(dll) == 1);
        for (const char* newer : kNewerThanXp)
            CHECK_MESSAGE(functions.count(newer) == 0, newer);
        if (dll == "COMCTL32.DLL") {
            for (const std::string& function : functions)
                CHECK_MESSAGE(kXpCommonControls.count(function) == 1, function);
        }
    }
}

// A program's version information, whole.
std::vector<unsigned char> versionBlock(const std::wstring& program)
{
    std::vector<unsigned char> block(GetFileVersionInfoSizeW(program.c_str(), nullptr));
    REQUIRE(!block.empty());
    REQUIRE(GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    return block;
}

std::string versionString(const std::vector<unsigned char>& block, const wchar_t* name)
{
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
    if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return "(missing)";
    return std::string(value, value + wcslen(value));
}

}  // namespace

TEST_CASE("the programs load on Windows XP SP3: i386, subsystem 5.01, only XP's functions imported")
{
    checkLoadsOnXp(L"Quillora.exe", 2);
    checkLoadsOnXp(L"quillora-cli.exe", 3);
    // The services window's list view is a common control, but only that window has one: the
    // library is loaded when it is first made, not at every start, so nothing imports it.
    const PeImage program = readPeImage(imageBytes(builtProgram(L"Quillora.exe")));
    CHECK(program.imports.count("COMCTL32.DLL") == 0);
    CHECK(program.imports.count("UXTHEME.DLL") == 0);
}

TEST_CASE("quillora-cli.exe carries the program's version, product name and copyright")
{
    const std::vector<unsigned char> block = versionBlock(builtProgram(L"quillora-cli.exe"));
    CHECK(versionString(block, L"ProductName") == "Quillora v1.1");
    CHECK(versionString(block, L"FileVersion") == "1.01");
    CHECK(versionString(block, L"ProductVersion") == "1.01");
    CHECK(versionString(block, L"LegalCopyright") == QUILLORA_WEB_ADDRESS);
    CHECK(versionString(block, L"InternalName") == "quillora-cli");
    CHECK(versionString(block, L"OriginalFilename") == "quillora-cli.exe");
}

TEST_CASE("Quillora.exe carries its version strings and its manifest")
{
    const std::wstring program = builtProgram(L"Quillora.exe");
    const std::vector<unsigned char> block = versionBlock(program);
    CHECK(versionString(block, L"ProductName") == "Quillora v1.1");
    CHECK(versionString(block, L"FileVersion") == "1.01");
    CHECK(versionString(block, L"ProductVersion") == "1.01");
    CHECK(versionString(block, L"InternalName") == "Quillorav1.1");
    CHECK(versionString(block, L"OriginalFilename") == "Quillorav1.1.exe");
    for (const wchar_t* name : {L"CompanyName", L"LegalCopyright", L"LegalTrademarks"})
        CHECK(versionString(block, name) == QUILLORA_WEB_ADDRESS);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    REQUIRE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    CHECK(fixed->dwFileVersionMS == 0x00010001);
    CHECK(fixed->dwFileVersionLS == 0);
    CHECK(fixed->dwFileType == VFT_APP);

    const HMODULE image = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    REQUIRE(image);
    const HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    REQUIRE(found);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(image, found)));
    const std::string manifest(bytes, SizeofResource(image, found));
    CHECK(manifest.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"", 0) == 0);
    CHECK(manifest.find("<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">") != std::string::npos);
    CHECK(manifest.find("level=\"requireAdministrator\"") != std::string::npos);
    CHECK(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}") != std::string::npos);
    CHECK(manifest.find("{e2011457-1546-43c5-a5fe-008deee3d3f0}") != std::string::npos);
    CHECK(manifest.find(">true</dpiAware>") != std::string::npos);
    FreeLibrary(image);
}
