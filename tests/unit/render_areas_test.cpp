// panelhost render --areas: every mouse area of every drawn gauge outlined
// where the gauge's mouse table puts it, for a gauge alone and on a panel,
// and the pictures against their goldens.
#include <cmath>
#include <filesystem>

#include "host/commands/commands.h"
#include "host/panel/mouse.h"
#include "host/render/area_map.h"
#include "tests/unit/render_fixture.h"

namespace {

namespace fs = std::filesystem;
using namespace render_test;
using namespace panelhost;

const std::string source = ORVANE_SOURCE_DIR;

fs::path out_dir(const std::string& name) {
    const fs::path dir = fs::path(ORVANE_MODULE_PATH).parent_path() / "tests" / "render-areas" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

class RenderAreas : public RenderTest {
protected:
    // Each area's outline, on its right and bottom edges (a bounded box,
    // drawn inside it) or on the whole gauge's left and bottom edges (drawn
    // outside them), must be the area's colour.
    void expect_outlines(cairo_surface_t* map, const char* gauge, double x, double y, double scale) {
        const std::vector<MouseArea> areas = mouse_areas(panel().gauge(gauge)->mouse_rect);
        ASSERT_FALSE(areas.empty());
        const orvane::PixPoint size = renderer().gauge_size(*panel().gauge(gauge));
        for (size_t i = 0; i < areas.size(); ++i) {
            const orvane::PixBox b = areas[i].area.bounded ? areas[i].area.box : orvane::PixBox{0, 0, size.x, size.y};
            const int left = int(std::lround(area_map_margin + x + b.x * scale));
            const int top = int(std::lround(area_map_margin + y + b.y * scale));
            const int right = int(std::lround(area_map_margin + x + (b.x + b.size_x) * scale));
            const int bottom = int(std::lround(area_map_margin + y + (b.y + b.size_y) * scale));
            // Three quarters along, clear of the number in the top-left corner.
            const int across = left + (right - left) * 3 / 4, down = top + (bottom - top) * 3 / 4;
            struct Point {
                int x, y;
            };
            const std::vector<Point> edges = areas[i].area.bounded
                                                 ? std::vector<Point>{{right - 1, down}, {across, bottom - 1}}
                                                 : std::vector<Point>{{left - 1, down}, {across, bottom}};
            const uint32_t c = area_colour(i + 1);
            for (const Point& p : edges) {
                const Rgba got = at(map, p.x, p.y);
                EXPECT_TRUE(near(got, int(c >> 16), int((c >> 8) & 0xFF), int(c & 0xFF), 0))
                    << gauge << " area " << i + 1 << " \"" << areas[i].tooltip << "\" at " << p.x << ", " << p.y
                    << ": got " << got.r << " " << got.g << " " << got.b;
            }
        }
    }
};

TEST_F(RenderAreas, EachAreaIsOutlinedWhereTheMouseTableOfItsGaugePutsIt) {
    const fs::path dir = out_dir("gauges");
    for (const char* gauge : {"AP", "PFD", "DH", "FD", "DME"}) {
        for (int scale : {1, 2, 3}) {
            SCOPED_TRACE(std::string(gauge) + " at scale " + std::to_string(scale));
            ASSERT_EQ(panelhost_main({"render", ORVANE_MODULE_PATH, "--gauge", gauge, "--areas", "--scale",
                                      std::to_string(scale), "--out", dir.string()},
                                     stdout, stderr),
                      0);
            const Surface map(cairo_image_surface_create_from_png((dir / (std::string(gauge) + ".png")).c_str()));
            ASSERT_EQ(cairo_surface_status(map.get()), CAIRO_STATUS_SUCCESS);
            expect_outlines(map.get(), gauge, 0, 0, scale);
        }
    }
}

TEST_F(RenderAreas, OnAPanelEachGaugesAreasFollowItsPlaceAndScale) {
    const fs::path dir = out_dir("panel");
    ASSERT_EQ(panelhost_main({"render", ORVANE_MODULE_PATH, source + "/examples/panel.cfg", "--areas", "--scale", "2",
                              "--out", dir.string()},
                             stdout, stderr),
              0);
    const Surface glareshield(cairo_image_surface_create_from_png((dir / "window01.png").c_str()));
    const Surface main_panel(cairo_image_surface_create_from_png((dir / "window00.png").c_str()));
    // As examples/panel.cfg places them: x, y and the scale of each gauge line.
    const struct Row {
        cairo_surface_t* map;
        const char* gauge;
        double x, y, scale;
    } rows[] = {
        {glareshield.get(), "AP", 196, 18, 1},
        {glareshield.get(), "FD", 24, 52, 80.0 / 40},
        {glareshield.get(), "DME", 120, 52, 36.0 / 18},
        {main_panel.get(), "DH", 366, 72, 150.0 / 109},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.gauge);
        expect_outlines(row.map, row.gauge, 2 * row.x, 2 * row.y, 2 * row.scale);
    }
}

TEST_F(RenderAreas, OnATextureAndOnEachPlacementOfAGaugeTheAreasFollowToo) {
    const fs::path dir = out_dir("textures");
    for (const char* panel : {"glass_twin", "airliner"}) {
        ASSERT_EQ(panelhost_main({"render", ORVANE_MODULE_PATH, source + "/tests/panels/" + panel + "/panel.cfg",
                                  "--areas", "--out", (dir / panel).string()},
                                 stdout, stderr),
                  0);
    }
    auto map = [&](const char* panel, const char* picture) {
        return Surface(cairo_image_surface_create_from_png((dir / panel / picture).c_str()));
    };
    const Surface glass = map("glass_twin", "vcockpit01.png"), blank = map("glass_twin", "vcockpit02.png");
    const Surface main_panel = map("airliner", "window00.png"), texture = map("airliner", "vcockpit01.png");
    // As the panels place them, in picture pixels: a texture of 512 pixels for 1024 units, one of its units each.
    const struct Row {
        cairo_surface_t* map;
        const char* gauge;
        double x, y, scale;
    } rows[] = {
        {glass.get(), "DH", 210, 20, 218.0 / 109 / 2},
        {blank.get(), "FD", 10, 10, 1},
        {main_panel.get(), "PFD", 40, 60, 284.0 / 189},
        {main_panel.get(), "PFD", 700, 60, 284.0 / 189},
        {texture.get(), "PFD", 5, 5, 284.0 / 189 / 2},
        {texture.get(), "PFD", 153, 5, 284.0 / 189 / 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.gauge) + " at " + std::to_string(row.x));
        expect_outlines(row.map, row.gauge, row.x, row.y, row.scale);
    }
}

