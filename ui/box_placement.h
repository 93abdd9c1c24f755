#pragma once

#include <optional>

#include "ui/pixel_rect.h"

// Where the client's message boxes open: over the window they belong to,
// and always whole on one monitor's work area.
namespace ui {

// An owner smaller than this either way is not something the user looks at
// (the main frame is a pixel while its login face shows).
inline constexpr int kBoxMinOwnerSide = 32;

// The window rectangle of a box `width` x `height`: centred on `owner`, then
// moved into `workArea` (the work area of the owner's monitor). A box larger
// than the work area keeps its top-left corner, with its caption, inside.
// With no owner, or one too small to centre on, the box is centred on the
// work area. Negative sizes count as 0.
PixelRect BoxPlacement(int width, int height, const std::optional<PixelRect>& owner, const PixelRect& workArea);

}  // namespace ui
