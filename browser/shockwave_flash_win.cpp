#include "browser/shockwave_flash_win.h"

#include <oleauto.h>

#include "fw/com_util_win.h"

namespace flash {

const CLSID kClsidShockwaveFlash = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID kDiidShockwaveFlashEvents = {0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

HRESULT GetFlashVersion(IShockwaveFlash* control, std::uint32_t* version) {
    if (version == nullptr) return E_POINTER;
    *version = 0;
    fw::ScopedVariant value;
    HRESULT hr = fw::GetProperty(control, L"FlashVersion", value.Receive());
    if (FAILED(hr)) return hr;
    VARIANT number;
    VariantInit(&number);
    hr = VariantChangeType(&number, const_cast<VARIANT*>(&value.Get()), 0, VT_I4);
    if (SUCCEEDED(hr)) *version = static_cast<std::uint32_t>(number.lVal);
    return hr;
}

HRESULT PutText(IShockwaveFlash* control, const wchar_t* property, const std::wstring& value) {
    fw::ScopedBstr text(value);
    if (text.Get() == nullptr) return E_OUTOFMEMORY;
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BSTR;
    arg.bstrVal = text.Get();
    return fw::PutProperty(control, property, arg);
}

HRESULT PutLong(IShockwaveFlash* control, const wchar_t* property, long value) {
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_I4;
    arg.lVal = value;
    return fw::PutProperty(control, property, arg);
}

HRESULT PutBool(IShockwaveFlash* control, const wchar_t* property, bool value) {
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BOOL;
    arg.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return fw::PutProperty(control, property, arg);
}

HRESULT LoadMovie(IShockwaveFlash* control, int layer, const std::wstring& url) {
    if (control == nullptr) return E_POINTER;
    DISPID id = DISPID_UNKNOWN;
    auto* name = const_cast<LPOLESTR>(L"LoadMovie");
    HRESULT hr = control->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_SYSTEM_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    fw::ScopedBstr text(url);
    if (text.Get() == nullptr) return E_OUTOFMEMORY;
    // Arguments go last first.
    VARIANT args[2];
    VariantInit(&args[0]);
    args[0].vt = VT_BSTR;
    args[0].bstrVal = text.Get();
    VariantInit(&args[1]);
    args[1].vt = VT_I4;
    args[1].lVal = layer;
    DISPPARAMS params{args, nullptr, 2, 0};
    fw::ScopedVariant ignored;
    return control->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &params, ignored.Receive(), nullptr,
                           nullptr);
}

HRESULT Play(IShockwaveFlash* control) { return fw::CallMethod(control, L"Play", {}); }

}  // namespace flash
