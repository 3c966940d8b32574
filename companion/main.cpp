#include <cstdio>
#include <string>
#include <vector>

#include "companion/cli.h"
#include "engine/machine/standard_files.h"
#include "engine/text/utf8.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include "platform/console.h"
#include "platform/windows_machine.h"
#endif

namespace {

// Output is UTF-8. On Windows a console shows it in any code page and a file or pipe gets CR LF
// line ends (the log's own CR LF stay as they are), except an exported file, which goes out as its
// exact bytes; elsewhere the bytes go out as they are.
void writeOut(bool toError, const std::string& bytes, [[maybe_unused]] bool isFile = false)
{
#ifdef _WIN32
    const HANDLE stream = GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    // Started without a console or a redirection, the companion has nowhere to write.
    if (stream == nullptr || stream == INVALID_HANDLE_VALUE)
        return;
    try {
        if (isFile)
            quillora::platform::writeFileToStandard(stream, bytes);
        else
            quillora::platform::writeStandard(stream, bytes);
    } catch (const quillora::PlatformFailure&) {
        // A closed pipe takes nothing more; the exit status still tells the outcome.
    }
#else
    std::FILE* stream = toError ? stderr : stdout;
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
#endif
}

// The arguments in UTF-8: on Windows from the wide command line, so that any file name survives.
std::vector<std::string> arguments([[maybe_unused]] int argc, [[maybe_unused]] char** argv)
{
#ifdef _WIN32
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i)
        args.push_back(quillora::toUtf8(wide[i]));
    LocalFree(wide);
    return args;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

#ifdef _WIN32
// This machine, as the companion asks it: Ctrl+C, Ctrl+Break and a closed console ask a run to stop.
class CompanionMachine : public quillora::platform::WindowsMachine {
public:
    bool stopRequested() override { return stop_.requested(); }

private:
    quillora::platform::ConsoleStop stop_;
};
#else
// A system without Windows services: the companion plans, lists and exports here.
class PortableMachine : public quillora::Machine {
public:
    quillora::ServiceControl* services() override { return nullptr; }
    quillora::Files& files() override { return files_; }
    std::optional<std::string> dataFolder() override { return std::nullopt; }
    std::string timeStamp() override { return {}; }
    char separator() const override { return '/'; }
    std::optional<quillora::WindowsVersion> windowsVersion() override { return std::nullopt; }
    // Without services there is nothing for two runs to share.
    std::unique_ptr<quillora::RunClaim> claimRuns() override { return std::make_unique<quillora::RunClaim>(); }

private:
    quillora::StandardFiles files_;
};
#endif

}  // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    CompanionMachine machine;
    const quillora::CliResult result = quillora::runCli(arguments(argc, argv), machine);
#else
    PortableMachine machine;
    const quillora::CliResult result = quillora::runCli(arguments(argc, argv), machine);
#endif
    writeOut(false, result.out, result.outIsFile);
    writeOut(true, result.err);
    return result.status;
}
