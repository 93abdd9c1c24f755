#include "tools/setting_dlg_win.h"

#include "app/ctrl_block.h"
#include "res/resource.h"
#include "tools/hotkey_rules.h"
#include "tools/hotkey_store.h"
#include "tools/hotkey_store_win.h"
#include "tools/key_state_win.h"
#include "ui/image_loader_win.h"
#include "ui/message_box_win.h"

BEGIN_MESSAGE_MAP(CSettingDlg, CDlgEx)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

namespace {

struct EditSlot {
    int id;
    HotkeyEdit edit;
    const SettingKey* key;
};
constexpr EditSlot kEdits[] = {
    {IDC_BOSS_KEY, HotkeyEdit::Boss, &settings::kShortKey},
    {IDC_SWITCH_KEY, HotkeyEdit::WindowSwitch, &settings::kAltWndKey},
    {IDC_SOUND_KEY, HotkeyEdit::Sound, &settings::kSndKey},
};

constexpr int kStaticIds[] = {IDC_BOSS_LABEL,   IDC_BOSS_EXAMPLE,  IDC_SWITCH_LABEL,
                              IDC_SWITCH_EXAMPLE, IDC_SOUND_LABEL, IDC_SOUND_EXAMPLE};
constexpr COLORREF kStaticColour = 0x999999;

// The group frames the dialog draws in place of the template's hidden group
// boxes: open at the top, where the label stands.
struct GroupFrame {
    int top, bottom, end;
    POINT label;
    const wchar_t* text;
};
constexpr GroupFrame kGroups[] = {
    {50, 120, 80, {20, 43}, L"老板键设置"},
    {153, 223, 105, {20, 146}, L"窗口切换键设置"},
    {256, 326, 80, {20, 249}, L"声音键设置"},
};
constexpr int kFrameLeft = 12, kFrameRight = 297, kFrameGapStart = 18;

// The frames are fixed in pixels while the template counts in dialog units,
// which grow with the system's dialog font: the dialog places its controls
// in pixels, inside the frames, so that neither depends on that font.
constexpr SIZE kDialogSize{310, 376};
struct Placement {
    int id;
    RECT rect;  // left, top, right, bottom; the rows repeat 103 pixels lower per group
};
constexpr Placement kPlacements[] = {
    {IDC_BOSS_LABEL, {28, 69, 138, 87}},     {IDC_BOSS_KEY, {140, 66, 285, 88}},
    {IDC_BOSS_EXAMPLE, {140, 94, 285, 112}},
    {IDC_SWITCH_LABEL, {28, 172, 138, 190}}, {IDC_SWITCH_KEY, {140, 169, 285, 191}},
    {IDC_SWITCH_EXAMPLE, {140, 197, 285, 215}},
    {IDC_SOUND_LABEL, {28, 275, 138, 293}},  {IDC_SOUND_KEY, {140, 272, 285, 294}},
    {IDC_SOUND_EXAMPLE, {140, 300, 285, 318}},
    {IDOK, {84, 341, 141, 364}},             {IDCANCEL, {169, 341, 226, 364}},
};

std::wstring ItemText(HWND dialog, int id) {
    const HWND item = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthW(item);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(item, text.data(), length + 1)));
    return text;
}

}  // namespace

CSettingDlg::CSettingDlg(CWnd* parent) : CDlgEx(IDD_SETTINGS, parent) {}

CSettingDlg::~CSettingDlg() {
    // The buttons paint from the strip: the window goes first.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) DestroyWindow();
}

