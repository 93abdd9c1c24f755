#include <windows.h>

#include <commctrl.h>
#include <objidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <string>
#include <vector>

#include "app/message_box_win.h"
#include "fw/handles_win.h"
#include "tests/win/box_watch_win.h"
#include "tests/win/win_test_util.h"
#include "ui/img_progress_win.h"
#include "ui/message_box_win.h"
#include "ui/msgbox_layout.h"
#include "ui/msgbox_paint_win.h"
#include "ui/static_ex_win.h"

// The skinned message box, static text and image progress bar as windows:
// the box run modally and answered through its own messages, the controls
// painted on a visible window and read back from the screen.

namespace {

constexpr COLORREF kSkin = RGB(250, 250, 250);
constexpr COLORREF kTrack = RGB(128, 128, 128);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// GDI+ stays up for the whole run, so that the image loader's own start and
// stop on the boxes' threads only count references.
class GdiplusForTheRun : public testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};
testing::Environment* const g_gdiplus = testing::AddGlobalTestEnvironment(new GdiplusForTheRun);

// ---- Message box driver -----------------------------------------------------

// One step done to the box while its modal loop runs: the test's timer fires
// on the same thread, as a user's input would arrive.
struct Step {
    enum Kind { Click, Key, CaptionClose } kind;
    std::wstring label;  // Click: the button's label
    WPARAM key = 0;      // Key: the virtual key
};

struct BoxSeen {
    bool found = false;
    std::wstring caption;
    std::wstring text;
    RECT window{};
    RECT client{};
    std::vector<std::wstring> labels;
    std::vector<RECT> buttonRects;  // client coordinates, in label order
    std::vector<int> buttonIds;
    int stepsDone = 0;
};

struct Driver {
    std::vector<Step> steps;
    BoxSeen seen;
    HWND box = nullptr;
    int ticks = 0;
    std::function<void(HWND)> look;  // runs once when the box is first seen
};

// The timer procedure's only way to its script; each thread runs its own box.
thread_local Driver* g_driver = nullptr;

