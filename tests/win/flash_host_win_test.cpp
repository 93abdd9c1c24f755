#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "app/desktop_icon_geometry.h"
#include "app/desktop_icon_lookup_win.h"
#include "browser/flash_bk_win.h"
#include "browser/flash_rules.h"
#include "browser/flash_wnd_win.h"
#include "fw/handles_win.h"
#include "tests/win/test_files_win.h"

// This program's control block (tests/win/browser.cmake) names the item that
// the stand-in desktop holds and a mutex of its own; its resources carry a
// stand-in logo movie (tests/win/flash_movie_win.rc). Wine has no Flash
// player: every control here fails to be created, as on most machines today.

namespace {

constexpr wchar_t kMutexName[] = L"WinFlashTest";
constexpr char kMovieBytes[] = "FWS stand-in logo movie";
constexpr DWORD kWaitMs = 20000;

std::wstring BinFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

// Reaches the container's host window slot, so that the site methods that
// answer with it can be checked without a control.
class CProbeFlashWnd : public CFlashWnd {
public:
    using CFlashWnd::CFlashWnd;
    ~CProbeFlashWnd() override { m_hWnd = nullptr; }
    void OnClassNotRegistered() override { ++m_notRegistered; }
    void UseHost(HWND host) { m_hWnd = host; }
    int m_notRegistered = 0;
};

template <class T>
T* Query(IUnknown* unknown, REFIID iid) {
    void* out = nullptr;
    return SUCCEEDED(unknown->QueryInterface(iid, &out)) ? static_cast<T*>(out) : nullptr;
}

TEST(FlashContainer, AnswersOnlyItsSiteInterfacesWithOneIdentity) {
    CProbeFlashWnd container(L"C:\\none\\Logo.swf");
    IUnknown* site = static_cast<IOleClientSite*>(&container);
    struct Case {
        const char* name;
        IID iid;
        bool answered;
    } cases[] = {
        {"IUnknown", IID_IUnknown, true},
        {"IOleClientSite", IID_IOleClientSite, true},
        {"IOleInPlaceSite", IID_IOleInPlaceSite, true},
        {"IOleInPlaceSiteEx", IID_IOleInPlaceSiteEx, true},
        {"IOleInPlaceSiteWindowless", IID_IOleInPlaceSiteWindowless, true},
        {"IOleInPlaceFrame", IID_IOleInPlaceFrame, true},
        {"IStorage", IID_IStorage, true},
        {"Flash events", flash::kDiidShockwaveFlashEvents, true},
        {"IDispatch", IID_IDispatch, false},
        {"IOleWindow", IID_IOleWindow, false},
        {"IOleInPlaceUIWindow", IID_IOleInPlaceUIWindow, false},
        {"IOleContainer", IID_IOleContainer, false},
        {"IOleControlSite", IID_IOleControlSite, false},
        {"IServiceProvider", IID_IServiceProvider, false},
        {"IPersistStorage", IID_IPersistStorage, false},
    };
    for (const Case& c : cases) {
        IUnknown* part = Query<IUnknown>(site, c.iid);
        EXPECT_EQ(part != nullptr, c.answered) << c.name;
        if (part == nullptr) continue;
        // Back to the one identity from every part.
        IUnknown* identity = Query<IUnknown>(part, IID_IUnknown);
        EXPECT_EQ(identity, site) << c.name;
        if (identity != nullptr) identity->Release();
        part->Release();
    }
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(site->QueryInterface(IID_IDispatch, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);

    // One shared count, back to zero, and the object is still its owner's.
    EXPECT_EQ(site->AddRef(), 1u);
    EXPECT_EQ(static_cast<IStorage*>(&container)->AddRef(), 2u);
    EXPECT_EQ(static_cast<IOleInPlaceFrame*>(&container)->Release(), 1u);
    EXPECT_EQ(site->Release(), 0u);
    EXPECT_EQ(site->AddRef(), 1u);
    EXPECT_EQ(site->Release(), 0u);
}

TEST(FlashContainer, SiteMethodsGiveTheirFixedResults) {
    CProbeFlashWnd container(L"C:\\none\\Logo.swf");
    HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 30, 40, 200, 120, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    container.UseHost(host);
    IUnknown* site = static_cast<IOleClientSite*>(&container);
    IOleClientSite* client = Query<IOleClientSite>(site, IID_IOleClientSite);
    IOleInPlaceSiteWindowless* inPlace = Query<IOleInPlaceSiteWindowless>(site, IID_IOleInPlaceSiteWindowless);
    IOleInPlaceFrame* frame = Query<IOleInPlaceFrame>(site, IID_IOleInPlaceFrame);
    IStorage* storage = Query<IStorage>(site, IID_IStorage);
    IDispatch* events = Query<IDispatch>(site, flash::kDiidShockwaveFlashEvents);
    ASSERT_TRUE(client && inPlace && frame && storage && events);

    HDC dc = nullptr;
    LRESULT lresult = 0;
    RECT rect{};
    IStream* stream = nullptr;
    IMoniker* moniker = nullptr;
    DISPID dispid = 0;
    UINT count = 0;
    ITypeInfo* typeInfo = nullptr;
    LPOLESTR name = const_cast<LPOLESTR>(L"x");
    struct Case {
        const char* name;
        std::function<HRESULT()> call;
        HRESULT expected;
    } cases[] = {
        {"ShowObject", [&] { return client->ShowObject(); }, S_OK},
        {"SaveObject", [&] { return client->SaveObject(); }, E_NOTIMPL},
        {"GetMoniker", [&] { return client->GetMoniker(OLEGETMONIKER_ONLYIFTHERE, OLEWHICHMK_CONTAINER, &moniker); }, E_NOTIMPL},
        {"OnShowWindow", [&] { return client->OnShowWindow(TRUE); }, E_NOTIMPL},
        {"RequestNewObjectLayout", [&] { return client->RequestNewObjectLayout(); }, E_NOTIMPL},
        {"CanInPlaceActivate", [&] { return inPlace->CanInPlaceActivate(); }, S_OK},
        {"OnInPlaceActivate", [&] { return inPlace->OnInPlaceActivate(); }, S_OK},
        {"OnUIActivate", [&] { return inPlace->OnUIActivate(); }, S_OK},
        {"OnUIDeactivate", [&] { return inPlace->OnUIDeactivate(FALSE); }, S_OK},
        {"OnInPlaceDeactivate", [&] { return inPlace->OnInPlaceDeactivate(); }, S_OK},
        {"OnPosRectChange", [&] { return inPlace->OnPosRectChange(&rect); }, S_OK},
        {"CanWindowlessActivate", [&] { return inPlace->CanWindowlessActivate(); }, S_OK},
        {"GetFocus", [&] { return inPlace->GetFocus(); }, S_OK},
        {"SetFocus", [&] { return inPlace->SetFocus(TRUE); }, S_OK},
        {"InvalidateRgn", [&] { return inPlace->InvalidateRgn(nullptr, TRUE); }, S_OK},
        {"InvalidateRect", [&] { return inPlace->InvalidateRect(nullptr, TRUE); }, S_OK},
        {"OnInPlaceDeactivateEx", [&] { return inPlace->OnInPlaceDeactivateEx(TRUE); }, S_FALSE},
        {"RequestUIActivate", [&] { return inPlace->RequestUIActivate(); }, S_FALSE},
        {"GetCapture", [&] { return inPlace->GetCapture(); }, S_FALSE},
        {"SetCapture", [&] { return inPlace->SetCapture(TRUE); }, S_FALSE},
        {"GetDC", [&] { return inPlace->GetDC(nullptr, 0, &dc); }, S_FALSE},
        {"ReleaseDC", [&] { return inPlace->ReleaseDC(nullptr); }, S_FALSE},
        {"AdjustRect", [&] { return inPlace->AdjustRect(&rect); }, S_FALSE},
        {"OnDefWindowMessage", [&] { return inPlace->OnDefWindowMessage(WM_NULL, 0, 0, &lresult); }, S_FALSE},
        {"site ContextSensitiveHelp", [&] { return inPlace->ContextSensitiveHelp(TRUE); }, E_NOTIMPL},
        {"Scroll", [&] { return inPlace->Scroll(SIZE{1, 1}); }, E_NOTIMPL},
        {"DiscardUndoState", [&] { return inPlace->DiscardUndoState(); }, E_NOTIMPL},
        {"DeactivateAndUndo", [&] { return inPlace->DeactivateAndUndo(); }, E_NOTIMPL},
        {"ScrollRect", [&] { return inPlace->ScrollRect(1, 1, &rect, &rect); }, E_NOTIMPL},
        {"SetActiveObject", [&] { return frame->SetActiveObject(nullptr, nullptr); }, S_OK},
        {"SetMenu", [&] { return frame->SetMenu(nullptr, nullptr, nullptr); }, S_OK},
        {"SetStatusText", [&] { return frame->SetStatusText(L"x"); }, S_OK},
        {"EnableModeless", [&] { return frame->EnableModeless(TRUE); }, S_OK},
        {"frame ContextSensitiveHelp", [&] { return frame->ContextSensitiveHelp(TRUE); }, E_NOTIMPL},
        {"GetBorder", [&] { return frame->GetBorder(&rect); }, E_NOTIMPL},
        {"RequestBorderSpace", [&] { return frame->RequestBorderSpace(nullptr); }, E_NOTIMPL},
        {"SetBorderSpace", [&] { return frame->SetBorderSpace(nullptr); }, E_NOTIMPL},
        {"InsertMenus", [&] { return frame->InsertMenus(nullptr, nullptr); }, E_NOTIMPL},
        {"RemoveMenus", [&] { return frame->RemoveMenus(nullptr); }, E_NOTIMPL},
        {"TranslateAccelerator", [&] { return frame->TranslateAccelerator(nullptr, 0); }, E_NOTIMPL},
        {"SetClass", [&] { return storage->SetClass(CLSID_NULL); }, S_OK},
        {"CreateStream", [&] { return storage->CreateStream(L"s", STGM_CREATE, 0, 0, &stream); }, E_NOTIMPL},
        {"OpenStream", [&] { return storage->OpenStream(L"s", nullptr, STGM_READ, 0, &stream); }, E_NOTIMPL},
        {"Commit", [&] { return storage->Commit(STGC_DEFAULT); }, E_NOTIMPL},
        {"Stat", [&] { return storage->Stat(nullptr, STATFLAG_NONAME); }, E_NOTIMPL},
        {"Invoke", [&] { return events->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr); }, S_OK},
        {"GetTypeInfoCount", [&] { return events->GetTypeInfoCount(&count); }, E_NOTIMPL},
        {"GetTypeInfo", [&] { return events->GetTypeInfo(0, 0, &typeInfo); }, E_NOTIMPL},
        {"GetIDsOfNames", [&] { return events->GetIDsOfNames(IID_NULL, &name, 1, 0, &dispid); }, E_NOTIMPL},
    };
    for (const Case& c : cases) EXPECT_EQ(c.call(), c.expected) << c.name;

    IOleContainer* container2 = reinterpret_cast<IOleContainer*>(1);
    EXPECT_EQ(client->GetContainer(&container2), E_NOINTERFACE);
    EXPECT_EQ(container2, nullptr);

    HWND answered = nullptr;
    EXPECT_EQ(inPlace->GetWindow(&answered), S_OK);
    EXPECT_EQ(answered, host);
    answered = nullptr;
    EXPECT_EQ(frame->GetWindow(&answered), S_OK);
    EXPECT_EQ(answered, host);

    BOOL noRedraw = TRUE;
    EXPECT_EQ(inPlace->OnInPlaceActivateEx(&noRedraw, 0), S_OK);
    EXPECT_FALSE(noRedraw);

    IOleInPlaceFrame* contextFrame = nullptr;
    IOleInPlaceUIWindow* document = reinterpret_cast<IOleInPlaceUIWindow*>(1);
    RECT position{}, clip{};
    OLEINPLACEFRAMEINFO info{sizeof(info), TRUE, nullptr, reinterpret_cast<HACCEL>(1), 5};
    ASSERT_EQ(inPlace->GetWindowContext(&contextFrame, &document, &position, &clip, &info), S_OK);
    EXPECT_EQ(contextFrame, frame);
    EXPECT_EQ(document, nullptr);
    EXPECT_EQ(position.left, 0);
    EXPECT_EQ(position.top, 0);
    EXPECT_EQ(position.right, 200);
    EXPECT_EQ(position.bottom, 120);
    EXPECT_TRUE(EqualRect(&position, &clip));
    EXPECT_FALSE(info.fMDIApp);
    EXPECT_EQ(info.hwndFrame, host);
    EXPECT_EQ(info.haccel, nullptr);
    EXPECT_EQ(info.cAccelEntries, 0u);
    if (contextFrame != nullptr) contextFrame->Release();

    for (IUnknown* part : {static_cast<IUnknown*>(client), static_cast<IUnknown*>(inPlace),
                           static_cast<IUnknown*>(frame), static_cast<IUnknown*>(storage),
                           static_cast<IUnknown*>(events)})
        part->Release();
    EXPECT_EQ(site->AddRef(), 1u);
    site->Release();
    container.UseHost(nullptr);
    DestroyWindow(host);
}

// Wine has no Flash player: the creation fails, says so once, and leaves no
// window. A class that exists but is no control fails without that call.
TEST(FlashContainer, CreateControlWithoutThePlayerShowsNothing) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 50, 60, 120, 80, nullptr, nullptr, nullptr,
                                 nullptr);
    ASSERT_NE(owner, nullptr);
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    struct Case {
        const char* name;
        CLSID clsid;
        int notRegistered;
    } cases[] = {
        {"Flash player", flash::kClsidShockwaveFlash, 1},
        {"shell link (no OLE control)", CLSID_ShellLink, 0},
    };
    for (const Case& c : cases) {
        CProbeFlashWnd flashWnd(L"C:\\none\\Logo.swf");
        EXPECT_FALSE(flashWnd.CreateControl(c.clsid, WS_EX_LAYERED, WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS, owner,
                                            GetModuleHandleW(nullptr)))
            << c.name;
        EXPECT_EQ(flashWnd.m_notRegistered, c.notRegistered) << c.name;
        EXPECT_EQ(flashWnd.GetHWND(), nullptr) << c.name;
        EXPECT_EQ(flashWnd.GetControl(), nullptr) << c.name;
        EXPECT_EQ(FindWindowW(L"FlashControl", nullptr), nullptr) << c.name;
    }
    OleUninitialize();
    DestroyWindow(owner);
}