// Each gauge with its areas, and the PFD by day and by night: its tapes and
// scales, which are not bright, take the night colour.
TEST(RenderGaugeGolden, EachGaugeLooksAsItsGoldenPicture) {
    const struct Row {
        const char* gauge;
        std::vector<std::string> options;
        const char* golden;  // under tests/render
    } rows[] = {
        {"AP", {"--areas", "--scale", "2"}, "areas/AP.png"},
        {"PFD", {"--areas", "--scale", "2"}, "areas/PFD.png"},
        {"DH", {"--areas", "--scale", "2"}, "areas/DH.png"},
        {"FD", {"--areas", "--scale", "2"}, "areas/FD.png"},
        {"DME", {"--areas", "--scale", "2"}, "areas/DME.png"},
        {"PFD", {"--scale", "1"}, "lighting/PFD-day.png"},
        {"PFD", {"--scale", "1", "--night"}, "lighting/PFD-night.png"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.golden);
        const fs::path dir = out_dir("golden");
        std::vector<std::string> args = {"render", ORVANE_MODULE_PATH, "--gauge", row.gauge, "--scenario",
                                         source + "/tests/render/golden.scn", "--out", dir.string()};
        args.insert(args.end(), row.options.begin(), row.options.end());
        ASSERT_EQ(panelhost_main(args, stdout, stderr), 0);
        expect_like_golden(source + "/tests/render/" + row.golden, (dir / (std::string(row.gauge) + ".png")).string());
    }
}

}  // namespace