HWND FindBoxOfThread() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lp) -> BOOL {
            // A box counts once it is whole: shown, with its first button and its text.
            if (IsWindowVisible(window) && GetDlgItem(window, ui::kMsgBoxFirstButtonId) != nullptr &&
                GetDlgItem(window, CMessageBox::kTextControlId) != nullptr) {
                *reinterpret_cast<HWND*>(lp) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

HWND ButtonLabelled(HWND box, const std::wstring& label) {
    for (int id : {ui::kMsgBoxFirstButtonId, ui::kMsgBoxSecondButtonId}) {
        HWND button = GetDlgItem(box, id);
        if (button != nullptr && TextOf(button) == label) return button;
    }
    return nullptr;
}

void Observe(HWND box, BoxSeen& seen) {
    seen.found = true;
    seen.caption = TextOf(box);
    seen.text = TextOf(GetDlgItem(box, CMessageBox::kTextControlId));
    GetWindowRect(box, &seen.window);
    GetClientRect(box, &seen.client);
    for (int id : {ui::kMsgBoxFirstButtonId, ui::kMsgBoxSecondButtonId}) {
        HWND button = GetDlgItem(box, id);
        if (button == nullptr) continue;
        RECT r{};
        GetWindowRect(button, &r);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
        seen.labels.push_back(TextOf(button));
        seen.buttonRects.push_back(r);
        seen.buttonIds.push_back(id);
    }
}

void CALLBACK DriveBox(HWND, UINT, UINT_PTR, DWORD) {
    Driver& d = *g_driver;
    if (++d.ticks > 400) {  // a box that never ends must not hang the run
        if (HWND box = FindBoxOfThread()) PostMessageW(box, WM_COMMAND, ui::kMsgBoxFirstButtonId, 0);
        return;
    }
    if (d.box == nullptr) {
        d.box = FindBoxOfThread();
        if (d.box == nullptr) return;
        Observe(d.box, d.seen);
        if (d.look) d.look(d.box);
        return;  // the first step waits one tick, until the box has painted
    }
    if (!IsWindow(d.box) || d.seen.stepsDone >= static_cast<int>(d.steps.size())) return;
    const Step& step = d.steps[d.seen.stepsDone++];
    switch (step.kind) {
        case Step::Click: {
            HWND button = ButtonLabelled(d.box, step.label);
            if (button != nullptr)
                PostMessageW(d.box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                             reinterpret_cast<LPARAM>(button));
            break;
        }
        case Step::Key: {
            // Where a user's key goes: the focus inside the box, else the box.
            HWND focus = GetFocus();
            HWND target = focus != nullptr && (focus == d.box || IsChild(d.box, focus)) ? focus : d.box;
            PostMessageW(target, WM_KEYDOWN, step.key, 1);
            PostMessageW(target, WM_KEYUP, step.key, 0xC0000001);
            break;
        }
        case Step::CaptionClose: {
            HWND close = GetDlgItem(d.box, CDlgEx::kIdClose);
            PostMessageW(d.box, WM_COMMAND, MAKEWPARAM(CDlgEx::kIdClose, BN_CLICKED), reinterpret_cast<LPARAM>(close));
            break;
        }
    }
}

int RunBox(const std::function<int()>& show, Driver& driver) {
    g_driver = &driver;
    const UINT_PTR timer = SetTimer(nullptr, 0, 40, DriveBox);
    const int result = show();
    KillTimer(nullptr, timer);
    g_driver = nullptr;
    return result;
}

int RunBox(int style, const std::wstring& text, Driver& driver) {
    return RunBox([&] { return CMessageBox::Show(style, L"梦幻大陆", text); }, driver);
}

Step Click(const wchar_t* label) { return {Step::Click, label, 0}; }
Step Key(WPARAM key) { return {Step::Key, L"", key}; }
Step CaptionClose() { return {Step::CaptionClose, L"", 0}; }

}  // namespace

TEST(MessageBoxWindow, ButtonsAnswerWithTheSystemCodes) {
    struct Case {
        int style;
        std::vector<Step> steps;
        int expected;
        std::vector<std::wstring> labels;
    } const cases[] = {
        {MB_YESNO, {Click(L"是")}, IDYES, {L"是", L"否"}},
        {MB_YESNO, {Click(L"否")}, IDNO, {L"是", L"否"}},
        {MB_OK, {Click(L"确定")}, IDOK, {L"确定"}},
        {MB_OKCANCEL, {Click(L"确定")}, IDOK, {L"确定", L"取消"}},
        {MB_OKCANCEL, {Click(L"取消")}, IDCANCEL, {L"确定", L"取消"}},
        {MB_ICONERROR, {Click(L"确定")}, IDOK, {L"确定"}},  // an unknown style is a notice
        // The caption's close button cancels, whatever the style: a closed
        // yes/no question is not a "no".
        {MB_YESNO, {CaptionClose()}, IDCANCEL, {L"是", L"否"}},
        {MB_OK, {CaptionClose()}, IDCANCEL, {L"确定"}},
        {MB_OKCANCEL, {CaptionClose()}, IDCANCEL, {L"确定", L"取消"}},
        {MB_ICONERROR, {CaptionClose()}, IDCANCEL, {L"确定"}},
        // Enter and Escape leave the box open: the click after them answers.
        {MB_YESNO, {Key(VK_RETURN), Key(VK_ESCAPE), Click(L"否")}, IDNO, {L"是", L"否"}},
        {MB_OK, {Key(VK_ESCAPE), Key(VK_RETURN), Click(L"确定")}, IDOK, {L"确定"}},
    };
    // Each box on a thread of its own: closing a shown window costs Wine
    // seconds here, so the cases run side by side.
    constexpr std::size_t kCases = std::size(cases);
    std::vector<Driver> drivers(kCases);
    std::vector<int> results(kCases, -1);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < kCases; ++i) {
        drivers[i].steps = cases[i].steps;
        threads.emplace_back([&, i] { results[i] = RunBox(cases[i].style, L"确定要移除梦幻大陆吗？", drivers[i]); });
    }
    for (auto& thread : threads) thread.join();
    for (std::size_t i = 0; i < kCases; ++i) {
        const Case& c = cases[i];
        const Driver& driver = drivers[i];
        const int result = results[i];
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(result, c.expected);
        ASSERT_TRUE(driver.seen.found);
        EXPECT_EQ(driver.seen.stepsDone, static_cast<int>(c.steps.size()));
        EXPECT_EQ(driver.seen.caption, L"梦幻大陆");
        EXPECT_EQ(driver.seen.text, L"确定要移除梦幻大陆吗？");
        EXPECT_EQ(driver.seen.labels, c.labels);
    }
}

