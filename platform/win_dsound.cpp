#include "platform/win_dsound.h"

#include <cstdio>
#include <cstring>
#include <cstddef>
#include <set>

#include "platform/failure_switches.h"

namespace {

using platform::SoundEvent;

struct SoundState {
    std::vector<platform::SoundRecord> log;
    std::vector<platform::PlayedSound> plays;
    int devices_created = 0;
    int buffers_created = 0;
    std::set<IUnknown*> live;
};

SoundState& state() {
    static SoundState s;
    return s;
}

void record(SoundEvent event, int object, DWORD value = 0) { state().log.push_back({event, object, value}); }

bool valid_pcm_format(const WAVEFORMATEX& f) {
    if (f.wFormatTag != WAVE_FORMAT_PCM) return false;
    if (f.nChannels < 1 || f.nChannels > 2) return false;
    if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16) return false;
    if (f.nSamplesPerSec < DSBFREQUENCY_MIN || f.nSamplesPerSec > DSBFREQUENCY_MAX) return false;
    const DWORD align = f.nChannels * f.wBitsPerSample / 8u;
    return f.nBlockAlign == align && f.nAvgBytesPerSec == f.nSamplesPerSec * align;
}

class Device;

class Buffer final : public IDirectSoundBuffer {
public:
    Buffer(Device* device, const DSBUFFERDESC& description)
        : device_(device),
          number_(++state().buffers_created),
          description_{.flags = description.dwFlags,
                       .bytes = description.dwBufferBytes,
                       .format = *description.lpwfxFormat},
          samples_(description.dwBufferBytes, description_.format.wBitsPerSample == 8 ? BYTE{0x80} : BYTE{0}) {
        state().live.insert(this);
        record(SoundEvent::BufferCreated, number_, description.dwBufferBytes);
    }

    // The device went away first: the buffer stays an object, but a lost one.
    void lose() { device_ = nullptr; }
    const platform::SoundBufferDescription& description() const { return description_; }

    ULONG STDMETHODCALLTYPE Release() override;

    // A lock past the end goes on from the start, in the second region.
    HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* region1, LPDWORD bytes1, LPVOID* region2,
                                   LPDWORD bytes2, DWORD) override {
        if (platform::call_fails(platform::Call::Lock)) return DSERR_BUFFERLOST;
        if (device_ == nullptr) return DSERR_BUFFERLOST;
        if (region1 == nullptr || bytes1 == nullptr) return DSERR_INVALIDPARAM;
        const DWORD size = static_cast<DWORD>(samples_.size());
        if (offset >= size || bytes == 0 || bytes > size || locked_) return DSERR_INVALIDPARAM;
        DWORD first = size - offset < bytes ? size - offset : bytes;
        BYTE* second_at = samples_.data();
        // A split lock is one that does not wrap, handed back in two pieces.
        if (const int split = platform::lock_split(); split >= 0 && static_cast<DWORD>(split) < first && first == bytes) {
            second_at = samples_.data() + offset + split;
            first = static_cast<DWORD>(split);
        }
        const DWORD second = bytes - first;
        if (second != 0 && (region2 == nullptr || bytes2 == nullptr)) return DSERR_INVALIDPARAM;
        lock_region1_ = first != 0 ? samples_.data() + offset : nullptr;
        lock_region2_ = second != 0 ? second_at : nullptr;
        *region1 = lock_region1_;
        *bytes1 = first;
        if (region2 != nullptr) *region2 = lock_region2_;
        if (bytes2 != nullptr) *bytes2 = second;
        locked_ = true;
        lock_first_ = first;
        lock_second_ = second;
        record(SoundEvent::Locked, number_, bytes);
        return DS_OK;
    }

    HRESULT STDMETHODCALLTYPE Play(DWORD reserved, DWORD priority, DWORD flags) override {
        if (platform::call_fails(platform::Call::Play)) return DSERR_BUFFERLOST;
        if (device_ == nullptr) return DSERR_BUFFERLOST;
        if (reserved != 0 || priority != 0) return DSERR_INVALIDPARAM;
        record(SoundEvent::Played, number_, flags);
        state().plays.push_back({.buffer = number_,
                                 .format = description_.format,
                                 .flags = flags,
                                 .samples = std::vector<BYTE>(samples_.begin() + position_, samples_.end())});
        position_ = 0;
        return DS_OK;
    }
    HRESULT STDMETHODCALLTYPE SetCurrentPosition(DWORD position) override {
        if (platform::call_fails(platform::Call::SetCurrentPosition)) return DSERR_BUFFERLOST;
        if (device_ == nullptr) return DSERR_BUFFERLOST;
        if (position >= samples_.size()) return DSERR_INVALIDPARAM;
        position_ = position;
        record(SoundEvent::PositionSet, number_, position);
        return DS_OK;
    }
    HRESULT STDMETHODCALLTYPE Unlock(LPVOID region1, DWORD bytes1, LPVOID region2, DWORD bytes2) override {
        if (platform::call_fails(platform::Call::Unlock)) return DSERR_INVALIDCALL;
        if (!locked_ || region1 != lock_region1_ || bytes1 > lock_first_ ||
            (region2 != nullptr && region2 != lock_region2_) || bytes2 > lock_second_ ||
            (region2 == nullptr && bytes2 != 0)) {
            return DSERR_INVALIDPARAM;
        }
        locked_ = false;
        record(SoundEvent::Unlocked, number_, bytes1 + bytes2);
        return DS_OK;
    }

