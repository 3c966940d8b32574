#pragma once

#include <windows.h>

#include <doctest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/service_control.h"

namespace quillora::testing {

using platform::ServiceHandle;

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

}  // namespace quillora::testing
