// Aircraft panels as they are written on Windows (tests/panels), each drawn
// by panelhost render: its exit status, every line it says, every picture it
// writes and its size, and the pixels that show a bitmap found as Windows
// finds it, a gauge cut at its window's edge, each placement of one gauge,
// a gauge left out after a gap, the screen's layers, and the same by night.
#include <filesystem>
#include <set>

#include "tests/support/panelhost_run.h"
#include "tests/unit/render_fixture.h"

namespace {

namespace fs = std::filesystem;
using namespace render_test;
using panelhost::testing::Outcome;

struct Picture {
    std::string name;
    int width, height;
};

// A pixel of a picture that is (or is not) a colour.
struct Probe {
    const char* what;
    const char* picture;
    int x, y;
    uint32_t rgb;
    bool is = true;
};

constexpr uint32_t magenta = 0xFF00FF, black = 0x000000, sky = 0x207CD6, screen_ground = 0x111314;

struct Row {
    const char* panel;  // its folder in tests/panels
    std::vector<std::string> options;
    int code;
    std::vector<std::string> said;  // on stderr, the panel.cfg named as panel.cfg
    std::vector<Picture> pictures;  // every picture written
    std::vector<Probe> probes;
};

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
    }
    return lines;
}

TEST(RealPanels, EachIsDrawnAsTheSimulatorShowsItWithWhatItSays) {
    const std::string airliner_dir = (fs::path(ORVANE_SOURCE_DIR) / "tests" / "panels" / "airliner/").string();
    const std::string other_module = "; it is not the module loaded";
    const std::vector<std::string> airliner_says{"panel.cfg: LVLD\\B767main: 6 gauges drawn as outlines" + other_module,
                                                 "panel.cfg: Fs.Avionics: 1 gauge drawn as an outline" + other_module};
    auto airliner_pictures = [](int screen_width, int screen_height) {
        return std::vector<Picture>{{"window00.png", 1024, 400}, {"window01.png", 1024, 160},
                                    {"window02.png", 600, 300},  {"window03.png", 300, 120},
                                    {"window04.png", 200, 100},  {"vcockpit01.png", 300, 300},
                                    {"screen.png", screen_width, screen_height}};
    };
    const std::string two_pilots_ils = (fs::path(ORVANE_SOURCE_DIR) / "tests/panels/two_pilots/fo_ils.scn").string();
    const std::vector<Picture> two_pilots_pictures{
        {"window00.png", 900, 340}, {"vcockpit01.png", 400, 200}, {"screen.png", 900, 340}};
    constexpr uint32_t two_pilots_sky = 0x599DE0, two_pilots_ground = 0x282C34, diamond = 0xEC48EC, lit = 0x40F848;
    const Row rows[] = {
        {"two_pilots",
         {},
         0,
         {},
         two_pilots_pictures,
         {{"the captain's PFD", "window00.png", 200, 95, two_pilots_sky},
          {"the first officer's, a placement of its own", "window00.png", 776, 95, two_pilots_sky},
          {"no landing system on the captain's", "window00.png", 170, 225, two_pilots_ground},
          {"nor on the first officer's", "window00.png", 746, 225, two_pilots_ground},
          {"the captain's FD unit", "window00.png", 100, 310, 0x838589},
          {"the first officer's ILS light off", "window00.png", 672, 322, 0x223A26},
          {"the texture's FD unit, the third placement: its ILS light off", "vcockpit01.png", 40, 22, 0x223A26}}},
        {"two_pilots",
         {"--scenario", two_pilots_ils},
         0,
         {},
         two_pilots_pictures,
         {{"the first officer's ILS button shows the localizer on the captain's PFD", "window00.png", 170, 225,
           diamond},
          {"and on the first officer's", "window00.png", 746, 225, diamond},
          {"the captain's FD unit, killed, is not drawn", "window00.png", 100, 310, two_pilots_ground},
          {"the first officer's ILS light on", "window00.png", 672, 322, lit},
          {"the texture's too", "vcockpit01.png", 40, 22, lit}}},
        {"airliner",
         {},
         0,
         airliner_says,
         airliner_pictures(1280, 1024),
         {{"file_1024 in another case than the file's is drawn", "window00.png", 600, 250, 0x343C48},
          {"the captain's PFD", "window00.png", 190, 150, sky},
          {"the first officer's PFD", "window00.png", 850, 150, sky},
          {"another module's gauge cut at the left edge", "window00.png", 5, 200, magenta},
          {"another module's gauge cut at the right edge", "window00.png", 1023, 330, magenta},
          {"a gauge of the module cut at the top edge", "window00.png", 934, 5, 0x343C48, false},
          {"a texture's gauges at its pixel_size: the captain's PFD", "vcockpit01.png", 80, 50, sky},
          {"and the first officer's", "vcockpit01.png", 228, 50, sky},
          {"a texture is black where nothing else is", "vcockpit01.png", 150, 150, black},
          {"window_pos and window_size stretch the main panel", "screen.png", 750, 824, 0x343C48},
          {"a higher zorder covers the glareshield", "screen.png", 1200, 450, 0x181A1E},
          {"the glareshield below it", "screen.png", 1200, 470, 0x282C34},
          {"the screen where no window is", "screen.png", 5, 5, screen_ground}}},
        {"airliner",
         {"--screen", "640x512"},
         0,
         airliner_says,
         airliner_pictures(640, 512),
         {{"window_pos and window_size are shares of --screen", "screen.png", 375, 412, 0x343C48}}},
        {"airliner",
         {"--night"},
         1,
         {"panel.cfg:20: background Main_1024_Night.bmp: cannot read Main_1024_Night.bmp: " + airliner_dir +
              " holds no \"Main_1024_Night.bmp\", in any case; left out",
          airliner_says[0], airliner_says[1]},
         airliner_pictures(1280, 1024),
         {{"a night bitmap missing: the day one in the [Color] Night colour", "window00.png", 600, 250, 0x291C0B},
          {"a background_color in the Night colour", "screen.png", 1200, 470, 0x1F1508},
          {"the PFD is bright: as by day", "window00.png", 190, 150, sky},
          {"another module's outline is never dimmed", "window00.png", 5, 200, magenta}}},
        {"ga_single",
         {},
         0,
         {"panel.cfg:16: Main Panel has no gauge03, and the simulator stops reading a window's gauges at a gap in "
          "their numbers: gauge04 and the gauge after it are not drawn (number them on without a gap)",
          "panel.cfg: bk_radios: 1 gauge drawn as an outline" + other_module,
          "panel.cfg: bk_radios/Audio: 1 gauge drawn as an outline" + other_module},
         {{"window00.png", 640, 320},
          {"window01.png", 300, 80},
          {"window02.png", 128, 64},
          {"vcockpit01.png", 256, 128},
          {"screen.png", 640, 400}},
         {{"..\\SHARED\\ga_panel.bmp is ../shared/GA_Panel.bmp", "window00.png", 320, 250, 0xC4B28C},
          {"the PFD after the gap is not drawn", "window00.png", 500, 180, 0xC4B28C},
          {"a name with spaces, its trailing ones dropped", "window01.png", 75, 60, 0x46281E},
          {"a folder's trailing space dropped", "window02.png", 64, 32, 0xC4B28C},
          {"a texture's background_color", "vcockpit01.png", 128, 64, 0xC80000},
          {"the top row centred over the bottom", "screen.png", 220, 60, 0x46281E},
          {"beside it, the screen", "screen.png", 5, 5, screen_ground}}},
        {"glass_twin",
         {},
         0,
         {"panel.cfg: TwinAvionics: 1 gauge drawn as an outline" + other_module,
          "panel.cfg: no window starts visible, so there is no screen.png (visible=1 puts a window on the screen)"},
         {{"vcockpit01.png", 512, 512}, {"vcockpit02.png", 400, 200}, {"vcockpit03.png", 64, 32}},
         {{"a texture without a background colour is black", "vcockpit01.png", 400, 400, black},
          {"its gauges at half size: the PFD", "vcockpit01.png", 110, 70, sky},
          {"a texture's bitmap", "vcockpit02.png", 360, 180, 0x1E5032},
          {"a texture of pixel_size alone", "vcockpit03.png", 10, 10, black}}},
        {"all_hidden",
         {},
         0,
         {"panel.cfg: no window starts visible, so there is no screen.png (visible=1 puts a window on the screen)"},
         {{"window00.png", 320, 100}, {"window01.png", 120, 60}},
         {{"a window's background_color", "window00.png", 300, 90, 0x3C3C46}}},
        {"typos",
         {},
         1,
         {"panel.cfg:5: position=9 is not a screen position (0 to 8, top left to bottom right)",
          "panel.cfg:7: gauge01=Orvane PFD, 10, 10 has no Module!Gauge (gaugeNN=Module!Gauge, x, y[, width[, "
          "height[, parameter]]])",
          "panel.cfg:6: Orvane!PDF: the module has no gauge named PDF; drawn as an outline",
          "panel.cfg:8: gauge02 at 400, 10 lies outside its window of 300 x 200; left out (drawn 40 x 17, it must "
          "reach into the window: x from -39 to 299, y from -16 to 199)",
          "panel.cfg:2: background C:\\Aircraft\\Panel\\main.bmp: cannot read C:\\Aircraft\\Panel\\main.bmp: it names "
          "a drive (a file relative to the panel's folder, or under it with ..\\); left out"},
         {{"window00.png", 300, 200}, {"screen.png", 300, 200}},
         {{"a gauge the module lacks, outlined", "window00.png", 10, 10, magenta}}},
    };
    const fs::path panels = fs::path(ORVANE_SOURCE_DIR) / "tests" / "panels";
    const fs::path out_root = fs::path(ORVANE_MODULE_PATH).parent_path() / "tests" / "real-panels";
    int run = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.panel + (row.options.empty() ? std::string() : " " + row.options.back()));
        const fs::path cfg = panels / row.panel / "panel.cfg";
        const fs::path out = out_root / std::to_string(run++);
        fs::remove_all(out);
        std::vector<std::string> args{"render", ORVANE_MODULE_PATH, cfg.string(), "--out", out.string()};
        args.insert(args.end(), row.options.begin(), row.options.end());
        const Outcome o = panelhost::testing::run_panelhost(args);
        EXPECT_EQ(o.code, row.code) << o.err;
        std::string said = o.err;
        for (size_t at; (at = said.find(cfg.string())) != std::string::npos;) said.replace(at, cfg.string().size(), "panel.cfg");
        EXPECT_EQ(lines_of(said), row.said);

        std::set<std::string> written, listed;
        for (const auto& entry : fs::directory_iterator(out)) written.insert(entry.path().filename().string());
        for (const Picture& p : row.pictures) listed.insert(p.name);
        EXPECT_EQ(written, listed);
        for (const Picture& p : row.pictures) {
            const panelhost::Surface picture(cairo_image_surface_create_from_png((out / p.name).c_str()));
            ASSERT_EQ(cairo_surface_status(picture.get()), CAIRO_STATUS_SUCCESS) << p.name;
            EXPECT_EQ(cairo_image_surface_get_width(picture.get()), p.width) << p.name;
            EXPECT_EQ(cairo_image_surface_get_height(picture.get()), p.height) << p.name;
        }
        for (const Probe& probe : row.probes) {
            const panelhost::Surface picture(cairo_image_surface_create_from_png((out / probe.picture).c_str()));
            const Rgba got = at(picture.get(), probe.x, probe.y);
            EXPECT_EQ(near(got, int(probe.rgb >> 16), int((probe.rgb >> 8) & 0xFF), int(probe.rgb & 0xFF), 2),
                      probe.is)
                << probe.what << ": " << probe.picture << " at " << probe.x << ", " << probe.y << " is " << got.r
                << " " << got.g << " " << got.b << " " << got.a;
        }
    }
}

}  // namespace
