#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "fw/handles_win.h"
#include "ui/msgbox_paint_win.h"
#include "ui/progress_paint_win.h"
#include "ui/static_ex_paint_win.h"
#include "ui/text_measurer_win.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kTrackGrey = RGB(128, 128, 128);
// The parent's skin: red left of x = 100 (window coordinates), white beyond.
constexpr int kSkinSplit = 100;

LRESULT CALLBACK SkinParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        RECT rect{};
        GetWindowRect(window, &rect);
        const RECT left{0, 0, kSkinSplit, rect.bottom - rect.top};
        const RECT right{kSkinSplit, 0, rect.right - rect.left, rect.bottom - rect.top};
        fw::ScopedBrush red(CreateSolidBrush(kRed));
        fw::ScopedBrush white(CreateSolidBrush(kWhite));
        FillRect(dc, &left, red.Get());
        FillRect(dc, &right, white.Get());
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A 32-bit top-down DIB selected into a memory DC, read back pixel by pixel.
class Canvas {
public:
    Canvas(int width, int height) : m_width(width), m_height(height), m_dc(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap.Reset(CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<const uint32_t*>(bits);
        m_old = SelectObject(m_dc, m_bitmap.Get());
        Fill(RGB(1, 2, 3));
    }
    ~Canvas() {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
    }
    HDC Dc() const { return m_dc; }
    void Fill(COLORREF colour) {
        fw::ScopedBrush brush(CreateSolidBrush(colour));
        const RECT all{0, 0, m_width, m_height};
        FillRect(m_dc, &all, brush.Get());
    }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const uint32_t p = m_bits[y * m_width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width;
    int m_height;
    HDC m_dc;
    fw::ScopedBitmap m_bitmap;
    HGDIOBJ m_old = nullptr;
    const uint32_t* m_bits = nullptr;
};

// A 32-bit bitmap whose column x has colour(x); used for tracks and bars.
template <class ColourOf>
fw::ScopedBitmap MakeBitmap(int width, int height, ColourOf colour) {
    Canvas canvas(width, height);
    fw::ScopedBitmap bitmap(CreateCompatibleBitmap(canvas.Dc(), width, height));
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, bitmap.Get());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) SetPixel(dc, x, y, colour(x, y));
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

bool IsTextColour(COLORREF c, COLORREF text) {
    // Anti-aliased edges blend with the white skin; the strokes' cores are the colour.
    return c == text;
}

class UiPaintTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = SkinParentProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"CorvaneSkinParent";
        RegisterClassW(&windowClass);
    }
    void SetUp() override {
        m_parent = CreateWindowExW(0, L"CorvaneSkinParent", L"", WS_POPUP, 200, 100, 400, 300, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_parent, nullptr);
    }
    void TearDown() override { DestroyWindow(m_parent); }

    HWND Child(const wchar_t* windowClass, int x, int y, int width, int height, DWORD style = 0) {
        return CreateWindowExW(0, windowClass, L"", WS_CHILD | WS_VISIBLE | style, x, y, width, height, m_parent,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    static int WindowHeight(HWND window) {
        RECT rect{};
        GetWindowRect(window, &rect);
        return rect.bottom - rect.top;
    }

    HWND m_parent = nullptr;
};

}  // namespace

TEST_F(UiPaintTest, MeasurerMeasuresOneUnwrappedLine) {
    const HWND label = Child(L"STATIC", 110, 10, 60, 16);
    const auto font = CreateStaticExFont(label, 0, -1, 0, false);
    Canvas canvas(4, 4);
    const fw::ScopedSelectObject select(canvas.Dc(), font.Get());
    const CDcTextMeasurer measurer(canvas.Dc(), DT_WORDBREAK | DT_CENTER);
    EXPECT_EQ(measurer.TextWidth(L""), 0);
    const int one = measurer.TextWidth(L"字");
    EXPECT_GT(one, 0);
    // Word breaking is dropped: a text with spaces is still one line wide.
    EXPECT_GE(measurer.TextWidth(L"字字 字字 字字 字字"), 8 * one);
}

TEST_F(UiPaintTest, StaticFontFollowsTheMembers) {
    const HWND label = Child(L"STATIC", 110, 10, 60, 16);
    LOGFONTW font{};
    ASSERT_EQ(GetObjectW(CreateStaticExFont(label, 0, -1, 0, false).Get(), sizeof(font), &font), (int)sizeof(font));
    EXPECT_EQ(font.lfHeight, -12);
    EXPECT_STREQ(font.lfFaceName, L"微软雅黑");
    EXPECT_FALSE(font.lfUnderline);
    ASSERT_EQ(GetObjectW(CreateStaticExFont(label, -16, 700, 0, true).Get(), sizeof(font), &font), (int)sizeof(font));
    EXPECT_EQ(font.lfHeight, -16);
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_TRUE(font.lfUnderline);
}

