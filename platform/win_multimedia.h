// Multimedia file services of the native build: RIFF files in memory, with
// the Windows mmio names, records and results. Only memory files are served;
// the walker never reads outside the caller's block, and a chunk search never
// looks past the end of the parent chunk.
#pragma once

#include "platform/win_types.h"

using FOURCC = DWORD;
using MMRESULT = UINT;
struct HMMIO__;
using HMMIO = HMMIO__*;
using LPARAM = intptr_t;
using LPMMIOPROC = LONG (*)(LPSTR message_info, UINT message, LPARAM param1, LPARAM param2);
using HTASK = void*;

constexpr FOURCC mmioFOURCC(char c0, char c1, char c2, char c3) {
    return static_cast<FOURCC>(static_cast<BYTE>(c0)) | (static_cast<FOURCC>(static_cast<BYTE>(c1)) << 8) |
           (static_cast<FOURCC>(static_cast<BYTE>(c2)) << 16) | (static_cast<FOURCC>(static_cast<BYTE>(c3)) << 24);
}

inline constexpr FOURCC FOURCC_RIFF = mmioFOURCC('R', 'I', 'F', 'F');
inline constexpr FOURCC FOURCC_LIST = mmioFOURCC('L', 'I', 'S', 'T');
inline constexpr FOURCC FOURCC_DOS = mmioFOURCC('D', 'O', 'S', ' ');
inline constexpr FOURCC FOURCC_MEM = mmioFOURCC('M', 'E', 'M', ' ');

inline constexpr DWORD MMIO_READ = 0x00000000;
inline constexpr DWORD MMIO_WRITE = 0x00000001;
inline constexpr DWORD MMIO_READWRITE = 0x00000002;
inline constexpr DWORD MMIO_ALLOCBUF = 0x00010000;
inline constexpr UINT MMIO_FHOPEN = 0x0010;
inline constexpr UINT MMIO_FINDCHUNK = 0x0010;
inline constexpr UINT MMIO_FINDRIFF = 0x0020;
inline constexpr UINT MMIO_FINDLIST = 0x0040;

inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT MMIOERR_BASE = 256;
inline constexpr MMRESULT MMIOERR_FILENOTFOUND = MMIOERR_BASE + 1;
inline constexpr MMRESULT MMIOERR_OUTOFMEMORY = MMIOERR_BASE + 2;
inline constexpr MMRESULT MMIOERR_CANNOTOPEN = MMIOERR_BASE + 3;
inline constexpr MMRESULT MMIOERR_CANNOTCLOSE = MMIOERR_BASE + 4;
inline constexpr MMRESULT MMIOERR_CANNOTREAD = MMIOERR_BASE + 5;
inline constexpr MMRESULT MMIOERR_CANNOTWRITE = MMIOERR_BASE + 6;
inline constexpr MMRESULT MMIOERR_CANNOTSEEK = MMIOERR_BASE + 7;
inline constexpr MMRESULT MMIOERR_CANNOTEXPAND = MMIOERR_BASE + 8;
inline constexpr MMRESULT MMIOERR_CHUNKNOTFOUND = MMIOERR_BASE + 9;

struct MMIOINFO {
    DWORD dwFlags;
    FOURCC fccIOProc;
    LPMMIOPROC pIOProc;
    UINT wErrorRet;
    HTASK htask;
    LONG cchBuffer;
    HPSTR pchBuffer;
    HPSTR pchNext;
    HPSTR pchEndRead;
    HPSTR pchEndWrite;
    LONG lBufOffset;
    LONG lDiskOffset;
    DWORD adwInfo[3];
    DWORD dwReserved1;
    DWORD dwReserved2;
    HMMIO hmmio;
};
using LPMMIOINFO = MMIOINFO*;

struct MMCKINFO {
    FOURCC ckid;
    DWORD cksize;
    FOURCC fccType;  // form or list type of a RIFF or LIST chunk
    DWORD dwDataOffset;
    DWORD dwFlags;
};
using LPMMCKINFO = MMCKINFO*;
using LPCMMCKINFO = const MMCKINFO*;

// Opens a memory file: no file name, fccIOProc FOURCC_MEM, pchBuffer and
// cchBuffer the caller's block. Null on failure, with the reason in wErrorRet.
HMMIO mmioOpenA(LPSTR file_name, LPMMIOINFO info, DWORD flags);

// Descends into the chunk at the file position, or with MMIO_FINDCHUNK,
// MMIO_FINDRIFF or MMIO_FINDLIST into the first chunk from there with the
// chunk id (and form or list type) in chunk, not past the parent's end.
// Fills chunk; the position is then the start of the chunk's data (after the
// type of a RIFF or LIST chunk). MMIOERR_CHUNKNOTFOUND when there is none.
MMRESULT mmioDescend(HMMIO file, LPMMCKINFO chunk, LPCMMCKINFO parent, UINT flags);

// Reads up to count bytes from the position; returns the bytes read, 0 at the
// end of the file, -1 on error.
LONG mmioRead(HMMIO file, HPSTR buffer, LONG count);

// Moves the position past the end of the chunk and its pad byte.
MMRESULT mmioAscend(HMMIO file, LPMMCKINFO chunk, UINT flags);

MMRESULT mmioClose(HMMIO file, UINT flags);

namespace platform {

// Memory files opened and not yet closed.
int open_memory_files();

}  // namespace platform

// The wave format record: packed, 18 bytes, as Windows lays it out.
#pragma pack(push, 1)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;  // bytes of extra format data that follow; unused for PCM
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);
using LPWAVEFORMATEX = WAVEFORMATEX*;
using LPCWAVEFORMATEX = const WAVEFORMATEX*;

inline constexpr WORD WAVE_FORMAT_PCM = 1;
