#include "engine/machine/windows_version.h"

namespace quillora {
namespace {

// The first Windows 11 build; Windows 11 still reports version 10.0.
constexpr unsigned kFirstWindows11Build = 22000;

struct ServerRelease {
    unsigned build;
    const char* name;
};

// Windows Server 2016 and later report version 10.0 too; their builds tell them apart.
constexpr ServerRelease kServerReleases[] = {
    {14393, "Windows Server 2016"},
    {17763, "Windows Server 2019"},
    {20348, "Windows Server 2022"},
    {26100, "Windows Server 2025"},
};

const char* version10Name(const WindowsVersion& version)
{
    if (!version.server)
        return version.build >= kFirstWindows11Build ? "Windows 11" : "Windows 10";
    for (const ServerRelease& release : kServerReleases) {
        if (release.build == version.build)
            return release.name;
    }
    return "Windows Server";
}

const char* productName(const WindowsVersion& version)
{
    const unsigned number = version.major * 10 + version.minor;
    switch (number) {
    case 51:
        return "Windows XP";
    case 52:
        return version.server ? "Windows Server 2003" : "Windows XP x64";
    case 60:
        return version.server ? "Windows Server 2008" : "Windows Vista";
    case 61:
        return version.server ? "Windows Server 2008 R2" : "Windows 7";
    case 62:
        return version.server ? "Windows Server 2012" : "Windows 8";
    case 63:
        return version.server ? "Windows Server 2012 R2" : "Windows 8.1";
    case 100:
        return version10Name(version);
    default:
        return "Windows";
    }
}

}  // namespace

bool hasWindows10Services(const WindowsVersion& version)
{
    return !version.server && version.major >= 10 && version.build >= kFirstWindows10Build;
}

WindowsGeneration generationOf(const WindowsVersion& version)
{
    return version.major >= 6 ? WindowsGeneration::VistaAndLater : WindowsGeneration::XpAndServer2003;
}

bool hasDelayedStart(WindowsGeneration generation)
{
    return generation == WindowsGeneration::VistaAndLater;
}

bool hasDelayedStart(const WindowsVersion& version)
{
    return hasDelayedStart(generationOf(version));
}

std::string windowsProductName(const WindowsVersion& version)
{
    return productName(version);
}

std::string windowsName(const WindowsVersion& version)
{
    return windowsProductName(version) + ", " + std::to_string(version.major) + "."
        + std::to_string(version.minor) + "." + std::to_string(version.build);
}

}  // namespace quillora
