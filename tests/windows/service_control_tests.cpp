#include <doctest.h>

#include <windows.h>

#include <map>

#include "companion/cli.h"
#include "engine/failure.h"
#include "platform/service_control.h"
#include "platform/windows_machine.h"
#include "tests/support/text_helpers.h"

using namespace quillora;
using quillora::platform::ServiceHandle;
using quillora::testing::countOf;

namespace {

// Stand-in services with keys of the catalogue, created in the test prefix through the real
// Service Control Manager and deleted again afterwards. Wine has none of these services itself.
class StandInServices {
public:
    explicit StandInServices(const std::map<std::wstring, DWORD>& startTypes)
        : manager_(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS))
    {
        REQUIRE(manager_);
        for (const auto& [key, startType] : startTypes) {
            remove(key);
            ServiceHandle service(CreateServiceW(manager_.get(), key.c_str(), key.c_str(), SERVICE_ALL_ACCESS,
                                                 SERVICE_WIN32_OWN_PROCESS, startType, SERVICE_ERROR_IGNORE,
                                                 L"C:\\windows\\system32\\notepad.exe", nullptr, nullptr, nullptr,
                                                 nullptr, nullptr));
            REQUIRE(service);
            keys_.push_back(key);
        }
    }
    ~StandInServices()
    {
        for (const std::wstring& key : keys_)
            remove(key);
    }

    DWORD startType(const std::wstring& key)
    {
        ServiceHandle service(OpenServiceW(manager_.get(), key.c_str(), SERVICE_QUERY_CONFIG));
        std::vector<unsigned char> buffer(8192);
        DWORD needed = 0;
        auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
        REQUIRE(QueryServiceConfigW(service.get(), config, static_cast<DWORD>(buffer.size()), &needed));
        return config->dwStartType;
    }

    void setStartType(const std::wstring& key, DWORD startType)
    {
        ServiceHandle service(OpenServiceW(manager_.get(), key.c_str(), SERVICE_CHANGE_CONFIG));
        REQUIRE(ChangeServiceConfigW(service.get(), SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr, nullptr));
    }

private:
    void remove(const std::wstring& key)
    {
        ServiceHandle service(OpenServiceW(manager_.get(), key.c_str(), DELETE));
        if (service)
            DeleteService(service.get());
    }

    ServiceHandle manager_;
    std::vector<std::wstring> keys_;
};

std::wstring scratchFile(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + name;
    DeleteFileW(path.c_str());
    return path;
}

std::string narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// The companion as it runs on this machine.
CliResult companion(const std::vector<std::string>& args)
{
    platform::WindowsMachine machine;
    return runCli(args, &machine);
}

void writeFileAtomically(const std::wstring& path, const std::string& bytes, bool replace)
{
    platform::WindowsFiles().writeAtomically(narrow(path), bytes, replace);
}

std::string readWholeFile(const std::wstring& path)
{
    return platform::WindowsFiles().read(narrow(path));
}

}  // namespace

TEST_CASE("status and verify read the Service Control Manager")
{
    StandInServices machine({{L"Alerter", SERVICE_DISABLED}, {L"ALG", SERVICE_AUTO_START}, {L"Ati HotKey Poller", SERVICE_DEMAND_START}});
    const CliResult status = companion({"status", "automatic"});
    CHECK(status.status == 0);
    CHECK(status.out.find("1:Alerter (Alerter): now disabled, stopped; profile sets disabled: unchanged\n") != std::string::npos);
    CHECK(status.out.find("2:Application Layer Gateway Service (ALG): now auto, stopped; profile sets disabled: would change\n")
          != std::string::npos);
    CHECK(status.out.find("3.2:Ati HotKey Poller (Ati HotKey Poller): now demand, stopped; profile sets disabled: would change\n")
          != std::string::npos);
    CHECK(status.out.find("3.3:ATI Smart (ATI Smart): not installed; profile sets disabled\n") != std::string::npos);
    CHECK(countOf(status.out, "\n") == 60);

    const CliResult verify = companion({"verify", "automatic"});
    CHECK(verify.status == 1);
    CHECK(verify.out.find("2:Application Layer Gateway Service (ALG): is auto, the profile sets disabled\n") != std::string::npos);
    CHECK(verify.out.find("Alerter (Alerter)") == std::string::npos);
}

