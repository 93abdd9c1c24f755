// The screenshot tool under Wine: a full-screen window paints a known
// pattern, the tool captures it, and mouse messages drive the selection.
// The saved BMP is read back by tests/win/check_shot_bmp.py with a real BMP
// reader.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "shot/screen_shot_win.h"
#include "shot/shot_geometry.h"
#include "shot/shot_output_win.h"
#include "tests/win/test_files_win.h"
#include "tests/win/win_test_util.h"

namespace {

// The pattern: red and green are the low bytes of x and y, blue their high
// bits, so every pixel of the screen is told apart and none is magenta.
std::uint32_t PatternAt(int x, int y) {
    const std::uint32_t blue = static_cast<std::uint32_t>(((x >> 8) << 4) | (y >> 8)) & 0xFF;
    return (static_cast<std::uint32_t>(x & 0xFF) << 16) | (static_cast<std::uint32_t>(y & 0xFF) << 8) | blue;
}

// A top-most window over the whole screen showing the pattern.
class PatternWindow {
public:
    PatternWindow(int width, int height) : m_surface(width, height), m_width(width), m_height(height) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) m_surface.Set(x, y, PatternAt(x, y));
        WNDCLASSW wc{};
        wc.lpfnWndProc = &PatternWindow::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ShotPattern";
        RegisterClassW(&wc);
        m_hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"ShotPattern", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                 width, height, nullptr, nullptr, wc.hInstance, this);
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        InvalidateRect(m_hwnd, nullptr, TRUE);
        UpdateWindow(m_hwnd);
    }
    ~PatternWindow() { DestroyWindow(m_hwnd); }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<PatternWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_ERASEBKGND) return TRUE;
        if (msg == WM_PAINT && self != nullptr) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            BitBlt(dc, 0, 0, self->m_width, self->m_height, self->m_surface.Dc(), 0, 0, SRCCOPY);
            EndPaint(hwnd, &ps);
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }

    wintest::Surface m_surface;
    int m_width, m_height;
    HWND m_hwnd = nullptr;
};

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Show(const RECT& r) {
    char text[80];
    std::snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

// The first pixel of `area` (screen coordinates) where `pixels` (top-down,
// area-sized) differs from the pattern, or -1.
long FirstMismatch(const std::vector<std::uint32_t>& pixels, const RECT& area) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (pixels.size() != static_cast<std::size_t>(w) * h) return 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (pixels[static_cast<std::size_t>(y) * w + x] != PatternAt(area.left + x, area.top + y))
                return static_cast<long>(y) * w + x;
    return -1;
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class ShotTool : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_width = GetSystemMetrics(SM_CXSCREEN);
        s_height = GetSystemMetrics(SM_CYSCREEN);
        s_pattern = new PatternWindow(s_width, s_height);
        wintest::Pump();
        s_tool = new CScreenShot;
    }
    static void TearDownTestSuite() {
        delete s_tool;
        delete s_pattern;
    }
    void TearDown() override {
        tool().Close();
        tool().SetFileChooser(&AskShotFileName);
        wintest::Pump();
    }

    static CScreenShot& tool() { return *s_tool; }
    // X repaints what the closed tool uncovered only when the exposure
    // events are handled: the next capture waits for the pattern to be back.
    static void WaitForPattern() {
        const POINT probes[] = {{0, 0}, {s_width / 2, s_height / 3}, {101, 120}, {s_width - 1, s_height - 1}};
        for (int round = 0; round < 300; ++round) {
            wintest::Pump();
            HDC screen = GetDC(nullptr);
            bool back = true;
            for (const POINT& p : probes) back = back && wintest::ToRgb(GetPixel(screen, p.x, p.y)) == PatternAt(p.x, p.y);
            ReleaseDC(nullptr, screen);
            if (back) return;
            Sleep(10);
        }
    }
    void Open() {
        WaitForPattern();
        tool().Open();
        wintest::Pump();
    }
    // A drag on the overlay from `from` to `to`, passing through `via`.
    void Drag(POINT from, POINT via, POINT to) {
        tool().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(from.x, from.y));
        tool().SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(via.x, via.y));
        tool().SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(to.x, to.y));
        tool().SendMessage(WM_LBUTTONUP, 0, At(to.x, to.y));
        wintest::Pump();
    }
    void Select(const RECT& r) { Drag({r.left, r.top}, {r.left + 1, r.top + 1}, {r.right, r.bottom}); }
    bool ToolShown() const { return s_tool->IsWindowVisible() != FALSE; }

    static int s_width, s_height;
    static PatternWindow* s_pattern;
    static CScreenShot* s_tool;
};