TEST(LogoMovie, WrittenFromTheProgramsResourceElseRemoved) {
    const std::wstring path = TempFile(L"flash_test_Logo.swf");
    std::ofstream(path.c_str(), std::ios::binary) << "an older build's movie, longer than the new one";
    EXPECT_TRUE(WriteLogoMovie(GetModuleHandleW(nullptr), path));
    EXPECT_EQ(ReadAll(path), std::string(kMovieBytes));
    EXPECT_FALSE(Exists(path + L".new"));

    // A build without the movie: the old one goes, nothing takes its place.
    EXPECT_FALSE(WriteLogoMovie(GetModuleHandleW(L"kernel32"), path));
    EXPECT_FALSE(Exists(path));
    EXPECT_FALSE(Exists(path + L".new"));
}

// The stand-in desktop: a process of its own with "Progman",
// "SHELLDLL_DefView" and a list view holding the item "Doln Game 梦幻".
class StandInDesktop {
public:
    StandInDesktop() : m_child(BinFolder() + L"\\desktop_child.exe") {
        Clean();
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + m_child + L"\"";
        m_started = CreateProcessW(m_child.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &m_process);
    }
    ~StandInDesktop() {
        std::ofstream((m_child + L".release").c_str()) << "go";
        if (m_started) {
            WaitForSingleObject(m_process.hProcess, kWaitMs);
            CloseHandle(m_process.hThread);
            CloseHandle(m_process.hProcess);
        }
        Clean();
    }
    StandInDesktop(const StandInDesktop&) = delete;
    StandInDesktop& operator=(const StandInDesktop&) = delete;

