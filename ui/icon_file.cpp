#include "ui/icon_file.h"

#include <cstring>

namespace icon {
namespace {

std::uint32_t ReadU32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}
std::uint16_t ReadU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

void PutU16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

constexpr std::size_t kHeaderSize = 40;
constexpr std::size_t kSizeImageOffset = 20;

}  // namespace

std::optional<ImageLayout> DescribeImage(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < kHeaderSize || ReadU32(data) < kHeaderSize) return std::nullopt;
    const auto width = static_cast<std::int32_t>(ReadU32(data + 4));
    const auto fullHeight = static_cast<std::int32_t>(ReadU32(data + 8));
    const int planes = ReadU16(data + 12);
    const int bitCount = ReadU16(data + 14);
    const std::uint32_t clrUsed = ReadU32(data + 32);
    // Icons are at most 256 pixels a side; anything beyond is not an icon image
    // and would overflow the size arithmetic below.
    // Planes and depth are bounded one by one first: their product of two
    // large 16-bit fields overflows an int.
    if (width <= 0 || width > 1024 || fullHeight <= 0 || fullHeight > 2048 || planes <= 0 || planes > 32 ||
        bitCount <= 0 || bitCount > 32 || planes * bitCount > 32 || clrUsed > 256)
        return std::nullopt;
    ImageLayout l;
    l.width = width;
    l.height = fullHeight / 2;
    l.planes = planes;
    l.bitCount = bitCount;
    l.colorBits = planes * bitCount;
    std::size_t table = 0;
    if (clrUsed != 0) table = std::size_t{clrUsed} * 4;
    else if (l.colorBits == 1) table = 8;
    else if (l.colorBits == 4) table = 64;
    else if (l.colorBits == 8) table = 1024;
    l.xorOffset = ReadU32(data) + table;
    const std::size_t xorRow = (static_cast<std::size_t>(width) * l.colorBits + 31) / 32 * 4;
    const std::size_t andRow = (static_cast<std::size_t>(width) + 31) / 32 * 4;
    l.andOffset = l.xorOffset + xorRow * l.height;
    if (ReadU32(data) > size || l.andOffset + andRow * l.height > size) return std::nullopt;
    return l;
}

std::vector<std::uint8_t> HeaderAndDirectory(const std::vector<Image>& images) {
    std::vector<std::uint8_t> out;
    PutU16(out, 0);
    PutU16(out, 1);
    PutU16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const Image& image : images) {
        const ImageLayout& l = image.layout;
        out.push_back(static_cast<std::uint8_t>(l.width));
        out.push_back(static_cast<std::uint8_t>(l.height));
        out.push_back(static_cast<std::uint8_t>(l.colorBits < 8 ? 1u << l.colorBits : 0u));
        out.push_back(0);
        PutU16(out, static_cast<unsigned>(l.planes));
        PutU16(out, static_cast<unsigned>(l.bitCount));
        PutU32(out, static_cast<std::uint32_t>(image.data.size()));
        PutU32(out, offset);
        offset += static_cast<std::uint32_t>(image.data.size());
    }
    return out;
}

std::vector<std::uint8_t> ImageForFile(const Image& image) {
    std::vector<std::uint8_t> out = image.data;
    if (out.size() >= kHeaderSize) std::memset(out.data() + kSizeImageOffset, 0, 4);
    return out;
}

}  // namespace icon
