#include "service_cli.h"

namespace quillora {

CliResult runServiceCommand(const std::vector<std::string>& args)
{
    return {kExitUsage, "", "quillora-cli: the " + args[0] + " command needs Windows\n"};
}

}  // namespace quillora
