// Every input a user can hand panelhost render and demo: a panel.cfg and its
// backgrounds, sizes at a scale, folders. Each problem is said as
// file:line: what is wrong (what is allowed); the exit status is 1 when a
// panel had problems and the rest was drawn, 2 when nothing could be.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/layout/panel_cfg.h"
#include "tests/support/bmp_files.h"
#include "tests/support/panelhost_run.h"

namespace panelhost::testing {
namespace {

namespace fs = std::filesystem;

class RenderBadInput : public CommandFiles {
protected:
    RenderBadInput() : CommandFiles("render-bad-input") {}
    std::string bmp(const std::string& name, const BmpSpec& spec) {
        const std::vector<uint8_t> bytes = bmp_file(spec);
        return file(name, std::string(bytes.begin(), bytes.end()));
    }
};

std::string windows(int count, const std::string& keys) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "[Window" + std::to_string(i) + "]\n" + keys + "\n";
    return text;
}

TEST_F(RenderBadInput, APanelIsDrawnWhateverItsLineEndsAndItsProblemsAreToldWithTheirLines) {
    bmp("wide.bmp", {.width = 32768, .height = 1, .bits = 8, .palette = 256});
    bmp("rle.bmp", {.bits = 8, .compression = 1, .palette = 256});
    std::vector<uint8_t> cut = bmp_file({.width = 40, .height = 40});
    cut.resize(cut.size() - 100);
    file("cut.bmp", std::string(cut.begin(), cut.end()));
    const struct Row {
        const char* what;
        std::string cfg;
        int code;
        std::string says;
    } rows[] = {
        {"a byte-order mark is no part of the first section", "\xEF\xBB\xBF[Window00]\nsize_mm=20,10\n", 0,
         "window00.png"},
        {"Windows line ends are line ends", "[Window00]\r\nsize_mm=20,10\r\ngauge00=Orvane!DH, 1, 1\r\n", 0,
         "window00.png"},
        {"a line the reader cannot use is told and the rest drawn",
         "[Window00]\nposition=9\nsize_mm=20,10\n", 1, "p.cfg:2: position=9 is not a screen position"},
        {"a gauge beyond any window's size is refused at its line",
         "[Window00]\ngauge00=Orvane!PFD, 0, 0, 2147483647\n", 1,
         "p.cfg:2: gauge00: the width \"2147483647\" is not a size (a whole number from 1 to 8192)"},
        {"a gauge outside its window is left out", "[Window00]\nsize_mm=100,50\ngauge00=Orvane!DH, 200, 10\n", 1,
         "p.cfg:3: gauge00 at 200, 10 lies outside its window of 100 x 50; left out"},
        {"a background too wide to draw is left out", "[Window00]\nfile=wide.bmp\nsize_mm=40,10\n", 1,
         "p.cfg:1: background wide.bmp: it is 32768 x 1 pixels (at most 16384 a side"},
        {"a compressed background says its compression", "[Window00]\nfile=rle.bmp\nsize_mm=40,10\n", 1,
         "background rle.bmp: it uses RLE8 compression at 8 bits a pixel (uncompressed, or bit fields"},
        {"a background cut short says so", "[Window00]\nfile=cut.bmp\nsize_mm=40,10\n", 1,
         "background cut.bmp: it is cut short: its rows need 4800 bytes"},
        {"an empty panel has nothing to draw", "", 2, "p.cfg: it has neither a [WindowNN] nor a [VCockpitNN] section, so nothing to draw"},
        {"a window too large at the scale is refused before drawing", "[Window00]\nsize_mm=8192,8192\n", 2,
         "p.cfg:1: Window00 would be 65536 x 65536 pixels at scale 8 (at most 32767 a side"},
        {"windows side by side too wide for the screen are refused before drawing",
         windows(5, "size_mm=1000,10\nposition=7"), 2,
         "p.cfg: the screen of its visible windows would be 40000 x 80 pixels at scale 8"},
        {"many large windows pass the render's pixels", windows(10000, "size_mm=8192,8192"), 2,
         "at scale 8 (at most 67108864 a render)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string cfg = file("p.cfg", row.cfg);
        const fs::path out = dir / "out";
        fs::remove_all(out);
        const int scale = row.code == 2 ? 8 : 1;
        const Outcome o = run_panelhost({"render", module, cfg, "--out", out.string(), "--scale", std::to_string(scale)});
        EXPECT_EQ(o.code, row.code) << o.out << o.err;
        // Messages name the panel.cfg as given; the table names it p.cfg.
        std::string said = o.out + o.err;
        for (size_t at; (at = said.find(cfg)) != std::string::npos;) said.replace(at, cfg.size(), "p.cfg");
        EXPECT_NE(said.find(row.says), std::string::npos) << said;
        // Refused: nothing written; else the rest is drawn.
        EXPECT_EQ(fs::exists(out / "screen.png"), row.code != 2);
    }
}

TEST_F(RenderBadInput, FoldersAndFilesThatCannotServeAreRefusedBeforeAnythingIsDrawn) {
    const std::string cfg = file("p.cfg", "[Window00]\nsize_mm=20,10\n");
    const std::string big = file("big.cfg", std::string(max_panel_cfg_bytes + 1, ';'));
    const std::string idle = file("idle.scn", "install DH\n");
    std::string long_flight = "install all\n";
    for (int i = 0; i < 11; ++i) long_flight += "update 1000\n";
    const std::string flight = file("long.scn", long_flight);
    const std::string not_a_folder = file("taken", "");
    expect_outcomes({
        {"a folder is no panel.cfg", {"render", module, dir.string(), "--out", (dir / "o").string()}, 2,
         "it is a folder (a file is needed)"},
        {"a panel.cfg beyond its bound is not read", {"render", module, big, "--out", (dir / "o").string()}, 2,
         "holds more than 1048576 bytes (at most 1048576)"},
        {"an output folder that is a file", {"render", module, cfg, "--out", not_a_folder}, 2,
         "cannot make the folder " + not_a_folder},
        {"a scenario that never updates has nothing to draw",
         {"render", module, cfg, "--scenario", idle, "--out", (dir / "o").string()}, 2,
         "never updates the panel, so there is nothing to draw"},
        {"the demo draws a bounded number of frames", {"demo", module, "--scenario", flight, "--out", (dir / "d").string()},
         2, "asks for 11000 updates (the demo draws at most 10000 frames)"},
    });
}

}  // namespace
}  // namespace panelhost::testing
