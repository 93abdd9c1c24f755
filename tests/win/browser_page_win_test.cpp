// The hosted browser control and the skin-page dialog base, with the real
// WebBrowser control under Wine and test-made page objects.

#include <gtest/gtest.h>

#include <mshtmhst.h>

#include "browser/dhtm_dlg_ex_win.h"
#include "fw/browser_site_win.h"
#include "res/resource.h"
#include "tests/win/fake_dispatch_win.h"

namespace {

using Microsoft::WRL::ComPtr;
using wintest::EventArgs;
using wintest::FakeDispatch;

class PageDialog : public CDHtmDlgEx {
public:
    PageDialog() : CDHtmDlgEx(IDD_EMPTY_POPUP) {}
    ComPtr<IDispatch> GetPageDocument() override { return document; }
    ComPtr<IDispatch> document;
};

// A "button" element: 60 x 30 at (10, 20), with its own style object.
struct Button {
    Button() {
        element->SetString(L"className", L"button");
        element->SetString(L"tagName", L"INPUT");
        element->SetLong(L"offsetLeft", 10);
        element->SetLong(L"offsetTop", 20);
        element->SetLong(L"offsetWidth", 60);
        element->SetLong(L"offsetHeight", 30);
        element->SetObject(L"style", style.Get());
        element->OnCall(L"getAttribute", [this](const std::vector<std::wstring>&, VARIANT* result) {
            result->vt = VT_BOOL;
            result->boolVal = disabled ? VARIANT_TRUE : VARIANT_FALSE;
        });
    }
    long Frame() const { return style->Has(L"backgroundPositionX") ? style->Value(L"backgroundPositionX").lVal : 1; }
    int Clicks() const {
        int n = 0;
        for (const auto& call : element->calls) n += call.name == L"click";
        return n;
    }
    ComPtr<FakeDispatch> element = FakeDispatch::Make();
    ComPtr<FakeDispatch> style = FakeDispatch::Make();
    bool disabled = false;
};

class BrowserPage : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(AfxEnableControlContainer());
        ASSERT_TRUE(m_dialog.Create(IDD_EMPTY_POPUP));
        m_dialog.ShowWindow(SW_SHOW);
        m_dialog.document = m_document;
    }
    void TearDown() override { m_dialog.DestroyWindow(); }

    VARIANT_BOOL FireBeforeNavigate(const std::wstring& url, VARIANT_BOOL cancel) {
        EventArgs args;
        args.Dispatch(m_dialog.Browser());
        args.StringRef(url);
        for (int i = 0; i < 4; ++i) args.Empty();
        args.BoolRef(&cancel);
        args.Fire(m_dialog.BrowserEventSink(), 250);
        return cancel;
    }

    PageDialog m_dialog;
    ComPtr<FakeDispatch> m_document = FakeDispatch::Make();
};

TEST_F(BrowserPage, TheControlSitsInTheDialogAsItsBrowserWithTheSkinPageHostFlags) {
    ASSERT_NE(m_dialog.Browser(), nullptr);
    HWND browser = m_dialog.BrowserWindow();
    ASSERT_NE(browser, nullptr);
    wchar_t className[64] = {};
    GetClassNameW(browser, className, 64);
    EXPECT_STREQ(className, L"Shell Embedding");
    EXPECT_EQ(GetDlgCtrlID(browser), 102);
    EXPECT_EQ(GetParent(browser), m_dialog.m_hWnd);

    // The site answers for the dialog: flags 0x0C of the framework plus
    // DOCHOSTUIFLAG_DIALOG, no context menu, page messages left to the browser.
    ComPtr<IDocHostUIHandler> handler;
    ComPtr<IOleClientSite> site;
    ComPtr<IOleObject> ole;
    ASSERT_TRUE(SUCCEEDED(m_dialog.Browser()->QueryInterface(IID_PPV_ARGS(&ole))));
    ASSERT_TRUE(SUCCEEDED(ole->GetClientSite(&site)));
    ASSERT_TRUE(SUCCEEDED(site.As(&handler)));
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof info;
    EXPECT_EQ(handler->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, 0x0Du);
    EXPECT_EQ(handler->ShowContextMenu(0, nullptr, nullptr, nullptr), S_OK);
    ComPtr<IDocHostShowUI> showUi;
    ASSERT_TRUE(SUCCEEDED(handler.As(&showUi)));
    LRESULT result = 0;
    EXPECT_EQ(showUi->ShowMessage(m_dialog.m_hWnd, nullptr, nullptr, 0, nullptr, 0, &result), S_FALSE);
}