int ShotTool::s_width = 0;
int ShotTool::s_height = 0;
PatternWindow* ShotTool::s_pattern = nullptr;
CScreenShot* ShotTool::s_tool = nullptr;

TEST_F(ShotTool, OpeningTakesACaptureUnderADimmedOverlay) {
    Open();
    ASSERT_TRUE(ToolShown());
    EXPECT_TRUE(SameRect(WindowRect(tool().m_hWnd), RECT{0, 0, s_width, s_height})) << Show(WindowRect(tool().m_hWnd));
    EXPECT_TRUE(tool().GetExStyle() & WS_EX_TOPMOST);
    EXPECT_TRUE(tool().GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(tool().GetExStyle() & WS_EX_APPWINDOW);
    EXPECT_FALSE(tool().m_zone.IsWindowVisible());
    EXPECT_FALSE(tool().m_opera.IsWindowVisible());

    const RECT screen{0, 0, s_width, s_height};
    EXPECT_EQ(FirstMismatch(wintest::Pixels(tool().m_capture.CopyArea(screen).Get()), screen), -1);

    // 120 of 255 black over the capture: 135/255 of each channel remains.
    wintest::Surface painted(s_width, s_height);
    tool().SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(painted.Dc()));
    for (POINT p : {POINT{0, 0}, POINT{700, 333}, POINT{s_width - 1, s_height - 1}}) {
        const std::uint32_t want = PatternAt(p.x, p.y), got = painted.At(p.x, p.y);
        for (int shift : {16, 8, 0})
            EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>(((want >> shift) & 0xFF) * 135 / 255), 1)
                << p.x << "," << p.y << " channel " << shift;
    }
}

TEST_F(ShotTool, DragsInEveryDirectionSelectTheSameRectangle) {
    const RECT want{200, 150, 521, 388};
    const struct {
        const char* what;
        POINT from, to;
    } drags[] = {
        {"down-right", {200, 150}, {521, 388}},
        {"up-left", {521, 388}, {200, 150}},
    };
    for (const auto& d : drags) {
        Open();
        Drag(d.from, {360, 260}, d.to);
        EXPECT_TRUE(tool().m_zone.IsWindowVisible()) << d.what;
        EXPECT_TRUE(SameRect(WindowRect(tool().m_zone.m_hWnd), want)) << d.what << " " << Show(WindowRect(tool().m_zone.m_hWnd));
        // The toolbar comes with the release, under the zone's right edge.
        const RECT bar = WindowRect(tool().m_opera.m_hWnd);
        EXPECT_TRUE(tool().m_opera.IsWindowVisible()) << d.what;
        EXPECT_EQ(bar.left, want.right - (bar.right - bar.left)) << d.what;
        EXPECT_EQ(bar.top, want.bottom + 5) << d.what;
        // The magnifier follows the last move.
        const shot::Point zoom = shot::MagnifierOrigin({d.to.x, d.to.y}, s_width, s_height);
        EXPECT_TRUE(tool().m_zoom.IsWindowVisible()) << d.what;
        EXPECT_EQ(WindowRect(tool().m_zoom.m_hWnd).left, zoom.x) << d.what;
        EXPECT_EQ(WindowRect(tool().m_zoom.m_hWnd).top, zoom.y) << d.what;
        tool().Close();
    }

    // With a zone on the screen a press on the dimmed area starts nothing.
    Open();
    Select(want);
    Drag({10, 10}, {20, 20}, {30, 30});
    EXPECT_TRUE(SameRect(WindowRect(tool().m_zone.m_hWnd), want)) << Show(WindowRect(tool().m_zone.m_hWnd));
}

