// The one table of pqwave-cli's commands. A new command is a file that defines its entry
// (name, operands, options, aliases, help and run function, see cli_command.h), declares the
// entry's function in cli_command.h and is listed here.
#include "app/cli_command.h"

namespace pqwave {

const std::vector<const CliCommand*>& cliCommands() {
    static const std::vector<const CliCommand*> all = {&infoCommand(),   &convertCommand(),  &batchCommand(),
                                                       &exportCommand(), &plotCommand(),     &pqCommand(),
                                                       &reportCommand(), &plotTrendCommand()};
    return all;
}

const CliCommand* findCommand(std::string_view name) {
    for (const CliCommand* c : cliCommands())
        if (name == c->name) return c;
    return nullptr;
}

}  // namespace pqwave