private:
    Device* device_;
    int number_;
    platform::SoundBufferDescription description_;
    std::vector<BYTE> samples_;
    DWORD position_ = 0;
    bool locked_ = false;
    BYTE* lock_region1_ = nullptr;
    BYTE* lock_region2_ = nullptr;
    DWORD lock_first_ = 0;
    DWORD lock_second_ = 0;
};

class Device final : public IDirectSound {
public:
    Device() : number_(++state().devices_created) {
        state().live.insert(this);
        record(SoundEvent::DeviceCreated, number_);
    }

    void forget(Buffer* buffer) { buffers_.erase(buffer); }

    ULONG STDMETHODCALLTYPE Release() override {
        // The device's buffers are lost with it, as on Windows.
        for (Buffer* buffer : buffers_) buffer->lose();
        record(SoundEvent::DeviceReleased, number_);
        state().live.erase(this);
        delete this;
        return 0;
    }

    HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC description, LPDIRECTSOUNDBUFFER* buffer,
                                                LPUNKNOWN outer) override {
        if (platform::call_fails(platform::Call::CreateSoundBuffer)) return DSERR_OUTOFMEMORY;
        if (buffer == nullptr || description == nullptr) return DSERR_INVALIDPARAM;
        *buffer = nullptr;
        if (outer != nullptr) return DSERR_NOAGGREGATION;
        if (description->dwSize != sizeof(DSBUFFERDESC) &&
            description->dwSize != offsetof(DSBUFFERDESC, guid3DAlgorithm)) {
            return DSERR_INVALIDPARAM;
        }
        // This device mixes secondary buffers only; it has no primary buffer to hand out.
        if ((description->dwFlags & DSBCAPS_PRIMARYBUFFER) != 0) return DSERR_UNSUPPORTED;
        if (description->lpwfxFormat == nullptr) return DSERR_INVALIDPARAM;
        if (description->dwBufferBytes < DSBSIZE_MIN || description->dwBufferBytes > DSBSIZE_MAX) {
            return DSERR_INVALIDPARAM;
        }
        if (!valid_pcm_format(*description->lpwfxFormat)) return DSERR_BADFORMAT;
        if (platform::hands_back_nothing(platform::Call::CreateSoundBuffer)) return DS_OK;
        auto* created = new Buffer(this, *description);
        buffers_.insert(created);
        *buffer = created;
        return DS_OK;
    }
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND, DWORD level) override {
        if (platform::call_fails(platform::Call::SetCooperativeLevel)) return DSERR_ALLOCATED;
        if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
        // Like the platform it stands for, the device takes any window, null included.
        record(SoundEvent::CooperativeLevelSet, number_, level);
        return DS_OK;
    }

