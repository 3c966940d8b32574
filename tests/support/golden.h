#pragma once

#include <map>
#include <regex>
#include <string>
#include <vector>

#include "engine/catalogue/answers.h"
#include "engine/catalogue/catalogue.h"
#include "engine/text/utf8.h"
#include "tests/support/text_helpers.h"

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

// Answers as the golden runs give them: letters y or n, in the wizard's order; none for a profile
// that asks nothing.
inline Answers goldenAnswers(const char* letters)
{
    if (!letters)
        return Answers{};
    const auto flag = [&](int i) { return static_cast<std::int16_t>(letters[i] == 'y' ? kAnswerYes : kAnswerNo); };
    return Answers{flag(0), flag(1), flag(2)};
}

inline Profile goldenProfile(const std::string& name)
{
    return name == "restore" ? Profile::Restore : name == "automatic" ? Profile::Automatic : Profile::Prompted;
}

// The bytes of tests/golden/NAME.EXTENSION.
inline std::string goldenBytes(const std::string& name, const char* extension)
{
    return projectFile("tests/golden/" + name + "." + extension);
}

// The log of a golden run, as the progress window holds it.
inline std::wstring goldenLog(const std::string& name)
{
    return fromUtf8(goldenBytes(name, "log"));
}

// The command lines of a golden run, in launch order.
inline std::vector<std::wstring> goldenCommandLines(const std::string& name)
{
    // Every line ends in LF, so the part after the last one is empty.
    std::vector<std::wstring> lines = splitLines(fromUtf8(goldenBytes(name, "commands")), L"\n");
    lines.pop_back();
    return lines;
}

// What a golden run's command lines do to one service.
struct GoldenEffect {
    std::string mode;   // the sc config word: disabled, demand, auto
    std::string state;  // "stopped" or "started" by the NET command before it, or empty
};

// Per service key, read from the golden command lines alone.
inline std::map<std::string, GoldenEffect> goldenEffects(const std::string& name)
{
    std::map<std::string, GoldenEffect> effects;
    std::string state;
    for (const std::wstring& wide : goldenCommandLines(name)) {
        const std::string line = toUtf8(wide);
        std::smatch match;
        if (std::regex_match(line, match, std::regex(R"(cmd /c NET (stop|start) .*)"))) {
            state = match[1] == "stop" ? "stopped" : "started";
        } else if (std::regex_match(line, match, std::regex(R"re(cmd /c sc config "?(.+?)"? start= (\w+))re"))) {
            effects[match[1]] = {match[2], state};
            state.clear();
        }
    }
    return effects;
}

}  // namespace quillora::testing