TEST(MessageBoxWindow, SizedFromItsTextWithButtonsInTheirPlaces) {
    struct Case {
        int style;
        std::wstring text;
    } const cases[] = {
        {MB_OK, L"好"},  // one short line: the box is two buttons wide plus the margins
        {MB_YESNO, L"第一行\r\n第二行比第一行长得多，长得多，长得多\n第三行"},
        {MB_OKCANCEL, L"当前网络不可用，请检查网络连接是否正常！"},
    };
    constexpr std::size_t kCases = std::size(cases);
    std::vector<Driver> drivers(kCases);
    std::vector<SIZE> measured(kCases);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < kCases; ++i) {
        drivers[i].steps = {CaptionClose()};
        drivers[i].look = [&, i](HWND box) {
            fw::ScopedGetDc dc(box);
            measured[i] = MeasureMsgBoxText(dc.Get(), reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)),
                                            cases[i].text);
        };
        threads.emplace_back([&, i] { RunBox(cases[i].style, cases[i].text, drivers[i]); });
    }
    for (auto& thread : threads) thread.join();
    for (std::size_t i = 0; i < kCases; ++i) {
        const Case& c = cases[i];
        const Driver& driver = drivers[i];
        SCOPED_TRACE("case " + std::to_string(i));
        ASSERT_TRUE(driver.seen.found);
        // The rules worked out here: buttons 57 x 23 (a quarter of the
        // 228-pixel strip), the box two buttons and 60 pixels wide or the text
        // and 60, 3 pixels a line, the text, a button and 90 pixels high.
        const int lines = static_cast<int>(std::count(c.text.begin(), c.text.end(), L'\n')) + 1;
        const int textW = measured[i].cx, textH = measured[i].cy;
        const RECT& w = driver.seen.window;
        EXPECT_EQ(w.right - w.left, textW > 174 ? textW + 60 : 174);
        EXPECT_EQ(w.bottom - w.top, 3 * lines + textH + 23 + 90);
        const int cw = driver.seen.client.right, top = driver.seen.client.bottom - 30 - 23;
        struct Button {
            int id;
            int left;
        };
        const std::vector<Button> expected = c.style == MB_OK ? std::vector<Button>{{5000, (cw - 57) / 2}}
                                                              : std::vector<Button>{{5000, cw / 2 - 10 - 57}, {5001, cw / 2 + 10}};
        ASSERT_EQ(driver.seen.buttonRects.size(), expected.size());
        for (std::size_t b = 0; b < expected.size(); ++b) {
            const RECT& r = driver.seen.buttonRects[b];
            EXPECT_EQ(driver.seen.buttonIds[b], expected[b].id);
            EXPECT_EQ(r.left, expected[b].left);
            EXPECT_EQ(r.top, top);
            EXPECT_EQ(r.right, expected[b].left + 57);
            EXPECT_EQ(r.bottom, top + 23);
        }
    }
}

TEST(MessageBoxWindow, StartUpQuestionsUseTheSkinnedBox) {
    Driver driver;
    driver.steps = {Click(L"是")};
    const int result = RunBox([] { return ShowMessageBox(MB_YESNO, L"Dolnrise", L"确定要移除 Dolnrise 吗？"); }, driver);
    EXPECT_EQ(result, IDYES);
    ASSERT_TRUE(driver.seen.found);
    EXPECT_EQ(driver.seen.caption, L"Dolnrise");
    EXPECT_EQ(driver.seen.text, L"确定要移除 Dolnrise 吗？");
}

