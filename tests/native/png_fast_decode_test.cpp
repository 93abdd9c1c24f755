#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "ui/png_fast_decode.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(Bytes& out, const char* type, const Bytes& data, bool goodCrc = true) {
    Put32(out, static_cast<uint32_t>(data.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    const uint32_t crc = static_cast<uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size())));
    Put32(out, goodCrc ? crc : crc ^ 1);
}

Bytes Header(uint32_t width, uint32_t height, uint8_t depth, uint8_t colour, uint8_t interlace = 0) {
    Bytes h;
    Put32(h, width);
    Put32(h, height);
    h.insert(h.end(), {depth, colour, 0, 0, interlace});
    return h;
}

int PaethOf(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
}

// Rows of samples filtered the way an encoder does, each with its type byte.
Bytes Filtered(const std::vector<Bytes>& rows, size_t step, uint8_t type) {
    Bytes out;
    Bytes above(rows[0].size(), 0);
    for (const Bytes& row : rows) {
        out.push_back(type);
        for (size_t i = 0; i < row.size(); ++i) {
            const int left = i >= step ? row[i - step] : 0, up = above[i], upLeft = i >= step ? above[i - step] : 0;
            const int predicted = type == 1 ? left : type == 2 ? up : type == 3 ? (left + up) / 2
                                                  : type == 4 ? PaethOf(left, up, upLeft) : 0;
            out.push_back(static_cast<uint8_t>(row[i] - predicted));
        }
        above = row;
    }
    return out;
}

Bytes Deflated(const Bytes& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    compress(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    out.resize(size);
    return out;
}

struct Png {
    Bytes header;
    Bytes data;          // deflated scanlines
    size_t piece = 0;    // IDAT chunk size; 0: one chunk
    Bytes beforeData{};  // whole chunks between IHDR and the image data
};

Bytes Build(const Png& png) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(out, "IHDR", png.header);
    out.insert(out.end(), png.beforeData.begin(), png.beforeData.end());
    const size_t piece = png.piece == 0 ? png.data.size() : png.piece;
    for (size_t at = 0; at < png.data.size(); at += piece)
        PutChunk(out, "IDAT", Bytes(png.data.begin() + at, png.data.begin() + std::min(png.data.size(), at + piece)));
    PutChunk(out, "IEND", {});
    return out;
}

// 3 x 2 pixels: opaque, clear, half-covered, and three more.
const std::vector<Bytes> kRgbaRows = {
    {255, 0, 0, 255, 10, 20, 30, 0, 255, 255, 255, 128},
    {1, 2, 3, 255, 200, 100, 50, 255, 64, 128, 192, 64},
};
// The same as premultiplied BGRA.
const Bytes kRgbaPixels = {0, 0, 255, 255, 0, 0, 0, 0, 128, 128, 128, 128,
                           3, 2, 1, 255, 50, 100, 200, 255, 48, 32, 16, 64};

struct Decoded {
    png::Result result;
    Bytes pixels;
    int asked = 0;
};

Decoded Decode(const Bytes& bytes, bool giveMemory = true) {
    Decoded d{};
    d.result = png::DecodePremultipliedBgra(bytes, [&](uint32_t w, uint32_t h) -> uint8_t* {
        ++d.asked;
        d.pixels.assign(size_t{w} * h * 4, 0xEE);
        return giveMemory ? d.pixels.data() : nullptr;
    });
    return d;
}

