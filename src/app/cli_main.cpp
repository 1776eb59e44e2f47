#include <csignal>
#include <iostream>

#include "app/cli.h"
#include "common/messages.h"
#include "common/program_folder.h"
#ifdef PQWAVE_PLOT
#include "app/plot_image.h"
#include "app/png_module.h"
#endif

int main(int argc, char** argv) {
#ifdef PQWAVE_PLOT
    pqwave::setPngEncoderSource(&pqwave::loadPngModule);
#endif
    // A reader that goes away (convert -o - | head) is a failed write with a message, not a
    // silent end that would skip the removal of unfinished files.
    std::signal(SIGPIPE, SIG_IGN);
    pqwave::useLanguage(pqwave::languageOfEnvironment(), pqwave::executableFolder());
    std::vector<std::string> args(argv + 1, argv + argc);
    return pqwave::runCli(args, pqwave::executableFolder(), std::cout, std::cerr);
}
