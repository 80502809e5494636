// Basic Windows types for the native build's stand-in services, with the
// widths they have on Windows.
#pragma once

#include <cstdint>

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using LONG = int32_t;
using ULONG = uint32_t;
using BOOL = int32_t;
using HRESULT = int32_t;
using CHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;
using SIZE_T = uintptr_t;
using HPSTR = char*;

struct HWND__;
using HWND = HWND__*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;  // a module's base address, as on Windows
struct HRSRC__;
using HRSRC = HRSRC__*;
using HGLOBAL = void*;
using LPUNKNOWN = void*;

struct GUID {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};
using LPCGUID = const GUID*;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

#define WINAPI
#define STDMETHODCALLTYPE

// An integer resource identifier in a name parameter, as MAKEINTRESOURCEA makes it.
inline LPSTR MAKEINTRESOURCEA(uintptr_t id) { return reinterpret_cast<LPSTR>(id & 0xFFFFu); }
inline bool IS_INTRESOURCE(LPCSTR name) { return (reinterpret_cast<uintptr_t>(name) >> 16) == 0; }
