#pragma once

// A page object made by a test: a late-bound IDispatch with named
// properties and methods, standing in for the browser's documents, elements
// and script objects (Wine here has no HTML engine). Names compare without
// case, as the browser's do. Method calls are recorded with their arguments
// in call order.

#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <wrl/client.h>

namespace wintest {

class FakeDispatch : public IDispatch {
public:
    struct Call {
        std::wstring name;
        std::vector<std::wstring> args;
    };
    using Method = std::function<void(const std::vector<std::wstring>& args, VARIANT* result)>;

    static Microsoft::WRL::ComPtr<FakeDispatch> Make() { return Microsoft::WRL::ComPtr<FakeDispatch>(new FakeDispatch); }

    void SetString(const std::wstring& name, const std::wstring& text) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        Store(name, v);
    }
    void SetLong(const std::wstring& name, long value) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = value;
        Store(name, v);
    }
    void SetObject(const std::wstring& name, IDispatch* object) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_DISPATCH;
        v.pdispVal = object;
        object->AddRef();
        Store(name, v);
    }
    void OnCall(const std::wstring& name, Method method) { m_methods[Key(name)] = std::move(method); }

    // The property's value as text or number; empty / 0 when never set.
    std::wstring String(const std::wstring& name) const {
        auto it = m_values.find(Key(name));
        return it != m_values.end() && it->second.vt == VT_BSTR ? std::wstring(it->second.bstrVal) : std::wstring();
    }
    bool Has(const std::wstring& name) const { return m_values.count(Key(name)) != 0; }
    VARIANT Value(const std::wstring& name) const {
        auto it = m_values.find(Key(name));
        VARIANT v;
        VariantInit(&v);
        if (it != m_values.end()) v = it->second;
        return v;
    }

    std::vector<Call> calls;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count != 1) return E_INVALIDARG;
        const std::wstring key = Key(names[0]);
        for (size_t i = 0; i < m_names.size(); ++i) {
            if (m_names[i] == key) {
                ids[0] = static_cast<DISPID>(i + 1);
                return S_OK;
            }
        }
        m_names.push_back(key);
        ids[0] = static_cast<DISPID>(m_names.size());
        return S_OK;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (id < 1 || static_cast<size_t>(id) > m_names.size()) return DISP_E_MEMBERNOTFOUND;
        const std::wstring name = m_names[static_cast<size_t>(id) - 1];
        if (flags & DISPATCH_PROPERTYPUT) {
            if (params == nullptr || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
            VARIANT copy;
            VariantInit(&copy);
            VariantCopy(&copy, &params->rgvarg[0]);
            Store(name, copy);
            return S_OK;
        }
        if ((flags & DISPATCH_METHOD) && (m_methods.count(name) != 0 || !Has(name))) {
            Call call{name, {}};
            for (UINT i = params != nullptr ? params->cArgs : 0; i > 0; --i) {
                const VARIANT& arg = params->rgvarg[i - 1];
                call.args.push_back(arg.vt == VT_BSTR ? std::wstring(arg.bstrVal, SysStringLen(arg.bstrVal)) : L"?");
            }
            calls.push_back(call);
            if (auto it = m_methods.find(name); it != m_methods.end()) it->second(call.args, result);
            return S_OK;
        }
        auto it = m_values.find(name);
        if (it == m_values.end()) return DISP_E_MEMBERNOTFOUND;
        if (result != nullptr) VariantCopy(result, &it->second);
        return S_OK;
    }

private:
    FakeDispatch() = default;
    virtual ~FakeDispatch() {
        for (auto& [name, value] : m_values) VariantClear(&value);
    }
    static std::wstring Key(const std::wstring& name) {
        std::wstring key = name;
        for (wchar_t& c : key) c = static_cast<wchar_t>(towlower(c));
        return key;
    }
    void Store(const std::wstring& name, VARIANT value) {
        auto& slot = m_values[Key(name)];
        VariantClear(&slot);
        slot = value;
    }

    std::atomic<ULONG> m_refs{0};
    std::vector<std::wstring> m_names;
    std::map<std::wstring, VARIANT> m_values;
    std::map<std::wstring, Method> m_methods;
};

// Event arguments as the browser control passes them, last first.
class EventArgs {
public:
    VARIANT* Add() {
        m_args.emplace_back();
        VariantInit(&m_args.back());
        return &m_args.back();
    }
    void Dispatch(IDispatch* object) {
        VARIANT* v = Add();
        v->vt = VT_DISPATCH;
        v->pdispVal = object;
    }
    // A string passed by reference, as URLs are.
    void StringRef(const std::wstring& text) {
        m_strings.emplace_back();
        VARIANT& inner = m_strings.back();
        VariantInit(&inner);
        inner.vt = VT_BSTR;
        inner.bstrVal = SysAllocString(text.c_str());
        VARIANT* v = Add();
        v->vt = VT_BYREF | VT_VARIANT;
        v->pvarVal = &inner;
    }
    void Empty() { Add(); }
    void BoolRef(VARIANT_BOOL* flag) {
        VARIANT* v = Add();
        v->vt = VT_BYREF | VT_BOOL;
        v->pboolVal = flag;
    }
    ~EventArgs() {
        for (auto& s : m_strings) VariantClear(&s);
    }
    // Delivers the event through `sink` as the control would.
    HRESULT Fire(IDispatch* sink, DISPID id) {
        std::vector<VARIANT> reversed(m_args.rbegin(), m_args.rend());
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        return sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    }

private:
    // Deques: the by-reference arguments point into them.
    std::deque<VARIANT> m_args;
    std::deque<VARIANT> m_strings;
};

// Runs the thread's messages for `ms` milliseconds, or until `done`.
inline void Pump(DWORD ms, const std::function<bool()>& done = nullptr) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        if (done && done()) return;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

}  // namespace wintest