// A box stands over the window it belongs to, whole on the work area and
// above it in the z-order (topmost over a topmost owner), and that window
// takes no input while it runs.
TEST(MessageBoxWindow, OpensOverItsOwnerInsideTheWorkArea) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const struct Case {
        const char* name;
        RECT owner;
        bool topmost;
        bool hiddenChild;  // the box is asked for over a hidden window the owner owns
        bool centredOnWork;
    } cases[] = {
        {"a topmost login window off the top left", {-500, -300, 400, 300}, true, false, false},
        {"a window off the bottom right", {work.right - 100, work.bottom - 60, work.right + 700, work.bottom + 500},
         false, false, false},
        {"a frame shrunk to a pixel", {0, 0, 1, 1}, false, false, true},
        {"a login page not shown yet", {200, 150, 900, 600}, true, true, false},
    };
    constexpr std::size_t kCases = std::size(cases);
    std::vector<wintest::BoxPlace> places(kCases);
    std::vector<HWND> expectedOwners(kCases);
    std::vector<bool> enabledAfter(kCases);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < kCases; ++i) {
        threads.emplace_back([&, i] {
            const Case& c = cases[i];
            const HWND owner = CreateWindowExW(c.topmost ? WS_EX_TOPMOST : 0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE,
                                               c.owner.left, c.owner.top, c.owner.right - c.owner.left,
                                               c.owner.bottom - c.owner.top, nullptr, nullptr, nullptr, nullptr);
            const HWND asked = c.hiddenChild ? CreateWindowExW(0, L"STATIC", L"page", WS_POPUP, 0, 0, 10, 10, owner,
                                                               nullptr, nullptr, nullptr)
                                             : owner;
            expectedOwners[i] = owner;
            places[i] = wintest::WatchBox([&] { CMessageBox::Show(MB_OK, L"梦幻大陆", L"缓存清除完毕！", asked); });
            enabledAfter[i] = IsWindowEnabled(owner) != FALSE;
            DestroyWindow(owner);
        });
    }
    for (auto& thread : threads) thread.join();
    for (std::size_t i = 0; i < kCases; ++i) {
        const Case& c = cases[i];
        const wintest::BoxPlace& place = places[i];
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(place.found);
        EXPECT_EQ(place.owner, expectedOwners[i]);
        EXPECT_TRUE(place.InsideWork());
        EXPECT_TRUE(place.aboveOwner);
        EXPECT_EQ(place.topmost, c.topmost);
        EXPECT_FALSE(place.ownerEnabled);
        EXPECT_TRUE(enabledAfter[i]);
        if (c.centredOnWork) {
            EXPECT_NEAR(place.rect.left + place.rect.right, work.left + work.right, 1);
            EXPECT_NEAR(place.rect.top + place.rect.bottom, work.top + work.bottom, 1);
        }
    }
}

// ---- Controls on a visible skinned parent -----------------------------------

namespace {

LRESULT CALLBACK PlainSkinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        RECT rect{};
        GetWindowRect(window, &rect);
        const RECT all{0, 0, rect.right - rect.left, rect.bottom - rect.top};
        fw::ScopedBrush brush(CreateSolidBrush(kSkin));
        FillRect(reinterpret_cast<HDC>(wParam), &all, brush.Get());
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class ControlsTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = PlainSkinProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"CorvaneKitParent";
        RegisterClassW(&windowClass);
        // One parent for every test: closing a shown window costs Wine seconds.
        m_parent = CreateWindowExW(WS_EX_TOPMOST, L"CorvaneKitParent", L"", WS_POPUP | WS_VISIBLE, 40, 40, 500, 200,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        wintest::Pump();
    }
    static void TearDownTestSuite() { DestroyWindow(m_parent); }
    void SetUp() override { ASSERT_NE(m_parent, nullptr); }

    // The control's pixels as the screen shows them.
    static std::vector<std::uint32_t> Screen(HWND control, int* width) {
        RECT r{};
        GetWindowRect(control, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        wintest::Surface surface(w, h);
        {
            fw::ScopedGetDc dc(control);
            BitBlt(surface.Dc(), 0, 0, w, h, dc.Get(), 0, 0, SRCCOPY);
        }
        std::vector<std::uint32_t> px;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) px.push_back(surface.At(x, y));
        *width = w;
        return px;
    }

