// An ALSA sound device for Wine under test on a machine whose 32-bit code is
// emulated: it plays 16-bit stereo at the one rate its configuration names
// and, like ALSA's null device, takes every frame at once. Wine opens its
// audio at the highest rate a device offers; offered the callout's own rate,
// DirectSound's mixer copies the callout instead of filtering it to 48000 Hz,
// which qemu's floating point cannot do in real time. The capture file in
// front of it (tests/wine/asoundrc-emulated) records what Wine played.
//
// Built as an i386 shared library by tests/wine/run-wine.sh and named by the
// configuration:
//
//   pcm.NAME { type orvane_fixed_rate; rate 11025 }
//   pcm_type.orvane_fixed_rate { lib "/path/libasound_module_pcm_orvane_fixed_rate.so" }
#include <alsa/asoundlib.h>
#include <alsa/pcm_external.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

struct FixedRateDevice {
    snd_pcm_ioplug_t io;
    int always_ready[2];  // a pipe whose writing end polls writable: never a wait
};

// Every frame written is played at once: the position is the application's.
snd_pcm_sframes_t position(snd_pcm_ioplug_t* io) { return static_cast<snd_pcm_sframes_t>(io->appl_ptr); }

snd_pcm_sframes_t transfer(snd_pcm_ioplug_t*, const snd_pcm_channel_area_t*, snd_pcm_uframes_t,
                           snd_pcm_uframes_t frames) {
    return static_cast<snd_pcm_sframes_t>(frames);
}

int start(snd_pcm_ioplug_t*) { return 0; }
int stop(snd_pcm_ioplug_t*) { return 0; }

int close_device(snd_pcm_ioplug_t* io) {
    auto* device = static_cast<FixedRateDevice*>(io->private_data);
    close(device->always_ready[0]);
    close(device->always_ready[1]);
    std::free(device);
    return 0;
}

const snd_pcm_ioplug_callback_t callbacks = [] {
    snd_pcm_ioplug_callback_t table{};
    table.start = start;
    table.stop = stop;
    table.pointer = position;
    table.transfer = transfer;
    table.close = close_device;
    return table;
}();

int offer_one_rate(snd_pcm_ioplug_t* io, unsigned rate) {
    static const unsigned accesses[] = {SND_PCM_ACCESS_RW_INTERLEAVED, SND_PCM_ACCESS_MMAP_INTERLEAVED};
    static const unsigned formats[] = {SND_PCM_FORMAT_S16_LE};
    int err = snd_pcm_ioplug_set_param_list(io, SND_PCM_IOPLUG_HW_ACCESS, 2, accesses);
    if (err >= 0) err = snd_pcm_ioplug_set_param_list(io, SND_PCM_IOPLUG_HW_FORMAT, 1, formats);
    if (err >= 0) err = snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_CHANNELS, 2, 2);
    if (err >= 0) err = snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_RATE, rate, rate);
    if (err >= 0) err = snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_PERIOD_BYTES, 64, 64 * 1024);
    if (err >= 0) err = snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_PERIODS, 2, 1024);
    return err;
}

}  // namespace

extern "C" SND_PCM_PLUGIN_DEFINE_FUNC(orvane_fixed_rate) {
    (void)root;
    long rate = 0;
    snd_config_iterator_t i, next;
    snd_config_for_each(i, next, conf) {
        snd_config_t* entry = snd_config_iterator_entry(i);
        const char* id;
        if (snd_config_get_id(entry, &id) < 0) continue;
        if (std::strcmp(id, "comment") == 0 || std::strcmp(id, "type") == 0 || std::strcmp(id, "hint") == 0)
            continue;
        if (std::strcmp(id, "rate") == 0 && snd_config_get_integer(entry, &rate) >= 0) continue;
        SNDERR("Unknown field %s", id);
        return -EINVAL;
    }
    if (rate < 4000 || rate > 192000) {
        SNDERR("a rate from 4000 to 192000 Hz is needed, not %ld", rate);
        return -EINVAL;
    }
    if (stream != SND_PCM_STREAM_PLAYBACK) return -EINVAL;

    auto* device = static_cast<FixedRateDevice*>(std::calloc(1, sizeof(FixedRateDevice)));
    if (device == nullptr) return -ENOMEM;
    if (pipe2(device->always_ready, O_CLOEXEC | O_NONBLOCK) < 0) {
        std::free(device);
        return -errno;
    }
    device->io.version = SND_PCM_IOPLUG_VERSION;
    device->io.name = "Orvane fixed-rate test device";
    device->io.flags = SND_PCM_IOPLUG_FLAG_BOUNDARY_WA;
    device->io.poll_fd = device->always_ready[1];
    device->io.poll_events = POLLOUT;
    device->io.mmap_rw = 0;
    device->io.callback = &callbacks;
    device->io.private_data = device;
    int err = snd_pcm_ioplug_create(&device->io, name, stream, mode);
    if (err < 0) {
        close_device(&device->io);
        return err;
    }
    err = offer_one_rate(&device->io, static_cast<unsigned>(rate));
    if (err < 0) {
        snd_pcm_ioplug_delete(&device->io);
        return err;
    }
    *pcmp = device->io.pcm;
    return 0;
}

extern "C" {
SND_PCM_PLUGIN_SYMBOL(orvane_fixed_rate);
}