private:
    int number_;
    std::set<Buffer*> buffers_;
};

ULONG STDMETHODCALLTYPE Buffer::Release() {
    if (device_ != nullptr) device_->forget(this);
    record(SoundEvent::BufferReleased, number_);
    state().live.erase(this);
    delete this;
    return 0;
}

void put_u16(std::FILE* file, uint16_t value) {
    const BYTE bytes[2] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8)};
    std::fwrite(bytes, 1, 2, file);
}

void put_u32(std::FILE* file, uint32_t value) {
    put_u16(file, static_cast<uint16_t>(value));
    put_u16(file, static_cast<uint16_t>(value >> 16));
}

}  // namespace

HRESULT WINAPI DirectSoundCreate(LPCGUID device, LPDIRECTSOUND* direct_sound, LPUNKNOWN outer) {
    if (direct_sound == nullptr) return DSERR_INVALIDPARAM;
    *direct_sound = nullptr;
    if (platform::call_fails(platform::Call::DirectSoundCreate)) return DSERR_NODRIVER;
    if (outer != nullptr) return DSERR_NOAGGREGATION;
    if (device != nullptr) return DSERR_NODRIVER;  // only the default device is there
    if (!platform::hands_back_nothing(platform::Call::DirectSoundCreate)) *direct_sound = new Device();
    return DS_OK;
}

namespace platform {

const std::vector<SoundRecord>& sound_log() { return state().log; }
const std::vector<PlayedSound>& sound_plays() { return state().plays; }
int live_sound_objects() { return static_cast<int>(state().live.size()); }

bool describe_sound_buffer(const IDirectSoundBuffer* buffer, SoundBufferDescription& description) {
    auto* object = const_cast<IDirectSoundBuffer*>(buffer);
    if (buffer == nullptr || state().live.count(object) == 0) return false;
    description = static_cast<const Buffer*>(buffer)->description();
    return true;
}

void clear_sound_log() {
    state().log.clear();
    state().plays.clear();
}

bool write_played_wav(const char* path) {
    const std::vector<PlayedSound>& plays = state().plays;
    if (plays.empty() || path == nullptr) return false;
    const WAVEFORMATEX& format = plays.front().format;
    uint64_t data_bytes = 0;
    for (const PlayedSound& play : plays) {
        if (std::memcmp(&play.format, &format, sizeof format) != 0) return false;
        data_bytes += play.samples.size();
    }
    if (data_bytes + 36 + (data_bytes & 1u) > 0xFFFFFFFFu) return false;
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    const uint32_t data = static_cast<uint32_t>(data_bytes);
    std::fwrite("RIFF", 1, 4, file);
    put_u32(file, 4 + 8 + 16 + 8 + data + (data & 1u));
    std::fwrite("WAVEfmt ", 1, 8, file);
    put_u32(file, 16);
    put_u16(file, format.wFormatTag);
    put_u16(file, format.nChannels);
    put_u32(file, format.nSamplesPerSec);
    put_u32(file, format.nAvgBytesPerSec);
    put_u16(file, format.nBlockAlign);
    put_u16(file, format.wBitsPerSample);
    std::fwrite("data", 1, 4, file);
    put_u32(file, data);
    for (const PlayedSound& play : plays) std::fwrite(play.samples.data(), 1, play.samples.size(), file);
    if ((data & 1u) != 0) std::fputc(0, file);
    return std::fclose(file) == 0;
}

}  // namespace platform