BOOL CSettingDlg::OnInitDialog() {
    CDlgEx::OnInitDialog();
    SetWindowPos(nullptr, 0, 0, kDialogSize.cx, kDialogSize.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (const Placement& place : kPlacements) {
        const RECT& r = place.rect;
        ::MoveWindow(GetDlgItem(place.id), r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    }
    m_nCaptionHeight = 30;
    m_nBorder = 4;
    m_nBtnRight = 0;
    m_nBtnTop = 1;
    const HMODULE module = fw::ResourceInstance();
    m_bmpClose.Reset(LoadSkinImage(module, IDP_CLOSE_SMALL));
    SetSkin(m_bmpClose.Get(), LoadSkinImage(module, IDP_FRAME_LIGHT), FALSE, TRUE);
    SetTitle(L"设置");

    m_bmpButton.Reset(LoadSkinImage(module, IDP_BUTTON));
    for (CBtnEx* button : {&m_btnOK, &m_btnCancel}) {
        button->SubclassDlgItem(button == &m_btnOK ? IDOK : IDCANCEL, this);
        button->SetImage(m_bmpButton, FALSE);
    }

    const CSettings settings = HotkeySettings();
    for (size_t i = 0; i < std::size(kEdits); ++i) {
        const Hotkey key = ReadHotkey(settings, *kEdits[i].key);
        m_capturedVk[i] = key.vk;
        SetDlgItemTextW(m_hWnd, kEdits[i].id, FormatHotkey(key.vk, key.mod).c_str());
    }
    for (size_t i = 0; i < m_statics.size(); ++i) {
        m_statics[i].SubclassDlgItem(kStaticIds[i], this);
        m_statics[i].m_clrText = kStaticColour;
    }
    return TRUE;
}

BOOL CSettingDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return CDlgEx::PreTranslateMessage(msg);
    const int vk = static_cast<int>(msg->wParam);
    if (!IsExaminedKeyDown(msg->message == WM_SYSKEYDOWN, vk)) return CDlgEx::PreTranslateMessage(msg);
    if (IsSwallowedKey(vk)) return TRUE;

    const HWND focus = ::GetFocus();
    size_t slot = std::size(kEdits);
    for (size_t i = 0; i < std::size(kEdits); ++i) {
        if (focus != nullptr && focus == GetDlgItem(kEdits[i].id)) slot = i;
    }
    if (slot == std::size(kEdits)) return CDlgEx::PreTranslateMessage(msg);

    const KeyCapture capture = CaptureKey(kEdits[slot].edit, vk, CThreadKeyState());
    if (capture.captured) m_capturedVk[slot] = *capture.captured;
    ::SetWindowTextW(focus, capture.text.c_str());
    ::SendMessageW(focus, EM_SETSEL, capture.text.size(), -1);
    ::SendMessageW(focus, EM_SCROLLCARET, 0, 0);
    return TRUE;
}

void CSettingDlg::OnOK() {
    std::array<std::wstring, 3> texts;
    for (size_t i = 0; i < texts.size(); ++i) texts[i] = ItemText(m_hWnd, kEdits[i].id);
    if (HotkeysConflict(texts)) {
        CMessageBox::Show(MB_OK, TheCtrlBlock().TitleName(), kConflictText, m_hWnd);
        return;
    }
    CSettings settings = HotkeySettings();
    for (size_t i = 0; i < texts.size(); ++i) {
        if (const auto value = HotkeyValueToSave(texts[i], m_capturedVk[i])) settings.Write(*kEdits[i].key, *value);
    }
    BroadcastHotkeyReload();
    EndDialog(IDOK);
}

BOOL CSettingDlg::OnEraseBkgnd(HDC dc) {
    if (!CDlgEx::OnEraseBkgnd(dc)) return FALSE;
    PaintGroupFrames(dc);
    return TRUE;
}

void CSettingDlg::PaintGroupFrames(HDC dc) {
    if (!m_groupFont.IsValid()) {
        LOGFONTW font{};
        GetObjectW(GetFont() != nullptr ? GetFont() : GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
        font.lfHeight = -12;
        m_groupFont.Reset(CreateFontIndirectW(&font));
    }
    const fw::ScopedHandle<fw::GdiObjectTraits<HPEN>> pen(CreatePen(PS_SOLID, 2, RGB(255, 255, 255)));
    const fw::ScopedSelectObject selectPen(dc, pen.Get());
    const fw::ScopedSelectObject selectFont(dc, m_groupFont.Get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, RGB(255, 255, 255));
    for (const GroupFrame& group : kGroups) {
        const POINT line[] = {{kFrameGapStart, group.top}, {kFrameLeft, group.top},   {kFrameLeft, group.bottom},
                              {kFrameRight, group.bottom}, {kFrameRight, group.top}, {group.end, group.top}};
        Polyline(dc, line, static_cast<int>(std::size(line)));
        TextOutW(dc, group.label.x, group.label.y, group.text, static_cast<int>(wcslen(group.text)));
    }
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}