TEST_CASE("backup, hand changes, restore: the saved modes come back")
{
    StandInServices machine({{L"Alerter", SERVICE_DISABLED}, {L"ALG", SERVICE_AUTO_START}, {L"ATI Smart", SERVICE_DEMAND_START}});
    const std::wstring file = scratchFile(L"quillora-backup-test.txt");
    const CliResult backup = companion({"backup", narrow(file)});
    REQUIRE(backup.status == 0);
    CHECK(backup.out.find("saved the start modes of 60 services") == 0);

    machine.setStartType(L"Alerter", SERVICE_AUTO_START);
    machine.setStartType(L"ALG", SERVICE_DISABLED);

    const CliResult restore = companion({"restore", narrow(file)});
    CHECK(restore.out.find("Alerter: changed from auto to disabled\n") != std::string::npos);
    CHECK(restore.out.find("ALG: changed from disabled to auto\n") != std::string::npos);
    CHECK(restore.out.find("ATI Smart: unchanged (demand)\n") != std::string::npos);
    CHECK(restore.out.find("Messenger: not installed\n") != std::string::npos);
    CHECK(machine.startType(L"Alerter") == SERVICE_DISABLED);
    CHECK(machine.startType(L"ALG") == SERVICE_AUTO_START);
    DeleteFileW(file.c_str());
}

TEST_CASE("backup never replaces a file without --force and leaves no partial file")
{
    StandInServices machine({{L"Alerter", SERVICE_DISABLED}});
    const std::wstring file = scratchFile(L"quillora-backup-keep.txt");
    writeFileAtomically(file, "precious", false);

    const CliResult refused = companion({"backup", narrow(file)});
    CHECK(refused.status == 1);
    CHECK(refused.err.find("exists already; give --force to replace it") != std::string::npos);
    CHECK(readWholeFile(file) == "precious");

    CHECK_THROWS_AS(writeFileAtomically(file, "half", false), PlatformFailure);
    CHECK(readWholeFile(file) == "precious");
    CHECK(GetFileAttributesW((file + L".quillora-tmp").c_str()) == INVALID_FILE_ATTRIBUTES);

    CHECK_THROWS_AS(writeFileAtomically(L"C:\\no-such-folder-quillora\\backup.txt", "x", true), PlatformFailure);

    CHECK(companion({"backup", narrow(file), "--force"}).status == 0);
    CHECK(readWholeFile(file).rfind("quillora-backup 1\r\nAlerter\tdisabled\r\n", 0) == 0);
    DeleteFileW(file.c_str());
}

TEST_CASE("a broken backup changes nothing and names its line")
{
    StandInServices machine({{L"Alerter", SERVICE_AUTO_START}});
    const std::wstring file = scratchFile(L"quillora-backup-broken.txt");
    writeFileAtomically(file, "quillora-backup 1\r\nAlerter\tdisabled\r\nALG\tsometimes\r\nend\r\n", true);
    const CliResult result = companion({"restore", narrow(file)});
    CHECK(result.status == 1);
    CHECK(result.err.find("line 3: unknown start mode 'sometimes'; nothing was changed") != std::string::npos);
    CHECK(machine.startType(L"Alerter") == SERVICE_AUTO_START);
    DeleteFileW(file.c_str());

    const CliResult missing = companion({"restore", "C:\\no-such-backup-quillora.txt"});
    CHECK(missing.status == 1);
    CHECK(missing.err.rfind("quillora-cli: error 2: ", 0) == 0);
}
