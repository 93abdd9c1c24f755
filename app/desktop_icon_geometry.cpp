#include "app/desktop_icon_geometry.h"

namespace desktop_icon {

namespace {

constexpr std::uint32_t kLvifText = 0x0001;

void Put32(std::vector<std::uint8_t>& record, size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) record[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void Put64(std::vector<std::uint8_t>& record, size_t at, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) record[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<std::uint8_t> ItemTextRecord(bool layout64, std::uint64_t textAddress, int capacity) {
    std::vector<std::uint8_t> record(layout64 ? kItemRecordSize64 : kItemRecordSize32, 0);
    // mask, iItem, iSubItem, state, stateMask come first in both layouts.
    Put32(record, 0, kLvifText);
    if (layout64) {
        Put64(record, 24, textAddress);
        Put32(record, 32, static_cast<std::uint32_t>(capacity));
    } else {
        Put32(record, 20, static_cast<std::uint32_t>(textAddress));
        Put32(record, 24, static_cast<std::uint32_t>(capacity));
    }
    return record;
}

ui::PixelRect IconAreaAboveLabel(const ui::PixelRect& bounds, int textWidth, int textHeight) {
    const int64_t itemWidth = bounds.Width();
    // The label wraps inside the item, less a 12-pixel margin.
    const int64_t lines = itemWidth > 0 ? (static_cast<int64_t>(textWidth) - 12) / itemWidth + 1 : 1;
    ui::PixelRect area = bounds;
    area.bottom = ui::ClampToInt(static_cast<int64_t>(bounds.bottom) + 2 - static_cast<int64_t>(textHeight) * lines);
    return area;
}

}  // namespace desktop_icon
