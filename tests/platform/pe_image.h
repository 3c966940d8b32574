#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace quillora::testing {

// The parts of a 32-bit PE file's headers that decide whether Windows XP loads it.
struct PeImage {
    std::uint16_t machine = 0;
    std::uint16_t subsystem = 0;
    std::uint16_t majorOsVersion = 0, minorOsVersion = 0;
    std::uint16_t majorSubsystemVersion = 0, minorSubsystemVersion = 0;
    // Imported functions by name, per DLL (DLL names in upper case).
    std::map<std::string, std::set<std::string>> imports;
};

// Reads the headers and the import table of a PE32 file; throws std::runtime_error if it is not one.
PeImage readPeImage(const std::vector<unsigned char>& file);

}  // namespace quillora::testing
