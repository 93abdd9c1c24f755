#pragma once

// CSettingDlg: the hotkey settings dialog. Each of its three edits captures
// the key pressed in it; OK stores the keys in the settings and asks every
// running client of this build to reload them.

#include <array>

#include "fw/handles_win.h"
#include "tools/hotkey.h"
#include "ui/btn_ex_win.h"
#include "ui/dlg_ex_win.h"
#include "ui/static_ex_win.h"

class CSettingDlg : public CDlgEx {
public:
    explicit CSettingDlg(CWnd* parent = nullptr);
    ~CSettingDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    // The text shown when two keys are the same.
    static constexpr const wchar_t* kConflictText = L"热键冲突，请重新设置不同热键值";

    CBtnEx m_btnOK;
    CBtnEx m_btnCancel;
    std::array<CStaticEx, 6> m_statics;
    // The last key captured in each edit, in the order boss, window switch,
    // sound; at first the stored ones.
    std::array<int, 3> m_capturedVk{};

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

    DECLARE_MESSAGE_MAP()
    BOOL OnEraseBkgnd(HDC dc);

private:
    void PaintGroupFrames(HDC dc);

    fw::ScopedBitmap m_bmpClose;
    fw::ScopedBitmap m_bmpButton;
    fw::ScopedFont m_groupFont;
};