TEST_F(ShotTool, AClickOrADragBackToItsStartSelectsTheWholeScreen) {
    const RECT screen{0, 0, s_width, s_height};
    Open();
    tool().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(400, 300));
    tool().SendMessage(WM_LBUTTONUP, 0, At(400, 300));
    EXPECT_TRUE(tool().m_zone.IsWindowVisible());
    EXPECT_TRUE(SameRect(WindowRect(tool().m_zone.m_hWnd), screen)) << Show(WindowRect(tool().m_zone.m_hWnd));
    // A whole-screen zone leaves no room around it: the toolbar sits inside
    // its bottom edge, where it can be reached.
    const RECT bar = WindowRect(tool().m_opera.m_hWnd);
    EXPECT_TRUE(tool().m_opera.IsWindowVisible());
    EXPECT_GE(bar.top, 0);
    EXPECT_LE(bar.bottom, s_height);
    tool().Close();

    Open();
    Drag({400, 300}, {450, 350}, {400, 300});
    EXPECT_TRUE(SameRect(WindowRect(tool().m_zone.m_hWnd), screen)) << Show(WindowRect(tool().m_zone.m_hWnd));
}

TEST_F(ShotTool, TheZoneCannotPassAnEdge) {
    Open();
    Select(RECT{300, 300, 500, 400});
    const struct {
        POINT to;
        POINT want;
    } moves[] = {
        {{-40, -30}, {0, 0}},
        {{s_width - 50, s_height - 20}, {s_width - 200, s_height - 100}},
    };
    for (const auto& m : moves) {
        tool().m_zone.SetWindowPos(nullptr, m.to.x, m.to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        const RECT r = WindowRect(tool().m_zone.m_hWnd);
        EXPECT_TRUE(SameRect(r, RECT{m.want.x, m.want.y, m.want.x + 200, m.want.y + 100})) << Show(r);
    }
}

TEST_F(ShotTool, ZoneAndMagnifierPaintTheFrozenCapture) {
    Open();
    const RECT zone{300, 200, 421, 281};
    Select(zone);
    wintest::Surface painted(121, 81);
    tool().m_zone.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(painted.Dc()));
    const std::uint32_t green = 0x6CE26C;
    EXPECT_EQ(painted.At(20, 0), green);    // outline
    EXPECT_EQ(painted.At(120, 40), green);
    EXPECT_EQ(painted.At(59, 2), green);    // the top handle: 121 / 2 - 2 = 58
    EXPECT_EQ(painted.At(3, 3), green);     // the top-left handle
    EXPECT_EQ(painted.At(10, 10), PatternAt(310, 210));  // undimmed inside
    EXPECT_EQ(painted.At(100, 70), PatternAt(400, 270));

    // The magnifier reads the capture, not the screen, which now shows the
    // dimmed overlay.
    tool().SendMessage(WM_MOUSEMOVE, 0, At(600, 500));
    const std::uint32_t under = PatternAt(600, 500);
    wchar_t want[40];
    swprintf(want, 40, L"RGB(%d, %d, %d)", under >> 16, (under >> 8) & 0xFF, under & 0xFF);
    EXPECT_EQ(tool().m_zoom.ColourText(), want);

    wintest::Surface zoom(shot::kMagnifierWidth, shot::kMagnifierHeight);
    tool().m_zoom.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(zoom.Dc()));
    EXPECT_EQ(zoom.At(50, 10), green);  // the cross
    EXPECT_EQ(zoom.At(10, 50), green);
    // Ten pixels up-left of the cursor, enlarged 93/40 times.
    const std::uint32_t enlarged = zoom.At(3 + 10 * 93 / 40 + 1, 3 + 10 * 93 / 40 + 1);
    EXPECT_NEAR(static_cast<int>(enlarged >> 16), (600 - 10) & 0xFF, 1);
    EXPECT_NEAR(static_cast<int>((enlarged >> 8) & 0xFF), (500 - 10) & 0xFF, 1);
    // The panel: the capture under it, 200 of 255 black over it.
    const RECT at = WindowRect(tool().m_zoom.m_hWnd);
    const std::uint32_t backdrop = PatternAt(at.left + 250, at.top + 95), dimmed = zoom.At(250, 95);
    EXPECT_NEAR(static_cast<int>(dimmed >> 16), static_cast<int>((backdrop >> 16) * 55 / 255), 1);
    EXPECT_NEAR(static_cast<int>((dimmed >> 8) & 0xFF), static_cast<int>(((backdrop >> 8) & 0xFF) * 55 / 255), 1);
}