TEST_F(BrowserPage, CommandAddressesNeverNavigateAndScriptAddressesAlwaysDo) {
    struct Case {
        const wchar_t* url;
        VARIANT_BOOL proposed;
        VARIANT_BOOL expected;
    } cases[] = {
        {L"app://loadgame|x", VARIANT_FALSE, VARIANT_TRUE},
        {L"App://loadgame|x", VARIANT_FALSE, VARIANT_FALSE},  // not a command: the browser decides
        {L"javascript:void(0)", VARIANT_TRUE, VARIANT_FALSE},
        {L"http://127.0.0.1:7298/", VARIANT_TRUE, VARIANT_TRUE},
        {L"http://127.0.0.1:7298/", VARIANT_FALSE, VARIANT_FALSE},
    };
    for (const Case& c : cases) EXPECT_EQ(FireBeforeNavigate(c.url, c.proposed), c.expected) << c.url;

    VARIANT_BOOL cancel = VARIANT_FALSE;
    EventArgs error;
    error.Dispatch(m_dialog.Browser());
    error.StringRef(L"http://127.0.0.1:7298/missing");
    error.Empty();
    error.Empty();
    error.BoolRef(&cancel);
    error.Fire(m_dialog.BrowserEventSink(), 271);
    EXPECT_EQ(cancel, VARIANT_TRUE) << "a navigation error shows no browser error page";
}

TEST_F(BrowserPage, ButtonSpriteFollowsTheMouseAndClicksOnlyOnARelease) {
    Button button;
    IDispatch* element = button.element.Get();
    EXPECT_EQ(m_dialog.RouteDHtmlEvent(fw::dhtml::kOnMouseOver, element), S_FALSE);
    EXPECT_EQ(button.Frame(), -60);
    m_dialog.RouteDHtmlEvent(fw::dhtml::kOnMouseOut, element);
    EXPECT_EQ(button.Frame(), 0);

    m_dialog.RouteDHtmlEvent(fw::dhtml::kOnMouseDown, element);
    EXPECT_EQ(button.Frame(), -120);
    EXPECT_EQ(GetCapture(), m_dialog.m_hWnd);
    // While the press holds the capture, passing over and out changes nothing.
    m_dialog.RouteDHtmlEvent(fw::dhtml::kOnMouseOut, element);
    EXPECT_EQ(button.Frame(), -120);
    SendMessageW(m_dialog.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(15, 25));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(button.Frame(), -60);
    EXPECT_EQ(button.Clicks(), 1);

    // Pressed, dragged out, released: no click, frame 0.
    m_dialog.RouteDHtmlEvent(fw::dhtml::kOnMouseDown, element);
    SendMessageW(m_dialog.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(200, 25));
    EXPECT_EQ(button.Frame(), 0);
    EXPECT_EQ(button.Clicks(), 1);

    // A release that arrives as a page event clicks too.
    m_dialog.RouteDHtmlEvent(fw::dhtml::kOnMouseUp, element);
    EXPECT_EQ(button.Clicks(), 2);
}

TEST_F(BrowserPage, DisabledButtonNeitherHoversNorCapturesButResetsOnMouseOut) {
    Button button;
    button.disabled = true;
    m_dialog.RouteDHtmlEvent(fw::dhtml::kOnMouseOver, button.element.Get());
    m_dialog.RouteDHtmlEvent(fw::dhtml::kOnMouseDown, button.element.Get());
    EXPECT_FALSE(button.style->Has(L"backgroundPositionX"));
    EXPECT_EQ(GetCapture(), nullptr);
    m_dialog.RouteDHtmlEvent(fw::dhtml::kOnMouseOut, button.element.Get());
    EXPECT_EQ(button.Frame(), 0);
}

