// The built module loaded for drawing, as panelhost render loads it, and
// helpers that read the pictures back pixel by pixel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/render/render.h"
#include "host/render/render_setup.h"

namespace render_test {

struct Rgba {
    int r, g, b, a;
};

inline Rgba at(cairo_surface_t* s, int x, int y) {
    const uint32_t v = panelhost::pixel_at(s, x, y);
    return {int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF), int(v >> 24)};
}

inline bool near(const Rgba& c, int r, int g, int b, int tolerance) {
    return c.a > 200 && std::abs(c.r - r) <= tolerance && std::abs(c.g - g) <= tolerance &&
           std::abs(c.b - b) <= tolerance;
}

inline bool same(const Rgba& a, const Rgba& b) { return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a; }

struct Box {
    int x, y, w, h;
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(setup.ok()) << setup.error(); }
    void TearDown() override {
        for (const std::string& name : panel().installed_names()) panel().kill(name);
    }

    panelhost::Panel& panel() { return setup.panel(); }
    panelhost::HostServices& host() { return setup.host(); }
    panelhost::GaugeRenderer& renderer() { return setup.renderer(); }

    void install(std::initializer_list<const char*> names) {
        for (const char* name : names) ASSERT_TRUE(panel().install(name).ok()) << name;
    }
    void set(int32_t var, double value) { host().set_var(var, value); }

    orvane::ElementHeader& element(const char* gauge, size_t index) {
        orvane::ElementHeader* e = nullptr;
        EXPECT_TRUE(panel().element(gauge, index, e).ok()) << gauge << " " << index;
        return *e;
    }

    // The gauge as drawn now.
    panelhost::Surface draw(const char* gauge, int scale = 1) {
        const panelhost::InstalledGauge* g = panel().installed(gauge);
        EXPECT_NE(g, nullptr) << gauge << " is not installed";
        return panelhost::render_gauge(renderer(), panel(), *g, scale);
    }

    panelhost::RenderSetup setup{ORVANE_MODULE_PATH};
};

}  // namespace render_test
