#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/dialogs.h"
#include "platform/processes.h"
#include "platform/windows_machine.h"
#include "platform/message_pump.h"
#include "platform/process_launch.h"
#include "ui/identifiers.h"
#include "ui/program.h"

namespace {

wchar_t lowered(wchar_t c)
{
    return static_cast<wchar_t>(c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c);
}

// "/lang:" and a language's code, as a lowered argument reads.
std::wstring languageSwitch(const char* code)
{
    std::wstring word = L"/lang:";
    for (const char* c = code; *c; ++c)
        word += lowered(static_cast<wchar_t>(*c));
    return word;
}

// "/lang:en", "/lang:zh" or "/lang:zh-TW", in any case, chooses the language for this start; every
// other argument is ignored.
std::optional<quillora::ui::Language> languageArgument(const wchar_t* commandLine)
{
    std::optional<quillora::ui::Language> chosen;
    std::wstring word;
    for (const wchar_t* c = commandLine;; ++c) {
        if (*c && *c != L' ' && *c != L'\t') {
            word += lowered(*c);
            continue;
        }
        for (const quillora::ui::LanguageChoice& choice : quillora::ui::kLanguageChoices) {
            if (word == languageSwitch(choice.code))
                chosen = choice.language;
        }
        word.clear();
        if (!*c)
            return chosen;
    }
}

}  // namespace

// What libstdc++ calls for an exception nothing caught. Its own handler writes the exception's
// demangled type to standard error, which a window program does not have, and brings the C++
// demangler into the program: about 40 KB of Quillora.exe's 1 MiB. Every failure the program
// expects is caught and told in a box; for any other, ending at once is all that is left.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    quillora::platform::removeCurrentDirectoryFromDllSearch();
    quillora::platform::WindowsProcesses processes;
    quillora::platform::WindowsDialogs dialogs;
    quillora::platform::WindowsMachine machine;
    const std::optional<quillora::ui::Language> chosen = languageArgument(commandLine);
    try {
        quillora::ui::Program program(instance, processes, dialogs, machine, chosen);
        program.mainWindow.show();
        return quillora::platform::runMessageLoop();
    } catch (const quillora::PlatformFailure& failure) {
        // Nothing could be shown yet: say why and stop.
        dialogs.showError(nullptr,
                          quillora::ui::failureMessage(chosen.value_or(quillora::ui::Language::Chinese), failure),
                          quillora::ui::kMainCaption);
        return 1;
    }
}