    // The item's icon area once the desktop is up; empty when it never came.
    ui::PixelRect IconArea() const {
        const DWORD start = GetTickCount();
        while (m_started && !Exists(m_child + L".expected") && GetTickCount() - start < kWaitMs) Sleep(50);
        std::istringstream expected(ReadAll(m_child + L".expected"));
        ui::PixelRect bounds;
        int width = 0, height = 0;
        expected >> bounds.left >> bounds.top >> bounds.right >> bounds.bottom >> width >> height;
        if (bounds.Width() <= 0) return {};
        return desktop_icon::IconAreaAboveLabel(bounds, width, height);
    }

private:
    void Clean() {
        for (const wchar_t* suffix : {L".expected", L".release"}) DeleteFileW((m_child + suffix).c_str());
    }

    std::wstring m_child;
    PROCESS_INFORMATION m_process{};
    bool m_started = false;
};

// What the logo window did, seen from a timer of the modal loop's thread:
// once the window is first placed, the item moves twice and then goes, each
// step a few of the window's own ticks after the last.
struct LogoWatch {
    CFlashBK* logo = nullptr;
    HWND list = nullptr;
    int phase = 0;
    int ticks = 0;
    DWORD phaseAt = 0;
    RECT seen[3]{};
    DWORD exStyle = 0;
};
LogoWatch* g_watch = nullptr;

