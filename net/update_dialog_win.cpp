#include "net/update_dialog_win.h"

#include "res/resource.h"
#include "ui/image_loader_win.h"

BEGIN_MESSAGE_MAP(CPrgsDlg, CDlgEx)
    ON_MESSAGE(CPrgsDlg::kMsgProgress, OnDownloadProgress)
    ON_MESSAGE(CPrgsDlg::kMsgDone, OnDownloadDone)
END_MESSAGE_MAP()

namespace {

HBITMAP Png(UINT id) { return LoadSkinImage(fw::ResourceInstance(), id); }

}  // namespace

CPrgsDlg::CPrgsDlg(CWnd* parent) : CDlgEx(IDD_UPDATE, parent) {}

CPrgsDlg::~CPrgsDlg() {
    // The workers post to the window: they stop before it goes.
    m_download.Cancel();
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) DestroyWindow();
}

BOOL CPrgsDlg::OnInitDialog() {
    CDlgEx::OnInitDialog();
    m_nCaptionHeight = 30;
    m_nBorder = 4;
    m_nBtnRight = 0;
    m_nBtnTop = 0;
    m_nBtnGap = 0;
    // Topmost before the close button brings its tooltip: Wine puts an owner
    // made topmost below its topmost owned popups, without the topmost style.
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetTitle(L"版本更新中...");
    m_bmpClose.Reset(Png(IDP_CLOSE));
    SetSkin(m_bmpClose.Get(), Png(IDP_FRAME_LIGHT), FALSE, TRUE);

    // Centred on the desktop.
    RECT window{};
    GetWindowRect(&window);
    RECT desktop{};
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    const int width = window.right - window.left, height = window.bottom - window.top;
    SetWindowPos(nullptr, desktop.left + (desktop.right - desktop.left - width) / 2,
                 desktop.top + (desktop.bottom - desktop.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    m_progress.SubclassDlgItem(IDC_PROGRESS, this);
    m_progress.SetImages(Png(IDP_PROGRESS_TRACK), Png(IDP_PROGRESS_BAR));
    m_progress.SetRange32(0, 100);
    m_progress.SetPos(0);

    const HWND dialog = m_hWnd;
    const CUpdateJob job{m_strAddress, m_strDestination, m_strUpdateDomains, m_nSizeLimit};
    m_running = m_download.Start(
        job, [dialog](int percent) { ::PostMessageW(dialog, kMsgProgress, static_cast<WPARAM>(percent), 0); },
        [dialog](int result) { ::PostMessageW(dialog, kMsgDone, static_cast<WPARAM>(result), 0); });
    if (!m_running) EndDialog(IDCANCEL);
    return TRUE;
}

LRESULT CPrgsDlg::OnDownloadProgress(WPARAM wp, LPARAM) {
    m_progress.SetPos(static_cast<int>(wp));
    return 0;
}

LRESULT CPrgsDlg::OnDownloadDone(WPARAM wp, LPARAM) {
    if (!m_running) return 0;
    // The watcher has posted its last word; collect both threads.
    m_download.Wait();
    m_running = false;
    EndDialog(wp == IDOK ? IDOK : IDCANCEL);
    return 0;
}

void CPrgsDlg::OnCancel() {
    // Signals the worker and closes its request so a blocked read returns,
    // then waits: no thread is killed, and the partial file is closed.
    m_download.Cancel();
    m_running = false;
    CDlgEx::OnCancel();
}

void CPrgsDlg::OnQuitModal() {
    // The process is leaving: the download must not go on writing after the
    // dialog has gone.
    m_download.Cancel();
    m_running = false;
}
