#include "fw/dialog_win.h"

#include "fw/win_app_win.h"

namespace {

// The dialog being created on this thread: the dialog manager gives the
// creation parameter only with WM_INITDIALOG, and WM_SETFONT comes first.
thread_local CDialog* t_creating = nullptr;

// Carries EndDialog from another thread to the dialog's own.
UINT EndDialogMessage() {
    static const UINT message = RegisterWindowMessageW(L"CorvaneEndDialog");
    return message;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnIdOk)
    ON_COMMAND(IDCANCEL, OnIdCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT idTemplate, CWnd* parent) : m_nIDTemplate(idTemplate), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    // Destroy while this class's part still exists: the messages of
    // destruction must not reach a derived part that is already gone.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) DestroyWindow();
}

INT_PTR CALLBACK CDialog::DlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (CWnd::FromHandlePermanent(hwnd) != nullptr) return FALSE;  // already ours: defaults only
    CDialog* dialog = t_creating;
    if (dialog == nullptr && msg == WM_INITDIALOG) dialog = reinterpret_cast<CDialog*>(lp);
    if (dialog == nullptr) return FALSE;
    t_creating = nullptr;
    if (!dialog->AttachBySubclass(hwnd)) return FALSE;
    // From here on every message comes through WndProc; this one is already
    // inside the dialog manager, so it is dispatched by hand.
    if (msg == WM_INITDIALOG) return static_cast<INT_PTR>(CWnd::WndProc(hwnd, msg, wp, lp));
    return FALSE;
}

HWND CDialog::CreateFromTemplate(HWND parent) {
    m_threadId = GetCurrentThreadId();
    t_creating = this;
    HWND hwnd = CreateDialogParamW(fw::ResourceInstance(), MAKEINTRESOURCEW(m_nIDTemplate), parent,
                                   &CDialog::DlgProc, reinterpret_cast<LPARAM>(this));
    t_creating = nullptr;
    return hwnd != nullptr && m_hWnd == hwnd ? hwnd : nullptr;
}

BOOL CDialog::Create(UINT idTemplate, CWnd* parent) {
    if (m_hWnd != nullptr) return FALSE;
    if (idTemplate != 0) m_nIDTemplate = idTemplate;
    if (parent != nullptr) m_pParentWnd = parent;
    m_modal = false;
    return CreateFromTemplate(m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr) != nullptr;
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd != nullptr) return -1;
    HWND parent = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : m_ownerWindow;
    if (parent == nullptr) {
        // The default owner: the application's main window, when it is up.
        CWinApp* app = AfxGetApp();
        if (app != nullptr && app->m_pMainWnd != nullptr && ::IsWindow(app->m_pMainWnd->m_hWnd))
            parent = app->m_pMainWnd->m_hWnd;
    }
    m_modal = true;
    m_endModal = false;
    m_result = -1;
    const bool disableParent = parent != nullptr && ::IsWindowEnabled(parent);
    if (disableParent) ::EnableWindow(parent, FALSE);
    if (CreateFromTemplate(parent) == nullptr) {
        if (disableParent) ::EnableWindow(parent, TRUE);
        m_modal = false;
        return -1;
    }
    if (!m_endModal && !IsWindowVisible()) ShowWindow(SW_SHOWNORMAL);

    MSG msg;
    while (!m_endModal) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // WM_QUIT ends the dialog; its work (a download, a worker) stops
            // first, and the quit is put back for the loop outside.
            OnQuitModal();
            if (m_result == -1) m_result = IDCANCEL;
            PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : -1);
            break;
        }
        if (fw::PreTranslate(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // Give activation back before the dialog goes, so that it does not pass
    // to another program's window.
    if (disableParent) ::EnableWindow(parent, TRUE);
    if (parent != nullptr && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(parent);
    if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
    m_modal = false;
    return m_result;
}

void CDialog::EndDialog(int result) {
    if (m_threadId != 0 && GetCurrentThreadId() != m_threadId) {
        m_result = result;
        m_endModal = true;
        // Wakes the modal loop, which is waiting in GetMessage on its thread;
        // a modeless dialog is hidden by its own thread.
        if (m_modal) ::PostThreadMessageW(m_threadId, WM_NULL, 0, 0);
        if (m_hWnd != nullptr) ::PostMessageW(m_hWnd, EndDialogMessage(), static_cast<WPARAM>(result), 0);
        return;
    }
    EndDialogHere(result);
}

void CDialog::EndDialogHere(int result) {
    m_result = result;
    m_endModal = true;
    if (m_hWnd != nullptr) ::EndDialog(m_hWnd, result);  // hides a modeless dialog
    if (m_modal) ::PostMessageW(nullptr, WM_NULL, 0, 0);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    if (m_hWnd == nullptr) return FALSE;
    // Tab, arrows, Enter and Escape as in any dialog; only for this dialog's
    // own controls (a child dialog's parent would otherwise take them).
    HWND top = msg->hwnd;
    if (top != m_hWnd && !::IsChild(m_hWnd, top)) return FALSE;
    return ::IsDialogMessageW(m_hWnd, msg);
}

BOOL CDialog::OnInitDialog() { return TRUE; }

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) return OnInitDialog();
    if (msg == EndDialogMessage()) {
        EndDialogHere(static_cast<int>(wp));
        return 0;
    }
    return CWnd::WindowProc(msg, wp, lp);
}