constexpr UINT kWatchMs = 100;
constexpr DWORD kStepMs = 700;
constexpr int kWatchTicksMax = 150;
constexpr int kMoveX = 200, kMoveY = 150, kDeltaX = 40, kDeltaY = 30;

void CALLBACK WatchLogo(HWND, UINT, UINT_PTR, DWORD) {
    LogoWatch& w = *g_watch;
    const HWND hwnd = w.logo->m_hWnd;
    if (++w.ticks > kWatchTicksMax) {
        w.logo->EndDialog(99);  // it never ended by itself
        return;
    }
    RECT now{};
    GetWindowRect(hwnd, &now);
    if (w.phase == 0 && now.right <= now.left) return;  // not placed yet
    if (w.phase > 0 && GetTickCount() - w.phaseAt < kStepMs) return;
    switch (w.phase) {
        case 0:
            w.exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
            SendMessageW(w.list, LVM_SETITEMPOSITION, 1, MAKELPARAM(kMoveX, kMoveY));
            break;
        case 1:
            SendMessageW(w.list, LVM_SETITEMPOSITION, 1, MAKELPARAM(kMoveX + kDeltaX, kMoveY + kDeltaY));
            break;
        case 2:
            SendMessageW(w.list, LVM_DELETEITEM, 1, 0);
            break;
        default:
            return;
    }
    w.seen[w.phase++] = now;
    w.phaseAt = GetTickCount();
}