    static inline HWND m_parent = nullptr;
};

// A bitmap whose column x has colour(x).
template <class ColourOf>
HBITMAP MakeBitmap(int width, int height, ColourOf colour) {
    fw::ScopedGetDc screen(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen.Get(), width, height);
    fw::ScopedCreatedDc dc(CreateCompatibleDC(screen.Get()));
    fw::ScopedSelectObject select(dc.Get(), bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) SetPixel(dc.Get(), x, y, colour(x));
    return bitmap;
}

COLORREF BarColour(int x) { return x == 0 ? kMagenta : RGB(10 + 2 * x, 80, 200); }

}  // namespace

TEST_F(ControlsTest, StaticNeedingThreeLinesIsThreeLinesHighAfterItsFirstPaint) {
    CStaticEx label;
    HWND raw = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 80, 16, m_parent, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(label.SubclassWindow(raw));
    label.m_strText = L"账号玩家一号的名字很长很长很长的名字";
    label.m_clrText = RGB(0, 0, 255);
    // Measure what one line holds in the control's own font.
    SIZE one{};
    {
        fw::ScopedGetDc dc(label.m_hWnd);
        fw::ScopedSelectObject select(dc.Get(), label.GetTextFont());
        GetTextExtentPoint32W(dc.Get(), L"账", 1, &one);
    }
    ASSERT_GT(one.cx, 0);
    // Seven characters a line: eighteen need three lines.
    label.SetWindowPos(nullptr, 0, 0, 7 * one.cx + one.cx / 2, 16, SWP_NOMOVE | SWP_NOZORDER);
    label.Invalidate();
    label.UpdateWindow();
    EXPECT_EQ(label.LastWalk().lineCount, 3);
    RECT r{};
    label.GetWindowRect(&r);
    RECT sample{0, 0, 0, 0};
    {
        fw::ScopedGetDc dc(label.m_hWnd);
        fw::ScopedSelectObject select(dc.Get(), label.GetTextFont());
        DrawTextW(dc.Get(), ui::kStaticSampleText.data(), 10, &sample, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    }
    EXPECT_EQ(r.bottom - r.top, ui::StaticNeededHeight(sample.bottom, 3, ui::kStaticDefaultLineSpacing));

    // The parent's skin shows around the text; the third line is drawn.
    label.UpdateWindow();
    int width = 0;
    const auto px = Screen(label.m_hWnd, &width);
    EXPECT_EQ(px[0], wintest::ToRgb(kSkin));
    const int thirdTop = 2 * (sample.bottom + ui::kStaticDefaultLineSpacing);
    int inThird = 0;
    for (std::size_t i = static_cast<std::size_t>(thirdTop) * width; i < px.size(); ++i)
        if (px[i] == wintest::ToRgb(RGB(0, 0, 255))) ++inThird;
    EXPECT_GT(inThird, 0);
}

TEST_F(ControlsTest, StaticLinkAnswersTheCursorAndHover) {
    CStaticEx link;
    HWND raw = CreateWindowExW(0, L"STATIC", L"账号", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 10, 60, 80, 20, m_parent,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(link.SubclassWindow(raw));
    EXPECT_EQ(link.m_strText, L"账号");  // read from the window when it was taken over
    link.m_bHandCursor = TRUE;
    EXPECT_EQ(link.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(raw), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    link.m_clrText = RGB(0, 0, 255);
    link.m_clrHover = RGB(255, 0, 0);
    auto colours = [&](int* text, int* hover) {
        link.UpdateWindow();
        int width = 0;
        *text = *hover = 0;
        for (std::uint32_t p : Screen(link.m_hWnd, &width)) {
            if (p == wintest::ToRgb(link.m_clrText)) ++*text;
            if (p == wintest::ToRgb(link.m_clrHover)) ++*hover;
        }
    };
    int text = 0, hover = 0;
    // Without the hover colour the hover repaints but keeps the colour.
    link.SendMessage(WM_MOUSEHOVER, 0, 0);
    EXPECT_TRUE(link.m_bHover);
    EXPECT_TRUE(GetUpdateRect(raw, nullptr, FALSE));
    colours(&text, &hover);
    EXPECT_GT(text, 0);
    EXPECT_EQ(hover, 0);
    link.m_bHoverColor = TRUE;
    link.SendMessage(WM_MOUSEHOVER, 0, 0);
    colours(&text, &hover);
    EXPECT_EQ(text, 0);
    EXPECT_GT(hover, 0);
    link.SendMessage(WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(link.m_bHover);
    EXPECT_FALSE(link.m_bTracking);
    colours(&text, &hover);
    EXPECT_GT(text, 0);
    EXPECT_EQ(hover, 0);
}

TEST_F(ControlsTest, ProgressPaintsTrackAndFillAtZeroThirtySevenAndHundredPercent) {
    CImgProgress progress;
    HWND raw = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 20, 120, 10, 10, m_parent, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(progress.SubclassWindow(raw));
    // Track 120 x 14 with transparent corner; bar 100 x 10 centred on it.
    progress.SetImages(MakeBitmap(120, 14, [](int) { return kTrack; }), MakeBitmap(100, 10, BarColour));
    RECT r{};
    progress.GetWindowRect(&r);
    EXPECT_EQ(r.right - r.left, 120);
    EXPECT_EQ(r.bottom - r.top, 14);
    EXPECT_EQ(progress.m_rcBar.left, 10);
    EXPECT_EQ(progress.m_rcBar.top, 2);
    progress.SetRange32(0, 100);

    for (int percent : {0, 37, 100}) {
        SCOPED_TRACE("percent " + std::to_string(percent));
        progress.SetPos(percent);
        progress.Invalidate();
        progress.UpdateWindow();
        const ui::ProgressFill fill = progress.LastFill();
        // Bar area 100 wide at x 10: half the filled columns (rounded down)
        // from the image's left end, the rest from its right end.
        const ui::ProgressFill expected = percent == 0    ? ui::ProgressFill{0, 0, 10, 0, 100, 10}
                                          : percent == 37 ? ui::ProgressFill{37, 18, 10, 19, 81, 28}
                                                          : ui::ProgressFill{100, 50, 10, 50, 50, 60};
        EXPECT_EQ(fill, expected);
        int width = 0;
        const auto px = Screen(progress.m_hWnd, &width);
        const int y = 2 + 5;
        auto at = [&](int x) { return px[static_cast<std::size_t>(y) * width + x]; };
        EXPECT_EQ(at(5), wintest::ToRgb(kTrack));  // outside the bar area
        const int filled = 100 * percent / 100;
        EXPECT_EQ(fill.filled, filled);
        if (filled == 0) {
            for (int x = 10; x < 110; ++x) EXPECT_EQ(at(x), wintest::ToRgb(kTrack)) << x;
            continue;
        }
        // The left end from the bar's first columns, the right end from its last.
        EXPECT_EQ(at(10 + 1), wintest::ToRgb(BarColour(1)));
        EXPECT_EQ(at(10 + filled - 1), wintest::ToRgb(BarColour(99)));
        const int h1 = filled / 2;
        EXPECT_EQ(at(10 + h1), wintest::ToRgb(BarColour(100 - (filled - h1))));
        if (filled < 100) {
            EXPECT_EQ(at(10 + filled), wintest::ToRgb(kTrack));
        }
        EXPECT_EQ(at(10), wintest::ToRgb(kTrack));  // the bar's magenta column shows the track
    }
}

TEST_F(ControlsTest, ProgressWithAnEmptyRangeDrawsNoFill) {
    CImgProgress progress;
    HWND raw = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 20, 150, 10, 10, m_parent, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(progress.SubclassWindow(raw));
    progress.SetImages(MakeBitmap(120, 14, [](int) { return kTrack; }), MakeBitmap(100, 10, BarColour));
    progress.SetRange32(5, 5);
    progress.SetPos(5);
    progress.Invalidate();
    progress.UpdateWindow();
    EXPECT_EQ(progress.LastFill().filled, 0);
}
