#include <iostream>

#include "app/cli.h"
#ifdef PQWAVE_PLOT
#include "app/plot_image.h"
#endif

int main(int argc, char** argv) {
#ifdef PQWAVE_PLOT
    pqwave::setPictureWriter(&pqwave::writePicturePng);
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    return pqwave::runCli(args, pqwave::executableFolder(), std::cout, std::cerr);
}
