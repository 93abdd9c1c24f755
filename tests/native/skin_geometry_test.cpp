#include "ui/skin_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace skin {
namespace {

TEST(KeyedPixel, ThreeRules) {
    struct Case {
        std::uint8_t a, r, g, b;
        std::uint32_t want;
    } cases[] = {
        {255, 0x12, 0x34, 0x56, 0x123456},  // opaque: copied
        {255, 255, 0, 255, 0xFF00FF},       // opaque magenta stays magenta
        {0, 0x12, 0x34, 0x56, 0xFF00FF},    // transparent: magenta whatever the colour
        {0, 0, 0, 0, 0xFF00FF},
        // (A*C + (255-A)*255) / 255, truncating
        {128, 0, 0, 0, 0x7F7F7F},
        {1, 0, 100, 255, 0xFEFEFF},
        {254, 0, 0, 0, 0x010101},
        {128, 255, 255, 255, 0xFFFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeyedPixel(c.a, c.r, c.g, c.b), c.want) << int(c.a) << " " << int(c.r) << " " << int(c.g);
}

TEST(KeyedPixel, ConversionFlipsRowsAndClearsTheFourthByte) {
    // 2 x 2, top-down BGRA with a padded stride of 12 bytes.
    const std::uint8_t src[24] = {
        0x10, 0x20, 0x30, 255, 0, 0, 0, 0, 9, 9, 9, 9,  // row 0: opaque, transparent, padding
        0, 0, 0, 128, 1, 2, 3, 255, 9, 9, 9, 9,          // row 1: half black, opaque
    };
    std::uint8_t dst[16];
    ConvertToKeyed(src, 12, 2, 2, dst);
    const std::uint8_t want[16] = {
        0x7F, 0x7F, 0x7F, 0, 1, 2, 3, 0,        // bottom-up: source row 1 first
        0x10, 0x20, 0x30, 0, 255, 0, 255, 0,
    };
    EXPECT_EQ(std::vector<std::uint8_t>(dst, dst + 16), std::vector<std::uint8_t>(want, want + 16));
}

// The main frame's skin (30 x 51, border 4, caption 30) on an 800 x 600 window.
TEST(NineSlice, StretchModeHasNinePieces) {
    const auto plan = NineSlicePlan(30, 51, 800, 600, 4, 30, true);
    const std::vector<Blit> want = {
        {{0, 0, 4, 30}, {0, 0, 4, 30}, false},
        {{4, 0, 22, 30}, {4, 0, 792, 30}, true},
        {{26, 0, 4, 30}, {796, 0, 4, 30}, false},
        {{0, 30, 4, 17}, {0, 30, 4, 566}, true},
        {{26, 30, 4, 17}, {796, 30, 4, 566}, true},
        {{4, 30, 22, 17}, {4, 30, 792, 566}, true},
        {{0, 47, 4, 4}, {0, 596, 4, 4}, false},
        {{4, 47, 22, 4}, {4, 596, 792, 4}, true},
        {{26, 47, 4, 4}, {796, 596, 4, 4}, false},
    };
    EXPECT_EQ(plan, want);
}

TEST(NineSlice, PlainModeCopiesThenRebuildsRightAndBottom) {
    const auto plan = NineSlicePlan(152, 26, 152, 26, 3, 10, false);
    const std::vector<Blit> want = {
        {{0, 0, 152, 26}, {0, 0, 152, 26}, false},
        {{149, 0, 3, 10}, {149, 0, 3, 10}, false},
        {{149, 10, 3, 13}, {149, 10, 3, 13}, true},
        {{0, 23, 3, 3}, {0, 23, 3, 3}, false},
        {{3, 23, 146, 3}, {3, 23, 146, 3}, true},
        {{149, 23, 3, 3}, {149, 23, 3, 3}, false},
    };
    EXPECT_EQ(plan, want);
}

TEST(NineSlice, WholeWindowCaptionUsesTheBorderForTheTopBand) {
    const auto plan = NineSlicePlan(30, 51, 200, 100, 4, -1, true);
    ASSERT_EQ(plan.size(), 9u);
    EXPECT_EQ(plan[0].src, (Rect{0, 0, 4, 4}));
    EXPECT_EQ(plan[3].dst, (Rect{0, 4, 4, 92}));
    EXPECT_EQ(plan[5].src, (Rect{4, 4, 22, 43}));
}

TEST(NineSlice, PiecesWithoutAreaAreSkipped) {
    // A border of 0 (the screenshot toolbar) and a window smaller than the borders.
    EXPECT_EQ(NineSlicePlan(152, 26, 152, 26, 0, 0, false).size(), 1u);
    for (const Blit& b : NineSlicePlan(30, 51, 1, 1, 4, 30, true)) {
        EXPECT_GT(b.dst.w, 0);
        EXPECT_GT(b.dst.h, 0);
    }
}

std::vector<std::uint32_t> SkinWithRoundCorners(int w, int h, int radius) {
    std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h, 0x203040);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int dx = x < radius ? radius - x : x >= w - radius ? x - (w - 1 - radius) : 0;
            const int dy = y < radius ? radius - y : y >= h - radius ? y - (h - 1 - radius) : 0;
            if (dx * dx + dy * dy > radius * radius) px[static_cast<std::size_t>(y) * w + x] = kKeyColour;
        }
    return px;
}

