#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

// The common kind of PNG, decoded straight into premultiplied BGRA rows as
// UpdateLayeredWindow takes them: 8 bits a sample, RGB or RGBA, not
// interlaced, which is what the skins are. Every other kind (palettes, grey,
// 16 bits, interlace, a colour key in tRNS) is left to the system's decoder.
//
// Why not the system's decoder for everything: under Wine it spends about
// 40 ms of processor time on the login face's 1125 x 696 picture, on the
// second core that start-up needs for the Wine server and the display. This
// one inflates a row at a time into the caller's pixels and takes a third
// of that.
namespace png {

enum class Result {
    Decoded,
    Unsupported,  // a PNG of another kind: no pixels were asked for
    Broken,       // not a whole, sound PNG, or no pixels to write to
};

// Limits of what is decoded here; a larger picture is left to the system.
inline constexpr uint32_t kMaxSide = 16384;
inline constexpr uint64_t kMaxPixels = 64u * 1024 * 1024;

// Asked once, after the header and before any pixel, for `height` rows of
// `width` pixels, 4 bytes each, rows `width * 4` bytes apart, top row first;
// null gives Broken.
using PixelSink = std::function<uint8_t*(uint32_t width, uint32_t height)>;

Result DecodePremultipliedBgra(std::span<const uint8_t> bytes, const PixelSink& pixels);

}  // namespace png
