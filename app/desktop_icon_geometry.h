#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/pixel_rect.h"

// The parts of the desktop icon lookup that do not need another process: the
// list-view item record as the desktop's process reads it, and the icon area
// within an item's bounds.

namespace desktop_icon {

// Characters of the item text buffer the lookup hands to the list view.
inline constexpr int kTextCapacity = 260;

// LVITEMW in a 32-bit process (4-byte pointers) and in a 64-bit one, where
// the text pointer is 8 bytes wide, aligned, and the capacity follows it.
inline constexpr size_t kItemRecordSize32 = 60;
inline constexpr size_t kItemRecordSize64 = 88;

// A record asking for item text (sub-item 0) into `textAddress`, an address
// in the list view's process.
std::vector<std::uint8_t> ItemTextRecord(bool layout64, std::uint64_t textAddress, int capacity = kTextCapacity);

// The icon area of an item whose label, measured in one line, is `textWidth`
// by `textHeight`: the bounds with the label's wrapped lines taken off the
// bottom. An item without width counts its label as one line.
ui::PixelRect IconAreaAboveLabel(const ui::PixelRect& bounds, int textWidth, int textHeight);

}  // namespace desktop_icon
