#include <cstdio>
#include <string>
#include <vector>

#include "companion/cli.h"
#include "engine/standard_files.h"
#include "engine/utf8.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include "platform/windows_machine.h"
#endif

namespace {

// Output is UTF-8 bytes written as they are: the log keeps its CR LF line ends and gains no
// others, and a Windows console shows the Chinese text.
void prepareStreams()
{
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
#endif
}

void write(std::FILE* stream, const std::string& bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
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

#ifndef _WIN32
// A system without Windows services: the companion plans, lists and exports here.
class PortableMachine : public quillora::Machine {
public:
    quillora::ServiceControl* services() override { return nullptr; }
    quillora::Files& files() override { return files_; }
    std::optional<std::string> backupFolder() override { return std::nullopt; }
    std::string timeStamp() override { return {}; }
    char separator() const override { return '/'; }
    std::optional<quillora::WindowsVersion> windowsVersion() override { return std::nullopt; }

private:
    quillora::StandardFiles files_;
};
#endif

}  // namespace

int main(int argc, char** argv)
{
    prepareStreams();
#ifdef _WIN32
    quillora::platform::WindowsMachine machine;
    const quillora::CliResult result = quillora::runCli(arguments(argc, argv), machine);
#else
    PortableMachine machine;
    const quillora::CliResult result = quillora::runCli(arguments(argc, argv), machine);
#endif
    write(stdout, result.out);
    write(stderr, result.err);
    return result.status;
}
