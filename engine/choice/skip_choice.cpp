#include "engine/choice/skip_choice.h"

#include <algorithm>

#include "engine/text/printable.h"
#include "engine/choice/settings.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Whether two service keys name one service: Windows compares them without regard to case.
bool sameKey(const std::wstring& a, const std::wstring& b)
{
    const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](wchar_t x, wchar_t y) {
               return lower(x) == lower(y);
           });
}

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
        throw SkipFileError(0, "saved as UTF-16 (\"Unicode\"): save it as UTF-8");
    const std::string text = bytes.rfind(kByteOrderMark, 0) == 0 ? bytes.substr(3) : bytes;
    const std::vector<std::wstring> catalogue = catalogueKeys();
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
            throw SkipFileError(number, "not UTF-8 text: " + quoted(line));
        // Windows' service names are the same in any case: taken in the catalogue's spelling.
        const std::wstring given = fromUtf8(line);
        const auto key = std::find_if(catalogue.begin(), catalogue.end(),
                                      [&](const std::wstring& known) { return sameKey(known, given); });
        if (key == catalogue.end())
            throw SkipFileError(number, "unknown service key " + quoted(line));
        if (std::find(keys.begin(), keys.end(), *key) != keys.end())
            throw SkipFileError(number, "service key " + quoted(line) + " given twice");
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
