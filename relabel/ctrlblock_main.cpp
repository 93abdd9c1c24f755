#include <iostream>
#include <string>
#include <vector>

#include "relabel/ctrlblock_cli.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto gbk = MakeGbkCodePage();
    return RunCtrlBlock(args, std::cout, std::cerr, *gbk);
}
