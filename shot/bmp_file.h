#pragma once

// The screenshot tool's BMP files: a 14-byte file header and a 40-byte info
// header (uncompressed, bottom-up rows, no colour table) before the rows of
// pixels, each row padded to a multiple of four bytes.

#include <array>
#include <cstdint>
#include <optional>

namespace bmp {

inline constexpr std::uint32_t kHeadersSize = 54;

// Bytes in one stored row of `width` pixels, or nullopt when the size cannot
// be a BMP (no pixels, or more than the 32-bit size fields can hold).
std::optional<std::uint32_t> RowSize(int width, int bitsPerPixel);

// The pixel bytes after the headers: height x row size, or nullopt when the
// image or the whole file would not fit the 32-bit size fields.
std::optional<std::uint32_t> ImageSize(int width, int height, int bitsPerPixel);

// The 54 header bytes for width x height pixels of `bitsPerPixel`, or nullopt
// for a size the format cannot state.
std::optional<std::array<std::uint8_t, kHeadersSize>> Headers(int width, int height, int planes, int bitsPerPixel);

}  // namespace bmp
