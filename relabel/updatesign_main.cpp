#include <iostream>
#include <string>
#include <vector>

#include "relabel/updatesign_cli.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunUpdateSign(args, std::cout, std::cerr);
}
