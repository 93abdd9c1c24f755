#pragma once

// CFlashBK: the logo window. It plays the logo movie over the game's desktop
// shortcut icon, under every other window, so that the icon looks animated,
// and follows the icon until it is gone. One logo window per build: a second
// one finds the first's mutex and ends at once.

#include <windows.h>

#include <memory>
#include <string>

#include "browser/flash_wnd_win.h"
#include "fw/dialog_win.h"
#include "fw/handles_win.h"

// Replaces `path` with the movie in resource "FLASH" 193 of `module`. The old
// file goes in any case, so that a build without the movie shows none rather
// than an earlier build's; false when there is no movie or it could not be
// written.
bool WriteLogoMovie(HMODULE module, const std::wstring& path);

class CFlashBK : public CDialog {
public:
    // Writes the movie beside the executable and initialises OLE for the
    // window's lifetime.
    explicit CFlashBK(CWnd* parent = nullptr);
    ~CFlashBK() override;

    // The end that means another logo window of this build runs.
    static constexpr int kOtherLogoRuns = 2;
    static constexpr UINT_PTR kFollowTimer = 1;
    static constexpr UINT kFollowMs = 300;

    // OnInitDialog found the mutex held elsewhere. (The dialog's result
    // cannot tell: an icon that is gone ends it with IDCANCEL, also 2.)
    bool OtherLogoRuns() const { return m_otherLogoRuns; }
    // The mutex outlives the window: whoever runs it keeps it until the
    // process ends, so that no second logo starts while this client runs.
    [[nodiscard]] fw::ScopedKernelHandle TakeInstanceMutex() { return std::move(m_mutex); }

    const std::wstring& MoviePath() const { return m_strMoviePath; }
    CFlashWnd* FlashWnd() const { return m_pFlashWnd.get(); }

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()
    void OnPaint();
    void OnWindowPosChanged(WINDOWPOS* position);
    void OnTimer(UINT_PTR id);

private:
    std::unique_ptr<CFlashWnd> m_pFlashWnd;
    int m_nSide = 0;
    std::wstring m_strMoviePath;
    HRESULT m_oleInit = E_FAIL;
    fw::ScopedKernelHandle m_mutex;
    bool m_otherLogoRuns = false;
};