TEST_F(BrowserPage, EventsMatchTheExactClassOrTheTagInAnyCaseAndCancelTheDefaultAction) {
    ComPtr<FakeDispatch> other = FakeDispatch::Make();
    other->SetString(L"className", L"Button");
    other->SetString(L"tagName", L"SPAN");
    EXPECT_EQ(m_dialog.RouteDHtmlEvent(fw::dhtml::kOnContextMenu, other.Get()), S_OK) << "no entry matches";

    ComPtr<FakeDispatch> cell = FakeDispatch::Make();
    cell->SetString(L"className", L"button big");
    cell->SetString(L"tagName", L"TD");
    ComPtr<FakeDispatch> event = FakeDispatch::Make();
    event->SetObject(L"srcElement", cell.Get());
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_DISPATCH;
    arg.pdispVal = event.Get();
    DISPPARAMS params{&arg, nullptr, 1, 0};
    VARIANT result;
    VariantInit(&result);
    m_dialog.InvokeDocumentEvent(fw::dhtml::kOnContextMenu, &params, &result);
    EXPECT_EQ(result.vt, VT_BOOL);
    EXPECT_EQ(result.boolVal, VARIANT_FALSE);
    EXPECT_EQ(event->Value(L"returnValue").vt, VT_BOOL) << "the page is told to drop its context menu";
}

TEST_F(BrowserPage, PageScriptGetsItsArgumentsInCallOrder) {
    ComPtr<FakeDispatch> script = FakeDispatch::Make();
    m_document->SetObject(L"Script", script.Get());
    m_dialog.CallPageScript("postDataUrl", {L"first", L"第二", L""});
    m_dialog.CallPageScript("check_login", {});
    ASSERT_EQ(script->calls.size(), 2u);
    EXPECT_EQ(script->calls[0].name, L"postdataurl");
    EXPECT_EQ(script->calls[0].args, (std::vector<std::wstring>{L"first", L"第二", L""}));
    EXPECT_TRUE(script->calls[1].args.empty());
}

TEST_F(BrowserPage, ACompletedNavigationTurnsTheBodysScrollBarsBackOn) {
    ComPtr<FakeDispatch> body = FakeDispatch::Make();
    m_document->SetObject(L"body", body.Get());
    EventArgs args;
    args.Dispatch(m_dialog.Browser());
    args.StringRef(L"http://127.0.0.1:7298/page");
    args.Fire(m_dialog.BrowserEventSink(), 252);
    EXPECT_EQ(body->String(L"scroll"), L"auto");
}

TEST_F(BrowserPage, KeysInsideThePageNeverEndOrSteerTheDialog) {
    HWND browser = m_dialog.BrowserWindow();
    ASSERT_NE(browser, nullptr);
    for (WPARAM key : {WPARAM{VK_ESCAPE}, WPARAM{VK_RETURN}, WPARAM{VK_TAB}}) {
        MSG msg{browser, WM_KEYDOWN, key, 0x10001, 0, {}};
        m_dialog.PreTranslateMessage(&msg);
        wintest::Pump(50);
        EXPECT_TRUE(m_dialog.IsWindowVisible()) << key;
    }
    // The same Escape aimed at the dialog itself ends it, as in any dialog.
    MSG escape{m_dialog.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0x10001, 0, {}};
    EXPECT_TRUE(m_dialog.PreTranslateMessage(&escape));
    wintest::Pump(50);
    EXPECT_FALSE(m_dialog.IsWindowVisible());
}

TEST(BrowserSite, EveryReferenceIsReturnedWhenTheDialogsAreGone) {
    ASSERT_TRUE(AfxEnableControlContainer());
    {
        PageDialog first, second;
        ASSERT_TRUE(first.Create(IDD_EMPTY_POPUP));
        ASSERT_TRUE(second.Create(IDD_EMPTY_POPUP));
        first.Navigate(L"http://127.0.0.1:7298/one");
        wintest::Pump(300);
        EXPECT_EQ(CBrowserControlSite::LiveCount(), 2);
        first.DestroyWindow();
        wintest::Pump(100);
        EXPECT_EQ(CBrowserControlSite::LiveCount(), 1);
    }
    wintest::Pump(100);
    EXPECT_EQ(CBrowserControlSite::LiveCount(), 0);
}

}  // namespace
