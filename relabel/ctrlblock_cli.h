#pragma once

#include <ostream>
#include <span>
#include <string>

#include "base/code_page.h"

// The relabel tool's command line, without argv[0]; arguments are UTF-8.
//   show FILE
//   set FILE -o OUT Slot=value...
//   apply FILE PROFILE -o OUT
// Returns 0 on success, 2 for bad input (nothing written), 1 when writing OUT fails.
int RunCtrlBlock(std::span<const std::string> args, std::ostream& out, std::ostream& err, const ICodePage& gbk);