TEST(PngFastDecode, EveryFilterAndPieceSizeGivesThePremultipliedPixels) {
    const std::vector<Bytes> rgbRows = {{255, 0, 0, 10, 20, 30, 7, 8, 9}, {1, 2, 3, 200, 100, 50, 0, 0, 0}};
    const Bytes rgbPixels = {0, 0, 255, 255, 30, 20, 10, 255, 9, 8, 7, 255,
                             3, 2, 1, 255, 50, 100, 200, 255, 0, 0, 0, 255};
    for (uint8_t filter = 0; filter <= 4; ++filter) {
        for (size_t piece : {0, 1, 5}) {
            const Decoded rgba = Decode(Build({Header(3, 2, 8, 6), Deflated(Filtered(kRgbaRows, 4, filter)), piece}));
            EXPECT_EQ(rgba.result, png::Result::Decoded) << int(filter) << " " << piece;
            EXPECT_EQ(rgba.pixels, kRgbaPixels) << int(filter) << " " << piece;
            const Decoded rgb = Decode(Build({Header(3, 2, 8, 2), Deflated(Filtered(rgbRows, 3, filter)), piece}));
            EXPECT_EQ(rgb.result, png::Result::Decoded) << int(filter) << " " << piece;
            EXPECT_EQ(rgb.pixels, rgbPixels) << int(filter) << " " << piece;
        }
    }
}

// Other kinds go to the system's decoder before any pixel is asked for.
TEST(PngFastDecode, OtherKindsAreLeftUnasked) {
    Bytes key;
    PutChunk(key, "tRNS", {0, 1, 0, 2, 0, 3});
    Bytes unknownCritical;
    PutChunk(unknownCritical, "ABCD", {1});
    const Bytes data = Deflated(Filtered(kRgbaRows, 4, 0));
    const Png cases[] = {
        {Header(3, 2, 16, 6), data},
        {Header(3, 2, 8, 3), data},           // palette
        {Header(3, 2, 8, 0), data},           // grey
        {Header(3, 2, 8, 6, 1), data},        // interlaced
        {Header(3, 2, 8, 2), data, 0, key},   // colour key
        {Header(3, 2, 8, 6), data, 0, unknownCritical},
        {Header(png::kMaxSide + 1, 1, 8, 6), data},
        {Header(png::kMaxSide, png::kMaxSide, 8, 6), data},  // more pixels than the limit
    };
    for (const Png& c : cases) {
        const Decoded d = Decode(Build(c));
        EXPECT_EQ(d.result, png::Result::Unsupported) << c.header.size();
        EXPECT_EQ(d.asked, 0);
    }
}

TEST(PngFastDecode, UnsoundBytesAreBroken) {
    const Bytes good = Build({Header(3, 2, 8, 6), Deflated(Filtered(kRgbaRows, 4, 4))});
    std::vector<Bytes> cases;
    // Every cut short of the whole file, IEND included.
    for (size_t n = 0; n < good.size(); ++n) cases.emplace_back(good.begin(), good.begin() + n);
    Bytes badCrc = good;
    badCrc[20] ^= 0xFF;  // inside IHDR
    cases.push_back(badCrc);
    cases.push_back(Build({Header(0, 2, 8, 6), Deflated(Filtered(kRgbaRows, 4, 0))}));
    Bytes badFilter = Filtered(kRgbaRows, 4, 0);
    badFilter[0] = 5;
    cases.push_back(Build({Header(3, 2, 8, 6), Deflated(badFilter)}));
    Bytes oneRowShort = Filtered(kRgbaRows, 4, 0);
    oneRowShort.resize(oneRowShort.size() / 2);
    cases.push_back(Build({Header(3, 2, 8, 6), Deflated(oneRowShort)}));
    Bytes oneRowMore = Filtered(kRgbaRows, 4, 0);
    oneRowMore.insert(oneRowMore.end(), oneRowMore.begin(), oneRowMore.begin() + 13);
    cases.push_back(Build({Header(3, 2, 8, 6), Deflated(oneRowMore)}));
    cases.push_back(Build({Header(3, 2, 8, 6), Bytes(40, 0x5A)}));  // no deflate stream
    Bytes lengthPastEnd = good;
    lengthPastEnd[8] = 0x7F;  // IHDR's length
    cases.push_back(lengthPastEnd);
    for (const Bytes& bytes : cases) EXPECT_EQ(Decode(bytes).result, png::Result::Broken) << bytes.size();

    EXPECT_EQ(Decode(good).result, png::Result::Decoded);
    const Decoded noMemory = Decode(good, false);
    EXPECT_EQ(noMemory.result, png::Result::Broken);
    EXPECT_EQ(noMemory.asked, 1);
}

}  // namespace
