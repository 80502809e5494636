// Whole panel windows: gauges where their panel.cfg lines put them and as
// large as they say, a gauge the module lacks in magenta, window sizes,
// backgrounds, the screen's rows, and the example panel against its goldens.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/commands/commands.h"
#include "host/commands/demo_assets.h"
#include "host/layout/panel_cfg.h"
#include "host/scenario/scenario.h"
#include "host/render/panel_renderer.h"
#include "tests/support/bmp_files.h"
#include "tests/unit/render_fixture.h"
#include "module/host_vars.h"
#include "tools/art/indexed_image.h"

namespace {

using namespace render_test;
using namespace panelhost;

// Each message as printed.
std::vector<std::string> texts(const Diagnostics& said) {
    std::vector<std::string> printed;
    for (const Diagnostic& d : said.all()) printed.push_back(d.text);
    return printed;
}

// An 8-bit BMP file of one colour.
std::vector<uint8_t> plain_bmp(int w, int h, art::Rgb colour) {
    art::IndexedImage image{.width = w, .height = h};
    image.palette[1] = colour;
    image.pixels.assign(size_t(w) * size_t(h), 1);
    return art::encode_bmp_file(image);
}

class RenderPanel : public RenderTest {
protected:
    PanelConfig cfg(const std::string& text) {
        PanelConfig c = parse_panel_cfg(text, "p.cfg");
        EXPECT_TRUE(c.problems.empty());
        return c;
    }
    // Files the panel may name: bg.bmp 150 x 50 light grey; true.bmp the
    // same at 24 bits; deep.bmp an 8-bit file that claims 24 bits, and so
    // lacks most of its rows.
    PanelFiles files = [](const std::string& name, std::string&) -> std::optional<std::vector<uint8_t>> {
        if (name == "bg.bmp") return plain_bmp(150, 50, {200, 200, 200});
        if (name == "true.bmp") return panelhost::testing::bmp_file({.width = 150, .height = 50, .rgb = 0xC8C8C8});
        if (name == "deep.bmp") {
            std::vector<uint8_t> bmp = plain_bmp(4, 4, {1, 2, 3});
            bmp[28] = 24;  // bits per pixel
            return bmp;
        }
        return std::nullopt;
    };
};

TEST_F(RenderPanel, AGaugeStandsWhereItsLinePutsItAsLargeAsItsWidthAndHeightSay) {
    const struct Row {
        const char* line;
        int x, y;
        double sx, sy;
    } rows[] = {
        {"gauge00=Orvane!FD, 10, 20", 10, 20, 1, 1},
        {"gauge00=Orvane!FD, 10, 20, 80", 10, 20, 2, 2},          // the height keeps the aspect
        {"gauge00=Orvane!FD, 30, 5, 80, 17", 30, 5, 2, 1},
        {"gauge00=Orvane!FD, 0, 0, 120, 51", 0, 0, 3, 3},
    };
    install({"FD"});
    set(orvane::FLIGHT_DIRECTOR, 1);
    panel().update();
    const Surface alone = draw("FD");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const PanelConfig c = cfg(std::string("[Window00]\nsize_mm=200,100\n") + row.line + "\n");
        PanelRenderer drawing(renderer(), c, ORVANE_MODULE_PATH, files);
        const Surface window = drawing.render_window(c.windows[0], panel(), 1);
        EXPECT_EQ(cairo_image_surface_get_width(window.get()), 200);
        EXPECT_EQ(cairo_image_surface_get_height(window.get()), 100);
        for (int v = 0; v < 17; v += 2) {
            for (int u = 0; u < 40; u += 3) {
                const int wx = row.x + int((u + 0.5) * row.sx), wy = row.y + int((v + 0.5) * row.sy);
                ASSERT_TRUE(same(at(alone.get(), u, v), at(window.get(), wx, wy)))
                    << "gauge pixel " << u << ", " << v << " at window pixel " << wx << ", " << wy;
            }
        }
        // Nothing of it beyond its scaled box.
        EXPECT_EQ(at(window.get(), row.x + int(40 * row.sx) + 1, row.y).a, 0);
        EXPECT_EQ(at(window.get(), row.x, row.y + int(17 * row.sy) + 1).a, 0);
    }
}