TEST_F(UiPaintTest, StaticShowsTheSkinBeneathIt) {
    // Straddles the skin's red/white edge at parent x 100.
    const HWND label = Child(L"STATIC", 90, 10, 40, 20);
    const auto font = CreateStaticExFont(label, 0, -1, 0, false);
    Canvas canvas(40, 20);
    PaintStaticEx(label, canvas.Dc(), StaticExLook{}, font.Get(), StaticExImage{});
    EXPECT_EQ(canvas.At(5, 5), kRed);
    EXPECT_EQ(canvas.At(9, 19), kRed);
    EXPECT_EQ(canvas.At(10, 0), kWhite);
    EXPECT_EQ(canvas.At(39, 19), kWhite);
}

TEST_F(UiPaintTest, StaticImageIsMaskedAndPushesTheText) {
    const HWND label = Child(L"STATIC", 110, 10, 120, 20);
    const auto font = CreateStaticExFont(label, 0, -1, 0, false);
    const auto bitmap = MakeBitmap(16, 16, [](int x, int y) { return x == 0 && y == 0 ? kMagenta : RGB(0, 128, 0); });
    StaticExImage image;
    CImageList list;
    ASSERT_TRUE(MakeStaticExImageList(bitmap.Get(), list, &image.imageSize));
    image.images = list.GetSafeHandle();
    EXPECT_EQ(image.imageSize.cx, 16);

    StaticExLook look;
    const std::wstring text = L"字字";
    look.text = text;
    look.textColour = RGB(0, 0, 255);
    Canvas canvas(120, 20);
    PaintStaticEx(label, canvas.Dc(), look, font.Get(), image);
    EXPECT_EQ(canvas.At(3 + 8, 2 + 8), RGB(0, 128, 0));
    EXPECT_EQ(canvas.At(3, 2), kWhite);  // magenta corner shows the skin
    int left = canvas.Width();
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            if (IsTextColour(canvas.At(x, y), RGB(0, 0, 255)) && x < left) left = x;
        }
    }
    EXPECT_GE(left, 3 + 16 + 3);
    EXPECT_LT(left, canvas.Width());
}

TEST_F(UiPaintTest, ProgressPrintsThePercentageWhenAsked) {
    const HWND bar = Child(PROGRESS_CLASSW, 110, 10, 10, 10);
    const auto track = MakeBitmap(80, 20, [](int, int) { return kTrackGrey; });
    const auto barImage = MakeBitmap(80, 20, [](int, int) { return RGB(0, 128, 0); });
    ImgProgressLook look;
    look.track = track.Get();
    look.bar = barImage.Get();
    look.rects = FitImgProgress(bar, track.Get(), barImage.Get());
    SendMessageW(bar, PBM_SETRANGE32, 0, 100);
    SendMessageW(bar, PBM_SETPOS, 50, 0);
    look.showText = true;
    look.textColour = RGB(255, 255, 0);
    Canvas canvas(80, 20);
    PaintImgProgress(bar, canvas.Dc(), look);
    int text = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 80; ++x) text += IsTextColour(canvas.At(x, y), RGB(255, 255, 0)) ? 1 : 0;
    }
    EXPECT_GT(text, 0);
}

TEST_F(UiPaintTest, MsgBoxTextIsACentredBlockOfGreyLines) {
    const auto font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const std::wstring text = L"网络连接失败，是否重试？\r\n请检查网络";
    Canvas canvas(300, 150);
    canvas.Fill(kWhite);
    const SIZE measured = MeasureMsgBoxText(canvas.Dc(), font, text);
    ASSERT_GT(measured.cx, 0);
    const auto lines = DrawMsgBoxText(canvas.Dc(), font, text, 300);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rect.left, (300 - measured.cx) / 2);
    EXPECT_EQ(lines[0].rect.top, 55);

    int inLine[2] = {0, 0};
    int outside = 0;
    const COLORREF grey = RGB(0x99, 0x99, 0x99);
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const COLORREF c = canvas.At(x, y);
            if (c == kWhite) continue;
            bool placed = false;
            for (int i = 0; i < 2; ++i) {
                const auto& r = lines[i].rect;
                if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
                    placed = true;
                    if (c == grey) ++inLine[i];
                }
            }
            if (!placed) ++outside;
        }
    }
    EXPECT_GT(inLine[0], 0);
    EXPECT_GT(inLine[1], 0);
    EXPECT_EQ(outside, 0);
}

TEST_F(UiPaintTest, MsgBoxWindowIsAtLeastTwoButtonsWide) {
    const auto font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const ui::MsgBoxSize small = MsgBoxWindowSizeFor(m_parent, font, L"好", {228, 23});
    EXPECT_EQ(small.width, 174);
    const ui::MsgBoxSize wide = MsgBoxWindowSizeFor(m_parent, font, std::wstring(60, L'字'), {228, 23});
    EXPECT_GT(wide.width, 174);
    const ui::MsgBoxSize twoLines = MsgBoxWindowSizeFor(m_parent, font, L"好\r\n好", {228, 23});
    EXPECT_GT(twoLines.height, small.height + 3);
}
