#include "engine/choice/settings.h"

#include <algorithm>

#include "engine/text/utf8.h"

namespace quillora {
namespace {

const char kFileName[] = "settings.ini";
const char kSection[] = "[Quillora]";
const char kLanguage[] = "language";
const char kRestorePoint[] = "restore-point";

// The file's "key=value" lines, in their order; nothing where it does not exist. Throws FileFailure
// naming the file where it exists and cannot be read.
std::vector<std::pair<std::string, std::string>> readSettings(Machine& machine)
{
    std::vector<std::pair<std::string, std::string>> settings;
    const std::string path = settingsPath(machine);
    if (!machine.files().exists(path))
        return settings;
    const std::string text = readFile(machine.files(), path);
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        std::string line = text.substr(from, end - from);
        from = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // A file edited by hand may have blanks around a name or a value.
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            settings.emplace_back(trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)));
    }
    return settings;
}

// The value kept under the key; nullopt where none is kept. Throws as readSettings does.
std::optional<std::string> savedSetting(Machine& machine, const std::string& key)
{
    for (const auto& [name, value] : readSettings(machine)) {
        if (sameIgnoringCase(name, key))
            return value;
    }
    return std::nullopt;
}

// Sets one key and keeps the others, written whole or not at all.
void saveSetting(Machine& machine, const std::string& key, const std::string& value)
{
    keepInDataFolder(machine, settingsPath(machine), [&] {
        std::vector<std::pair<std::string, std::string>> settings = readSettings(machine);
        const auto found =
            std::find_if(settings.begin(), settings.end(), [&](const auto& s) { return sameIgnoringCase(s.first, key); });
        if (found != settings.end())
            *found = {key, value};
        else
            settings.emplace_back(key, value);
        std::string text = std::string(kSection) + "\r\n";
        for (const auto& [name, setting] : settings)
            text += name + "=" + setting + "\r\n";
        return text;
    });
}

std::string skipKey(Profile profile)
{
    return std::string("skip.") + profileName(profile);
}

}  // namespace

std::string settingsPath(Machine& machine)
{
    return dataFolder(machine) + machine.separator() + kFileName;
}

std::optional<TableLanguage> savedLanguage(Machine& machine)
{
    try {
        if (const std::optional<std::string> value = savedSetting(machine, kLanguage))
            return languageOfCode(*value);
    } catch (const PlatformFailure&) {
        // A language that cannot be read leaves the windows as designed, in Chinese.
    }
    return std::nullopt;
}

void saveLanguage(Machine& machine, TableLanguage language)
{
    saveSetting(machine, kLanguage, std::string(languageCode(language)));
}

std::vector<std::wstring> savedSkips(Machine& machine, Profile profile)
{
    const std::optional<std::string> value = savedSetting(machine, skipKey(profile));
    std::vector<std::wstring> keys;
    if (!value || !isUtf8(*value))
        return keys;
    // Read as a skip file's keys are: in any case, blanks around each ignored, in the catalogue's
    // spelling and order; a key it does not know is passed over.
    std::vector<std::wstring> listed;
    for (std::size_t from = 0; from <= value->size();) {
        const std::size_t comma = std::min(value->find(',', from), value->size());
        if (const std::optional<std::wstring> key = catalogueSpelling(fromUtf8(trimmed(value->substr(from, comma - from)))))
            listed.push_back(*key);
        from = comma + 1;
    }
    for (const std::wstring& key : catalogueKeys()) {
        if (std::find(listed.begin(), listed.end(), key) != listed.end())
            keys.push_back(key);
    }
    return keys;
}

void saveSkips(Machine& machine, Profile profile, const std::vector<std::wstring>& keys)
{
    std::string value;
    for (const std::wstring& key : keys) {
        if (!value.empty())
            value += ',';
        value += toUtf8(key);
    }
    saveSetting(machine, skipKey(profile), value);
}

bool savedRestorePoints(Machine& machine)
{
    try {
        const std::optional<std::string> value = savedSetting(machine, kRestorePoint);
        return !value || !sameIgnoringCase(*value, "off");
    } catch (const PlatformFailure&) {
        return true;  // the safety net stays, as with no choice made
    }
}

void saveRestorePoints(Machine& machine, bool on)
{
    saveSetting(machine, kRestorePoint, on ? "on" : "off");
}

}  // namespace quillora
