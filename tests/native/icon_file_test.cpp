#include "ui/icon_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace icon {
namespace {

// A stored icon image: header, colour table, XOR rows, AND rows.
std::vector<std::uint8_t> MakeImage(int size, int bitCount, std::uint32_t clrUsed = 0) {
    std::vector<std::uint8_t> d(40, 0);
    auto put32 = [&d](std::size_t at, std::uint32_t v) { std::memcpy(d.data() + at, &v, 4); };
    put32(0, 40);
    put32(4, static_cast<std::uint32_t>(size));
    put32(8, static_cast<std::uint32_t>(size * 2));
    d[12] = 1;
    d[14] = static_cast<std::uint8_t>(bitCount);
    put32(20, 0xABCD);  // biSizeImage as a resource compiler may leave it
    put32(32, clrUsed);
    std::size_t table = clrUsed ? clrUsed * 4 : bitCount == 1 ? 8 : bitCount == 4 ? 64 : bitCount == 8 ? 1024 : 0;
    const std::size_t xorRow = (static_cast<std::size_t>(size) * bitCount + 31) / 32 * 4;
    const std::size_t andRow = (static_cast<std::size_t>(size) + 31) / 32 * 4;
    d.resize(40 + table + (xorRow + andRow) * size, 0x5A);
    return d;
}

TEST(IconImage, LayoutOfEachColourDepth) {
    struct Case {
        int size, bits;
        std::uint32_t clrUsed;
        std::size_t xorOffset, andOffset;
    } cases[] = {
        {32, 32, 0, 40, 40 + 32 * 128},
        {16, 8, 0, 40 + 1024, 40 + 1024 + 16 * 16},
        {16, 4, 0, 40 + 64, 40 + 64 + 16 * 8},
        {32, 1, 0, 40 + 8, 40 + 8 + 32 * 4},
        {16, 8, 16, 40 + 64, 40 + 64 + 16 * 16},  // biClrUsed wins over the depth
        {48, 24, 0, 40, 40 + 48 * 144},
    };
    for (const Case& c : cases) {
        const auto data = MakeImage(c.size, c.bits, c.clrUsed);
        const auto l = DescribeImage(data.data(), data.size());
        ASSERT_TRUE(l) << c.size << "x" << c.bits;
        EXPECT_EQ(l->width, c.size);
        EXPECT_EQ(l->height, c.size);
        EXPECT_EQ(l->colorBits, c.bits);
        EXPECT_EQ(l->xorOffset, c.xorOffset) << c.bits;
        EXPECT_EQ(l->andOffset, c.andOffset) << c.bits;
    }
}

TEST(IconImage, TruncatedOrMalformedDataIsRefused) {
    auto good = MakeImage(32, 32);
    EXPECT_FALSE(DescribeImage(good.data(), good.size() - 1));  // AND mask cut short
    EXPECT_FALSE(DescribeImage(good.data(), 39));
    EXPECT_FALSE(DescribeImage(nullptr, 0));
    auto bad = good;
    bad[0] = 12;  // an OS/2 core header is not an icon image here
    EXPECT_FALSE(DescribeImage(bad.data(), bad.size()));
    bad = good;
    bad[7] = 0x7F;  // absurd width: would overflow the row arithmetic
    EXPECT_FALSE(DescribeImage(bad.data(), bad.size()));
    bad = good;
    bad[14] = 64;
    EXPECT_FALSE(DescribeImage(bad.data(), bad.size()));
    bad = good;
    bad[12] = bad[13] = bad[14] = bad[15] = 0xFF;  // planes x depth overflows an int
    EXPECT_FALSE(DescribeImage(bad.data(), bad.size()));
}

TEST(IcoFile, HeaderDirectoryAndOffsets) {
    std::vector<Image> images;
    for (auto [size, bits] : {std::pair{16, 32}, {32, 32}, {48, 8}, {32, 4}}) {
        Image image;
        image.data = MakeImage(size, bits);
        image.layout = *DescribeImage(image.data.data(), image.data.size());
        images.push_back(image);
    }
    const auto head = HeaderAndDirectory(images);
    ASSERT_EQ(head.size(), 6u + 4 * 16);
    EXPECT_EQ(std::vector<std::uint8_t>(head.begin(), head.begin() + 6), (std::vector<std::uint8_t>{0, 0, 1, 0, 4, 0}));
    std::uint32_t expectOffset = 70;  // 6 + 4 x 16
    for (std::size_t i = 0; i < images.size(); ++i) {
        const std::uint8_t* e = head.data() + 6 + 16 * i;
        EXPECT_EQ(e[0], images[i].layout.width);
        EXPECT_EQ(e[1], images[i].layout.height);
        EXPECT_EQ(e[2], images[i].layout.colorBits < 8 ? 1u << images[i].layout.colorBits : 0u) << i;
        EXPECT_EQ(e[3], 0);
        std::uint16_t planes, bits;
        std::uint32_t size, offset;
        std::memcpy(&planes, e + 4, 2);
        std::memcpy(&bits, e + 6, 2);
        std::memcpy(&size, e + 8, 4);
        std::memcpy(&offset, e + 12, 4);
        EXPECT_EQ(planes, 1);
        EXPECT_EQ(bits, images[i].layout.bitCount);
        EXPECT_EQ(size, images[i].data.size());
        EXPECT_EQ(offset, expectOffset) << i;
        expectOffset += size;
    }
}

TEST(IcoFile, ImageIsWrittenWithSizeImageZero) {
    Image image;
    image.data = MakeImage(16, 32);
    const auto out = ImageForFile(image);
    ASSERT_EQ(out.size(), image.data.size());
    std::uint32_t sizeImage;
    std::memcpy(&sizeImage, out.data() + 20, 4);
    EXPECT_EQ(sizeImage, 0u);
    EXPECT_TRUE(std::equal(out.begin() + 24, out.end(), image.data.begin() + 24));
}

}  // namespace
}  // namespace icon
