#include <gtest/gtest.h>

#include "ui/progress_fill.h"

using namespace ui;

TEST(ProgressFill, LayoutCentresTheBarOnTheTrack) {
    const struct {
        const char* name;
        int tw, th, bw, bh;
        ProgressRects rects;
    } cases[] = {
        {"update dialog images", 390, 21, 390, 21, {{0, 0, 390, 21}, {0, 0, 390, 21}}},
        {"smaller bar", 400, 30, 390, 21, {{0, 0, 400, 30}, {5, 4, 395, 25}}},
        {"odd difference rounds toward zero", 401, 30, 390, 20, {{0, 0, 401, 30}, {5, 5, 395, 25}}},
        {"bar larger than the track", 10, 10, 13, 13, {{0, 0, 10, 10}, {-1, -1, 12, 12}}},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgressLayout(c.tw, c.th, c.bw, c.bh), c.rects) << c.name;
}

TEST(ProgressFill, FillColumns) {
    const PixelRect bar390{5, 4, 395, 25};
    const PixelRect bar391{0, 0, 391, 21};
    const struct {
        const char* name;
        PixelRect bar;
        int64_t pos, lower, upper;
        ProgressFill fill;  // filled, leftColumns, leftDestX, rightColumns, rightSourceX, rightDestX
    } cases[] = {
        {"empty", bar390, 0, 0, 100, {0, 0, 5, 0, 390, 5}},
        // The left end covers the first quarter, the right end the second.
        {"half", bar390, 50, 0, 100, {195, 97, 5, 98, 292, 102}},
        {"full: the whole image in two halves", bar390, 100, 0, 100, {390, 195, 5, 195, 195, 200}},
        {"37 percent truncates 144.3", bar390, 37, 0, 100, {144, 72, 5, 72, 318, 77}},
        {"one step", bar390, 1, 0, 100, {3, 1, 5, 2, 388, 6}},
        {"odd width, half", bar391, 50, 0, 100, {195, 97, 0, 98, 293, 97}},
        {"odd width, full", bar391, 100, 0, 100, {391, 195, 0, 196, 195, 195}},
        {"past the top clamps to full", bar390, 250, 0, 100, {390, 195, 5, 195, 195, 200}},
        {"below the bottom clamps to empty", bar390, -5, 0, 100, {0, 0, 5, 0, 390, 5}},
        {"range not starting at 0", bar390, 150, 100, 200, {195, 97, 5, 98, 292, 102}},
        {"zero range", bar390, 0, 0, 0, {0, 0, 5, 0, 390, 5}},
        {"zero range away from 0", bar390, 7, 7, 7, {0, 0, 5, 0, 390, 5}},
        {"reversed range", bar390, 50, 100, 0, {0, 0, 5, 0, 390, 5}},
        // 390 x (2^31 - 2) does not fit in 32 bits.
        {"largest 32-bit range", bar390, INT32_MAX - 1, 0, INT32_MAX, {389, 194, 5, 195, 195, 199}},
        {"full signed 32-bit range", bar390, 0, INT32_MIN, INT32_MAX, {195, 97, 5, 98, 292, 102}},
        {"range beyond 32 bits is refused", bar390, 1, 0, int64_t{1} << 40, {0, 0, 5, 0, 390, 5}},
        {"empty bar", {5, 5, 5, 20}, 50, 0, 100, {0, 0, 5, 0, 0, 5}},
    };
    for (const auto& c : cases) EXPECT_EQ(ComputeProgressFill(c.bar, c.pos, c.lower, c.upper), c.fill) << c.name;
}

TEST(ProgressFill, TwoPartsAlwaysJoinAndStayInsideTheImage) {
    for (int width = 1; width <= 41; ++width) {
        const PixelRect bar{3, 0, 3 + width, 10};
        int previous = 0;
        for (int pos = 0; pos <= 17; ++pos) {
            const auto fill = ComputeProgressFill(bar, pos, 0, 17);
            SCOPED_TRACE(testing::Message() << "width " << width << " pos " << pos);
            EXPECT_EQ(fill.leftColumns + fill.rightColumns, fill.filled);
            EXPECT_EQ(fill.rightDestX, fill.leftDestX + fill.leftColumns);
            EXPECT_EQ(fill.rightSourceX + fill.rightColumns, width);
            EXPECT_GE(fill.rightSourceX, fill.leftColumns);
            EXPECT_GE(fill.filled, previous);
            previous = fill.filled;
        }
        EXPECT_EQ(previous, width);
    }
}

TEST(ProgressFill, Percent) {
    const struct {
        int64_t pos, lower, upper;
        int percent;
    } cases[] = {
        {0, 0, 100, 0},    {37, 0, 100, 37}, {100, 0, 100, 100}, {1, 0, 3, 33},   {150, 100, 200, 50},
        {250, 0, 100, 100}, {-1, 0, 100, 0}, {5, 5, 5, 0},        {50, 100, 0, 0}, {INT32_MAX, 0, INT32_MAX, 100},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgressPercent(c.pos, c.lower, c.upper), c.percent) << c.pos << " in " << c.lower << ".." << c.upper;
    }
}