TEST_F(ShotTool, RightClickClosesWithoutCopying) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    Open();
    Select(RECT{100, 100, 300, 200});
    tool().SendMessage(WM_RBUTTONUP, 0, At(150, 150));
    wintest::Pump();
    EXPECT_FALSE(ToolShown());
    EXPECT_FALSE(tool().m_zone.IsWindowVisible());
    EXPECT_FALSE(tool().m_opera.IsWindowVisible());
    EXPECT_FALSE(tool().m_zoom.IsWindowVisible());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
    // Opening again: a fresh capture and no zone.
    Open();
    EXPECT_TRUE(tool().m_capture.IsValid());
    EXPECT_FALSE(tool().m_zone.IsWindowVisible());
}

TEST_F(ShotTool, DoubleClickAndFinishCopyTheZoneToTheClipboard) {
    const RECT zone{101, 120, 302, 257};  // odd width
    for (const char* how : {"double-click", "finish button"}) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        CloseClipboard();
        Open();
        Select(zone);
        if (std::string(how) == "double-click")
            tool().SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, At(150, 150));
        else
            tool().m_opera.SendMessage(WM_COMMAND, MAKEWPARAM(CShotOpera::kIdFinish, BN_CLICKED),
                                       reinterpret_cast<LPARAM>(tool().m_opera.GetDlgItem(CShotOpera::kIdFinish)));
        wintest::Pump();
        EXPECT_FALSE(ToolShown()) << how;
        ASSERT_TRUE(OpenClipboard(nullptr)) << how;
        const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        int w = 0, h = 0;
        const std::vector<std::uint32_t> pixels = wintest::Pixels(bitmap, &w, &h);
        CloseClipboard();
        EXPECT_EQ(w, 201) << how;
        EXPECT_EQ(h, 137) << how;
        EXPECT_EQ(FirstMismatch(pixels, zone), -1) << how;
    }
}

TEST_F(ShotTool, CancelButtonCloses) {
    Open();
    Select(RECT{100, 100, 300, 200});
    tool().m_opera.SendMessage(WM_COMMAND, MAKEWPARAM(CShotOpera::kIdCancel, BN_CLICKED),
                               reinterpret_cast<LPARAM>(tool().m_opera.GetDlgItem(CShotOpera::kIdCancel)));
    EXPECT_FALSE(ToolShown());
    EXPECT_FALSE(tool().m_zone.IsWindowVisible());
}

const std::wstring kBmpDir = L"" SHOT_BMP_DIR;

