#include <iostream>

#include "common/messages.h"
#include "common/program_folder.h"
#include "tools/generator_cli.h"

int main(int argc, char** argv) {
    pqwave::useLanguage(pqwave::languageOfEnvironment(), pqwave::executableFolder());
    std::vector<std::string> args(argv + 1, argv + argc);
    return pqwave::gen::runGenerator(args, std::cout, std::cerr);
}
