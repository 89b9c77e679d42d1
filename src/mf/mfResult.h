#pragma once
// Result codes of the media-framework layer. They keep the values the program's
// callers compare against (success codes are >= 0, failures negative).

#include <QtGlobal>

using HRESULT = qint32;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
inline constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);
inline constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002u);
inline constexpr HRESULT E_POINTER = HRESULT(0x80004003u);
inline constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001u);
inline constexpr HRESULT VFW_S_DUPLICATE_NAME = 0x0004022D;
inline constexpr HRESULT VFW_S_STATE_INTERMEDIATE = 0x00040237;
inline constexpr HRESULT VFW_S_NO_MORE_ITEMS = 0x00040103;
inline constexpr HRESULT VFW_E_NOT_CONNECTED = HRESULT(0x80040209u);
inline constexpr HRESULT VFW_E_ALREADY_CONNECTED = HRESULT(0x80040204u);
inline constexpr HRESULT VFW_E_TYPE_NOT_ACCEPTED = HRESULT(0x8004022Au);
inline constexpr HRESULT VFW_E_CANNOT_CONNECT = HRESULT(0x80040217u);
inline constexpr HRESULT VFW_E_DUPLICATE_NAME = HRESULT(0x8004022Cu);
inline constexpr HRESULT VFW_E_NOT_FOUND = HRESULT(0x80040216u);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = HRESULT(0x80040154u);

inline constexpr bool SUCCEEDED(HRESULT hr)
{
    return hr >= 0;
}
inline constexpr bool FAILED(HRESULT hr)
{
    return hr < 0;
}