TEST_F(ShotTool, SavingWritesTheZoneAsABmpFile) {
    CreateDirectoryW(kBmpDir.c_str(), nullptr);
    const std::wstring target = kBmpDir + L"/saved";
    DeleteFileW((target + L".bmp").c_str());
    std::wstring offered;
    tool().SetFileChooser([&](HWND owner, std::wstring& name) {
        offered = name;
        EXPECT_EQ(owner, tool().m_zone.m_hWnd);
        name = target;
        return true;
    });
    Open();
    const RECT zone{101, 120, 302, 257};
    Select(zone);
    tool().m_opera.SendMessage(WM_COMMAND, MAKEWPARAM(CShotOpera::kIdSave, BN_CLICKED),
                               reinterpret_cast<LPARAM>(tool().m_opera.GetDlgItem(CShotOpera::kIdSave)));
    wintest::Pump();
    EXPECT_EQ(offered.substr(0, 2), L"截图");
    EXPECT_EQ(offered.size(), 2u + 14u + 4u);
    EXPECT_EQ(offered.substr(offered.size() - 4), L".bmp");
    EXPECT_FALSE(ToolShown());
    ASSERT_TRUE(Exists(target + L".bmp"));
    // The area for the BMP reader that checks the file's pixels.
    FILE* area = _wfopen((kBmpDir + L"/saved.area").c_str(), L"w");
    ASSERT_NE(area, nullptr);
    std::fprintf(area, "%ld %ld %ld %ld\n", zone.left, zone.top, zone.right - zone.left, zone.bottom - zone.top);
    std::fclose(area);
}

TEST_F(ShotTool, ASecondSaveWhileOneRunsIsRefusedAndCancelKeepsTheTool) {
    int asked = 0;
    tool().SetFileChooser([&](HWND, std::wstring&) {
        ++asked;
        // A second click on save while the dialog is up.
        tool().SendMessage(CScreenShot::kMsgSave);
        return false;
    });
    Open();
    Select(RECT{10, 10, 60, 60});
    tool().SendMessage(CScreenShot::kMsgSave);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(ToolShown());
    EXPECT_TRUE(tool().m_zone.IsWindowVisible());
    // Once it is over the next request is served.
    tool().SendMessage(CScreenShot::kMsgSave);
    EXPECT_EQ(asked, 2);
}

TEST_F(ShotTool, AFailedWriteLeavesNoFileAndKeepsTheTool) {
    CreateDirectoryW(kBmpDir.c_str(), nullptr);
    const std::wstring folder = kBmpDir + L"/failing";
    CreateDirectoryW(folder.c_str(), nullptr);
    // A folder that is in the way of the file, and a folder that is missing.
    CreateDirectoryW((folder + L"/taken.bmp").c_str(), nullptr);
    for (const std::wstring& target : {folder + L"/taken.bmp", folder + L"/missing/shot.bmp"}) {
        tool().SetFileChooser([&](HWND, std::wstring& name) {
            name = target;
            return true;
        });
        Open();
        Select(RECT{10, 10, 60, 60});
        tool().SendMessage(CScreenShot::kMsgSave);
        EXPECT_TRUE(ToolShown()) << std::string(target.begin(), target.end());
        tool().Close();
    }
    EXPECT_TRUE(GetFileAttributesW((folder + L"/taken.bmp").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    // Nothing but the folder in the way is left behind.
    WIN32_FIND_DATAW found;
    std::vector<std::wstring> names;
    HANDLE find = FindFirstFileW((folder + L"/*").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0) names.push_back(found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    EXPECT_EQ(names, std::vector<std::wstring>{L"taken.bmp"});
}

TEST_F(ShotTool, RepeatedOpeningsReleaseEveryCapture) {
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 20; ++i) {
        Open();
        const HBITMAP bitmap = tool().m_capture.Bitmap();
        const HDC dc = tool().m_capture.Dc();
        ASSERT_NE(bitmap, nullptr) << i;
        tool().Open();  // already showing: no second capture
        EXPECT_EQ(tool().m_capture.Bitmap(), bitmap) << i;
        Select(RECT{10 + i, 10, 200, 100});
        tool().SendMessage(WM_MOUSEMOVE, 0, At(300, 300));
        tool().SendMessage(WM_RBUTTONUP, 0, At(300, 300));
        wintest::Pump();
        EXPECT_EQ(GetObjectType(bitmap), 0u) << i;
        EXPECT_EQ(GetObjectType(dc), 0u) << i;
    }
    // Windows counts the process's GDI objects; Wine does not (0).
    const DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (before != 0) {
        EXPECT_LE(after, before + 4);
    }
}

}  // namespace
