#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <stdexcept>
#include <thread>
#include <string>
#include <vector>

#include "fw/dialog_win.h"
#include "fw/handles_win.h"
#include "res/resource.h"

namespace {

constexpr UINT kPing = WM_USER + 100;
constexpr UINT kThrow = WM_USER + 101;
constexpr UINT kSelfDestruct = WM_USER + 102;

class CBaseWnd : public CWnd {
public:
    std::vector<std::string> calls;

protected:
    DECLARE_MESSAGE_MAP()
    LRESULT OnPing(WPARAM, LPARAM) {
        calls.push_back("base ping");
        return 1;
    }
    void OnClose() { calls.push_back("base close"); }
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_MESSAGE(kPing, OnPing)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
public:
    bool* deleted = nullptr;
    ~CDerivedWnd() override {
        if (deleted) *deleted = true;
    }

protected:
    DECLARE_MESSAGE_MAP()
    LRESULT OnPing(WPARAM, LPARAM) {
        calls.push_back("derived ping");
        return 2;
    }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("must not reach the system"); }
    LRESULT OnSelfDestruct(WPARAM, LPARAM) {
        DestroyWindow();
        return 7;
    }
    void PostNcDestroy() override {
        if (deleted) delete this;
    }
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
    ON_MESSAGE(kPing, OnPing)
    ON_MESSAGE(kThrow, OnThrow)
    ON_MESSAGE(kSelfDestruct, OnSelfDestruct)
END_MESSAGE_MAP()

TEST(Framework, DerivedMapIsSearchedBeforeTheBase) {
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"t", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    EXPECT_EQ(wnd.SendMessage(kPing), 2);
    wnd.SendMessage(WM_CLOSE);  // only the base handles it, and nothing closes the window
    EXPECT_TRUE(IsWindow(wnd.m_hWnd));
    EXPECT_EQ(wnd.calls, (std::vector<std::string>{"derived ping", "base close"}));
}

TEST(Framework, ExceptionsStopAtTheWindowProcedure) {
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"t", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    EXPECT_EQ(wnd.SendMessage(kThrow), 0);
    EXPECT_EQ(wnd.SendMessage(kPing), 2);  // still alive and dispatching
}

TEST(Framework, WindowThatDeletesItselfInItsHandler) {
    bool deleted = false;
    auto* wnd = new CDerivedWnd;
    wnd->deleted = &deleted;
    ASSERT_TRUE(wnd->CreateEx(0, nullptr, L"t", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    HWND hwnd = wnd->m_hWnd;
    EXPECT_EQ(SendMessageW(hwnd, kSelfDestruct, 0, 0), 7);
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(Framework, DestroyedWindowIsUnbound) {
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"t", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    HWND hwnd = wnd.m_hWnd;
    wnd.DestroyWindow();
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
    // The object can be bound again.
    EXPECT_TRUE(wnd.CreateEx(0, nullptr, L"t", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
}

// A command of 0 posts WM_QUIT instead, as the frame's exit does.
class CAutoDialog : public CDialog {
public:
    CAutoDialog(UINT command, int code) : CDialog(IDD_EMPTY_POPUP), m_command(command), m_code(code) {}
    int initCalls = 0;
    int okCalls = 0;
    int cancelCalls = 0;
    int quitCalls = 0;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        ++initCalls;
        if (m_command == 0) PostQuitMessage(m_code);
        else PostMessage(WM_COMMAND, m_command);
        return TRUE;
    }
    void OnOK() override {
        ++okCalls;
        if (m_code != IDOK) EndDialog(m_code);
        else CDialog::OnOK();
    }
    void OnCancel() override {
        ++cancelCalls;
        CDialog::OnCancel();
    }
    void OnQuitModal() override { ++quitCalls; }

private:
    UINT m_command;
    int m_code;
};

TEST(Framework, ModalDialogsEndWithTheirResult) {
    struct Case {
        UINT command;
        int code;
        INT_PTR want;
    } cases[] = {{IDOK, IDOK, IDOK}, {IDOK, 42, 42}, {IDCANCEL, IDOK, IDCANCEL}, {0, 7, IDCANCEL}};
    for (const Case& c : cases) {
        CAutoDialog dialog(c.command, c.code);
        EXPECT_EQ(dialog.DoModal(), c.want) << c.command;
        EXPECT_EQ(dialog.initCalls, 1);
        EXPECT_EQ(dialog.okCalls, c.command == IDOK ? 1 : 0);
        EXPECT_EQ(dialog.cancelCalls, c.command == IDCANCEL ? 1 : 0) << c.command;
        EXPECT_EQ(dialog.quitCalls, c.command == 0 ? 1 : 0) << c.command;
        EXPECT_EQ(dialog.m_hWnd, nullptr);
        if (c.command != 0) continue;
        // The quit is handed on to the loop outside, with its code.
        MSG msg;
        ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(msg.wParam, static_cast<WPARAM>(c.code));
    }
}

TEST(Framework, MissingTemplateFailsTheModalRun) {
    CDialog dialog(4242);
    EXPECT_EQ(dialog.DoModal(), -1);
}

TEST(Framework, ModelessDialogFromTemplate) {
    CDialog dialog(IDD_SETTINGS);
    ASSERT_TRUE(dialog.Create(IDD_SETTINGS));
    EXPECT_NE(dialog.GetDlgItem(IDC_BOSS_KEY), nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(dialog.m_hWnd), &dialog);
    dialog.SendMessage(WM_COMMAND, IDCANCEL);  // OnCancel hides a modeless dialog
    EXPECT_FALSE(dialog.IsWindowVisible());
}

TEST(Framework, OwnersRestoreAndRelease) {
    fw::ScopedCreatedDc dc(CreateCompatibleDC(nullptr));
    HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_BITMAP);
    fw::ScopedBitmap bitmap(CreateCompatibleBitmap(dc.Get(), 4, 4));
    {
        fw::ScopedSelectObject select(dc.Get(), bitmap.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), bitmap.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), original);
    SetLastError(1234);
    bitmap.Reset();
    EXPECT_EQ(GetLastError(), 1234u);  // closing keeps the caller's error
    fw::ScopedKernelHandle a(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    fw::ScopedKernelHandle b(std::move(a));
    EXPECT_FALSE(a.IsValid());
    EXPECT_TRUE(b.IsValid());
}

// A dialog whose loop is ended from a worker thread, as a download or
// watcher thread ends its dialog.
class CThreadEndedDialog : public CDialog {
public:
    CThreadEndedDialog() : CDialog(IDD_EMPTY_POPUP) {}
    ~CThreadEndedDialog() override {
        if (m_worker.joinable()) m_worker.join();
    }

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_worker = std::thread([this] {
            Sleep(100);
            EndDialog(77);
        });
        return TRUE;
    }

private:
    std::thread m_worker;
};

TEST(Framework, EndDialogFromAnotherThreadEndsTheModalLoop) {
    CThreadEndedDialog dialog;
    EXPECT_EQ(dialog.DoModal(), 77);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

LRESULT CALLBACK OtherSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    if (msg == WM_USER + 50) ++*reinterpret_cast<int*>(ref);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

TEST(Framework, SubclassingAForeignWindowLeavesItsUserDataAndOtherSubclassersAlone) {
    HWND foreign = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(foreign, nullptr);
    SetWindowLongPtrW(foreign, GWLP_USERDATA, 1234);  // the owner's own value
    int otherSaw = 0;
    {
        CWnd ours;
        ASSERT_TRUE(ours.SubclassWindow(foreign));
        EXPECT_EQ(CWnd::FromHandlePermanent(foreign), &ours);
        EXPECT_EQ(GetWindowLongPtrW(foreign, GWLP_USERDATA), 1234);
        // Someone else subclasses after us, and we let go first.
        ASSERT_TRUE(SetWindowSubclass(foreign, OtherSubclass, 1, reinterpret_cast<DWORD_PTR>(&otherSaw)));
        EXPECT_EQ(ours.UnsubclassWindow(), foreign);
        EXPECT_EQ(CWnd::FromHandlePermanent(foreign), nullptr);
    }
    SendMessageW(foreign, WM_USER + 50, 0, 0);
    EXPECT_EQ(otherSaw, 1) << "the later subclasser still gets its messages";
    EXPECT_EQ(GetWindowLongPtrW(foreign, GWLP_USERDATA), 1234);
    RemoveWindowSubclass(foreign, OtherSubclass, 1);
    DestroyWindow(foreign);
}

}  // namespace
