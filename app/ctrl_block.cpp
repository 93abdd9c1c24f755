#include "app/ctrl_block.h"

uint32_t CCtrlBlock::BuildFlags() const {
    const size_t at = ctrl::Offset(ctrl::Slot::BuildFlags);
    return static_cast<uint32_t>(m_bytes[at]) | static_cast<uint32_t>(m_bytes[at + 1]) << 8 |
           static_cast<uint32_t>(m_bytes[at + 2]) << 16 | static_cast<uint32_t>(m_bytes[at + 3]) << 24;
}

std::string_view CCtrlBlock::SlotBytes(ctrl::Slot slot) const {
    const auto* begin = reinterpret_cast<const char*>(m_bytes.data() + ctrl::Offset(slot));
    size_t length = 0;
    while (length < ctrl::kSlotTextMax && begin[length] != '\0') ++length;
    return {begin, length};
}
