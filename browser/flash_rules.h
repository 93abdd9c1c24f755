#pragma once

#include <cstddef>
#include <cstdint>

#include "ui/pixel_rect.h"

// The pixel and placement rules of the Flash host and the logo window, apart
// from the windows that use them.

namespace flash {

// The player draws soft edges only from its version 8 on, and only that
// version needs the second rendering on white to recover them.
bool NeedsAlphaFix(std::uint32_t flashVersion);

// The alpha of one pixel the movie drew once on black and once on white:
// where it covers the background, both renderings agree; where it lets the
// background through, they differ by the background's share. A channel that
// came out darker on white (rounding in the player) counts as covered rather
// than wrapping round to "almost transparent".
std::uint8_t AlphaFromBackgrounds(const std::uint8_t onBlack[3], const std::uint8_t onWhite[3]);

// Writes each pixel's alpha into the fourth byte of `onBlack`; both buffers
// hold `pixels` 32-bit pixels (blue, green, red, unused). The colours on
// black are already premultiplied by that alpha, as a layered window wants.
void RecoverAlpha(std::uint8_t* onBlack, const std::uint8_t* onWhite, std::size_t pixels);

// The logo's square over the desktop icon's area: 8 pixels narrower than the
// area's shorter side, centred across it, one pixel below its top. An area
// too small for that gets an empty square rather than a negative size.
ui::PixelRect LogoOverIcon(const ui::PixelRect& icon);

}  // namespace flash