TEST_F(RenderPanel, AGaugeTheModuleLacksIsReportedWithItsLineAndOutlinedInMagenta) {
    // And a placement of the FD past the most a gauge may have (gauge18, line 21).
    std::string more_fds;
    for (int n = 3; n <= 2 + max_placements; ++n) more_fds += "gauge" + std::to_string(n) + "=orvane!FD, 5, 5\n";
    const PanelConfig c = cfg(
        "[Window00]\n"
        "size_mm=200,100\n"
        "gauge00=Orvane!NOPE, 50, 60, 40, 20\n"
        "gauge01=Other!PFD, 120, 10\n"
        "gauge02=orvane!FD, 5, 5\n" +
        more_fds);
    PanelRenderer drawing(renderer(), c, ORVANE_MODULE_PATH, files);
    drawing.set_placements(panel());
    EXPECT_EQ(panel().placements("FD"), max_placements);
    install({"FD"});
    panel().update();
    Diagnostics said("t");
    drawing.check(panel(), said);
    // Another module's gauges are no mistake: the panel says so once for the module.
    drawing.notes(panel(), said);
    EXPECT_EQ(texts(said), (std::vector<std::string>{
                               "p.cfg:3: Orvane!NOPE: the module has no gauge named NOPE; drawn as an outline",
                               "p.cfg:21: orvane!FD: placement 17 of FD; left out (at most 16 placements of a gauge)",
                               "p.cfg: Other: 1 gauge drawn as an outline; it is not the module loaded"}));
    EXPECT_EQ(said.exit_status(), exit_failed);
    const std::vector<std::string> names = drawing.gauge_names(panel());
    ASSERT_EQ(names.size(), size_t(max_placements));
    EXPECT_EQ(names[0], "FD");
    EXPECT_EQ(names[1], "FD:2");
    EXPECT_EQ(names.back(), "FD:16");
    const Surface window = drawing.render_window(c.windows[0], panel(), 1);
    const struct Probe {
        int x, y;
        bool magenta;
    } probes[] = {
        {50, 60, true}, {89, 60, true}, {50, 79, true}, {89, 79, true}, {70, 60, true}, {70, 70, false},
        {49, 60, false}, {90, 70, false}, {120, 10, true}, {151, 41, true}, {135, 25, false}, {152, 25, false},
    };
    for (const Probe& p : probes) {
        EXPECT_EQ(near(at(window.get(), p.x, p.y), 255, 0, 255, 0), p.magenta) << p.x << ", " << p.y;
    }
}

