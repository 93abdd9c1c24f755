#pragma once

// The skinned frame's and button's geometry, kept free of Windows so that it is
// tested natively; the window classes only turn these plans into GDI calls.

#include <cstdint>
#include <vector>

namespace skin {

// Magenta, the transparency key of every skin, as 0x00RRGGBB.
inline constexpr std::uint32_t kKeyColour = 0xFF00FF;

struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// One pixel of a decoded PNG, straight alpha, to the keyed colour the frame
// and buttons understand: opaque copied, transparent to magenta, anything in
// between blended onto white. Result is 0x00RRGGBB.
std::uint32_t KeyedPixel(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b);

// Converts a top-down ARGB image (32 bits a pixel, B G R A in memory, rows
// `srcStride` bytes apart) into a bottom-up 32-bit DIB of the same size
// (B G R 0 in memory, rows width*4 bytes). `dst` holds width*height*4 bytes.
void ConvertToKeyed(const std::uint8_t* src, int srcStride, int width, int height, std::uint8_t* dst);

// One copy of a nine-slice: `src` in skin pixels to `dst` in window pixels;
// a copy when the sizes are equal and `stretch` is false.
struct Blit {
    Rect src;
    Rect dst;
    bool stretch = false;
    friend bool operator==(const Blit&, const Blit&) = default;
};

// The pieces that paint a skin of skinW x skinH over a window of wndW x wndH.
// `captionHeight` -1 means the whole window is caption; the border then stands
// in for the top band. Plain mode copies the skin 1:1 and only rebuilds the
// right edge and the bottom band.
std::vector<Blit> NineSlicePlan(int skinW, int skinH, int wndW, int wndH, int border,
                                int captionHeight, bool stretch);

// Window pixels to remove from the region: skin pixels equal to magenta in the
// four 9 x 9 corner blocks, mirrored onto a window of wndW x wndH. `pixels` is
// the skin top-down as 0x00RRGGBB. The result holds no duplicates.
std::vector<Point> CornerCutPixels(const std::uint32_t* pixels, int skinW, int skinH, int wndW,
                                   int wndH);

// Hit codes, numerically those of WM_NCHITTEST; kHitDefault asks for the
// system's own answer.
enum HitCode : int {
    kHitDefault = -1,
    kHitCaption = 2,
    kHitLeft = 10,
    kHitRight = 11,
    kHitTop = 12,
    kHitTopLeft = 13,
    kHitTopRight = 14,
    kHitBottom = 15,
    kHitBottomLeft = 16,
    kHitBottomRight = 17,
};

struct FrameHitInput {
    int x = 0;  // client coordinates
    int y = 0;
    int clientW = 0;
    int clientH = 0;
    int border = 3;
    int captionHeight = -1;
    bool resizable = false;
    bool maximized = false;
};

HitCode FrameHitTest(const FrameHitInput& in);

// The SC_SIZE command for a border hit code, or 0 for any other code.
unsigned SizingCommand(int hitCode);

// Caption buttons, right to left: close, maximise, minimise. A width of 0 means
// the button does not exist. Returns the left x of each existing button (0 for
// one that does not exist).
struct CaptionButtonX {
    int close = 0;
    int max = 0;
    int min = 0;
    friend bool operator==(const CaptionButtonX&, const CaptionButtonX&) = default;
};

// Creation by SetSkin: the gap is added between neighbours, and a minimise
// button sits left of the maximise button when there is one, else left of close.
CaptionButtonX LayoutCaptionButtonsOnSkin(int layoutRight, int btnRight, int gap, int closeW,
                                          int maxW, int minW);

// Re-layout on resize: edge to edge, no gap.
CaptionButtonX LayoutCaptionButtonsOnSize(int clientW, int btnRight, int closeW, int maxW, int minW);

struct WorkArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const WorkArea&, const WorkArea&) = default;
};

// Where the window goes when it leaves the maximised state before the user
// ever moved it: one eighth of the work area's size in from each side,
// measured from the origin on the left and top.
WorkArea InitialRestoreRect(const WorkArea& work);

// The maximised rectangle: the work area, centred down to maxW x maxH when it
// is larger.
WorkArea MaximisedRect(const WorkArea& work, int maxW, int maxH);

// The four-frame strip's frame for a button state. `pressed` is the sticky
// pressed flag; a selected button sets it.
struct ButtonState {
    bool disabled = false;
    bool selected = false;
    bool hover = false;
};
int ButtonFrame(const ButtonState& state, bool& pressed);

// The title and icon placement of the frame.
int IconTop(int captionHeight);
int TitleTop(int captionHeight);

}  // namespace skin
