#pragma once

#include <windows.h>

#include <doctest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/service_control.h"
#include "tools/driver/wine_only.h"

namespace quillora::testing {

using platform::ServiceHandle;

// Services of the test prefix put into the states a test needs, through the real Service Control
// Manager, and put back afterwards: stand-ins with keys of the catalogue (Wine has few of them)
// are created and deleted again; Wine's own services can be borrowed and get their start mode
// back, stopped. Only under Wine: a service of a stand-in's name is deleted first, which on a real
// Windows would be the real one.
class StandInServices {
public:
    explicit StandInServices(const std::map<std::wstring, DWORD>& startTypes)
        : manager_(managerUnderWine())
    {
        for (const auto& [key, startType] : startTypes) {
            remove(key);
            ServiceHandle service(CreateServiceW(manager_.get(), key.c_str(), key.c_str(), SERVICE_ALL_ACCESS,
                                                 SERVICE_WIN32_OWN_PROCESS, startType, SERVICE_ERROR_IGNORE,
                                                 L"C:\\windows\\system32\\notepad.exe", nullptr, nullptr, nullptr,
                                                 nullptr, nullptr));
            REQUIRE(service);
            created_.push_back(key);
        }
    }
    ~StandInServices()
    {
        for (const std::wstring& key : created_)
            remove(key);
        for (const auto& [key, startType] : borrowed_)
            giveBack(key, startType);
    }

    // One of Wine's own services, to be given back stopped and in its start mode of now.
    void borrow(const std::wstring& key) { borrowed_.emplace(key, startType(key)); }

    DWORD startType(const std::wstring& key)
    {
        ServiceHandle service = open(key, SERVICE_QUERY_CONFIG);
        std::vector<unsigned char> buffer(8192);
        DWORD needed = 0;
        auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
        REQUIRE(QueryServiceConfigW(service.get(), config, static_cast<DWORD>(buffer.size()), &needed));
        return config->dwStartType;
    }

    void setStartType(const std::wstring& key, DWORD startType)
    {
        ServiceHandle service = open(key, SERVICE_CHANGE_CONFIG);
        REQUIRE(ChangeServiceConfigW(service.get(), SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr, nullptr));
    }

    DWORD state(const std::wstring& key) { return stateOf(open(key, SERVICE_QUERY_STATUS).get()); }

    // Gives the service a description, as Windows has one for each of its own.
    void describe(const std::wstring& key, const std::wstring& text)
    {
        ServiceHandle service = open(key, SERVICE_CHANGE_CONFIG);
        SERVICE_DESCRIPTIONW description{const_cast<wchar_t*>(text.c_str())};
        REQUIRE(ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, &description));
    }

    // Starts the service and waits until it runs.
    void start(const std::wstring& key)
    {
        ServiceHandle service = open(key, SERVICE_START | SERVICE_QUERY_STATUS);
        REQUIRE(StartServiceW(service.get(), 0, nullptr));
        REQUIRE(waitFor(service.get(), SERVICE_RUNNING));
    }

private:
    static ServiceHandle managerUnderWine()
    {
        wine_only::refuseOutsideWine("create, change or delete services for a test");
        ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        REQUIRE(manager);
        return manager;
    }

    ServiceHandle open(const std::wstring& key, DWORD access)
    {
        ServiceHandle service(OpenServiceW(manager_.get(), key.c_str(), access));
        REQUIRE(service);
        return service;
    }

    static DWORD stateOf(SC_HANDLE service)
    {
        SERVICE_STATUS status{};
        return QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
    }

    // Polls for at most ten seconds.
    static bool waitFor(SC_HANDLE service, DWORD wanted)
    {
        for (int tries = 0; tries < 200 && stateOf(service) != wanted; ++tries)
            Sleep(50);
        return stateOf(service) == wanted;
    }

    // Stops a borrowed service and sets its start mode back; runs in the destructor, so it
    // throws nothing.
    void giveBack(const std::wstring& key, DWORD startType)
    {
        ServiceHandle service(
            OpenServiceW(manager_.get(), key.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | SERVICE_CHANGE_CONFIG));
        if (!service)
            return;
        SERVICE_STATUS status{};
        if (ControlService(service.get(), SERVICE_CONTROL_STOP, &status))
            waitFor(service.get(), SERVICE_STOPPED);
        ChangeServiceConfigW(service.get(), SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr);
    }

    void remove(const std::wstring& key)
    {
        ServiceHandle service(OpenServiceW(manager_.get(), key.c_str(), DELETE));
        if (service)
            DeleteService(service.get());
    }

    ServiceHandle manager_;
    std::vector<std::wstring> created_;
    std::map<std::wstring, DWORD> borrowed_;
};

}  // namespace quillora::testing
