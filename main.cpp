#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dialogs.h"
#include "platform/processes.h"
#include "platform/windows_machine.h"
#include "platform/message_pump.h"
#include "platform/process_launch.h"
#include "platform/system_restore.h"
#include "ui/ids/identifiers.h"
#include "ui/program/program.h"

namespace {

// "/lang:en", "/lang:zh" or "/lang:zh-TW", in any case, chooses the language for this start; every
// other argument is ignored.
std::optional<quillora::ui::Language> languageArgument(const wchar_t* commandLine)
{
    constexpr std::string_view kSwitch = "/lang:";
    std::optional<quillora::ui::Language> chosen;
    std::string word;  // ASCII letters lowered; any other character than ASCII as '?'
    for (const wchar_t* c = commandLine;; ++c) {
        if (*c && *c != L' ' && *c != L'\t') {
            word += *c >= L'A' && *c <= L'Z' ? static_cast<char>(*c - L'A' + 'a') : *c < 0x80 ? static_cast<char>(*c) : '?';
            continue;
        }
        if (word.starts_with(kSwitch)) {
            if (const std::optional<quillora::ui::Language> named = quillora::ui::languageNamed(word.substr(kSwitch.size())))
                chosen = named;
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
    // The program asking System Restore for a restore point, hidden, while its windows answer.
    if (quillora::platform::isRestorePointRequest(commandLine))
        return quillora::platform::carryOutRestorePointRequest(commandLine);
    quillora::platform::WindowsProcesses processes;
    quillora::platform::WindowsDialogs dialogs;
    quillora::platform::WindowsMachine machine;
    quillora::platform::HelperRestorePoints restorePoints;
    const std::optional<quillora::ui::Language> chosen = languageArgument(commandLine);
    try {
        quillora::ui::Program program(instance, processes, dialogs, machine, restorePoints, chosen);
        program.mainWindow.show();
        return program.waits.runMessageLoop();
    } catch (const quillora::PlatformFailure& failure) {
        // Nothing could be shown yet: say why and stop.
        dialogs.showError(nullptr,
                          quillora::ui::failureMessage(chosen.value_or(quillora::ui::Language::Chinese), failure),
                          quillora::ui::kMainCaption);
        return 1;
    }
}
