#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "fw/handles_win.h"
#include "res/resource.h"
#include "tests/win/win_test_util.h"
#include "ui/btn_ex_win.h"
#include "ui/dlg_ex_win.h"
#include "ui/image_loader_win.h"
#include "ui/skin_geometry.h"

namespace {

HBITMAP Png(UINT id) { return LoadSkinImage(GetModuleHandleW(nullptr), id); }

// A frame configured as the main frame is: caption 30, border 4, caption
// buttons flush right and top, stretched skin, resizable, three buttons.
class CMainLikeFrame : public CDlgEx {
public:
    CMainLikeFrame() : CDlgEx(IDD_EMPTY_POPUP) {}
    ~CMainLikeFrame() override {
        DeleteObject(m_close);
        DeleteObject(m_min);
    }

    void Reskin() {
        SetSkin(m_close, Png(IDP_FRAME_MAIN), FALSE, TRUE, m_min, Png(IDP_MAX), Png(IDP_RESTORE));
    }

protected:
    BOOL OnInitDialog() override {
        CDlgEx::OnInitDialog();
        m_nCaptionHeight = 30;
        m_nBorder = 4;
        m_nBtnRight = 0;
        m_nBtnTop = 0;
        m_nTitleWeight = 600;
        m_bResizable = TRUE;
        MoveWindow(100, 100, 600, 400, FALSE);
        Reskin();
        return TRUE;
    }

private:
    HBITMAP m_close = Png(IDP_CLOSE);
    HBITMAP m_min = Png(IDP_MIN);
};

std::vector<HWND> ChildrenWithId(HWND parent, int id) {
    struct Search {
        int id;
        std::vector<HWND> found;
    } search{id, {}};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (GetDlgCtrlID(child) == s->id) s->found.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

RECT ClientRectOf(HWND child, HWND parent) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class SkinnedFrame : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(frame.Create(IDD_EMPTY_POPUP));
        wintest::Pump();
        skin = wintest::Pixels(fw::ScopedBitmap(Png(IDP_FRAME_MAIN)).Get(), &skinW, &skinH);
    }
    std::uint32_t Skin(int x, int y) const { return skin[static_cast<std::size_t>(y) * skinW + x]; }

    CMainLikeFrame frame;
    std::vector<std::uint32_t> skin;
    int skinW = 0, skinH = 0;
};

TEST_F(SkinnedFrame, ErasePaintsTheNineSlice) {
    RECT wr{};
    frame.GetWindowRect(&wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    ASSERT_EQ(w, 600);
    ASSERT_EQ(h, 400);
    wintest::Surface surface(w, h);
    EXPECT_TRUE(frame.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface.Dc())));
    struct Probe {
        int x, y, skinX, skinY;
    } probes[] = {
        {0, 0, 0, 0},        {2, 2, 2, 2},          {1, 20, 1, 20},       // top-left corner, copied
        {599, 0, 29, 0},     {597, 3, 27, 3},       {598, 25, 28, 25},    // top-right corner
        {300, 20, 15, 20},   {450, 1, 15, 1},                             // top edge: rows kept
        {0, 399, 0, 50},     {2, 397, 2, 48},                             // bottom-left corner
        {599, 399, 29, 50},  {300, 398, 15, 49},    {300, 396, 15, 47},   // bottom-right, bottom edge
        {0, 200, 0, 40},     {599, 200, 29, 40},                          // side edges
    };
    for (const Probe& p : probes)
        EXPECT_EQ(surface.At(p.x, p.y), Skin(p.skinX, p.skinY)) << p.x << "," << p.y;
}

// A control's background request (a small DC whose origin is moved to the
// control's place) and a clipped DC get exactly the pixels of a whole erase,
// and nothing outside what they show is touched. The cases run in turn on one
// window, so the bitmap it keeps between paints serves small and large ones.
TEST_F(SkinnedFrame, ErasingPartOfTheWindowMatchesTheWholeErase) {
    wintest::Surface whole(600, 400);
    ASSERT_TRUE(frame.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(whole.Dc())));
    struct Part {
        int x, y, w, h;
    } parts[] = {{100, 50, 40, 20}, {0, 0, 30, 30}, {580, 380, 20, 20}, {0, 0, 600, 400}, {250, 10, 90, 200}};
    for (const Part& p : parts) {
        wintest::Surface piece(p.w, p.h);
        SetWindowOrgEx(piece.Dc(), p.x, p.y, nullptr);
        ASSERT_TRUE(frame.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(piece.Dc())));
        int wrong = 0;
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x) wrong += piece.At(x, y) != whole.At(p.x + x, p.y + y);
        EXPECT_EQ(wrong, 0) << p.x << "," << p.y << " " << p.w << "x" << p.h;
    }

    constexpr std::uint32_t kUntouched = 0x123456;
    wintest::Surface clipped(600, 400);
    clipped.Fill(kUntouched);
    IntersectClipRect(clipped.Dc(), 200, 100, 260, 130);
    ASSERT_TRUE(frame.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(clipped.Dc())));
    EXPECT_EQ(clipped.At(200, 100), whole.At(200, 100));
    EXPECT_EQ(clipped.At(259, 129), whole.At(259, 129));
    EXPECT_EQ(clipped.At(199, 100), kUntouched);
    EXPECT_EQ(clipped.At(260, 129), kUntouched);
    EXPECT_EQ(clipped.At(0, 0), kUntouched);
}

