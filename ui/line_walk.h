#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/pixel_rect.h"
#include "ui/text_measurer.h"

// Text layout of the skinned static control (CStaticEx): the font it builds,
// the draw format taken from its style, where its image goes, and the
// character-by-character line walk that decides its lines and its height.
namespace ui {

// --- Font -------------------------------------------------------------------

inline constexpr std::wstring_view kStaticFontFace = L"微软雅黑";
inline constexpr int kStaticDefaultFontHeight = -12;  // used when the height member is 0
inline constexpr int kStaticKeepFontWeight = -1;      // weight member value that keeps the base's
inline constexpr int kStaticKeepFontWidth = 0;        // width member value that keeps the base's

// The fields of a LOGFONT that the control decides.
struct FontFields {
    int height = 0;
    int width = 0;
    int weight = 0;
    bool underline = false;
    std::wstring face;
    friend bool operator==(const FontFields&, const FontFields&) = default;
};

// The control's font from the window's own font (`base`) and the control's
// members: height `fontHeight` (0 means -12), weight `fontWeight` unless it
// is -1, width `fontWidth` unless it is 0, underline when `underline` is true
// (false keeps the base's), face always "微软雅黑".
FontFields StaticFontFields(const FontFields& base, int fontHeight, int fontWeight, int fontWidth,
                            bool underline);

// --- Draw format ------------------------------------------------------------

// Static styles and DrawText flags the control reads and writes; the values
// are the system's (the Windows layer checks them against its headers).
inline constexpr uint32_t kSsTypeMask = 0x1F;
inline constexpr uint32_t kSsCenter = 0x1;
inline constexpr uint32_t kSsRight = 0x2;
inline constexpr uint32_t kSsCenterImage = 0x200;
inline constexpr uint32_t kSsEllipsisMask = 0xC000;
inline constexpr uint32_t kSsEndEllipsis = 0x4000;
inline constexpr uint32_t kSsPathEllipsis = 0x8000;
inline constexpr uint32_t kSsWordEllipsis = 0xC000;

inline constexpr uint32_t kDtCenter = 0x1;
inline constexpr uint32_t kDtRight = 0x2;
inline constexpr uint32_t kDtVCenter = 0x4;
inline constexpr uint32_t kDtWordBreak = 0x10;
inline constexpr uint32_t kDtSingleLine = 0x20;
inline constexpr uint32_t kDtPathEllipsis = 0x4000;
inline constexpr uint32_t kDtEndEllipsis = 0x8000;
inline constexpr uint32_t kDtWordEllipsis = 0x40000;

// The DrawText format for a control of window style `style`: word break,
// centred horizontally and vertically for SS_CENTER, right-aligned for
// SS_RIGHT; the ellipsis style adds its ellipsis (a path ellipsis also makes
// the line single); SS_CENTERIMAGE makes it a single, vertically centred line.
// The alignment is the style's type field, not single bits of it, so types
// such as SS_ICON or SS_SIMPLE are not taken for centred or right text.
uint32_t StaticDrawFormat(uint32_t style);

// --- Image ------------------------------------------------------------------

inline constexpr int kStaticImageMargin = 3;  // image distance from the control's edge
inline constexpr int kStaticImageGap = 6;     // added to the image width to clear the text
inline constexpr int kStaticIconSize = 16;    // an icon is drawn 16 x 16

struct StaticImagePlace {
    int imageX = 0;
    int imageY = 0;
    PixelRect textRect;
};

// Where the image (or icon, passed as 16 x 16) goes in a control of the given
// window size, and the text rectangle left beside it: the image sits 3 pixels
// from the left edge (or the right edge when `imageRight`) and is centred
// vertically; the text rectangle is `client` with the image's width + 6
// taken off that side. With no image (width or height 0) the text rectangle is
// `client` unchanged.
StaticImagePlace PlaceStaticImage(PixelRect client, int windowWidth, int windowHeight, int imageWidth,
                                  int imageHeight, bool imageRight);

// The colour to draw with: the hover colour only while hovered and only when
// the control uses one.
constexpr uint32_t StaticTextColour(bool useHoverColour, bool hovered, uint32_t textColour,
                                    uint32_t hoverColour) {
    return useHoverColour && hovered ? hoverColour : textColour;
}

// --- Line walk --------------------------------------------------------------

// The control measures this sample (one line) in its font to learn its line
// height and an average character width. The width is divided by 11, one
// more than the sample's ten characters, as the control has always counted
// the sample's terminator too.
inline constexpr std::wstring_view kStaticSampleText = L"测试用汉字来获取宽度";
inline constexpr int kStaticSampleDivisor = 11;
inline constexpr int kStaticDefaultLineSpacing = 3;

struct StaticLine {
    std::wstring text;
    PixelRect rect;  // the rectangle DrawText gets, one line high
    friend bool operator==(const StaticLine&, const StaticLine&) = default;
};

struct StaticWalk {
    std::vector<StaticLine> lines;  // only lines with text; empty lines just take their place
    int lineCount = 1;
    int neededHeight = 0;  // lineHeight + (lineCount - 1) * (lineHeight + lineSpacing)
};

// Average character width from the sample's measured width.
constexpr int StaticCharWidth(int sampleWidth) { return sampleWidth / kStaticSampleDivisor; }

// Walks `text` into lines inside `textRect`, starting with a rectangle
// lineHeight high at the top of `textRect` and moving down by
// lineHeight + lineSpacing for each next line:
// - '\r' is never drawn;
// - '\n' ends the line (an empty line still counts);
// - any other character joins the line unless the line would then be wider
//   than `textRect` as `measurer` says, in which case the line ends before it
//   and the character starts the next one. A character that is wider than the
//   rectangle by itself is still put on a line of its own, so the walk always
//   ends. A UTF-16 surrogate pair is one character and is never split.
// When `textRect` is narrower than `charWidth` nothing is drawn and the walk
// reports one line.
StaticWalk WalkStaticText(std::wstring_view text, PixelRect textRect, int lineHeight, int charWidth,
                          int lineSpacing, const ITextMeasurer& measurer);

// The height the control needs for `lineCount` lines.
int StaticNeededHeight(int lineHeight, int lineCount, int lineSpacing);

}  // namespace ui
