// The export command of the CLI, after the file has been clicked and the settings applied as
// for `convert`.
#include "app/cli_export.h"

#include <filesystem>

#include "common/text.h"
#include "control/comtrade_export.h"

namespace pqwave {

std::string exportOutputProblem(const std::string& output) {
    if (output.empty() || toLowerAscii(std::filesystem::path(output).extension().string()) == ".cfg") return {};
    return "-o of export names the configuration file NAME.cfg (NAME.dat is written beside it), not \"" + output + "\"";
}

void runExportCommand(Form1Model& form, const std::string& output, bool ascii) {
    std::filesystem::path cfg =
        output.empty() ? comtradePathBeside(form) : std::filesystem::absolute(output).lexically_normal();
    exportComtrade(form, cfg, ascii ? ComtradeFormat::Ascii : ComtradeFormat::Binary);
}

}  // namespace pqwave
