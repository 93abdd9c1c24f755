#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/code_page.h"
#include "app/ctrl_layout.h"

// Reading and rewriting slot values the way operators write them: UTF-8 text,
// name slots stored as GBK, every other text slot plain ASCII.
namespace relabel {

using Block = std::array<uint8_t, ctrl::kBlockSize>;

// Sets one slot. Returns an empty string on success, otherwise a one-line
// reason; the block is unchanged on failure.
std::string SetSlot(Block& block, std::string_view name, std::string_view utf8Value, const ICodePage& gbk);

// Applies `Slot=value` lines (UTF-8, blank lines and lines starting with '#'
// skipped, CRLF accepted). All or nothing: on failure the block is unchanged
// and the reason names the line.
std::string ApplyProfile(Block& block, std::string_view profile, const ICodePage& gbk);

// The slot's value as UTF-8 for display. Bytes that are not printable ASCII in
// an ASCII slot are shown as \xNN so the output stays valid UTF-8.
std::string FormatSlot(const Block& block, const ctrl::SlotInfo& slot, const ICodePage& gbk);

}  // namespace relabel
