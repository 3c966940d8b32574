#include <cstdio>
#include <string>
#include <vector>

#include "cli.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
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

}  // namespace

int main(int argc, char** argv)
{
    prepareStreams();
    const quillora::CliResult result = quillora::runCli(std::vector<std::string>(argv + 1, argv + argc));
    write(stdout, result.out);
    write(stderr, result.err);
    return result.status;
}