TEST_F(SkinnedFrame, RegionExcludesTheMagentaCorners) {
    fw::ScopedRegion region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(frame.m_hWnd, region.Get()), ERROR);
    for (auto [x, y] : {std::pair{0, 0}, {599, 0}, {3, 0}, {0, 399}, {599, 399}, {1, 1}})
        EXPECT_FALSE(PtInRegion(region.Get(), x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{4, 0}, {595, 0}, {300, 200}, {0, 4}, {1, 399}, {300, 0}})
        EXPECT_TRUE(PtInRegion(region.Get(), x, y)) << x << "," << y;
}

TEST_F(SkinnedFrame, CaptionButtonsRightAlignedAndRecreatedOnReskin) {
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) frame.Reskin();
        for (int id : {50000, 50001, 50002}) EXPECT_EQ(ChildrenWithId(frame.m_hWnd, id).size(), 1u) << id;
        const RECT close = ClientRectOf(frame.m_btnClose.m_hWnd, frame.m_hWnd);
        const RECT max = ClientRectOf(frame.m_btnMax.m_hWnd, frame.m_hWnd);
        const RECT min = ClientRectOf(frame.m_btnMin.m_hWnd, frame.m_hWnd);
        EXPECT_EQ(close.right, 600);
        EXPECT_EQ(close.left, 570);
        EXPECT_EQ(close.top, 0);
        EXPECT_EQ(close.bottom, 25);
        EXPECT_EQ(max.right, close.left);
        EXPECT_EQ(max.right - max.left, 29);
        EXPECT_EQ(min.right, max.left);
    }
}

TEST_F(SkinnedFrame, HitTestingFollowsTheFrameRules) {
    RECT wr{};
    frame.GetWindowRect(&wr);
    auto hit = [&](int x, int y) {
        return frame.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(wr.left + x, wr.top + y));
    };
    EXPECT_EQ(hit(0, 0), HTTOPLEFT);
    EXPECT_EQ(hit(300, 1), HTTOP);
    EXPECT_EQ(hit(300, 10), HTCAPTION);
    EXPECT_EQ(hit(2, 200), HTLEFT);
    EXPECT_EQ(hit(599, 399), HTBOTTOMRIGHT);
    EXPECT_EQ(hit(300, 397), HTBOTTOM);
    EXPECT_EQ(hit(300, 200), HTCLIENT);
}

TEST_F(SkinnedFrame, MaximiseAndRestore) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const skin::WorkArea inset = skin::InitialRestoreRect({work.left, work.top, work.right, work.bottom});
    auto rect = [&] {
        RECT r{};
        frame.GetWindowRect(&r);
        return r;
    };
    auto same = [](RECT a, RECT b) { return EqualRect(&a, &b) != FALSE; };

    // Never dragged: restore goes to the work area inset by an eighth.
    frame.SendMessage(WM_COMMAND, CDlgEx::kIdMax);
    EXPECT_TRUE(frame.m_bMaximized);
    EXPECT_TRUE(same(rect(), work));
    EXPECT_EQ(ClientRectOf(frame.m_btnClose.m_hWnd, frame.m_hWnd).right, work.right - work.left);
    EXPECT_EQ(frame.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(work.left + 300, work.top + 10)), HTCLIENT);
    frame.SendMessage(WM_COMMAND, CDlgEx::kIdMax);
    EXPECT_FALSE(frame.m_bMaximized);
    EXPECT_TRUE(same(rect(), RECT{inset.left, inset.top, inset.right, inset.bottom}));

    // Dragged: a non-client press records wherever the window is.
    frame.MoveWindow(130, 90, 500, 320);
    frame.SendMessage(WM_NCLBUTTONDOWN, HTNOWHERE, 0);
    frame.SendMessage(WM_COMMAND, CDlgEx::kIdMax);
    frame.SendMessage(WM_COMMAND, CDlgEx::kIdMax);
    EXPECT_TRUE(same(rect(), RECT{130, 90, 630, 410}));
    // After the resize the buttons sit edge to edge at the new right edge.
    const RECT close = ClientRectOf(frame.m_btnClose.m_hWnd, frame.m_hWnd);
    EXPECT_EQ(close.right, 500);
    EXPECT_EQ(ClientRectOf(frame.m_btnMax.m_hWnd, frame.m_hWnd).right, close.left);
}