TEST(LogoWindow, FollowsTheIconUntilItGoesAndHoldsItsMutex) {
    StandInDesktop desktop;
    const ui::PixelRect area = desktop.IconArea();
    ASSERT_GT(area.Width(), 0);
    const HWND list = FindDesktopListView();
    ASSERT_NE(list, nullptr);

    const std::wstring movie = BinFolder() + L"\\Logo.swf";
    std::ofstream(movie.c_str(), std::ios::binary) << "stale";
    CFlashBK logo;
    EXPECT_EQ(logo.MoviePath(), movie);
    EXPECT_EQ(ReadAll(movie), std::string(kMovieBytes));

    LogoWatch watch{&logo, list};
    g_watch = &watch;
    const UINT_PTR timer = SetTimer(nullptr, 0, kWatchMs, &WatchLogo);
    const INT_PTR result = logo.DoModal();
    const DWORD endedAt = GetTickCount();
    KillTimer(nullptr, timer);
    g_watch = nullptr;

    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(logo.OtherLogoRuns());
    EXPECT_EQ(logo.FlashWnd(), nullptr);  // the cancel let go of the player
    // Ended by the item's going, on one of the next ticks (hiding a window
    // takes Wine here up to 2 s), not by the watch.
    ASSERT_EQ(watch.phase, 3);
    EXPECT_LT(endedAt - watch.phaseAt, 4000u);

    EXPECT_EQ(watch.exStyle & (WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_APPWINDOW),
              static_cast<DWORD>(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT));
    const ui::PixelRect expected = flash::LogoOverIcon(area);
    const RECT& first = watch.seen[0];
    EXPECT_EQ((ui::PixelRect{first.left, first.top, first.right, first.bottom}), expected);
    EXPECT_GT(expected.Width(), 0);
    // Moved with the icon, same size.
    const RECT& before = watch.seen[1];
    const RECT& after = watch.seen[2];
    EXPECT_EQ(after.left - before.left, kDeltaX);
    EXPECT_EQ(after.top - before.top, kDeltaY);
    EXPECT_EQ(after.right - after.left, expected.Width());
    EXPECT_EQ(before.bottom - before.top, expected.Height());

    // The mutex named after the build stays held by whoever took it; a
    // second logo window meanwhile ends at once.
    fw::ScopedKernelHandle held = logo.TakeInstanceMutex();
    ASSERT_TRUE(held.IsValid());
    CFlashBK second;
    EXPECT_EQ(second.DoModal(), CFlashBK::kOtherLogoRuns);
    EXPECT_TRUE(second.OtherLogoRuns());
    EXPECT_FALSE(second.TakeInstanceMutex().IsValid());
    held.Reset();
    fw::ScopedKernelHandle free(OpenMutexW(SYNCHRONIZE, FALSE, kMutexName));
    EXPECT_FALSE(free.IsValid());  // nobody holds it any more
    DeleteFileW(movie.c_str());
}

}  // namespace