TEST_F(RenderPanel, AWindowTakesItsSizeFromSizeMmElseItsBackgroundElseItsGauges) {
    const struct Row {
        const char* keys;
        int width, height;
        std::vector<std::string> problems;
    } rows[] = {
        {"size_mm=300,200\nfile=bg.bmp", 300, 200, {}},
        {"size_mm=300\nfile=bg.bmp", 300, 100, {}},
        {"file=bg.bmp", 150, 50, {}},
        {"gauge00=Orvane!FD, 100, 30, 80", 180, 64, {}},
        {"file=true.bmp", 150, 50, {}},
        {"size_mm=8192,3", 8192, 3, {}},
        {"gauge00=Orvane!FD, 8000, 8000, 8192", 16192, 11482, {}},
        {"size_mm=64,32\nfile=missing.bmp", 64, 32, {"p.cfg:1: background missing.bmp: cannot be read; left out"}},
        {"size_mm=64,32\nfile=deep.bmp", 64, 32,
         {"p.cfg:1: background deep.bmp: it is cut short: its rows need 48 bytes from byte 1078, and the file has "
          "1094 bytes (a file as long as its rows); left out"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.keys);
        const PanelConfig c = cfg(std::string("[Window00]\n") + row.keys + "\n");
        PanelRenderer drawing(renderer(), c, ORVANE_MODULE_PATH, files);
        const PanelRenderer::Size size = drawing.window_size(c.windows[0], panel());
        EXPECT_EQ(size.x, row.width);
        EXPECT_EQ(size.y, row.height);
        Diagnostics said("t");
        drawing.check(panel(), said);
        EXPECT_EQ(texts(said), row.problems);
        if (row.width * row.height > 1000000) continue;
        const Surface twice = drawing.render_window(c.windows[0], panel(), 2);
        EXPECT_EQ(cairo_image_surface_get_width(twice.get()), 2 * row.width);
        if (std::string(row.keys).find("bg.bmp") != std::string::npos ||
            std::string(row.keys).find("true.bmp") != std::string::npos) {
            EXPECT_TRUE(near(at(twice.get(), 2 * row.width - 1, 2 * row.height - 1), 200, 200, 200, 0));
        }
    }
}

// By night a window's background is dimmed by the night colour, unless the
// window names a night bitmap, which is drawn as it is.
TEST_F(RenderPanel, ByNightABackgroundIsDimmedOrItsNightBitmapDrawnInstead) {
    const struct Row {
        const char* text;
        bool night;
        Rgba pixel;
    } rows[] = {
        {"[Window00]\nfile=bg.bmp", false, {200, 200, 200, 255}},
        {"[Window00]\nfile=bg.bmp", true, {44, 44, 56, 255}},
        {"[Window00]\nfile=bg.bmp\nfile_night=dark.bmp", false, {200, 200, 200, 255}},
        {"[Window00]\nfile=bg.bmp\nfile_night=dark.bmp", true, {10, 20, 30, 255}},
        {"[Window00]\nfile=bg.bmp\nfile_night=missing.bmp\nfile_1024_night=dark.bmp", true, {10, 20, 30, 255}},
        {"[Window00]\nsize_mm=20,20\nbackground_color=255,0,100", true, {56, 0, 28, 255}},
    };
    PanelFiles with_night = [this](const std::string& name, std::string& error) {
        return name == "dark.bmp" ? std::optional(plain_bmp(30, 10, {10, 20, 30})) : files(name, error);
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text + std::string(row.night ? " by night" : " by day"));
        const PanelConfig c = cfg(row.text + std::string("\n"));
        renderer().set_lighting(row.night ? night_lighting(c) : Lighting{});
        PanelRenderer drawing(renderer(), c, ORVANE_MODULE_PATH, with_night);
        const Surface picture = drawing.render_window(c.windows[0], panel(), 1);
        EXPECT_TRUE(same(at(picture.get(), 5, 5), row.pixel));
        EXPECT_EQ(drawing.window_size(c.windows[0], panel()).x, c.windows[0].size_width.value_or(150));
        Diagnostics said("t");
        drawing.check(panel(), said);
        EXPECT_EQ(texts(said), std::vector<std::string>{});
    }
    renderer().set_lighting({});
}

TEST_F(RenderPanel, TheScreenShowsTheVisibleWindowsInRowsByTheirPositions) {
    const PanelConfig c = cfg(
        "[Window00]\nsize_mm=200,60\nfile=bg.bmp\nposition=7\n"
        "[Window01]\nsize_mm=100,40\nfile=bg.bmp\nposition=1\n"
        "[Window02]\nsize_mm=50,50\nfile=bg.bmp\nposition=1\nvisible=0\n");
    PanelRenderer drawing(renderer(), c, ORVANE_MODULE_PATH, files);
    const Surface screen = drawing.render_screen(panel(), 1);
    EXPECT_EQ(cairo_image_surface_get_width(screen.get()), 200);
    EXPECT_EQ(cairo_image_surface_get_height(screen.get()), 100);
    auto window_at = [&](int x, int y) { return near(at(screen.get(), x, y), 200, 200, 200, 0); };
    EXPECT_TRUE(window_at(50, 0));    // the top window, centred over the bottom one
    EXPECT_TRUE(window_at(149, 39));
    EXPECT_FALSE(window_at(49, 10));
    EXPECT_FALSE(window_at(150, 10));
    EXPECT_TRUE(window_at(0, 40));    // the bottom window, full width
    EXPECT_TRUE(window_at(199, 99));
}

