#include "browser/flash_wnd_win.h"

#include <utility>

#include "browser/flash_rules.h"

CFlashWnd::CFlashWnd(std::wstring moviePath) : m_moviePath(std::move(moviePath)) {}

// The container's destructor closes the player and unadvises the sink.
CFlashWnd::~CFlashWnd() = default;

HRESULT CFlashWnd::QueryInterface(REFIID iid, void** object) {
    if (object != nullptr && iid == flash::kDiidShockwaveFlashEvents) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    return COleContainerWnd<IShockwaveFlash>::QueryInterface(iid, object);
}

// A failing property call of the player ends the creation: the player is
// then not in a state this window can show.
BOOL CFlashWnd::BeforeShowContent() {
    std::uint32_t version = 0;
    if (FAILED(flash::GetFlashVersion(m_lpControl.Get(), &version))) return FALSE;
    m_dwFlashVersion = version;
    m_bFixTransparency = flash::NeedsAlphaFix(version);

    if (FAILED(m_lpControl.As(&m_lpConCont))) return FALSE;
    if (FAILED(m_lpConCont->FindConnectionPoint(flash::kDiidShockwaveFlashEvents, &m_lpConPoint))) return FALSE;
    if (FAILED(m_lpConPoint->Advise(static_cast<IDispatch*>(this), &m_dwConPointID))) {
        m_dwConPointID = 0;
        return FALSE;
    }

    if (m_bTransparent && FAILED(flash::PutText(m_lpControl.Get(), L"WMode", L"transparent"))) return FALSE;
    return SUCCEEDED(flash::PutText(m_lpControl.Get(), L"Scale", L"showAll")) &&
           SUCCEEDED(flash::PutLong(m_lpControl.Get(), L"BackgroundColor", 0)) &&
           SUCCEEDED(flash::PutBool(m_lpControl.Get(), L"EmbedMovie", false));
}

BOOL CFlashWnd::AfterShowContent() {
    if (FAILED(flash::PutBool(m_lpControl.Get(), L"EmbedMovie", true))) return FALSE;
    if (FAILED(flash::LoadMovie(m_lpControl.Get(), 0, m_moviePath))) return FALSE;
    return SUCCEEDED(flash::Play(m_lpControl.Get()));
}
