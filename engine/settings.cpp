#include "engine/settings.h"

#include "engine/machine.h"

namespace quillora {
namespace {

const char kFileName[] = "settings.ini";
const char kLanguageKey[] = "language=";

}  // namespace

std::string settingsPath(Machine& machine)
{
    return dataFolder(machine) + machine.separator() + kFileName;
}

std::optional<std::string> savedLanguage(Machine& machine)
{
    try {
        const std::string path = settingsPath(machine);
        if (!machine.files().exists(path))
            return std::nullopt;
        const std::string text = machine.files().read(path);
        const std::size_t at = text.find(kLanguageKey);
        if (at == std::string::npos)
            return std::nullopt;
        const std::string value = text.substr(at + sizeof kLanguageKey - 1, 2);
        if (value == "en" || value == "zh")
            return value;
    } catch (const PlatformFailure&) {
        // Settings that cannot be read leave the program as designed.
    }
    return std::nullopt;
}

void saveLanguage(Machine& machine, const std::string& language)
{
    const std::string path = settingsPath(machine);
    try {
        machine.files().createFolders(dataFolder(machine));
        machine.files().writeAtomically(path, "[Quillora]\r\n" + std::string(kLanguageKey) + language + "\r\n", true);
    } catch (const FileFailure& failure) {
        // Whichever step failed, the user is told of the file they asked to keep.
        throw FileFailure(path, failure.number(), failure.description());
    }
}

}  // namespace quillora
