#include <windows.h>

#include "base/code_page_win.h"
#include "app/ctrl_block.h"

// Defined in ctrl_section.S: the 0x3000 bytes of the `.ctrl` section that the
// relabel tool rewrites in the built program.
extern "C" const uint8_t corvane_ctrl_block[ctrl::kBlockSize];

const CCtrlBlock& TheCtrlBlock() {
    static const CWinCodePage ansi(CP_ACP);
    static const CCtrlBlock block(std::span<const uint8_t, ctrl::kBlockSize>(corvane_ctrl_block), ansi);
    return block;
}