TEST_F(RenderPanel, WithWindowPosTheScreenIsItsSizeAndEachWindowStandsWhereItsKeysSayInZorder) {
    const PanelConfig c = cfg(
        "[Window00]\nsize_mm=200,100\nwindow_pos=0.25,0.25\nwindow_size=0.25\n"
        "[Window01]\nsize_mm=100,40\nposition=8\nzorder=3\n"
        "[Window02]\nsize_mm=50,50\nwindow_pos=0,0\nwindow_size=0.5,0.5\nzorder=-1\ngauge00=Orvane!FD, 30, 30\n"
        "[Window03]\nsize_mm=10,10\nwindow_pos=0,0\nvisible=0\n"
        "[Window04]\nsize_mm=60,20\n");
    install({"FD"});
    PanelRenderer drawing(renderer(), c, ORVANE_MODULE_PATH, files, ScreenSize{400, 300});
    const struct Placed {
        int number;
        int64_t x, y, width, height;
    } expected[] = {
        {2, 0, 0, 200, 150},     // stretched to half the screen each way, lowest
        {0, 100, 75, 100, 50},   // a quarter of it across, its own aspect
        {4, 170, 140, 60, 20},   // no place given: centred, at its own size
        {1, 300, 260, 100, 40},  // position 8: bottom right, highest
    };
    const auto layout = drawing.screen_layout(panel());
    ASSERT_EQ(layout.size(), std::size(expected));
    for (size_t i = 0; i < layout.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(layout[i].window->number, expected[i].number);
        EXPECT_EQ(layout[i].x, expected[i].x);
        EXPECT_EQ(layout[i].y, expected[i].y);
        EXPECT_EQ(layout[i].width, expected[i].width);
        EXPECT_EQ(layout[i].height, expected[i].height);
    }
    const Surface screen = drawing.render_screen(panel(), 2);
    EXPECT_EQ(cairo_image_surface_get_width(screen.get()), 800);
    EXPECT_EQ(cairo_image_surface_get_height(screen.get()), 600);
    // Window02's FD spans 120 to 280 across and 90 to 141 down, four and three screen pixels a gauge pixel.
    EXPECT_FALSE(drawing.gauge_at(panel(), 150, 100, 1).has_value()) << "Window00 covers it";
    const auto hit = drawing.gauge_at(panel(), 150, 130, 1);
    ASSERT_TRUE(hit.has_value());
    EXPECT_EQ(hit->gauge->name, "FD");
    EXPECT_EQ(hit->pixel.x, 7);
    EXPECT_EQ(hit->pixel.y, 13);
}

