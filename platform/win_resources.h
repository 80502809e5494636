// Resource lookup in a loaded module, as the Windows kernel offers it. A
// module handle is the base address of the loaded object; a null handle
// means the main program. Names and types are integer identifiers
// (MAKEINTRESOURCEA), "#number" strings or names, compared without regard
// to case. Each call fails on demand through its failure switch.
#pragma once

#include "platform/win_types.h"

#define RT_BITMAP MAKEINTRESOURCEA(2)

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
// The resource's bytes, in memory for as long as the module stays loaded.
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
LPVOID WINAPI LockResource(HGLOBAL data);
DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource);
// Nothing to release: resources live in the module image. FALSE, as on Windows.
BOOL WINAPI FreeResource(HGLOBAL data);

// The handle of the loaded object whose file name (without its directory) is
// `module_name`, or of the main program for null; null when none is loaded.
HMODULE WINAPI GetModuleHandleA(LPCSTR module_name);
