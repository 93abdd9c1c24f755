#include "fw/com_util_win.h"

#include <ole2.h>

#include <utility>

namespace fw {

const IID kIidDocHostShowUI = {0xC4D244B0, 0xD43E, 0x11CF, {0x89, 0x3B, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x1A}};
const IID kDiidHtmlDocumentEvents2 = {0x3050F613, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

ScopedBstr::ScopedBstr(std::wstring_view text) {
    m_bstr = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

ScopedBstr& ScopedBstr::operator=(ScopedBstr&& other) noexcept {
    if (this != &other) {
        Reset();
        m_bstr = std::exchange(other.m_bstr, nullptr);
    }
    return *this;
}

BSTR* ScopedBstr::Receive() {
    Reset();
    return &m_bstr;
}

void ScopedBstr::Reset() {
    if (m_bstr != nullptr) SysFreeString(std::exchange(m_bstr, nullptr));
}

VARIANT* ScopedVariant::Receive() {
    VariantClear(&m_var);
    return &m_var;
}

namespace {

class ScopedOleInitialize {
public:
    ScopedOleInitialize() : m_hr(OleInitialize(nullptr)) {}
    ~ScopedOleInitialize() {
        if (SUCCEEDED(m_hr)) OleUninitialize();
    }
    ScopedOleInitialize(const ScopedOleInitialize&) = delete;
    ScopedOleInitialize& operator=(const ScopedOleInitialize&) = delete;
    bool Succeeded() const { return SUCCEEDED(m_hr); }

private:
    HRESULT m_hr;
};

// Follows VT_BYREF|VT_VARIANT chains, as event arguments arrive; bounded so
// that a cyclic chain from a faulty caller cannot loop.
const VARIANT* Deref(const VARIANT* value) {
    for (int depth = 0; value != nullptr && depth < 4; ++depth) {
        if (value->vt != (VT_BYREF | VT_VARIANT)) return value;
        value = value->pvarVal;
    }
    return nullptr;
}

DISPID LookUp(IDispatch* object, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    auto* names = const_cast<LPOLESTR>(name);
    if (FAILED(object->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_SYSTEM_DEFAULT, &id))) return DISPID_UNKNOWN;
    return id;
}

}  // namespace

bool EnableControlContainer() {
    static ScopedOleInitialize ole;
    return ole.Succeeded();
}

std::wstring VariantText(const VARIANT* value) {
    value = Deref(value);
    if (value == nullptr) return {};
    BSTR text = nullptr;
    if (value->vt == VT_BSTR) text = value->bstrVal;
    if (value->vt == (VT_BYREF | VT_BSTR) && value->pbstrVal != nullptr) text = *value->pbstrVal;
    if (text == nullptr) return {};
    return std::wstring(text, SysStringLen(text));
}

ComPtr<IDispatch> VariantDispatch(const VARIANT* value) {
    value = Deref(value);
    if (value == nullptr) return nullptr;
    if (value->vt == VT_DISPATCH) return value->pdispVal;
    if (value->vt == (VT_BYREF | VT_DISPATCH) && value->ppdispVal != nullptr) return *value->ppdispVal;
    ComPtr<IDispatch> dispatch;
    if (value->vt == VT_UNKNOWN && value->punkVal != nullptr) value->punkVal->QueryInterface(IID_PPV_ARGS(&dispatch));
    return dispatch;
}

HRESULT GetProperty(IDispatch* object, const wchar_t* name, VARIANT* result) {
    if (object == nullptr || result == nullptr) return E_POINTER;
    const DISPID id = LookUp(object, name);
    if (id == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
    DISPPARAMS none{};
    return object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET, &none, result, nullptr, nullptr);
}

HRESULT PutProperty(IDispatch* object, const wchar_t* name, const VARIANT& value) {
    if (object == nullptr) return E_POINTER;
    const DISPID id = LookUp(object, name);
    if (id == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
    VARIANT arg = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&arg, &named, 1, 1};
    return object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                          nullptr);
}

HRESULT InvokeWithStrings(IDispatch* object, DISPID id, const std::vector<std::wstring>& args, VARIANT* result) {
    if (object == nullptr) return E_POINTER;
    // IDispatch takes its arguments last first; each is a fresh copy.
    std::vector<ScopedBstr> strings;
    strings.reserve(args.size());
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        strings.emplace_back(*it);
        if (strings.back().Get() == nullptr) return E_OUTOFMEMORY;
    }
    std::vector<VARIANT> variants(strings.size());
    for (size_t i = 0; i < strings.size(); ++i) {
        VariantInit(&variants[i]);
        variants[i].vt = VT_BSTR;
        variants[i].bstrVal = strings[i].Get();
    }
    DISPPARAMS params{variants.empty() ? nullptr : variants.data(), nullptr, static_cast<UINT>(variants.size()), 0};
    ScopedVariant ignored;
    EXCEPINFO exception{};
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &params,
                                      result != nullptr ? result : ignored.Receive(), &exception, nullptr);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return hr;
}

HRESULT CallMethod(IDispatch* object, const wchar_t* name, const std::vector<std::wstring>& args, VARIANT* result) {
    if (object == nullptr) return E_POINTER;
    const DISPID id = LookUp(object, name);
    if (id == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
    return InvokeWithStrings(object, id, args, result);
}

ComPtr<IDispatch> GetDispatchProperty(IDispatch* object, const wchar_t* name) {
    ScopedVariant value;
    if (FAILED(GetProperty(object, name, value.Receive()))) return nullptr;
    return VariantDispatch(&value.Get());
}

std::wstring GetStringProperty(IDispatch* object, const wchar_t* name) {
    ScopedVariant value;
    if (FAILED(GetProperty(object, name, value.Receive()))) return {};
    return VariantText(&value.Get());
}

long GetLongProperty(IDispatch* object, const wchar_t* name) {
    ScopedVariant value;
    if (FAILED(GetProperty(object, name, value.Receive()))) return 0;
    VARIANT number;
    VariantInit(&number);
    if (FAILED(VariantChangeType(&number, const_cast<VARIANT*>(&value.Get()), 0, VT_I4))) return 0;
    return number.lVal;
}

}  // namespace fw