TEST_F(RenderPanel, AScreenPixelMeetsTheGaugeDrawnThereAtThePixelItDrawsThere) {
    // The bottom window spans the screen below the top one (50 to 150 across, 40 down).
    const PanelConfig c = cfg(
        "[Window00]\nsize_mm=200,60\nfile=bg.bmp\nposition=7\n"
        "gauge00=Orvane!FD, 10, 20, 80\ngauge01=Orvane!DME, 30, 20\ngauge02=Orvane!AP, 195, 0\n"
        "[Window01]\nsize_mm=100,40\nfile=bg.bmp\nposition=1\ngauge00=Orvane!DH, 0, 0\ngauge01=Orvane!fd, 60, 20\n");
    PanelRenderer drawing(renderer(), c, ORVANE_MODULE_PATH, files);
    drawing.set_placements(panel());
    install({"FD", "FD:2", "DME", "AP"});
    const struct Row {
        const char* what;
        int x, y, scale;
        const char* gauge;  // null: none
        int gx, gy;
    } rows[] = {
        {"a gauge drawn twice its size takes two screen pixels a gauge pixel", 15, 67, 1, "FD", 2, 3},
        {"at scale 2 a window pixel is half a screen pixel", 31, 135, 2, "FD", 2, 3},
        {"the gauge's own first pixel", 10, 60, 1, "FD", 0, 0},
        {"where two gauges overlap, the one drawn last", 31, 61, 1, "DME", 1, 1},
        {"the background between gauges", 5, 45, 1, nullptr, 0, 0},
        {"a gauge that is not installed is not met", 55, 5, 1, nullptr, 0, 0},
        {"a gauge beyond its window's edge is cut off there", 200, 45, 1, nullptr, 0, 0},
        {"the last pixel inside the window still meets it", 199, 40, 1, "AP", 4, 0},
        {"off the screen", -1, 50, 1, nullptr, 0, 0},
        {"a second placement of a gauge, named in another case, is its own", 111, 21, 1, "FD:2", 1, 1},
    };
    for (const Row& row : rows) {
        const auto hit = drawing.gauge_at(panel(), row.x, row.y, row.scale);
        if (row.gauge == nullptr) {
            EXPECT_FALSE(hit.has_value()) << row.what;
            continue;
        }
        ASSERT_TRUE(hit.has_value()) << row.what;
        ASSERT_NE(hit->gauge, nullptr) << row.what;
        EXPECT_EQ(hit->gauge->name, row.gauge) << row.what;
        EXPECT_EQ(hit->pixel.x, row.gx) << row.what;
        EXPECT_EQ(hit->pixel.y, row.gy) << row.what;
    }
}

// Pixels that differ by more than a text's anti-aliasing would.
TEST(RenderGolden, ThePanelLooksAsItsGoldenPictures) {
    const std::string source = ORVANE_SOURCE_DIR;
    const std::filesystem::path actual =
        std::filesystem::path(ORVANE_MODULE_PATH).parent_path() / "tests" / "render-actual";
    std::filesystem::create_directories(actual);
    const int code = panelhost_main({"render", ORVANE_MODULE_PATH, source + "/examples/panel.cfg", "--scenario",
                                     source + "/tests/render/golden.scn", "--out", actual.string()},
                                    stdout, stderr);
    ASSERT_EQ(code, 0);
    for (const char* name : {"window00.png", "window01.png", "screen.png"}) {
        expect_like_golden(source + "/tests/render/" + name, (actual / name).string());
    }
}

TEST(RenderDemo, MomentsAreTheCommentsThatNameThemWithTheirLines) {
    Scenario scenario;
    EXPECT_EQ(parse_scenario(
        "update\n"
        "# moment: Level at 3000 ft\r\n"
        "#moment: not this one\n"
        "   # moment:   Indented, trimmed   \n"
        "set 5 1 # moment: not after a step\n"
        "# moment:\n", scenario).size(), 0u);
    const std::vector<Moment>& moments = scenario.moments;
    ASSERT_EQ(moments.size(), 3u);
    EXPECT_EQ(moments[0].line, 2);
    EXPECT_EQ(moments[0].caption, "Level at 3000 ft");
    EXPECT_EQ(moments[1].line, 4);
    EXPECT_EQ(moments[1].caption, "Indented, trimmed");
    EXPECT_EQ(moments[2].line, 6);
    EXPECT_EQ(moments[2].caption, "");
}

TEST(RenderDemo, TheProgramCarriesTheExampleFilesAsTheyAre) {
    for (const char* name : {"approach.scn", "panel.cfg", "a310_glareshield.bmp", "a310_main_panel.bmp"}) {
        SCOPED_TRACE(name);
        std::ifstream file(std::string(ORVANE_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
        const std::vector<uint8_t> committed((std::istreambuf_iterator<char>(file)), {});
        ASSERT_FALSE(committed.empty());
        EXPECT_EQ(demo_asset(name), committed);
    }
    EXPECT_FALSE(demo_asset("no-such-file").has_value());
}

}  // namespace
