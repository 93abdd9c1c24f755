#include "browser/dhtm_dlg_ex_win.h"

#include <string_view>

#include "browser/my_browser_site_win.h"
#include "login/bridge_command.h"

namespace page_button {

bool IsDisabled(IDispatch* element) {
    fw::ScopedVariant value;
    if (FAILED(fw::CallMethod(element, L"getAttribute", {L"disabled"}, value.Receive()))) return false;
    return value.Get().vt == VT_BOOL && value.Get().boolVal != VARIANT_FALSE;
}

void ShowFrame(IDispatch* element, int frame) {
    fw::ComPtr<IDispatch> style = fw::GetDispatchProperty(element, L"style");
    if (!style) return;
    VARIANT x;
    VariantInit(&x);
    x.vt = VT_I4;
    x.lVal = -frame * fw::GetLongProperty(element, L"offsetWidth");
    fw::PutProperty(style.Get(), L"backgroundPositionX", x);
}

void Click(IDispatch* element) { fw::CallMethod(element, L"click", {}); }

RECT OffsetRect(IDispatch* element) {
    RECT r{};
    r.left = fw::GetLongProperty(element, L"offsetLeft");
    r.top = fw::GetLongProperty(element, L"offsetTop");
    r.right = r.left + fw::GetLongProperty(element, L"offsetWidth");
    r.bottom = r.top + fw::GetLongProperty(element, L"offsetHeight");
    return r;
}

}  // namespace page_button

namespace {

constexpr int kFrameNormal = 0;
constexpr int kFrameHover = 1;
constexpr int kFramePressed = 2;

}  // namespace

BEGIN_EVENTSINK_MAP(CDHtmDlgEx, CDHtmlDialog)
    ON_NAVIGATEERROR(kBrowserId, OnNavigateErrorEvent)
    ON_BEFORENAVIGATE2(kBrowserId, OnCommandFilter)
END_EVENTSINK_MAP()

BEGIN_DHTML_EVENT_MAP(CDHtmDlgEx)
    DHTML_EVENT_CLASS(fw::dhtml::kOnMouseOut, L"button", OnButtonOut)
    DHTML_EVENT_CLASS(fw::dhtml::kOnMouseOver, L"button", OnButtonOver)
    DHTML_EVENT_CLASS(fw::dhtml::kOnMouseDown, L"button", OnButtonDown)
    DHTML_EVENT_CLASS(fw::dhtml::kOnMouseUp, L"button", OnButtonUp)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseDown, L"body", OnCaptionDown)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseUp, L"body", OnCaptionUp)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseMove, L"body", OnCaptionMove)
    DHTML_EVENT_TAG(fw::dhtml::kOnContextMenu, L"body", OnNoMenu)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseDown, L"td", OnCaptionDown)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseUp, L"td", OnCaptionUp)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseMove, L"td", OnCaptionMove)
    DHTML_EVENT_TAG(fw::dhtml::kOnContextMenu, L"td", OnNoMenu)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseDown, L"div", OnCaptionDown)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseUp, L"div", OnCaptionUp)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseMove, L"div", OnCaptionMove)
    DHTML_EVENT_TAG(fw::dhtml::kOnContextMenu, L"div", OnNoMenu)
END_DHTML_EVENT_MAP()

CDHtmDlgEx::CDHtmDlgEx(UINT idTemplate, CWnd* parent) : CDHtmlDialog(idTemplate, parent) {}

CDHtmDlgEx::~CDHtmDlgEx() = default;

fw::ComPtr<CBrowserControlSite> CDHtmDlgEx::CreateControlSite() {
    return fw::ComPtr<CBrowserControlSite>(new CMyBrowserControlSite(this));
}

BOOL CDHtmDlgEx::OnInitDialog() {
    CDHtmlDialog::OnInitDialog();
    if (IWebBrowser2* browser = Browser()) browser->put_Silent(VARIANT_TRUE);
    return TRUE;
}

void CDHtmDlgEx::OnOK() {}

BOOL CDHtmDlgEx::CanAccessExternal() { return TRUE; }
BOOL CDHtmDlgEx::IsExternalDispatchSafe() { return TRUE; }

HRESULT CDHtmDlgEx::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_OK; }

HRESULT CDHtmDlgEx::GetHostInfo(DOCHOSTUIINFO* info) {
    const HRESULT hr = CDHtmlDialog::GetHostInfo(info);
    if (info != nullptr) info->dwFlags |= DOCHOSTUIFLAG_DIALOG;
    return FAILED(hr) ? hr : S_OK;
}

HRESULT CDHtmDlgEx::ShowMessage(HWND, LPOLESTR, LPOLESTR, DWORD, LPOLESTR, DWORD, LRESULT*) { return S_FALSE; }

HRESULT CDHtmDlgEx::ShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) { return S_FALSE; }

