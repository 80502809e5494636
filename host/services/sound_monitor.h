// What the host hears: every play of a sound buffer in this process, from
// the platform's own DirectSound. Natively that is the recording stand-in;
// on Windows the real DirectSound, watched through the Play entry that all
// its secondary buffers share. The module is not touched either way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace panelhost {

struct SoundPlay {
    uint32_t bytes;  // what sounds: from the play position to the buffer's end
    uint16_t format_tag;
    uint16_t channels;
    uint32_t samples_per_second;
    uint16_t bits_per_sample;
    uint32_t flags;  // the play flags; 1 loops
};

// One line for the trace, the same on both builds.
std::string describe(const SoundPlay& play);

class SoundMonitor {
public:
    // Starts watching; plays before this are not reported.
    SoundMonitor();
    SoundMonitor(const SoundMonitor&) = delete;
    SoundMonitor& operator=(const SoundMonitor&) = delete;

    // False when the platform's sound could not be watched (no device).
    bool watching() const { return watching_; }
    // The plays since the last call, in order. Each has sounded to its end
    // when this returns: a host that runs updates faster than real time
    // still lets every sound be heard whole.
    std::vector<SoundPlay> take_plays();

private:
    bool watching_;
    size_t next_;
};

// The host's monitor, started once the module is loaded: counts the plays
// from now on.
void start_sound_monitor();

// The plays since the monitor started or since the last call.
int take_callout_plays();

}  // namespace panelhost
