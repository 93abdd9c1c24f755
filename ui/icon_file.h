#pragma once

// The .ico format as the install step writes it for the shortcuts, from the
// images of an executable's icon group (each a BITMAPINFOHEADER, colour table,
// XOR bits and AND mask, as stored in RT_ICON resources).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace icon {

// Where the parts of one stored icon image lie. Offsets are from the start of
// the image data.
struct ImageLayout {
    int width = 0;
    int height = 0;     // the header's height / 2: it counts the XOR and AND halves
    int colorBits = 0;  // planes x bits per pixel
    int planes = 0;
    int bitCount = 0;
    std::size_t xorOffset = 0;
    std::size_t andOffset = 0;
};

// Reads the image's header; none when the data is too short for its header,
// colour table, XOR bits and AND mask, or the header is not a bitmap header.
std::optional<ImageLayout> DescribeImage(const std::uint8_t* data, std::size_t size);

struct Image {
    std::vector<std::uint8_t> data;  // as stored, starting with the header
    ImageLayout layout;
};

// The 6-byte header and the 16-byte directory entries; the first image starts
// right after them.
std::vector<std::uint8_t> HeaderAndDirectory(const std::vector<Image>& images);

// An image as written to the file: the stored bytes with biSizeImage 0.
std::vector<std::uint8_t> ImageForFile(const Image& image);

}  // namespace icon