void CDHtmDlgEx::OnNavigateComplete(IDispatch* frame, const std::wstring& url) {
    CDHtmlDialog::OnNavigateComplete(frame, url);
    // The dialog's default hides the scroll bars; pages of this kind keep
    // theirs automatic.
    fw::ComPtr<IDispatch> document = GetPageDocument();
    fw::ComPtr<IDispatch> body = document ? fw::GetDispatchProperty(document.Get(), L"body") : nullptr;
    if (!body) return;
    fw::ScopedBstr automatic(L"auto");
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = automatic.Get();
    fw::PutProperty(body.Get(), L"scroll", value);
}

BOOL CDHtmDlgEx::OnNavigateError(IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL* cancel) {
    *cancel = VARIANT_TRUE;
    return TRUE;
}

void CDHtmDlgEx::OnNavigateErrorEvent(IDispatch* frame, VARIANT* url, VARIANT* targetFrame, VARIANT* status,
                                      VARIANT_BOOL* cancel) {
    OnNavigateError(frame, url, targetFrame, status, cancel);
}

void CDHtmDlgEx::OnCommandFilter(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                 VARIANT_BOOL* cancel) {
    switch (FilterNavigation(fw::VariantText(url))) {
        case NavigationVerdict::Cancel:
            *cancel = VARIANT_TRUE;
            break;
        case NavigationVerdict::Allow:
            *cancel = VARIANT_FALSE;
            break;
        case NavigationVerdict::Leave:
            break;
    }
}

void CDHtmDlgEx::CallPageScript(const char* name, const std::vector<std::wstring>& args) {
    fw::ComPtr<IDispatch> document = GetPageDocument();
    fw::ComPtr<IDispatch> script = document ? fw::GetDispatchProperty(document.Get(), L"Script") : nullptr;
    if (!script || name == nullptr) return;
    // The name comes as narrow text in the thread's code page.
    const int length = MultiByteToWideChar(CP_THREAD_ACP, 0, name, -1, nullptr, 0);
    if (length <= 0) return;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, name, -1, wide.data(), length);
    fw::ScopedBstr member(std::wstring_view(wide.c_str()));
    if (member.Get() == nullptr) return;
    BSTR names[] = {member.Get()};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(script->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id))) return;
    fw::InvokeWithStrings(script.Get(), id, args);
}

bool CDHtmDlgEx::HoldsCapture() const { return m_hWnd != nullptr && ::GetCapture() == m_hWnd; }

HRESULT CDHtmDlgEx::OnButtonOut(IDispatch* element) {
    if (!HoldsCapture()) page_button::ShowFrame(element, kFrameNormal);
    return S_FALSE;
}

HRESULT CDHtmDlgEx::OnButtonOver(IDispatch* element) {
    if (!HoldsCapture() && !page_button::IsDisabled(element)) page_button::ShowFrame(element, kFrameHover);
    return S_FALSE;
}

HRESULT CDHtmDlgEx::OnButtonDown(IDispatch* element) {
    if (page_button::IsDisabled(element)) return S_FALSE;
    m_pressed = element;
    ::SetCapture(m_hWnd);
    page_button::ShowFrame(element, kFramePressed);
    return S_FALSE;
}

HRESULT CDHtmDlgEx::OnButtonUp(IDispatch* element) {
    page_button::ShowFrame(element, kFrameHover);
    page_button::Click(element);
    return S_FALSE;
}

void CDHtmDlgEx::SendCaptionMessage(UINT message) {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    SendMessage(message, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
}

HRESULT CDHtmDlgEx::OnCaptionDown(IDispatch*) {
    SendCaptionMessage(WM_NCLBUTTONDOWN);
    return S_FALSE;
}

HRESULT CDHtmDlgEx::OnCaptionUp(IDispatch*) {
    SendCaptionMessage(WM_NCLBUTTONUP);
    return S_FALSE;
}

HRESULT CDHtmDlgEx::OnCaptionMove(IDispatch*) {
    SendCaptionMessage(WM_NCMOUSEMOVE);
    return S_FALSE;
}

HRESULT CDHtmDlgEx::OnNoMenu(IDispatch*) { return S_FALSE; }

void CDHtmDlgEx::EndPress(POINT clientPoint) {
    ::ReleaseCapture();
    // Taken first: releasing the capture or clicking may start a new press.
    fw::ComPtr<IDispatch> pressed = std::move(m_pressed);
    if (!pressed) return;
    // The offsets are relative to the element's offset parent, which for the
    // client's skin pages is the body at the window's origin.
    const RECT area = page_button::OffsetRect(pressed.Get());
    if (::PtInRect(&area, clientPoint)) {
        page_button::ShowFrame(pressed.Get(), kFrameHover);
        page_button::Click(pressed.Get());
    } else {
        page_button::ShowFrame(pressed.Get(), kFrameNormal);
    }
}

LRESULT CDHtmDlgEx::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if ((msg == WM_LBUTTONUP || msg == WM_RBUTTONUP) && HoldsCapture()) {
        EndPress(fw::PointFrom(lp));
        return 0;
    }
    return CDHtmlDialog::WindowProc(msg, wp, lp);
}