TEST(CornerScan, SkinWithoutMagentaGivesTheFullRectangle) {
    const std::vector<std::uint32_t> px(30 * 51, 0x123456);
    EXPECT_TRUE(CornerCutPixels(px.data(), 30, 51, 800, 600).empty());
}

TEST(CornerScan, CornersAreMirroredOntoTheWindow) {
    const auto px = SkinWithRoundCorners(30, 51, 3);
    const auto cut = CornerCutPixels(px.data(), 30, 51, 800, 600);
    auto has = [&cut](int x, int y) { return std::find(cut.begin(), cut.end(), Point{x, y}) != cut.end(); };
    for (auto [x, y] : {std::pair{0, 0}, {799, 0}, {0, 599}, {799, 599}}) EXPECT_TRUE(has(x, y)) << x << "," << y;
    EXPECT_FALSE(has(4, 4));
    EXPECT_FALSE(has(400, 0));
    // Four identical corners of the same count each.
    EXPECT_EQ(cut.size() % 4, 0u);
}

TEST(CornerScan, OnlyTheNineByNineBlocksCount) {
    std::vector<std::uint32_t> px(30 * 51, 0x123456);
    px[15] = kKeyColour;            // top row, column 15: outside the corners
    px[25 * 30] = kKeyColour;       // row 25, column 0: the middle of the left edge
    px[9 * 30 + 0] = kKeyColour;    // row 9: just below the top block, above the bottom block (51-9=42)
    EXPECT_TRUE(CornerCutPixels(px.data(), 30, 51, 100, 100).empty());
    px[42 * 30 + 29] = kKeyColour;  // first row of the bottom block, rightmost column
    const auto cut = CornerCutPixels(px.data(), 30, 51, 100, 100);
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0], (Point{99, 100 - 51 + 42}));
}

TEST(CornerScan, SkinSmallerThanTheBlocksIsScannedOnce) {
    const std::vector<std::uint32_t> px(4 * 4, kKeyColour);
    const auto cut = CornerCutPixels(px.data(), 4, 4, 4, 4);
    EXPECT_EQ(cut.size(), 16u);  // every pixel exactly once, none outside the window
}

TEST(HitTest, ResizableFrame) {
    struct Case {
        int x, y, caption;
        HitCode want;
    } cases[] = {
        {0, 0, 30, kHitTopLeft},      {3, 599, 30, kHitBottomLeft}, {2, 300, 30, kHitLeft},
        {799, 3, 30, kHitTopRight},   {796, 596, 30, kHitBottomRight}, {796, 100, 30, kHitRight},
        {400, 0, 30, kHitTop},        {400, 2, 30, kHitTop},
        {400, 3, 30, kHitCaption},    // the top band is 3 pixels even with a border of 4
        {400, 29, 30, kHitCaption},   {400, 30, 30, kHitDefault},   {400, 596, 30, kHitBottom},
        {400, 595, 30, kHitDefault},
        {400, 300, -1, kHitCaption},  // the whole window is caption between the bands
        {400, 1, -1, kHitTop},        {400, 598, -1, kHitCaption},  // caption wins over the bottom band
    };
    for (const Case& c : cases) {
        FrameHitInput in{c.x, c.y, 800, 600, 4, c.caption, true, false};
        EXPECT_EQ(FrameHitTest(in), c.want) << c.x << "," << c.y << " caption " << c.caption;
    }
}

TEST(HitTest, FixedAndMaximisedFrames) {
    struct Case {
        int x, y, caption;
        bool resizable, maximized;
        HitCode want;
    } cases[] = {
        {0, 0, 30, false, false, kHitCaption},   {799, 29, 30, false, false, kHitCaption},
        {0, 30, 30, false, false, kHitDefault},  {400, 500, -1, false, false, kHitCaption},
        {5, 5, 0, false, false, kHitDefault},    // caption 0: no drag band at all
        {0, 0, 30, true, true, kHitDefault},     {400, 10, -1, true, true, kHitDefault},
    };
    for (const Case& c : cases) {
        FrameHitInput in{c.x, c.y, 800, 600, 4, c.caption, c.resizable, c.maximized};
        EXPECT_EQ(FrameHitTest(in), c.want) << c.x << "," << c.y;
    }
}