TEST_F(SkinnedFrame, CaptionDoubleClickMaximisesAndClientDoubleClickRestores) {
    RECT before{};
    frame.GetWindowRect(&before);
    frame.SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_TRUE(frame.m_bMaximized);
    frame.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(300, 200));  // below the caption: nothing
    EXPECT_TRUE(frame.m_bMaximized);
    frame.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(300, 10));
    EXPECT_FALSE(frame.m_bMaximized);
    frame.m_bResizable = FALSE;
    frame.SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);  // a fixed frame does not maximise
    EXPECT_FALSE(frame.m_bMaximized);
}

TEST_F(SkinnedFrame, MaximiseButtonSwapsItsStripAndTip) {
    ASSERT_TRUE(frame.m_btnMax.m_bHasTip);
    EXPECT_EQ(frame.m_btnMax.m_strTip, L"最大化");
    EXPECT_EQ(frame.m_btnClose.m_strTip, L"关闭");
    EXPECT_EQ(frame.m_btnMin.m_strTip, L"最小化");
    frame.m_btnMax.m_bHover = TRUE;
    frame.SendMessage(WM_COMMAND, CDlgEx::kIdMax);
    EXPECT_EQ(frame.m_btnMax.m_strTip, L"还原");
    EXPECT_FALSE(frame.m_btnMax.m_bHover);  // moved under the cursor: hover starts over
    // The tooltip asks the button for its text when it shows.
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = frame.m_btnMax.m_tip.m_hWnd;
    info.hdr.code = TTN_GETDISPINFOW;
    frame.m_btnMax.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_STREQ(info.lpszText, L"还原");
}

// The caption buttons are made again on a re-skin and on every showing of
// their dialog: each new button has its own tooltip and starts without hover.
TEST_F(SkinnedFrame, ButtonsMadeAgainHaveTheirTipAndNoOldHover) {
    auto toolOf = [](HWND tip) {
        TTTOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        if (tip == nullptr || !SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&info))) return HWND{};
        return reinterpret_cast<HWND>(info.uId);
    };
    CBtnEx& close = frame.m_btnClose;
    close.m_bHover = TRUE;
    close.m_bTracking = TRUE;
    frame.Reskin();
    EXPECT_FALSE(close.m_bHover);
    EXPECT_FALSE(close.m_bTracking) << "hover tracking must be asked for again";
    ASSERT_TRUE(IsWindow(close.m_tip.m_hWnd));
    EXPECT_EQ(SendMessageW(close.m_tip.m_hWnd, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(toolOf(close.m_tip.m_hWnd), close.m_hWnd) << "the tip belongs to the new button";

    const HWND tip = close.m_tip.m_hWnd;
    frame.DestroyWindow();
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_EQ(close.m_tip.m_hWnd, nullptr) << "no stale handle once the tooltip is gone";
}

// A strip of four solid frames with magenta corners, for reading frames back.
constexpr std::uint32_t kFrameColours[4] = {0x112233, 0x445566, 0x778899, 0xAABBCC};

HBITMAP MakeStrip(int frameW, int frameH) {
    wintest::Surface s(frameW * 4, frameH);
    for (int f = 0; f < 4; ++f) {
        fw::ScopedBrush brush(CreateSolidBrush(RGB(kFrameColours[f] >> 16, (kFrameColours[f] >> 8) & 255, kFrameColours[f] & 255)));
        RECT r{f * frameW, 0, (f + 1) * frameW, frameH};
        FillRect(s.Dc(), &r, brush.Get());
        SetPixel(s.Dc(), f * frameW, 0, RGB(255, 0, 255));
    }
    fw::ScopedBitmap copy(CreateCompatibleBitmap(s.Dc(), frameW * 4, frameH));
    {
        fw::ScopedCreatedDc dc(CreateCompatibleDC(s.Dc()));
        fw::ScopedSelectObject select(dc.Get(), copy.Get());
        BitBlt(dc.Get(), 0, 0, frameW * 4, frameH, s.Dc(), 0, 0, SRCCOPY);
    }
    return copy.Take();
}

class SkinnedButton : public SkinnedFrame {
protected:
    void SetUp() override {
        SkinnedFrame::SetUp();
        strip.Reset(MakeStrip(40, 20));
        ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE, RECT{100, 50, 140, 70}, &frame, 1001));
        button.SetImage(strip.Get(), TRUE);
    }
    // Draws the button as the system would for `state` and returns the
    // colour in its middle and in its (transparent) top-left corner.
    std::pair<std::uint32_t, std::uint32_t> Draw(UINT state, int w = 40, int h = 20) {
        wintest::Surface surface(w, h);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = 1001;
        item.itemState = state;
        item.hwndItem = button.m_hWnd;
        item.hDC = surface.Dc();
        item.rcItem = RECT{0, 0, w, h};
        button.DrawItem(&item);
        return {surface.At(w / 2, h / 2), surface.At(0, 0)};
    }

    CBtnEx button;
    fw::ScopedBitmap strip;
};

