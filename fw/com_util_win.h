#pragma once

// Small owners and late-bound calls for the COM objects the browser hands
// out. Every document access goes through IDispatch by name, as a page script
// would, so that the same code runs against the browser's documents and
// against documents that tests make.

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <vector>

#include <wrl/client.h>

namespace fw {

using Microsoft::WRL::ComPtr;

// Interface ids the MinGW libraries do not carry.
extern const IID kIidDocHostShowUI;          // IDocHostShowUI
extern const IID kDiidHtmlDocumentEvents2;   // HTMLDocumentEvents2

// One BSTR, freed on scope exit; move-only.
class ScopedBstr {
public:
    ScopedBstr() = default;
    explicit ScopedBstr(std::wstring_view text);
    ~ScopedBstr() { Reset(); }
    ScopedBstr(ScopedBstr&& other) noexcept : m_bstr(other.m_bstr) { other.m_bstr = nullptr; }
    ScopedBstr& operator=(ScopedBstr&& other) noexcept;
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;

    BSTR Get() const { return m_bstr; }
    BSTR* Receive();
    void Reset();

private:
    BSTR m_bstr = nullptr;
};

// One VARIANT, cleared on scope exit; move-only.
class ScopedVariant {
public:
    ScopedVariant() { VariantInit(&m_var); }
    ~ScopedVariant() { VariantClear(&m_var); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;

    VARIANT* Receive();
    const VARIANT& Get() const { return m_var; }

private:
    VARIANT m_var;
};

// Initialises OLE on the calling (user-interface) thread once for the
// process and undoes it at exit; every later call answers the first's result.
bool EnableControlContainer();

// The text of a variant that may be passed by reference (event arguments
// are); empty for anything that is not a string.
std::wstring VariantText(const VARIANT* value);
// The dispatch pointer a variant holds, directly or by reference.
ComPtr<IDispatch> VariantDispatch(const VARIANT* value);

// Late-bound property and method access; failures are returned, never thrown.
HRESULT GetProperty(IDispatch* object, const wchar_t* name, VARIANT* result);
HRESULT PutProperty(IDispatch* object, const wchar_t* name, const VARIANT& value);
// Calls a method with string arguments given in call order.
HRESULT CallMethod(IDispatch* object, const wchar_t* name, const std::vector<std::wstring>& args,
                   VARIANT* result = nullptr);
// Invokes a member already looked up as a method, arguments in call order;
// the exception information is dropped.
HRESULT InvokeWithStrings(IDispatch* object, DISPID id, const std::vector<std::wstring>& args,
                          VARIANT* result = nullptr);

ComPtr<IDispatch> GetDispatchProperty(IDispatch* object, const wchar_t* name);
std::wstring GetStringProperty(IDispatch* object, const wchar_t* name);
// Numbers as the page reports them (VT_I4 or anything that converts); 0 otherwise.
long GetLongProperty(IDispatch* object, const wchar_t* name);

}  // namespace fw

// The framework's name for enabling OLE control containment.
inline bool AfxEnableControlContainer() { return fw::EnableControlContainer(); }
