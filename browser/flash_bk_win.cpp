#include "browser/flash_bk_win.h"

#include <ole2.h>

#include "app/ctrl_block.h"
#include "app/desktop_icon_lookup_win.h"
#include "browser/flash_rules.h"
#include "fw/win_app_win.h"
#include "res/resource.h"

namespace {

constexpr wchar_t kMovieName[] = L"Logo.swf";
constexpr wchar_t kMovieType[] = L"FLASH";
constexpr WORD kMovieId = 193;
constexpr COLORREF kColourKey = RGB(255, 0, 255);
constexpr DWORD kFlashHostStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS;

std::wstring ExecutableFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

bool WriteWholeFile(const std::wstring& path, const void* data, DWORD size) {
    fw::ScopedKernelHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return false;
    DWORD written = 0;
    return WriteFile(file.Get(), data, size, &written, nullptr) && written == size;
}

}  // namespace

bool WriteLogoMovie(HMODULE module, const std::wstring& path) {
    DeleteFileW(path.c_str());
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(kMovieId), kMovieType);
    if (found == nullptr) return false;
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) return false;
    // Written aside and renamed, so that no half movie is ever played.
    const std::wstring temporary = path + L".new";
    if (!WriteWholeFile(temporary, data, size) ||
        !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

BEGIN_MESSAGE_MAP(CFlashBK, CDialog)
    ON_WM_PAINT()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CFlashBK::CFlashBK(CWnd* parent) : CDialog(IDD_EMPTY_POPUP, parent), m_strMoviePath(ExecutableFolder() + kMovieName) {
    WriteLogoMovie(fw::ResourceInstance(), m_strMoviePath);
    m_oleInit = OleInitialize(nullptr);
}

CFlashBK::~CFlashBK() {
    // The player goes before its window and before OLE is undone.
    m_pFlashWnd.reset();
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) DestroyWindow();
    if (SUCCEEDED(m_oleInit)) OleUninitialize();
}

BOOL CFlashBK::OnInitDialog() {
    CDialog::OnInitDialog();
    ModifyStyleEx(WS_EX_APPWINDOW, WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT);
    ModifyStyleEx(0, WS_EX_LAYERED);
    // The dialog itself paints only the key colour: nothing of it is seen.
    SetLayeredWindowAttributes(m_hWnd, kColourKey, 0, LWA_COLORKEY);
    SetWindowPos(HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOACTIVATE);

    m_pFlashWnd = std::make_unique<CFlashWnd>(m_strMoviePath);
    m_pFlashWnd->CreateControl(flash::kClsidShockwaveFlash, WS_EX_LAYERED, kFlashHostStyle, m_hWnd,
                               fw::ResourceInstance());
    SetTimer(kFollowTimer, kFollowMs);

    SetLastError(ERROR_SUCCESS);
    HANDLE mutex = CreateMutexW(nullptr, TRUE, TheCtrlBlock().ShortName().c_str());
    const bool existed = mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    m_mutex.Reset(mutex);
    if (existed) {
        // Not ours to keep: the other logo window holds it.
        m_mutex.Reset();
        m_otherLogoRuns = true;
        EndDialog(kOtherLogoRuns);
    }
    return TRUE;
}

void CFlashBK::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    RECT client{};
    GetClientRect(&client);
    fw::ScopedBrush key(CreateSolidBrush(kColourKey));
    FillRect(dc, &client, key.Get());
    EndPaint(m_hWnd, &paint);
    Default();
}

void CFlashBK::OnWindowPosChanged(WINDOWPOS*) {
    Default();
    if (!m_pFlashWnd || m_pFlashWnd->GetHWND() == nullptr) return;
    RECT window{};
    GetWindowRect(&window);
    ::SetWindowPos(m_pFlashWnd->GetHWND(), nullptr, window.left, window.top, window.right - window.left,
                   window.bottom - window.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CFlashBK::OnTimer(UINT_PTR id) {
    Default();
    if (id != kFollowTimer) return;
    KillTimer(kFollowTimer);
    // The lookup reads the desktop's item records in the layout of the
    // desktop's own process, which is what the WOW64 question decides.
    RECT icon{};
    if (!FindDesktopIcon(TheCtrlBlock().DisplayName(), icon)) {
        OnCancel();
        return;
    }
    const ui::PixelRect logo = flash::LogoOverIcon({icon.left, icon.top, icon.right, icon.bottom});
    m_nSide = logo.Width();
    SetWindowPos(HWND_BOTTOM, logo.left, logo.top, m_nSide, m_nSide, SWP_NOACTIVATE);
    SetTimer(kFollowTimer, kFollowMs);
}

void CFlashBK::OnCancel() {
    m_pFlashWnd.reset();
    CDialog::OnCancel();
}
