#pragma once

#include <string>

#include "fw/dialog_win.h"

// "添加收藏": asks for the favourite's name and, on "收藏", writes the game
// page's address as a ".url" file into the user's favourites. A name that
// cannot be a file name writes nothing.
class CFavDlg : public CDialog {
public:
    CFavDlg(const std::wstring& defaultName, const std::wstring& url, CWnd* parent);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    std::wstring m_defaultName;
    std::wstring m_url;
};
