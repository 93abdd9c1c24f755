#pragma once

// CGameWnd: one game page, a borderless browser popup owned by the main
// frame, which keeps it over its page area. The page loads the game's
// address once, shows itself over the frame whenever a navigation completes
// while the frame is visible, routes Enter, Escape, F5 and Ctrl+D, and hands
// every other message to the frame's keyboard handling.

#include <string>

#include "fw/dhtml_dialog_win.h"

class CGameWnd : public CDHtmlDialog {
public:
    // Copies the pending game-page address.
    CGameWnd();
    explicit CGameWnd(std::wstring address);

    BOOL PreTranslateMessage(MSG* msg) override;

    const std::wstring& Address() const { return m_strUrl; }

    // The document title; the page has no use for it.
    virtual void OnTitleChange(const std::wstring& title);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    void OnNavigateComplete(IDispatch* frame, const std::wstring& url) override;

    DECLARE_EVENTSINK_MAP()
    void OnBeforeNavigate2Page(IDispatch* frame, VARIANT* url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                               VARIANT* headers, VARIANT_BOOL* cancel);

private:
    // Gives the game's Flash window the focus, if the page has one.
    void FocusFlashWindow();

    std::wstring m_strUrl;
};

// The window reached from `top` through children of the given classes, in
// order (none when a level is missing).
HWND FindChildChain(HWND top, const wchar_t* const* classes, size_t count);
// A page's document window ("Internet Explorer_Server"), which the frame
// repaints after a restore; none while the page has no document.
HWND FindDocumentWindow(HWND page);
