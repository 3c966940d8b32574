#include "tests/platform/pe_image.h"

#include <cctype>
#include <stdexcept>

namespace quillora::testing {
namespace {

struct Section {
    std::uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

class Reader {
public:
    explicit Reader(const std::vector<unsigned char>& file) : file_(file) {}

    std::uint32_t u16(std::size_t at) const { return byte(at) | byte(at + 1) << 8; }
    std::uint32_t u32(std::size_t at) const { return u16(at) | u16(at + 2) << 16; }
    std::string text(std::size_t at) const
    {
        std::string out;
        while (byte(at) != 0)
            out += static_cast<char>(byte(at++));
        return out;
    }

private:
    std::uint32_t byte(std::size_t at) const
    {
        if (at >= file_.size())
            throw std::runtime_error("PE file truncated");
        return file_[at];
    }
    const std::vector<unsigned char>& file_;
};

std::size_t fileOffset(const std::vector<Section>& sections, std::uint32_t rva)
{
    for (const Section& s : sections) {
        if (rva >= s.virtualAddress && rva < s.virtualAddress + std::max(s.virtualSize, s.rawSize))
            return rva - s.virtualAddress + s.rawOffset;
    }
    throw std::runtime_error("address outside every section");
}

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

PeImage readPeImage(const std::vector<unsigned char>& file)
{
    const Reader r(file);
    if (r.u16(0) != 0x5A4D)
        throw std::runtime_error("no MZ header");
    const std::size_t pe = r.u32(0x3C);
    if (r.u32(pe) != 0x4550)
        throw std::runtime_error("no PE signature");
    const std::size_t coff = pe + 4;
    const std::size_t optional = coff + 20;
    if (r.u16(optional) != 0x10B)
        throw std::runtime_error("not a PE32 image");

    PeImage image;
    image.machine = static_cast<std::uint16_t>(r.u16(coff));
    image.majorOsVersion = static_cast<std::uint16_t>(r.u16(optional + 40));
    image.minorOsVersion = static_cast<std::uint16_t>(r.u16(optional + 42));
    image.majorSubsystemVersion = static_cast<std::uint16_t>(r.u16(optional + 48));
    image.minorSubsystemVersion = static_cast<std::uint16_t>(r.u16(optional + 50));
    image.subsystem = static_cast<std::uint16_t>(r.u16(optional + 68));

    std::vector<Section> sections;
    const std::size_t sectionTable = optional + r.u16(coff + 16);
    for (std::uint32_t i = 0; i < r.u16(coff + 2); ++i) {
        const std::size_t s = sectionTable + i * 40;
        sections.push_back({r.u32(s + 12), r.u32(s + 8), r.u32(s + 20), r.u32(s + 16)});
    }

    const std::uint32_t importTable = r.u32(optional + 96 + 8);
    if (importTable == 0)
        return image;
    for (std::size_t d = fileOffset(sections, importTable); r.u32(d + 12) != 0; d += 20) {
        std::set<std::string>& functions = image.imports[upper(r.text(fileOffset(sections, r.u32(d + 12))))];
        const std::uint32_t thunks = r.u32(d) ? r.u32(d) : r.u32(d + 16);
        for (std::size_t t = fileOffset(sections, thunks); r.u32(t) != 0; t += 4) {
            const std::uint32_t entry = r.u32(t);
            if (entry & 0x80000000u)
                functions.insert(std::string(1, '#').append(std::to_string(entry & 0xFFFF)));
            else
                functions.insert(r.text(fileOffset(sections, entry) + 2));
        }
    }
    return image;
}

}  // namespace quillora::testing
