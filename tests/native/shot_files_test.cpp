#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "shot/bmp_file.h"
#include "shot/shot_file_name.h"

namespace {

std::uint32_t Get32(const std::array<std::uint8_t, bmp::kHeadersSize>& h, int at) {
    return h[at] | (h[at + 1] << 8) | (h[at + 2] << 16) | (static_cast<std::uint32_t>(h[at + 3]) << 24);
}
std::uint32_t Get16(const std::array<std::uint8_t, bmp::kHeadersSize>& h, int at) { return h[at] | (h[at + 1] << 8); }

TEST(BmpRows, PaddedToFourBytes) {
    struct Case {
        int width, bits;
        std::uint32_t want;
    } const cases[] = {
        {1, 32, 4}, {3, 32, 12}, {1, 24, 4}, {3, 24, 12}, {5, 24, 16}, {101, 24, 304},
        {1, 16, 4}, {2, 16, 4},  {3, 16, 8}, {1, 8, 4},   {5, 1, 4},   {33, 1, 8},
    };
    for (const Case& c : cases) EXPECT_EQ(bmp::RowSize(c.width, c.bits), c.want) << c.width << "x" << c.bits;
}

TEST(BmpHeaders, FieldsOfAnOddWidthImage) {
    const auto h = bmp::Headers(101, 37, 1, 24);
    ASSERT_TRUE(h);
    const std::uint32_t image = 304 * 37;
    EXPECT_EQ((*h)[0], 'B');
    EXPECT_EQ((*h)[1], 'M');
    EXPECT_EQ(Get32(*h, 2), 54 + image);
    EXPECT_EQ(Get32(*h, 6), 0u);  // both reserved words
    EXPECT_EQ(Get32(*h, 10), 54u);
    EXPECT_EQ(Get32(*h, 14), 40u);
    EXPECT_EQ(Get32(*h, 18), 101u);
    EXPECT_EQ(Get32(*h, 22), 37u);  // positive: bottom-up rows
    EXPECT_EQ(Get16(*h, 26), 1u);
    EXPECT_EQ(Get16(*h, 28), 24u);
    EXPECT_EQ(Get32(*h, 30), 0u);
    EXPECT_EQ(Get32(*h, 34), image);
    for (int at = 38; at < 54; at += 4) EXPECT_EQ(Get32(*h, at), 0u) << at;
}

TEST(BmpHeaders, SizesTheFormatCannotStateAreRefused) {
    EXPECT_FALSE(bmp::Headers(0, 10, 1, 32));
    EXPECT_FALSE(bmp::Headers(10, 0, 1, 32));
    EXPECT_FALSE(bmp::Headers(-4, 10, 1, 32));
    EXPECT_FALSE(bmp::Headers(10, 10, 1, 0));
    EXPECT_FALSE(bmp::Headers(10, 10, 1, 48));
    EXPECT_FALSE(bmp::Headers(10, 10, 0, 32));
    // 65536 x 16384 x 4 bytes is 4 GiB: the 32-bit size fields would wrap.
    EXPECT_FALSE(bmp::Headers(65536, 16384, 1, 32));
    EXPECT_FALSE(bmp::Headers(0x7FFFFFFF, 1, 1, 32));
    // Just under the limit is still a BMP.
    EXPECT_TRUE(bmp::Headers(65536, 16383, 1, 32));
}

TEST(ShotFileName, DefaultNameCarriesTheLocalTime) {
    EXPECT_EQ(shot::DefaultShotFileName({2026, 3, 7, 9, 5, 1}), L"截图20260307090501.bmp");
    EXPECT_EQ(shot::DefaultShotFileName({1999, 12, 31, 23, 59, 60}), L"截图19991231235960.bmp");
    // No stamp for a time that is not one.
    EXPECT_EQ(shot::DefaultShotFileName({2026, 13, 1, 0, 0, 0}), L"截图.bmp");
    EXPECT_EQ(shot::DefaultShotFileName({-1, 1, 1, 0, 0, 0}), L"截图.bmp");
    EXPECT_EQ(shot::DefaultShotFileName({2026, 1, 1, 24, 0, 0}), L"截图.bmp");
}

TEST(ShotFileName, BmpExtensionRule) {
    struct Case {
        const wchar_t* chosen;
        const wchar_t* want;
    } const cases[] = {
        {L"C:\\shots\\a", L"C:\\shots\\a.bmp"},
        {L"C:\\shots\\a.bmp", L"C:\\shots\\a.bmp"},
        {L"C:\\shots\\a.BMP", L"C:\\shots\\a.BMP"},
        {L"C:\\shots\\a.Bmp", L"C:\\shots\\a.Bmp"},
        {L"C:\\shots\\a.png", L"C:\\shots\\a.png.bmp"},
        {L"C:\\shots\\a.bmpx", L"C:\\shots\\a.bmpx.bmp"},
        {L"C:\\shots\\abmp", L"C:\\shots\\abmp.bmp"},
        {L"bmp", L"bmp.bmp"},
        {L"", L".bmp"},
        {L"截图.ｂｍｐ", L"截图.ｂｍｐ.bmp"},  // full-width letters are not the extension
    };
    for (const Case& c : cases) EXPECT_EQ(shot::WithBmpExtension(c.chosen), c.want);
}

}  // namespace
