#pragma once

// CDialog: a dialog from a resource template, modal (DoModal, with the
// framework's own modal loop so that PreTranslateMessage reaches every
// window) or modeless (Create).

#include <atomic>

#include "fw/wnd_win.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT idTemplate = 0, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally and returns the value given to EndDialog, or -1
    // when the dialog could not be created.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless; it stays hidden unless its template is visible.
    BOOL Create(UINT idTemplate, CWnd* parent = nullptr);
    // Safe from any thread: another thread's call is carried to the
    // dialog's own thread, whose modal loop then ends.
    void EndDialog(int result);
    // An owner that no object of ours stands for, such as a window of
    // another process; DoModal uses it when no parent object was given.
    void SetOwnerWindow(HWND owner) { m_ownerWindow = owner; }

    BOOL PreTranslateMessage(MSG* msg) override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // The modal loop met WM_QUIT and the dialog ends with IDCANCEL. Not
    // OnCancel: a frame's cancel may ask the user or start over, after its
    // exit has already run. A dialog whose work must not outlive it (a
    // worker writing a file) stops that work here.
    virtual void OnQuitModal() {}

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    DECLARE_MESSAGE_MAP()
    void OnIdOk() { OnOK(); }
    void OnIdCancel() { OnCancel(); }

private:
    static INT_PTR CALLBACK DlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND CreateFromTemplate(HWND parent);

    // Ends the dialog on its own thread (the window manager's EndDialog may
    // only run there).
    void EndDialogHere(int result);

    bool m_modal = false;
    std::atomic<bool> m_endModal{false};
    std::atomic<int> m_result{-1};
    DWORD m_threadId = 0;  // the thread that created the window
    HWND m_ownerWindow = nullptr;
};