TEST_F(SkinnedButton, FramesForNormalHoverPressedDisabled) {
    EXPECT_TRUE(button.GetStyle() & BS_OWNERDRAW);
    EXPECT_EQ(Draw(0).first, kFrameColours[0]);
    button.SendMessage(WM_MOUSEHOVER);
    EXPECT_EQ(Draw(0).first, kFrameColours[1]);
    EXPECT_EQ(Draw(ODS_SELECTED).first, kFrameColours[2]);
    // Held and dragged off the button: still pressed until the button is released.
    button.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(Draw(0).first, kFrameColours[2]);
    button.SendMessage(WM_LBUTTONUP);
    EXPECT_EQ(Draw(0).first, kFrameColours[0]);
    EXPECT_EQ(Draw(ODS_DISABLED).first, kFrameColours[3]);
    EXPECT_EQ(button.LastFrame(), 3);
}

TEST_F(SkinnedButton, TransparentPixelsShowTheParentSkin) {
    // The button's top-left pixel is magenta in the strip; the frame's body
    // (stretched from skin row 30..46) must show through there.
    wintest::Surface parent(600, 400);
    frame.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(parent.Dc()));
    const auto [middle, corner] = Draw(0);
    EXPECT_EQ(middle, kFrameColours[0]);
    EXPECT_EQ(corner, parent.At(100, 50));
    EXPECT_NE(corner, 0xFF00FFu);
}

TEST_F(SkinnedButton, FrameOfAnotherSizeIsScaled) {
    button.SetWindowPos(nullptr, 0, 0, 80, 40, SWP_NOMOVE | SWP_NOZORDER);
    button.SetImage(strip.Get(), FALSE);
    const auto [middle, corner] = Draw(0, 80, 40);
    EXPECT_EQ(middle, kFrameColours[0]);
    EXPECT_NE(corner, 0xFF00FFu);  // magenta stays transparent when scaled
}

TEST_F(SkinnedButton, HandCursorOnlyWhenAsked) {
    EXPECT_TRUE(button.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(button.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    button.m_bHandCursor = TRUE;
    button.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(button.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(SkinnedButton, ButtonWithoutStripShowsTheSkinAndItsText) {
    CBtnEx bare;
    ASSERT_TRUE(bare.Create(L"确定", WS_CHILD | WS_VISIBLE, RECT{200, 100, 260, 123}, &frame, 1002));
    EXPECT_EQ(bare.m_strText, L"确定");
    wintest::Surface parent(600, 400);
    frame.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(parent.Dc()));
    wintest::Surface surface(60, 23);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.hwndItem = bare.m_hWnd;
    item.hDC = surface.Dc();
    item.rcItem = RECT{0, 0, 60, 23};
    bare.DrawItem(&item);
    EXPECT_EQ(surface.At(0, 0), parent.At(200, 100));
    EXPECT_EQ(surface.At(59, 22), parent.At(259, 122));
    int textPixels = 0;  // black text over the dark skin: some pixels differ from it
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 60; ++x) textPixels += surface.At(x, y) != parent.At(200 + x, 100 + y);
    EXPECT_GT(textPixels, 10);
}

TEST_F(SkinnedButton, StripIsLeftUnchangedForItsOwner) {
    const auto before = wintest::Pixels(strip.Get());
    button.SetImage(strip.Get(), FALSE);
    EXPECT_EQ(wintest::Pixels(strip.Get()), before);
}

}  // namespace
