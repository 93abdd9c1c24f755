#include "ui/skin_geometry.h"

#include <algorithm>
#include <set>
#include <utility>

namespace skin {

std::uint32_t KeyedPixel(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    if (a == 255) return (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
    if (a == 0) return kKeyColour;
    auto blend = [a](std::uint32_t c) { return (a * c + (255u - a) * 255u) / 255u; };
    return (blend(r) << 16) | (blend(g) << 8) | blend(b);
}

void ConvertToKeyed(const std::uint8_t* src, int srcStride, int width, int height, std::uint8_t* dst) {
    if (src == nullptr || dst == nullptr || width <= 0 || height <= 0) return;
    const std::size_t dstStride = static_cast<std::size_t>(width) * 4;
    for (int i = 0; i < height; ++i) {
        const std::uint8_t* in = src + static_cast<std::ptrdiff_t>(i) * srcStride;
        std::uint8_t* out = dst + static_cast<std::size_t>(height - 1 - i) * dstStride;
        for (int j = 0; j < width; ++j, in += 4, out += 4) {
            const std::uint32_t c = KeyedPixel(in[3], in[2], in[1], in[0]);
            out[0] = static_cast<std::uint8_t>(c);
            out[1] = static_cast<std::uint8_t>(c >> 8);
            out[2] = static_cast<std::uint8_t>(c >> 16);
            out[3] = 0;
        }
    }
}

std::vector<Blit> NineSlicePlan(int skinW, int skinH, int wndW, int wndH, int border,
                                int captionHeight, bool stretch) {
    const int w = skinW, h = skinH, B = border;
    const int T = captionHeight == -1 ? border : captionHeight;
    std::vector<Blit> plan;
    // A piece with no area is skipped: GDI mirrors a stretch with a negative
    // size, which a window smaller than the skin's borders would otherwise get.
    auto add = [&plan](Rect src, Rect dst, bool isStretch) {
        if (src.w <= 0 || src.h <= 0 || dst.w <= 0 || dst.h <= 0) return;
        plan.push_back({src, dst, isStretch});
    };
    if (stretch) {
        add({0, 0, B, T}, {0, 0, B, T}, false);
        add({B, 0, w - 2 * B, T}, {B, 0, wndW - 2 * B, T}, true);
    } else {
        add({0, 0, wndW, wndH}, {0, 0, wndW, wndH}, false);
    }
    add({w - B, 0, B, T}, {wndW - B, 0, B, T}, false);
    if (stretch) add({0, T, B, h - T - B}, {0, T, B, wndH - T - B}, true);
    add({w - B, T, B, h - T - B}, {wndW - B, T, B, wndH - T - B}, true);
    if (stretch) add({B, T, w - 2 * B, h - T - B}, {B, T, wndW - 2 * B, wndH - T - B}, true);
    add({0, h - B, B, B}, {0, wndH - B, B, B}, false);
    add({B, h - B, w - 2 * B, B}, {B, wndH - B, wndW - 2 * B, B}, true);
    add({w - B, h - B, B, B}, {wndW - B, wndH - B, B, B}, false);
    return plan;
}

std::vector<Point> CornerCutPixels(const std::uint32_t* pixels, int skinW, int skinH, int wndW,
                                   int wndH) {
    std::set<std::pair<int, int>> cut;  // (y, x): sorted by row for the caller
    if (pixels == nullptr || skinW <= 0 || skinH <= 0) return {};
    const int cols = std::min(skinW, 9);
    auto scanRow = [&](int r, int windowY) {
        if (windowY < 0 || windowY >= wndH) return;
        const std::uint32_t* row = pixels + static_cast<std::size_t>(r) * skinW;
        for (int j = 0; j < cols; ++j) {
            if ((row[j] & 0xFFFFFF) == kKeyColour && j < wndW) cut.insert({windowY, j});
            const int mirrored = wndW - 1 - j;
            if ((row[skinW - 1 - j] & 0xFFFFFF) == kKeyColour && mirrored >= 0)
                cut.insert({windowY, mirrored});
        }
    };
    for (int r = 0; r < std::min(skinH, 9); ++r) scanRow(r, r);
    for (int r = std::max(skinH - 9, 0); r < skinH; ++r) scanRow(r, wndH - skinH + r);
    std::vector<Point> out;
    out.reserve(cut.size());
    for (const auto& [y, x] : cut) out.push_back({x, y});
    return out;
}

HitCode FrameHitTest(const FrameHitInput& in) {
    const int x = in.x, y = in.y, B = in.border, T = in.captionHeight;
    if (in.maximized) return kHitDefault;
    const bool inCaption = T == -1 || (y >= 0 && y < T);
    if (!in.resizable) return inCaption ? kHitCaption : kHitDefault;
    const bool top = y >= 0 && y < B;
    const bool bottom = y >= in.clientH - B && y < in.clientH;
    if (x >= 0 && x < B) return top ? kHitTopLeft : bottom ? kHitBottomLeft : kHitLeft;
    if (x >= in.clientW - B && x < in.clientW) return top ? kHitTopRight : bottom ? kHitBottomRight : kHitRight;
    // The top band is a fixed 3 pixels so that a wide border does not eat the caption.
    if (y >= 0 && y < 3) return kHitTop;
    if (T == -1 || (y >= 3 && y < T)) return kHitCaption;
    if (bottom) return kHitBottom;
    return kHitDefault;
}

unsigned SizingCommand(int hitCode) {
    switch (hitCode) {
        case kHitLeft: return 0xF001;
        case kHitRight: return 0xF002;
        case kHitTop: return 0xF003;
        case kHitTopLeft: return 0xF004;
        case kHitTopRight: return 0xF005;
        case kHitBottom: return 0xF006;
        case kHitBottomLeft: return 0xF007;
        case kHitBottomRight: return 0xF008;
        default: return 0;
    }
}

CaptionButtonX LayoutCaptionButtonsOnSkin(int layoutRight, int btnRight, int gap, int closeW,
                                          int maxW, int minW) {
    CaptionButtonX out;
    int x = layoutRight - btnRight;
    if (closeW > 0) out.close = x - closeW;
    if (maxW > 0) {
        x = x - closeW - gap;
        out.max = x - maxW;
    }
    if (minW > 0) {
        x = x - (maxW > 0 ? maxW : closeW) - gap;
        out.min = x - minW;
    }
    return out;
}

CaptionButtonX LayoutCaptionButtonsOnSize(int clientW, int btnRight, int closeW, int maxW, int minW) {
    CaptionButtonX out;
    int x = clientW - btnRight;
    if (closeW > 0) out.close = x -= closeW;
    if (maxW > 0) out.max = x -= maxW;
    if (minW > 0) out.min = x -= minW;
    return out;
}

WorkArea InitialRestoreRect(const WorkArea& work) {
    const int w = work.right - work.left, h = work.bottom - work.top;
    return {w / 8, h / 8, work.right - w / 8, work.bottom - h / 8};
}

WorkArea MaximisedRect(const WorkArea& work, int maxW, int maxH) {
    WorkArea r = work;
    if (r.right - r.left > maxW) {
        const int inset = (r.right - r.left - maxW) / 2;
        r.left += inset;
        r.right -= inset;
    }
    if (r.bottom - r.top > maxH) {
        const int inset = (r.bottom - r.top - maxH) / 2;
        r.top += inset;
        r.bottom -= inset;
    }
    return r;
}

int ButtonFrame(const ButtonState& state, bool& pressed) {
    if (state.disabled) return 3;
    if (state.selected || pressed) {
        pressed = true;
        return 2;
    }
    return state.hover ? 1 : 0;
}

int IconTop(int captionHeight) { return captionHeight == -1 ? 6 : (captionHeight - 15) / 2; }

int TitleTop(int captionHeight) {
    int t = (captionHeight - 11) / 2;
    if (t < 0) t = 6;
    return t - 2;
}

}  // namespace skin
