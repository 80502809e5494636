// What the callout tests share: RIFF images built in the test, and a fixture
// that gives every test a module at its load values, a host, and a check that
// nothing the sound path took was left behind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/services/host_services.h"
#include "module/cockpit.h"
#include "module/host_vars.h"
#include "module/linkage.h"
#include "platform/failure_switches.h"
#include "platform/resource_table.h"
#include "units/callout.h"
#include "units/callout_sound.h"

namespace orvane::testing {

using Bytes = std::vector<uint8_t>;

inline void put_u16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void put_u32(Bytes& out, uint32_t value) {
    put_u16(out, value & 0xFFFF);
    put_u16(out, value >> 16);
}

inline void put_id(Bytes& out, const char* id) { out.insert(out.end(), id, id + 4); }

// One chunk: id, the size it declares, its bytes, and a pad byte after an
// odd-sized body unless told otherwise.
inline Bytes chunk(const char* id, const Bytes& body, uint32_t declared_size, bool pad = true) {
    Bytes out;
    put_id(out, id);
    put_u32(out, declared_size);
    out.insert(out.end(), body.begin(), body.end());
    if (pad && (body.size() & 1) != 0) out.push_back(0);
    return out;
}

inline Bytes chunk(const char* id, const Bytes& body) { return chunk(id, body, static_cast<uint32_t>(body.size())); }

inline Bytes pcm_format(uint16_t channels = 1, uint32_t rate = 11025, uint16_t bits = 8, bool with_extra_size = false) {
    Bytes out;
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    put_u16(out, 1);
    put_u16(out, channels);
    put_u32(out, rate);
    put_u32(out, rate * align);
    put_u16(out, align);
    put_u16(out, bits);
    if (with_extra_size) put_u16(out, 0);
    return out;
}

// Recognisable samples: a ramp that does not repeat within a byte's range.
inline Bytes samples(size_t count) {
    Bytes out(count);
    for (size_t i = 0; i < count; ++i) out[i] = static_cast<uint8_t>((i * 7 + i / 251) & 0xFF);
    return out;
}

inline Bytes riff(const char* form, const std::vector<Bytes>& chunks, int64_t declared_size = -1) {
    Bytes body;
    put_id(body, form);
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    return chunk("RIFF", body, declared_size < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(declared_size));
}

// The callout as the module carries it: 16-byte fmt chunk, 8184 samples.
inline constexpr size_t callout_sample_bytes = 8184;
inline Bytes callout_image() {
    return riff("WAVE", {chunk("fmt ", pcm_format()), chunk("data", samples(callout_sample_bytes))});
}

class CalloutTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::reset_failures();
        // Whatever another test's gauges left installed is given back first.
        sound_available = 1;
        callout_kill();
        platform::clear_sound_log();
        platform::clear_added_resources();
        platform::set_main_window_class("FS98MAIN");
        sound_available = 1;
        host_main_window = nullptr;
        module_instance = nullptr;
        callout_device = nullptr;
        callout_buffer = nullptr;
        cockpit = cockpit_state_at_load;
        host.attach(&ImportTable);
        blocks_before = platform::global_blocks_in_use();
        files_before = platform::open_memory_files();
    }

    void TearDown() override {
        platform::reset_failures();
        callout_kill();
        EXPECT_EQ(callout_device, nullptr);
        EXPECT_EQ(callout_buffer, nullptr);
        EXPECT_EQ(platform::live_sound_objects(), 0) << "sound objects left unreleased";
        EXPECT_EQ(platform::global_blocks_in_use(), blocks_before) << "memory blocks left allocated";
        EXPECT_EQ(platform::open_memory_files(), files_before) << "memory files left open";
        host.detach();
        platform::clear_added_resources();
        platform::set_main_window_class(nullptr);
    }

    void give_module_wave(const Bytes& image) {
        platform::add_resource(instance(), "WAVE", callout_wave_id, image.data(), static_cast<DWORD>(image.size()));
    }

    static HINSTANCE instance() {
        static char module_base;
        return reinterpret_cast<HINSTANCE>(&module_base);
    }

    void install() { callout_install(reinterpret_cast<ServiceExtra>(instance())); }

    // Sets the host so that the radio altitude is exactly feet above the ground
    // (as the module computes it) with the given decision height.
    void fly(double radio_altitude_metres, double decision_height_ft, double ground_metres = 0.0) {
        host.set_var(GROUND_ALTITUDE, ground_metres * 256.0);
        host.set_var(ALTITUDE, ground_metres + radio_altitude_metres);
        host.set_var(DECISION_HEIGHT, decision_height_ft);
        callout_update();
    }

    size_t plays() const { return platform::sound_plays().size(); }

    panelhost::HostServices host;
    int blocks_before = 0;
    int files_before = 0;
};

}  // namespace orvane::testing
