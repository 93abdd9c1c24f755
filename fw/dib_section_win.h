#pragma once

#include <windows.h>

#include "fw/handles_win.h"

namespace fw {

enum class RowOrder { TopDown, BottomUp };

// A 32-bit BI_RGB DIB section of `width` x `height` and its pixels' address
// in `bits`; an empty bitmap (and null bits) when it cannot be made.
ScopedBitmap Create32BitSection(int width, int height, RowOrder order, void** bits);

}  // namespace fw
