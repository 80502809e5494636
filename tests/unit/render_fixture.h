// The built module loaded for drawing, as panelhost render loads it, and
// helpers that read the pictures back pixel by pixel.
#pragma once

#include <algorithm>
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

// A picture drawn again against its golden, pixel by pixel, with a small
// tolerance for the anti-aliasing of texts.
inline void expect_like_golden(const std::string& golden_path, const std::string& drawn_path) {
    SCOPED_TRACE(drawn_path);
    const panelhost::Surface golden(cairo_image_surface_create_from_png(golden_path.c_str()));
    const panelhost::Surface drawn(cairo_image_surface_create_from_png(drawn_path.c_str()));
    ASSERT_EQ(cairo_surface_status(golden.get()), CAIRO_STATUS_SUCCESS) << golden_path;
    ASSERT_EQ(cairo_surface_status(drawn.get()), CAIRO_STATUS_SUCCESS) << drawn_path;
    const int w = cairo_image_surface_get_width(golden.get()), h = cairo_image_surface_get_height(golden.get());
    ASSERT_EQ(cairo_image_surface_get_width(drawn.get()), w);
    ASSERT_EQ(cairo_image_surface_get_height(drawn.get()), h);
    long total = 0, far = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgba a = at(golden.get(), x, y), b = at(drawn.get(), x, y);
            const int d = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b), std::abs(a.a - b.a)});
            total += d;
            far += d > 24 ? 1 : 0;
        }
    }
    EXPECT_LE(far, long(w) * h / 500) << "pixels far off from " << golden_path
                                      << "; tests/render/README.md says how to regenerate";
    EXPECT_LE(double(total) / (double(w) * h), 1.0) << "mean difference per pixel";
}

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
