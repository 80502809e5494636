// Reading panel.cfg: windows, titles, sizes and gauge lines as the simulator
// writes them, and every malformed line named by its line number.
#include <gtest/gtest.h>

#include "host/layout/panel_cfg.h"

namespace {

using panelhost::PanelConfig;
using panelhost::parse_panel_cfg;

std::string joined(const std::vector<panelhost::Diagnostic>& lines) {
    std::string text;
    for (const panelhost::Diagnostic& l : lines) text += l.text + "\n";
    return text;
}

TEST(PanelCfgReader, AWellFormedFileGivesItsWindowsInNumberOrderWithTheirTitlesAndGauges) {
    const PanelConfig cfg = parse_panel_cfg(
        "// an aircraft's panel\r\n"
        "[Window Titles]\n"
        "Window00=Main Panel\n"
        "window01 = Glareshield ; the coaming\n"
        "\n"
        "[WINDOW01]\n"
        "FILE=glare.bmp\n"
        "size_mm=640\n"
        "position=1\n"
        "visible=0\n"
        "ident=10500\n"
        "window_size_ratio=1.000\n"
        "gauge00=Orvane!AP, 163, 18\n"
        "gauge01= Orvane!FD ,28,54,80   // scaled\n"
        "\n"
        "[Window00]\n"
        "size_mm=540,300\n"
        "Gauge03=Orvane!PFD, 4, +16, 284, 272, extra, more\n"
        "[Views]\n"
        "VIEW_FORWARD_WINDOWS=MAIN_PANEL\n"
        "this line has no key and is not ours\n"
        "[Vcockpit01]\n"
        "size_mm=512\n",
        "panel.cfg");
    EXPECT_TRUE(cfg.problems.empty()) << joined(cfg.problems);
    ASSERT_EQ(cfg.windows.size(), 2u);
    const auto& main = cfg.windows[0];
    EXPECT_EQ(main.number, 0);
    EXPECT_EQ(main.title, "Main Panel");
    EXPECT_EQ(main.size_width, 540);
    EXPECT_EQ(main.size_height, 300);
    EXPECT_EQ(main.position, -1);
    EXPECT_TRUE(main.visible);
    EXPECT_EQ(main.line, 16);
    ASSERT_EQ(main.gauges.size(), 1u);
    const auto& pfd = main.gauges[0];
    EXPECT_EQ(pfd.key, "gauge03");
    EXPECT_EQ(pfd.module, "Orvane");
    EXPECT_EQ(pfd.gauge, "PFD");
    EXPECT_EQ(pfd.x, 4);
    EXPECT_EQ(pfd.y, 16);
    EXPECT_EQ(pfd.width, 284);
    EXPECT_EQ(pfd.height, 272);
    EXPECT_EQ(pfd.parameters, (std::vector<std::string>{"extra", "more"}));
    EXPECT_EQ(pfd.line, 18);

    const auto& glare = cfg.windows[1];
    EXPECT_EQ(glare.title, "Glareshield");
    EXPECT_EQ(glare.file, "glare.bmp");
    EXPECT_EQ(glare.size_width, 640);
    EXPECT_FALSE(glare.size_height.has_value());
    EXPECT_EQ(glare.position, 1);
    EXPECT_FALSE(glare.visible);
    ASSERT_EQ(glare.gauges.size(), 2u);
    EXPECT_FALSE(glare.gauges[0].width.has_value());
    EXPECT_FALSE(glare.gauges[0].height.has_value());
    EXPECT_EQ(glare.gauges[1].gauge, "FD");
    EXPECT_EQ(glare.gauges[1].width, 80);
    EXPECT_FALSE(glare.gauges[1].height.has_value());
    ASSERT_EQ(cfg.virtual_cockpits.size(), 1u);
    EXPECT_EQ(cfg.virtual_cockpits[0].title, "VCockpit01");
}

// What the night's drawing and a panel editor need of the airliner in
// tests/panels: bitmaps, colours, and every line kept where it stands.
TEST(PanelCfgReader, WhatItDoesNotDrawIsKeptAsWritten) {
    const PanelConfig cfg = panelhost::read_panel_cfg(std::string(ORVANE_SOURCE_DIR) + "/tests/panels/airliner/panel.cfg");
    EXPECT_TRUE(cfg.problems.empty()) << joined(cfg.problems);
    ASSERT_EQ(cfg.windows.size(), 5u);
    const auto& main = cfg.windows[0];
    EXPECT_EQ(main.bitmap(), "Main_1024.BMP");
    EXPECT_EQ(main.night_bitmap(), "Main_1024_Night.bmp");
    EXPECT_EQ(main.file_night, "main_night.bmp");
    EXPECT_EQ(main.ident, "MAIN_PANEL");
    EXPECT_EQ(main.window_size_ratio, 1.0);
    ASSERT_EQ(main.other_keys.size(), 1u);
    EXPECT_EQ(main.other_keys[0].key, "alpha_blend");
    EXPECT_EQ(main.other_keys[0].value, "0.85");
    EXPECT_EQ(main.gauges[0].parameters, std::vector<std::string>{"CP"});
    EXPECT_FALSE(main.gauges[0].height.has_value());
    EXPECT_EQ(cfg.windows[3].title, "Plafonnier sup\xE9rieur");  // Latin-1, as written
    EXPECT_EQ(cfg.windows[2].title, "Window02");                   // [Window Titles] skips it
    EXPECT_EQ(cfg.windows[3].zorder, 5);
    EXPECT_TRUE(cfg.windows[3].nomenu);
    ASSERT_TRUE(cfg.night_color && cfg.luminous_color);
    EXPECT_EQ(cfg.night_color->r, 200);
    EXPECT_EQ(cfg.luminous_color->b, 90);
    std::vector<std::string> sections;
    for (const auto& section : cfg.other_sections) sections.push_back(section.name);
    EXPECT_EQ(sections, (std::vector<std::string>{"Window Titles", "VIEWS", "Color", "Default View"}));
    ASSERT_EQ(cfg.virtual_cockpits.size(), 1u);
    EXPECT_EQ(cfg.virtual_cockpits[0].texture, "$VC01");
    EXPECT_EQ(cfg.virtual_cockpits[0].gauges[2].parameters, std::vector<std::string>{"VC"});

    // A gauge line's numbers can be rewritten in place, the rest of it as it was.
    const auto& clock = main.gauges[4];
    EXPECT_EQ(clock.line, 40);
    EXPECT_EQ(clock.text, "gauge04=LVLD\\B767main!Clock,\t460,\t300\t,\t60,60");
    std::vector<std::string> fields;
    for (const panelhost::TextSpan& f : clock.fields) fields.push_back(clock.text.substr(f.offset, f.length));
    EXPECT_EQ(fields, (std::vector<std::string>{"LVLD\\B767main!Clock", "460", "300", "60", "60"}));
    std::string moved = clock.text;
    moved.replace(clock.fields[2].offset, clock.fields[2].length, "1300");
    EXPECT_EQ(moved, "gauge04=LVLD\\B767main!Clock,\t460,\t1300\t,\t60,60");
}

TEST(PanelCfgReader, AWindowWithoutATitleIsNamedByItsSection) {
    const PanelConfig cfg = parse_panel_cfg("[Window07]\n[Window Titles]\nWindow03=Elsewhere\n", "p.cfg");
    ASSERT_EQ(cfg.windows.size(), 1u);
    EXPECT_EQ(cfg.windows[0].title, "Window07");
}

TEST(PanelCfgReader, EachMalformedLineIsNamedByFileAndLineAndTheRestIsStillRead) {
    const struct Row {
        std::string line;
        const char* problem;
    } rows[] = {
        {"size_mm=0",
         "size_mm=0 is not a size (a width, or a width and a height, each a whole number from 1 to 8192)"},
        {"size_mm=640,-1", "size_mm=640,-1 is not a size"},
        {"size_mm=640,300,2", "size_mm=640,300,2 is not a size"},
        {"size_mm=wide", "size_mm=wide is not a size"},
        {"size_mm=8193,300", "size_mm=8193,300 is not a size"},
        {"position=9", "position=9 is not a screen position (0 to 8, top left to bottom right)"},
        {"position=top", "position=top is not a screen position"},
        {"visible=yes", "visible=yes is neither 0 nor 1 (0 or 1)"},
        {"nomenu=2", "nomenu=2 is neither 0 nor 1"},
        {"pixel_size=0", "pixel_size=0 is not a size (a width, or a width and a height, each a whole number"},
        {"window_pos=0.5", "window_pos=0.5 is not a place on the screen (x, y: shares of it from 0 to 1)"},
        {"window_pos=0.5,1.5", "window_pos=0.5,1.5 is not a place on the screen"},
        {"window_size=0", "window_size=0 is not a size on the screen (a width, or a width and a height: shares"},
        {"window_size=0.5,1e-3", "window_size=0.5,1e-3 is not a size on the screen"},
        {"windowsize_ratio=-1", "windowsize_ratio=-1 is not a ratio (a number above 0)"},
        {"zorder=top", "zorder=top is not a whole number"},
        {"background_color=10,20", "background_color=10,20 is not a colour (red, green, blue, each from 0 to 255)"},
        {"gauge05=Orvane PFD, 1, 2",
         "gauge05=Orvane PFD, 1, 2 has no Module!Gauge (gaugeNN=Module!Gauge, x, y[, width[, height[, parameter]]])"},
        {"gauge05=!PFD, 1, 2", "has no Module!Gauge"},
        {"gauge05=Orvane!, 1, 2", "has no Module!Gauge"},
        {"gauge05=Orvane!PFD, 1", "gauge05=Orvane!PFD, 1 has no position"},
        {"gauge05=Orvane!PFD", "has no position"},
        {"gauge05=Orvane!PFD, 1, y",
         "gauge05: the position 1, y is not two whole numbers within a window (each from -8192 to 8191)"},
        {"gauge05=Orvane!PFD, 1.5, 2", "the position 1.5, 2 is not two whole numbers within a window"},
        {"gauge05=Orvane!PFD, -8193, 2", "the position -8193, 2 is not two whole numbers within a window"},
        {"gauge05=Orvane!PFD, 2147483647, -2147483648", "the position 2147483647, -2147483648 is not"},
        {"gauge05=Orvane!PFD, 1, 2, 0", "gauge05: the width \"0\" is not a size (a whole number from 1 to 8192)"},
        {"gauge05=Orvane!PFD, 1, 2, 100, -3", "the height \"-3\" is not a size"},
        {"gauge05=Orvane!PFD, 1, 2, 1e3", "the width \"1e3\" is not a size"},
        {"gauge05=Orvane!PFD, 0, 0, 2147483647", "the width \"2147483647\" is not a size"},
        {"gauge00=Orvane!DH, 1, 2",
         "gauge00 appears again (first on line 2); this one is ignored (each gauge number once a window)"},
        {"just words", "\"just words\" is not a key=value line (key=value, or a [Section])"},
        {"[Window00]", "[Window00] appears again (first on line 1); this one is ignored (each window once)"},
        {"[Window00", "a section header without its ] ([Name])"},
        {std::string("gau\0ge05=Orvane!PFD, 1, 2", 25), "a NUL byte at column 4 (a panel.cfg is text"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const PanelConfig cfg = parse_panel_cfg(
            std::string("[Window00]\ngauge00=Orvane!AP, 0, 0\n") + row.line + "\ngauge09=Orvane!FD, 5, 6\n", "p.cfg");
        ASSERT_EQ(cfg.problems.size(), 1u) << joined(cfg.problems);
        const panelhost::Diagnostic& problem = cfg.problems[0];
        EXPECT_EQ(problem.severity, panelhost::Severity::problem);
        EXPECT_EQ(problem.text, "p.cfg:3: " + problem.message);
        EXPECT_NE(problem.message.find(row.problem), std::string::npos) << problem.text;
        ASSERT_EQ(cfg.windows.size(), 1u);
        // The lines after the bad one still count, in the window they belong to.
        const bool still_in_window = std::string(row.line) != "[Window00]" && std::string(row.line) != "[Window00";
        EXPECT_EQ(cfg.windows[0].gauges.back().gauge, still_in_window ? "FD" : "AP");
    }
}

TEST(PanelCfgReader, KeysOutsideAnySectionAreReported) {
    const PanelConfig cfg = parse_panel_cfg("; panel\nsize_mm=640\n[Window00]\n", "p.cfg");
    ASSERT_EQ(cfg.problems.size(), 1u);
    EXPECT_EQ(cfg.problems[0].text, "p.cfg:2: \"size_mm\" is outside any section (a key belongs to a [Section] above it)");
}

TEST(PanelCfgReader, AGaugeLinesModuleNamesTheLoadedModuleByItsFileNameInAnyCase) {
    const struct Row {
        const char* module;
        const char* path;
        bool names;
    } rows[] = {
        {"Orvane", "build/native/orvane.so", true}, {"Orvane", "C:\\FS\\Gauges\\Orvane.gau", true},
        {"ORVANE", "Orvane.gau", true},             {"Orvane", "build/native/orvane_other.so", false},
        {"A310\\orvane", "Orvane.gau", true},      {"Orvane\\Other", "orvane.so", false},
        {"", "orvane.so", false},                   {"Orvane.gau", "Orvane.gau", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(panelhost::names_module(row.module, row.path), row.names) << row.module << " " << row.path;
    }
}

}  // namespace
