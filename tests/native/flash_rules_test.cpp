#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "browser/flash_rules.h"

namespace {

using ui::PixelRect;

TEST(LogoOverIcon, SquareCentredOnePixelBelowTheTop) {
    struct Case {
        PixelRect icon;
        PixelRect logo;
    } cases[] = {
        {{100, 200, 140, 232}, {108, 201, 132, 225}},  // 40 x 32: 24 x 24, 8 in from each side
        {{0, 0, 48, 48}, {4, 1, 44, 41}},
        {{10, 10, 51, 42}, {18, 11, 42, 35}},           // odd leftover: the extra pixel goes right
        {{-50, -40, -10, 0}, {-46, -39, -14, -7}},      // a desktop left of or above the primary screen
        {{5, 5, 13, 40}, {9, 6, 9, 6}},                 // exactly the margin: empty, not negative
        {{5, 5, 10, 7}, {7, 6, 7, 6}},                  // smaller than the margin
    };
    for (const Case& c : cases) {
        const PixelRect logo = flash::LogoOverIcon(c.icon);
        EXPECT_EQ(logo, c.logo) << c.icon.left << "," << c.icon.top << " " << c.icon.Width() << "x" << c.icon.Height();
        EXPECT_GE(logo.Width(), 0);
        EXPECT_EQ(logo.Width(), logo.Height());
    }
}

TEST(RecoverAlpha, FromThePixelOnBlackAndOnWhite) {
    struct Case {
        std::uint8_t black[3], white[3];
        std::uint8_t alpha;
    } cases[] = {
        {{0, 0, 0}, {255, 255, 255}, 0},        // nothing drawn
        {{10, 20, 30}, {10, 20, 30}, 255},      // fully covered
        {{64, 0, 0}, {191, 127, 127}, 128},     // half covered: each channel lets 127 through
        {{0, 0, 0}, {30, 60, 90}, 195},         // 255 - 180 / 3
        {{0, 0, 0}, {1, 1, 0}, 255},            // 2 / 3 rounds down
        {{200, 100, 50}, {199, 100, 50}, 255},  // darker on white: covered, not wrapped to 170
        {{255, 255, 255}, {0, 0, 0}, 255},
    };
    std::vector<std::uint8_t> onBlack, onWhite;
    for (const Case& c : cases) {
        EXPECT_EQ(flash::AlphaFromBackgrounds(c.black, c.white), c.alpha)
            << int(c.black[0]) << "/" << int(c.white[0]);
        onBlack.insert(onBlack.end(), {c.black[0], c.black[1], c.black[2], 0x5A});
        onWhite.insert(onWhite.end(), {c.white[0], c.white[1], c.white[2], 0xA5});
    }
    // Over a whole buffer: only the fourth byte of the buffer on black changes.
    const std::vector<std::uint8_t> whiteBefore = onWhite;
    flash::RecoverAlpha(onBlack.data(), onWhite.data(), std::size(cases));
    EXPECT_EQ(onWhite, whiteBefore);
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(onBlack[i * 4 + 3], cases[i].alpha) << i;
        EXPECT_EQ(onBlack[i * 4], cases[i].black[0]) << i;
    }
}

TEST(NeedsAlphaFix, OnlyMajorVersionEight) {
    EXPECT_TRUE(flash::NeedsAlphaFix(0x080000));
    EXPECT_TRUE(flash::NeedsAlphaFix(0x08007C));
    EXPECT_FALSE(flash::NeedsAlphaFix(0x070000));
    EXPECT_FALSE(flash::NeedsAlphaFix(0x090010));
    EXPECT_FALSE(flash::NeedsAlphaFix(0x180000));  // 24, not 8
    EXPECT_FALSE(flash::NeedsAlphaFix(0));
}

}  // namespace
