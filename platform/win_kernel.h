// Kernel, user and C-runtime services of the native build: the host
// executable's path and name, the host's main window, and movable memory
// blocks. Same names, signatures and results as on Windows.
#pragma once

#include "platform/win_types.h"

inline constexpr DWORD MAX_PATH = 260;
inline constexpr int _MAX_PATH = 260;
inline constexpr int _MAX_DRIVE = 3;
inline constexpr int _MAX_DIR = 256;
inline constexpr int _MAX_FNAME = 256;
inline constexpr int _MAX_EXT = 256;

inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// The path of the module's file, or with a null module that of the host
// executable. A path longer than the buffer is cut to size - 1 characters,
// NUL-terminated, and the result is size. 0 on failure.
DWORD GetModuleFileNameA(HMODULE module, LPSTR file_name, DWORD size);

// Splits a path into drive ("C:"), directory (up to and including the last
// slash or backslash), base name and extension (from the last dot of the last
// component). Any output may be null; each is cut to its _MAX_ size.
void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);

// The top-level window of that class (and, when given, that title), or null.
HWND FindWindowA(LPCSTR class_name, LPCSTR window_name);

// Memory blocks. A movable block is reached through GlobalLock; a movable
// block of zero bytes has no memory, and locking it gives null.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID GlobalLock(HGLOBAL memory);
// Non-zero while the block is still locked; 0 once its lock count is zero.
BOOL GlobalUnlock(HGLOBAL memory);
// Null on success; the handle itself when it could not be freed.
HGLOBAL GlobalFree(HGLOBAL memory);

namespace platform {

// The panel host's main window, as the host registers it: a window of this
// class that FindWindowA finds from then on. Null removes it.
HWND set_main_window_class(const char* class_name);
// The path GetModuleFileNameA gives for the program, as if the simulator
// were another executable ("C:\\CFS2\\CFS2.EXE"); null: the program's own.
void set_executable_path(const char* path);

// Movable and fixed blocks allocated and not yet freed.
int global_blocks_in_use();

}  // namespace platform
