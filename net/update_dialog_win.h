#pragma once

// CPrgsDlg: the update dialog. It downloads one file over HTTP on worker
// threads and shows the progress on the image progress bar; the close button
// (or Escape) cancels. DoModal answers IDOK when the file arrived whole and
// IDCANCEL on failure or cancel; a cancelled download leaves the part it
// received. Set the address and destination before each DoModal; the owner
// sets the build's update domains.

#include <cstdint>
#include <string>

#include "fw/handles_win.h"
#include "net/update_download_win.h"
#include "ui/dlg_ex_win.h"
#include "ui/img_progress_win.h"

class CPrgsDlg : public CDlgEx {
public:
    explicit CPrgsDlg(CWnd* parent = nullptr);
    ~CPrgsDlg() override;

    // The workers post these to the dialog: the interface thread must never
    // wait for a worker's message while Cancel waits for the worker.
    static constexpr UINT kMsgProgress = WM_USER + 40;  // wParam: percent
    static constexpr UINT kMsgDone = WM_USER + 41;      // wParam: IDOK or IDCANCEL

    CImgProgress m_progress;
    std::wstring m_strAddress;      // "http://" + host[:port] + "/" + object, at most 512 characters
    std::wstring m_strDestination;  // where the file is written
    std::wstring m_strUpdateDomains;  // the build's update domains, ";"-separated
    uint64_t m_nSizeLimit = UINT64_MAX;  // a file announced longer is refused unread

protected:
    BOOL OnInitDialog() override;
    // Enter never ends the dialog.
    void OnOK() override {}
    void OnCancel() override;
    void OnQuitModal() override;

    DECLARE_MESSAGE_MAP()
    LRESULT OnDownloadProgress(WPARAM wp, LPARAM lp);
    LRESULT OnDownloadDone(WPARAM wp, LPARAM lp);

private:
    fw::ScopedBitmap m_bmpClose;
    CUpdateDownload m_download;
    bool m_running = false;
};
