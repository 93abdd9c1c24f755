#include "shot/bmp_file.h"

#include <limits>

namespace bmp {
namespace {

constexpr std::uint64_t kMaxField = std::numeric_limits<std::uint32_t>::max();

void Put16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
    Put16(at, value);
    Put16(at + 2, value >> 16);
}

}  // namespace

std::optional<std::uint32_t> RowSize(int width, int bitsPerPixel) {
    if (width <= 0 || bitsPerPixel <= 0 || bitsPerPixel > 32) return std::nullopt;
    const std::uint64_t bytes = (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitsPerPixel) + 31) / 32 * 4;
    if (bytes > kMaxField) return std::nullopt;
    return static_cast<std::uint32_t>(bytes);
}

std::optional<std::uint32_t> ImageSize(int width, int height, int bitsPerPixel) {
    const std::optional<std::uint32_t> row = RowSize(width, bitsPerPixel);
    if (!row || height <= 0) return std::nullopt;
    const std::uint64_t bytes = static_cast<std::uint64_t>(*row) * static_cast<std::uint64_t>(height);
    if (bytes > kMaxField - kHeadersSize) return std::nullopt;
    return static_cast<std::uint32_t>(bytes);
}

std::optional<std::array<std::uint8_t, kHeadersSize>> Headers(int width, int height, int planes, int bitsPerPixel) {
    const std::optional<std::uint32_t> image = ImageSize(width, height, bitsPerPixel);
    if (!image || planes <= 0 || planes > 0xFFFF) return std::nullopt;
    std::array<std::uint8_t, kHeadersSize> h{};
    h[0] = 'B';
    h[1] = 'M';
    Put32(&h[2], kHeadersSize + *image);
    Put32(&h[10], kHeadersSize);
    Put32(&h[14], 40);
    Put32(&h[18], static_cast<std::uint32_t>(width));
    Put32(&h[22], static_cast<std::uint32_t>(height));
    Put16(&h[26], static_cast<std::uint32_t>(planes));
    Put16(&h[28], static_cast<std::uint32_t>(bitsPerPixel));
    Put32(&h[34], *image);
    // Compression, resolutions and colour counts stay 0.
    return h;
}

}  // namespace bmp
