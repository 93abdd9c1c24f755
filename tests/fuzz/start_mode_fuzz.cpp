// The command line: the program's path and its arguments, one a line.
#include <vector>

#include "app/start_mode.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::wstring> args;
    for (std::string_view line : fuzz::Split(fuzz::Bytes(data, size), '\n', 8)) args.push_back(fuzz::Wide(line));
    const std::wstring commonAppData = L"C:\\ProgramData";
    const StartRequest request = DecideStartMode(args, kWebSwitch, args[0], commonAppData);
    fuzz::Require(request.gameAddress.size() <= kGameAddressArgMax, "the game address fits its buffer");
    IsInInstallFolder(args[0], commonAppData);
    return 0;
}