TEST(HitTest, BorderCodesMapToSizingCommands) {
    const std::pair<int, unsigned> cases[] = {
        {kHitLeft, 0xF001},    {kHitRight, 0xF002},      {kHitTop, 0xF003},
        {kHitTopLeft, 0xF004}, {kHitTopRight, 0xF005},   {kHitBottom, 0xF006},
        {kHitBottomLeft, 0xF007}, {kHitBottomRight, 0xF008}, {kHitCaption, 0}, {1, 0},
    };
    for (auto [hit, cmd] : cases) EXPECT_EQ(SizingCommand(hit), cmd) << hit;
}

TEST(CaptionButtons, LayoutAfterSetSkin) {
    struct Case {
        int right, btnRight, gap, closeW, maxW, minW;
        CaptionButtonX want;
    } cases[] = {
        {800, 0, 0, 30, 29, 29, {770, 741, 712}},  // the main frame: edge to edge
        {800, 5, 2, 30, 29, 29, {765, 734, 703}},  // gap between neighbours
        {800, 0, 2, 30, 0, 29, {770, 0, 739}},     // no maximise: minimise left of close
        {400, 0, 0, 33, 0, 0, {367, 0, 0}},        // close only (message box)
        {400, 0, 0, 0, 0, 0, {0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LayoutCaptionButtonsOnSkin(c.right, c.btnRight, c.gap, c.closeW, c.maxW, c.minW), c.want)
            << c.right << " gap " << c.gap;
}

TEST(CaptionButtons, ResizeRelayoutLeavesNoGap) {
    const auto created = LayoutCaptionButtonsOnSkin(800, 5, 2, 30, 29, 29);
    const auto relaid = LayoutCaptionButtonsOnSize(800, 5, 30, 29, 29);
    EXPECT_EQ(relaid, (CaptionButtonX{765, 736, 707}));
    EXPECT_NE(created, relaid);
    EXPECT_EQ(LayoutCaptionButtonsOnSize(1024, 0, 30, 0, 29), (CaptionButtonX{994, 0, 965}));
}

TEST(Maximise, RestoreAndMaximisedRectangles) {
    // A work area that does not start at the origin: the restore rectangle's
    // left and top are an eighth of the size, not offsets from the work area.
    EXPECT_EQ(InitialRestoreRect({100, 0, 1700, 960}), (WorkArea{200, 120, 1500, 840}));
    EXPECT_EQ(InitialRestoreRect({0, 0, 1599, 999}), (WorkArea{199, 124, 1400, 875}));
    EXPECT_EQ(MaximisedRect({0, 0, 1600, 960}, 1600, 960), (WorkArea{0, 0, 1600, 960}));
    EXPECT_EQ(MaximisedRect({0, 0, 1920, 1040}, 1440, 900), (WorkArea{240, 70, 1680, 970}));
    EXPECT_EQ(MaximisedRect({0, 0, 1000, 700}, 1440, 900), (WorkArea{0, 0, 1000, 700}));
}

TEST(ButtonFrame, EveryState) {
    struct Case {
        ButtonState state;
        bool pressedBefore;
        int want;
        bool pressedAfter;
    } cases[] = {
        {{false, false, false}, false, 0, false},
        {{false, false, true}, false, 1, false},
        {{false, true, false}, false, 2, true},
        {{false, true, true}, false, 2, true},
        {{false, false, false}, true, 2, true},   // held off the button: still pressed
        {{false, false, true}, true, 2, true},
        {{true, true, true}, false, 3, false},    // disabled wins
        {{true, false, false}, true, 3, true},
    };
    for (const Case& c : cases) {
        bool pressed = c.pressedBefore;
        EXPECT_EQ(ButtonFrame(c.state, pressed), c.want)
            << c.state.disabled << c.state.selected << c.state.hover << c.pressedBefore;
        EXPECT_EQ(pressed, c.pressedAfter);
    }
}

TEST(TitlePlacement, IconAndTitleTops) {
    EXPECT_EQ(IconTop(30), 7);
    EXPECT_EQ(TitleTop(30), 7);
    EXPECT_EQ(IconTop(-1), 6);
    EXPECT_EQ(TitleTop(-1), 4);
    EXPECT_EQ(TitleTop(0), 4);  // (0 - 11) / 2 is negative
}

}  // namespace
}  // namespace skin
