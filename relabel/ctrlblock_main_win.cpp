#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <iostream>
#include <string>
#include <vector>

#include "base/utf8.h"
#include "relabel/ctrlblock_cli.h"

// Windows hands the arguments over as UTF-16; the tool works in UTF-8.
int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(WideToUtf8(argv[i]));
    const auto gbk = MakeGbkCodePage();
    return RunCtrlBlock(args, std::cout, std::cerr, *gbk);
}
