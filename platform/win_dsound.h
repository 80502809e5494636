// DirectSound of the native build: the calls the callout makes, with the
// Windows names, records, flags and results. Nothing reaches a sound card;
// every buffer, lock, play and release is recorded, and what was played can
// be written to a WAVE file. A play sounds at once from the play position to
// the end of the buffer, and leaves the buffer stopped with its position back
// at the start.
#pragma once

#include <vector>

#include "platform/win_multimedia.h"
#include "platform/win_types.h"

using LPDWORD = DWORD*;

inline constexpr HRESULT DS_OK = 0;
inline constexpr HRESULT DSERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT DSERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT DSERR_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
inline constexpr HRESULT DSERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT DSERR_ALLOCATED = static_cast<HRESULT>(0x8878000Au);
inline constexpr HRESULT DSERR_INVALIDCALL = static_cast<HRESULT>(0x88780032u);
inline constexpr HRESULT DSERR_BADFORMAT = static_cast<HRESULT>(0x88780064u);
inline constexpr HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780078u);
inline constexpr HRESULT DSERR_BUFFERLOST = static_cast<HRESULT>(0x88780096u);

inline constexpr DWORD DSSCL_NORMAL = 1;
inline constexpr DWORD DSSCL_WRITEPRIMARY = 4;

inline constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x00000001;
inline constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x00000020;
inline constexpr DWORD DSBCAPS_CTRLPAN = 0x00000040;
inline constexpr DWORD DSBCAPS_CTRLVOLUME = 0x00000080;
inline constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x00008000;

inline constexpr DWORD DSBSIZE_MIN = 4;
inline constexpr DWORD DSBSIZE_MAX = 0x0FFFFFFF;
inline constexpr DWORD DSBFREQUENCY_MIN = 100;
inline constexpr DWORD DSBFREQUENCY_MAX = 200000;

struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    LPWAVEFORMATEX lpwfxFormat;
    GUID guid3DAlgorithm;
};
using LPCDSBUFFERDESC = const DSBUFFERDESC*;

// Only the methods the callout calls; the order of the Windows interfaces
// matters to no one in the native build.
struct IUnknown {
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};

struct IDirectSoundBuffer;
using LPDIRECTSOUNDBUFFER = IDirectSoundBuffer*;

struct IDirectSound : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC description, LPDIRECTSOUNDBUFFER* buffer,
                                                        LPUNKNOWN outer) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD level) = 0;
};
using LPDIRECTSOUND = IDirectSound*;

struct IDirectSoundBuffer : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* region1, LPDWORD bytes1,
                                           LPVOID* region2, LPDWORD bytes2, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCurrentPosition(DWORD position) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unlock(LPVOID region1, DWORD bytes1, LPVOID region2, DWORD bytes2) = 0;
};

// Opens the default device (no GUID). Aggregation is not supported.
HRESULT WINAPI DirectSoundCreate(LPCGUID device, LPDIRECTSOUND* direct_sound, LPUNKNOWN outer);

namespace platform {

// What happened to the sound objects, in order. Devices and buffers are
// numbered from 1 in the order they were created.
enum class SoundEvent {
    DeviceCreated,
    CooperativeLevelSet,  // value: the level
    BufferCreated,        // value: the buffer bytes
    Locked,               // value: the bytes locked
    Unlocked,             // value: the bytes written back
    PositionSet,          // value: the position
    Played,               // value: the play flags
    BufferReleased,
    DeviceReleased,
};

struct SoundRecord {
    SoundEvent event;
    int object;  // the device's or the buffer's number
    DWORD value;
};

struct PlayedSound {
    int buffer;
    WAVEFORMATEX format;
    DWORD flags;
    std::vector<BYTE> samples;  // what sounded, from the play position on
};

// A live buffer as it was created, as Windows would describe it.
struct SoundBufferDescription {
    DWORD flags;
    DWORD bytes;
    WAVEFORMATEX format;
};

const std::vector<SoundRecord>& sound_log();
const std::vector<PlayedSound>& sound_plays();
// Devices and buffers created and not yet released.
int live_sound_objects();
// The description of a live buffer of this platform; false for anything else.
bool describe_sound_buffer(const IDirectSoundBuffer* buffer, SoundBufferDescription& description);
// Forgets the log and the plays; objects still alive stay usable.
void clear_sound_log();
// Writes every play, one after the other, as a PCM WAVE file. False when
// nothing was played, the plays differ in format, or the file cannot be written.
bool write_played_wav(const char* path);

}  // namespace platform
