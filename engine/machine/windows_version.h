#pragma once

#include <string>

namespace quillora {

// The version of Windows a machine really runs, as its kernel reports it.
struct WindowsVersion {
    unsigned major = 5;
    unsigned minor = 1;
    unsigned build = 2600;
    bool server = false;  // a server edition rather than a workstation one
};

// The generations of Windows that differ in which of the catalogue's services they need.
enum class WindowsGeneration {
    XpAndServer2003,  // the Windows the catalogue was made for: it needs none of them kept
    VistaAndLater,
};

WindowsGeneration generationOf(const WindowsVersion& version);

// The first build of Windows 10.
inline constexpr unsigned kFirstWindows10Build = 10240;

// Whether the Windows is Windows 10 or 11 (a workstation of build 10240 or later): only those have
// the services of the catalogue's Windows 10 list, with the defaults Microsoft gives for them.
bool hasWindows10Services(const WindowsVersion& version);

// Whether the Windows knows a delayed automatic start: Windows Vista and later.
bool hasDelayedStart(WindowsGeneration generation);
bool hasDelayedStart(const WindowsVersion& version);

// "Windows 10": the product's name.
std::string windowsProductName(const WindowsVersion& version);

// "Windows 10, 10.0.19045": the product's name and the version number.
std::string windowsName(const WindowsVersion& version);

}  // namespace quillora
