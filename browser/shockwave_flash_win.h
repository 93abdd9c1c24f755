#pragma once

// The Flash player control as the logo window uses it. The control's
// interface is dual; it is held under its own id and driven through its
// IDispatch half by name, so no guess at the order of its many methods can
// call the wrong one.

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <string>

MIDL_INTERFACE("D27CDB6C-AE6D-11CF-96B8-444553540000")
IShockwaveFlash : public IDispatch{};
__CRT_UUID_DECL(IShockwaveFlash, 0xD27CDB6C, 0xAE6D, 0x11CF, 0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00)

namespace flash {

// The player control's class.
extern const CLSID kClsidShockwaveFlash;
// The player's event dispinterface, which the container's sink answers to.
extern const IID kDiidShockwaveFlashEvents;

// Each call answers the control's own result; none throws.
HRESULT GetFlashVersion(IShockwaveFlash* control, std::uint32_t* version);
HRESULT PutText(IShockwaveFlash* control, const wchar_t* property, const std::wstring& value);
HRESULT PutLong(IShockwaveFlash* control, const wchar_t* property, long value);
HRESULT PutBool(IShockwaveFlash* control, const wchar_t* property, bool value);
HRESULT LoadMovie(IShockwaveFlash* control, int layer, const std::wstring& url);
HRESULT Play(IShockwaveFlash* control);

}  // namespace flash
