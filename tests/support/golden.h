#pragma once

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/utf8.h"

// The golden files of tests/golden: every command line and the whole log of a run, written from
// the design's service table by hand, never from the program's output.
namespace quillora::testing {

struct GoldenRun {
    const char* name;     // file name without extension
    const char* profile;  // as the companion names it
    const char* answers;  // nullptr for profiles that ask nothing
};

// The three profiles, and answer sets in which every pair of questions differs at least once, so
// that swapping two questions' rows changes one of them.
inline const std::vector<GoldenRun>& goldenRuns()
{
    static const std::vector<GoldenRun> runs{
        {"automatic", "automatic", nullptr},
        {"restore", "restore", nullptr},
        {"prompted-yny", "prompted", "yny"},
        {"prompted-ynn", "prompted", "ynn"},
        {"prompted-nny", "prompted", "nny"},
        {"prompted-nnn", "prompted", "nnn"},
    };
    return runs;
}

// The bytes of tests/golden/NAME.EXTENSION.
inline std::string goldenBytes(const std::string& name, const char* extension)
{
    const std::string path = std::string(QUILLORA_GOLDEN_DIR) + "/" + name + "." + extension;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The log of a golden run, as the progress window holds it.
inline std::wstring goldenLog(const std::string& name)
{
    return fromUtf8(goldenBytes(name, "log"));
}

// The command lines of a golden run, in launch order.
inline std::vector<std::wstring> goldenCommandLines(const std::string& name)
{
    std::vector<std::wstring> lines;
    const std::wstring text = fromUtf8(goldenBytes(name, "commands"));
    std::size_t start = 0;
    for (auto end = text.find(L'\n'); end != std::wstring::npos; end = text.find(L'\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace quillora::testing
