#include "app/ctrl_block.h"

uint32_t CCtrlBlock::BuildFlags() const {
    const size_t at = ctrl::Offset(ctrl::Slot::BuildFlags);
    return static_cast<uint32_t>(m_bytes[at]) | static_cast<uint32_t>(m_bytes[at + 1]) << 8 |
           static_cast<uint32_t>(m_bytes[at + 2]) << 16 | static_cast<uint32_t>(m_bytes[at + 3]) << 24;
}

std::string_view CCtrlBlock::SlotBytes(ctrl::Slot slot) const { return ctrl::SlotText(m_bytes, slot); }
