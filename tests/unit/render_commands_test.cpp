// The drawing commands' exit statuses and messages, and what the demo writes.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "host/render/render.h"
#include "host/commands/commands.h"
#include "tests/support/panelhost_run.h"

namespace {

namespace fs = std::filesystem;
using panelhost::testing::Outcome;

Outcome run(const std::vector<std::string>& args) { return panelhost::testing::run_panelhost(args); }

class RenderCommands : public panelhost::testing::CommandFiles {
protected:
    RenderCommands() : CommandFiles("render-commands") {}
};

TEST_F(RenderCommands, EachCommandSaysWhatWentWrongAndExitsWithItsStatus) {
    const std::string dh_only = file("dh.scn", "install DH\nupdate\n");
    const std::string wrong = file("wrong.scn", "install DH\nupdate\nexpect text DH 1 \"200\"\n");
    const std::string out = dir.string();
    const std::string panels = std::string(ORVANE_SOURCE_DIR) + "/tests/panels/";
    const struct Row {
        std::vector<std::string> args;
        int code;
        const char* says;
    } rows[] = {
        {{"render"}, 2, "MODULE is required"},
        {{"render", module, "--gauge", "XYZ"}, 2, "the module has no gauge named XYZ"},
        {{"render", module, "--gauge", "PFD", "--scale", "0"}, 2, "--scale: Value 0 not in range 1 to 8"},
        {{"render", module, "--gauge", "PFD", "--fast"}, 2, "unknown option --fast"},
        {{"render", module, "--gauge", "PFD", "--screen", "1280x0"}, 2,
         "--screen 1280x0 is not a screen size (WxH, each a whole number from 1 to 16384)"},
        {{"render", module, "/nonexistent/panel.cfg"}, 2, "cannot read /nonexistent/panel.cfg"},
        {{"render", "/nonexistent/module.so", "--gauge", "PFD"}, 2, "/nonexistent/module.so"},
        {{"render", module, "--gauge", "PFD", "--scenario", dh_only, "--out", out}, 1, "PFD was not installed"},
        {{"render", module, "--gauge", "DH", "--scenario", wrong, "--out", out}, 1, "expected \"200\""},
        {{"render", module, "--gauge", "DH", "--scale", "3", "--out", out}, 0, "DH.png"},
        {{"demo"}, 2, "MODULE is required"},
        {{"demo", module, "--scale", "9"}, 2, "--scale: Value 9 not in range 1 to 8"},
        {{"demo", module, "--scenario", "/nonexistent.scn"}, 2, "cannot read /nonexistent.scn"},
        {{"demo", module, "--panel", panels + "airliner/panel.cfg", "--scenario", dh_only, "--out", out + "/airliner",
          "--scale", "1"},
         1,  // the demo's last frame drawn again at night lacks its night bitmap
         "panel.cfg: LVLD\\B767main: 6 gauges drawn as outlines; it is not the module loaded"},
        {{"demo", module, "--panel", panels + "all_hidden/panel.cfg", "--scenario", dh_only, "--out", out + "/hidden"},
         0,
         "panel.cfg: no window starts visible, so there is no screen to film: no frames, contact sheet or animation"},
        {{"reference"}, 2, "MODULE is required"},
        {{"reference", module}, 0, "### `DME`"},
        {{"--help"}, 0, "draws a panel.cfg's windows"},
    };
    for (const Row& row : rows) {
        std::string line;
        for (const std::string& a : row.args) line += a + " ";
        SCOPED_TRACE(line);
        const Outcome o = run(row.args);
        EXPECT_EQ(o.code, row.code) << o.err;
        EXPECT_NE((o.out + o.err).find(row.says), std::string::npos) << o.out << o.err;
    }
    EXPECT_TRUE(fs::exists(dir / "hidden" / "dh.trace"));
    EXPECT_FALSE(fs::exists(dir / "hidden" / "frames" / "frame_0001.png")) << "no screen, no frame";
    const panelhost::Surface dh(cairo_image_surface_create_from_png((dir / "DH.png").c_str()));
    EXPECT_EQ(cairo_image_surface_get_width(dh.get()), 3 * 109);
    EXPECT_EQ(cairo_image_surface_get_height(dh.get()), 3 * 31);
}

TEST_F(RenderCommands, TheDemoWritesAFramePerUpdateTheSheetTheAnimationAndTheTrace) {
    const std::string scenario = file("short.scn",
                                      "install all\n"
                                      "update 2\n"
                                      "# moment: Installed\n"
                                      "set AIRSPEED 150\n"
                                      "ramp PITCH 0 5 3\n"
                                      "# moment: Pitched up\n");
    const fs::path out = dir / "demo";
    fs::create_directories(out / "frames");
    std::ofstream(out / "frames" / "frame_0099.png") << "left from an earlier run";
    std::ofstream(out / "callout.wav") << "left from an earlier run";
    const Outcome o = run({"demo", module, "--scenario", scenario, "--out", out.string(), "--scale", "1"});
    ASSERT_EQ(o.code, 0) << o.err;
    EXPECT_NE(o.out.find("5 updates of"), std::string::npos) << o.out;
    int frames = 0;
    for (const auto& entry : fs::directory_iterator(out / "frames")) frames += entry.path().extension() == ".png";
    EXPECT_EQ(frames, 5);
    EXPECT_TRUE(fs::exists(out / "frames" / "frame_0005.png"));
    EXPECT_TRUE(fs::exists(out / "short.trace"));
    EXPECT_TRUE(fs::exists(out / "short.apng"));
    EXPECT_FALSE(fs::exists(out / "callout.wav")) << "nothing played";
    const panelhost::Surface sheet(cairo_image_surface_create_from_png((out / "contact-sheet.png").c_str()));
    ASSERT_EQ(cairo_surface_status(sheet.get()), CAIRO_STATUS_SUCCESS);
    // Two moments side by side: the sheet is two half-size frames wide;
    // the last frame again at night starts a second row of them.
    const panelhost::Surface frame(cairo_image_surface_create_from_png((out / "frames" / "frame_0001.png").c_str()));
    EXPECT_GE(cairo_image_surface_get_width(sheet.get()), cairo_image_surface_get_width(frame.get()));
    EXPECT_GE(cairo_image_surface_get_height(sheet.get()), cairo_image_surface_get_height(frame.get()));

    const fs::path night = dir / "night";
    ASSERT_EQ(run({"demo", module, "--scenario", scenario, "--out", night.string(), "--scale", "1", "--night"}).code, 0);
    const panelhost::Surface dark(cairo_image_surface_create_from_png((night / "frames" / "frame_0001.png").c_str()));
    ASSERT_EQ(cairo_surface_status(dark.get()), CAIRO_STATUS_SUCCESS);
    EXPECT_NE(panelhost::pixel_at(dark.get(), 1, 1), panelhost::pixel_at(frame.get(), 1, 1)) << "the glareshield dimmed";
}

}  // namespace
