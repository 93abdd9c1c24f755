#include "ui/static_ex_paint_win.h"

#include <climits>
#include <string>

#include "ui/parent_background_win.h"
#include "ui/text_measurer_win.h"

static_assert(ui::kSsCenter == SS_CENTER && ui::kSsRight == SS_RIGHT && ui::kSsTypeMask == SS_TYPEMASK);
static_assert(ui::kSsCenterImage == SS_CENTERIMAGE && ui::kSsEndEllipsis == SS_ENDELLIPSIS &&
              ui::kSsPathEllipsis == SS_PATHELLIPSIS && ui::kSsWordEllipsis == SS_WORDELLIPSIS &&
              ui::kSsEllipsisMask == SS_ELLIPSISMASK);
static_assert(ui::kDtCenter == DT_CENTER && ui::kDtRight == DT_RIGHT && ui::kDtVCenter == DT_VCENTER &&
              ui::kDtWordBreak == DT_WORDBREAK && ui::kDtSingleLine == DT_SINGLELINE &&
              ui::kDtPathEllipsis == DT_PATH_ELLIPSIS && ui::kDtEndEllipsis == DT_END_ELLIPSIS &&
              ui::kDtWordEllipsis == DT_WORD_ELLIPSIS);

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

SIZE WindowSize(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

ui::PixelRect ToPixelRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }
RECT ToRect(const ui::PixelRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

int DrawCount(std::wstring_view text) { return text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size()); }

}  // namespace

SIZE StaticExImage::LayoutSize() const {
    if (images != nullptr) return imageSize;
    if (icon != nullptr) return {ui::kStaticIconSize, ui::kStaticIconSize};
    return {0, 0};
}

fw::ScopedFont CreateStaticExFont(HWND control, int fontHeight, int fontWeight, int fontWidth,
                                   bool underline) {
    HGDIOBJ base = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (base == nullptr) base = GetStockObject(SYSTEM_FONT);
    LOGFONTW font{};
    GetObjectW(base, sizeof(font), &font);

    const ui::FontFields fields = ui::StaticFontFields(
        {font.lfHeight, font.lfWidth, font.lfWeight, font.lfUnderline != 0, font.lfFaceName}, fontHeight,
        fontWeight, fontWidth, underline);
    font.lfHeight = fields.height;
    font.lfWidth = fields.width;
    font.lfWeight = fields.weight;
    font.lfUnderline = fields.underline ? TRUE : FALSE;
    lstrcpynW(font.lfFaceName, fields.face.c_str(), LF_FACESIZE);
    return fw::ScopedFont(CreateFontIndirectW(&font));
}

namespace {

ui::StaticImagePlace PlaceImage(HWND control, const StaticExImage& image) {
    const SIZE layout = image.LayoutSize();
    const SIZE window = WindowSize(control);
    RECT client{};
    GetClientRect(control, &client);
    return ui::PlaceStaticImage(ToPixelRect(client), window.cx, window.cy, layout.cx, layout.cy,
                                image.imageRight);
}

}  // namespace

void PaintStaticExBackground(HWND control, HDC dc, const StaticExImage& image) {
    PaintParentBackground(control, dc);
    if (image.images == nullptr && image.icon == nullptr) return;
    const ui::StaticImagePlace place = PlaceImage(control, image);
    if (image.images != nullptr) {
        ImageList_Draw(image.images, 0, dc, place.imageX, place.imageY, ILD_TRANSPARENT);
    } else {
        DrawIconEx(dc, place.imageX, place.imageY, image.icon, ui::kStaticIconSize, ui::kStaticIconSize, 0,
                   nullptr, DI_NORMAL);
    }
}

ui::StaticWalk DrawStaticExLines(HWND control, HDC dc, const StaticExLook& look, HFONT font,
                                 const StaticExImage& image) {
    const ui::PixelRect textRect = PlaceImage(control, image).textRect;
    const UINT format = ui::StaticDrawFormat(static_cast<uint32_t>(GetWindowLongPtrW(control, GWL_STYLE)));

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ui::StaticTextColour(look.useHoverColour, look.hovered, look.textColour, look.hoverColour));
    fw::ScopedSelectObject selectFont(dc, font);

    // One line of the sample gives the line height; its width over 11 an
    // average character, the smallest width worth walking text into.
    RECT sample{0, 0, 0, 0};
    DrawTextW(dc, ui::kStaticSampleText.data(), static_cast<int>(ui::kStaticSampleText.size()), &sample,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const int lineHeight = sample.bottom - sample.top;
    const int charWidth = ui::StaticCharWidth(sample.right - sample.left);

    const CDcTextMeasurer measurer(dc, format);
    ui::StaticWalk walk = ui::WalkStaticText(look.text, textRect, lineHeight, charWidth, look.lineSpacing, measurer);
    for (const auto& line : walk.lines) {
        RECT rect = ToRect(line.rect);
        DrawTextW(dc, line.text.c_str(), DrawCount(line.text), &rect, format);
    }

    const SIZE window = WindowSize(control);
    if (window.cy < walk.neededHeight) {
        SetWindowPos(control, nullptr, 0, 0, window.cx, walk.neededHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return walk;
}

ui::StaticWalk PaintStaticEx(HWND control, HDC target, const StaticExLook& look, HFONT font,
                             const StaticExImage& image) {
    const SIZE window = WindowSize(control);
    const fw::MemoryCanvas offscreen(target, window.cx, window.cy);
    if (!offscreen.IsValid()) return {};
    PaintStaticExBackground(control, offscreen.Dc(), image);
    ui::StaticWalk walk = DrawStaticExLines(control, offscreen.Dc(), look, font, image);
    offscreen.CopyTo(target);
    return walk;
}

BOOL MakeStaticExImageList(HBITMAP bitmap, CImageList& list, SIZE* size) {
    list.DeleteImageList();
    const SIZE bitmapSize = fw::BitmapSize(bitmap);
    if (size != nullptr) *size = bitmapSize;
    if (bitmapSize.cx <= 0 || bitmapSize.cy <= 0) return FALSE;
    if (!list.Create(bitmapSize.cx, bitmapSize.cy, ILC_COLOR24 | ILC_MASK, 1, 0)) return FALSE;
    if (list.Add(bitmap, kMagenta) < 0) {
        list.DeleteImageList();
        return FALSE;
    }
    return TRUE;
}
