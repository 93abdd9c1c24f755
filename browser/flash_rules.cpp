#include "browser/flash_rules.h"

#include <algorithm>

namespace flash {

namespace {

constexpr std::uint32_t kMajorVersionMask = 0xFF0000;
constexpr std::uint32_t kSoftEdgeVersion = 0x080000;
constexpr int kLogoMargin = 8;

}  // namespace

bool NeedsAlphaFix(std::uint32_t flashVersion) { return (flashVersion & kMajorVersionMask) == kSoftEdgeVersion; }

std::uint8_t AlphaFromBackgrounds(const std::uint8_t onBlack[3], const std::uint8_t onWhite[3]) {
    int shown = 0;
    for (int channel = 0; channel < 3; ++channel) shown += std::max(0, onWhite[channel] - onBlack[channel]);
    return static_cast<std::uint8_t>(255 - shown / 3);
}

void RecoverAlpha(std::uint8_t* onBlack, const std::uint8_t* onWhite, std::size_t pixels) {
    for (std::size_t i = 0; i < pixels; ++i, onBlack += 4, onWhite += 4) onBlack[3] = AlphaFromBackgrounds(onBlack, onWhite);
}

ui::PixelRect LogoOverIcon(const ui::PixelRect& icon) {
    const int side = std::max(0, std::min(icon.Width(), icon.Height()) - kLogoMargin);
    const int left = icon.left + (icon.Width() - side) / 2;
    const int top = icon.top + 1;
    return {left, top, left + side, top + side};
}

}  // namespace flash
