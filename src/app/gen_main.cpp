#include <iostream>

#include "tools/generator_cli.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return pqwave::gen::runGenerator(args, std::cout, std::cerr);
}
