#include "engine/choice/skip_choice.h"

#include <algorithm>

#include "engine/text/printable.h"
#include "engine/choice/settings.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

// Kept in catalogue order, whatever order they were chosen in.
std::vector<std::wstring> inCatalogueOrder(const std::vector<std::wstring>& keys)
{
    std::vector<std::wstring> ordered;
    for (const std::wstring& key : catalogueKeys()) {
        if (std::find(keys.begin(), keys.end(), key) != keys.end())
            ordered.push_back(key);
    }
    return ordered;
}

}  // namespace

std::vector<std::wstring> parseSkipFile(const std::string& bytes)
{
    if (bytes.rfind("\xFF\xFE", 0) == 0 || bytes.rfind("\xFE\xFF", 0) == 0)
        throw SkipFileError(FileProblem::SavedAsUtf16, 0, "", kUtf16Refused);
    const std::string text = bytes.rfind(kByteOrderMark, 0) == 0 ? bytes.substr(3) : bytes;
    std::vector<std::wstring> keys;
    int number = 0;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        const std::string line = trimmed(text.substr(from, end - from));
        from = end + 1;
        ++number;
        if (line.empty() || line[0] == '#')
            continue;
        if (!isUtf8(line))
            throw SkipFileError(FileProblem::NotUtf8, number, line, "not UTF-8 text: " + quoted(line));
        const std::optional<std::wstring> key = catalogueSpelling(fromUtf8(line));
        if (!key)
            throw SkipFileError(FileProblem::UnknownKey, number, line, "unknown service key " + quoted(line));
        if (std::find(keys.begin(), keys.end(), *key) != keys.end())
            throw SkipFileError(FileProblem::KeyTwice, number, line, "service key " + quoted(line) + " given twice");
        keys.push_back(*key);
    }
    return keys;
}

std::string formatSkipFile(const std::string& profileName, const std::vector<std::wstring>& keys)
{
    std::string text = std::string(kByteOrderMark) + "# Quillora: the services the " + profileName
        + " profile leaves alone by your choice, one key a line\r\n";
    for (const std::wstring& key : keys)
        text += toUtf8(key) + "\r\n";
    return text;
}

ChosenSkips::Choice& ChosenSkips::of(Profile profile)
{
    Choice& choice = choices_[static_cast<int>(profile)];
    if (!choice.read) {
        choice.keys = savedSkips(machine_, profile);
        choice.read = true;
    }
    return choice;
}

const std::vector<std::wstring>& ChosenSkips::skipped(Profile profile)
{
    return of(profile).keys;
}

void ChosenSkips::choose(Profile profile, const std::vector<std::wstring>& keys)
{
    Choice& choice = of(profile);
    choice.keys = inCatalogueOrder(keys);
    saveSkips(machine_, profile, choice.keys);
}

void ChosenSkips::replace(Profile profile, const std::vector<std::wstring>& keys)
{
    Choice& choice = of(profile);
    std::vector<std::wstring> ordered = inCatalogueOrder(keys);
    saveSkips(machine_, profile, ordered);
    choice.keys = std::move(ordered);
}

}  // namespace quillora
