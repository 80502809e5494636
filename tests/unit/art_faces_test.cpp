// The art kit's faces line up with the gauges' mouse areas: each face is
// read as examples/faces/faces.cfg puts its gauge on it, and its controls
// are looked for where the module's mouse tables put the click areas.
#include <cmath>
#include <map>

#include "host/base/files.h"
#include "host/panel/mouse.h"
#include "host/layout/panel_cfg.h"
#include "host/render/panel_renderer.h"
#include "host/services/resources.h"
#include "tests/unit/render_fixture.h"

namespace {

using namespace panelhost;

const std::string faces_dir = std::string(ORVANE_SOURCE_DIR) + "/examples/faces/";

struct Face {
    Bitmap bitmap;
    int gauge_x = 0, gauge_y = 0;  // where the gauge's top-left corner lies on the face
    PaletteColour plate{};         // the colour of most of the face one pixel in from its edge
};

bool differs(const PaletteColour& a, const PaletteColour& b) {
    return std::abs(a.r - b.r) > 24 || std::abs(a.g - b.g) > 24 || std::abs(a.b - b.b) > 24;
}

class ArtFaces : public render_test::RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        const std::optional<std::string> text = read_file(faces_dir + "faces.cfg");
        ASSERT_TRUE(text) << "no " << faces_dir << "faces.cfg";
        const PanelConfig cfg = parse_panel_cfg(*text, "faces.cfg");
        ASSERT_TRUE(cfg.problems.empty()) << cfg.problems.front().text;
        for (const PanelWindow& w : cfg.windows) {
            ASSERT_EQ(w.gauges.size(), 1u) << w.file;
            const std::optional<std::vector<uint8_t>> bytes = read_file_bytes(faces_dir + w.file);
            ASSERT_TRUE(bytes) << w.file;
            // The art tool writes 8-bit bitmaps, their rows right after the palette.
            ASSERT_GT(bytes->size(), 14u) << w.file;
            const BitmapLookup lookup = decode_dib(bytes->data() + 14, bytes->size() - 14);
            ASSERT_EQ(lookup.error, BitmapError::none) << w.file;
            Face face{lookup.bitmap, w.gauges[0].x, w.gauges[0].y, {}};
            std::map<std::tuple<int, int, int>, int> edge;
            const int fw = face.bitmap.width, fh = face.bitmap.height;
            for (int x = 0; x < fw; ++x) {
                for (int y : {1, fh - 2}) {
                    const PaletteColour c = face.bitmap.colour_at(x, y);
                    ++edge[{c.r, c.g, c.b}];
                }
            }
            const auto most = std::max_element(edge.begin(), edge.end(),
                                               [](const auto& a, const auto& b) { return a.second < b.second; });
            face.plate = {uint8_t(std::get<0>(most->first)), uint8_t(std::get<1>(most->first)),
                          uint8_t(std::get<2>(most->first))};
            faces[w.gauges[0].gauge] = face;
        }
    }

    const MouseArea* area(const std::string& gauge, const std::string& tooltip) {
        areas = mouse_areas(panel().gauge(gauge.c_str())->mouse_rect);
        for (const MouseArea& a : areas) {
            if (a.tooltip == tooltip) return &a;
        }
        return nullptr;
    }

    // The run of pixels that are not the plate, from (x, y) one way along a
    // line: how far the control reaches.
    int reach(const Face& f, int x, int y, int dx, int dy) {
        int n = 0;
        while (true) {
            const int px = x + (n + 1) * dx, py = y + (n + 1) * dy;
            if (px < 0 || py < 0 || px >= f.bitmap.width || py >= f.bitmap.height) break;
            if (!differs(f.bitmap.colour_at(px, py), f.plate)) break;
            ++n;
        }
        return n;
    }

    std::map<std::string, Face> faces;
    std::vector<MouseArea> areas;
};

TEST_F(ArtFaces, UnderEveryClickSpotOfAFaceItsControlIsDrawn) {
    // The FD unit draws its push-buttons itself; its face is only their frame.
    for (const char* gauge : {"AP", "DH", "DME"}) {
        const Face& f = faces[gauge];
        int spots = 0;
        for (const MouseArea& a : mouse_areas(panel().gauge(gauge)->mouse_rect)) {
            if (!a.area.bounded) continue;
            for (const ClickRow& c : a.clicks) {
                ++spots;
                const int x = f.gauge_x + c.centre.x, y = f.gauge_y + c.centre.y;
                EXPECT_TRUE(differs(f.bitmap.colour_at(x, y), f.plate))
                    << gauge << " \"" << a.tooltip << "\": only the plate under its click row at " << c.centre.x
                    << ", " << c.centre.y;
            }
        }
        EXPECT_GT(spots, 0) << gauge;
    }
}

TEST_F(ArtFaces, EachKnobSitsInsideItsClickArea) {
    const struct Row {
        const char* gauge;
        const char* tooltip;
    } rows[] = {
        {"AP", "Set Autopilot Speed"},   {"AP", "Set Autopilot Altitude"}, {"AP", "Set Autopilot Heading"},
        {"AP", "Set Autopilot V/S"},     {"DH", "Set Decision Height"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.gauge) + " \"" + row.tooltip + "\"");
        const MouseArea* a = area(row.gauge, row.tooltip);
        ASSERT_NE(a, nullptr);
        const Face& f = faces[row.gauge];
        const orvane::PixBox b = a->area.box;
        const int cx = f.gauge_x + b.x + b.size_x / 2, cy = f.gauge_y + b.y + b.size_y / 2;
        const int left = cx - reach(f, cx, cy, -1, 0), right = cx + reach(f, cx, cy, 1, 0);
        const int top = cy - reach(f, cx, cy, 0, -1), bottom = cy + reach(f, cx, cy, 0, 1);
        // Inside the area, but for the knob's shadow, one pixel below it.
        EXPECT_GE(left, f.gauge_x + b.x);
        EXPECT_LT(right, f.gauge_x + b.x + b.size_x);
        EXPECT_GE(top, f.gauge_y + b.y);
        EXPECT_LE(bottom, f.gauge_y + b.y + b.size_y);
        // And fills most of it across: a knob to turn, not a dot. (Down, its
        // shading's light top comes close to the plate's colour.)
        EXPECT_GE(right - left + 1, std::min(b.size_x, b.size_y) * 3 / 4);
        // Centred on it, so that its two halves are the two click rows.
        EXPECT_LE(std::abs((left + right) - (2 * (f.gauge_x + b.x) + b.size_x - 1)), 2);
    }
}

}  // namespace
