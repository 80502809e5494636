// The panel flown live, without a window: real time in, the mouse and the
// keys as the window hands them on, and the flight's record, which must
// replay to the very trace the flight wrote.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/base/files.h"
#include "host/commands/commands.h"
#include "host/live/live_flight.h"
#include "host/panel/loaded_panel.h"
#include "host/scenario/scenario.h"

namespace {

using namespace panelhost;

const std::string source = ORVANE_SOURCE_DIR;

// The example panel puts the FCU at 196, 18 of the glareshield, the screen's
// top row, as wide as the screen: these are its knobs' right halves.
constexpr orvane::PixPoint fcu_at{196, 18};
constexpr orvane::PixPoint altitude_knob_up{123, 48};
constexpr orvane::PixPoint heading_knob_up{184, 48};
constexpr orvane::PixPoint ap_master{290, 38};

std::unique_ptr<LiveFlight> open_flight(const std::string& start, int scale = 1) {
    const std::string cfg = source + "/examples/panel.cfg";
    Diagnostics said("t");
    auto flight = LiveFlight::open({.module_path = ORVANE_MODULE_PATH,
                                    .cfg_name = "panel.cfg",
                                    .cfg_text = read_file(cfg).value_or(""),
                                    .files = files_beside(cfg),
                                    .scenario_name = "start.scn",
                                    .scenario_text = start,
                                    .scale = scale},
                                   said);
    EXPECT_TRUE(said.all().empty()) << said.all().front().text;
    return flight;
}

const std::string flying_start = read_file(source + "/examples/fly_start.scn").value_or("");
const std::string standing_start = "set PANEL_CIRCUIT_ON 1\ninstall all\n";

// What a replay of the record in a fresh run writes.
std::string replayed(const std::string& record) {
    Scenario scenario;
    scenario.file = "record.scn";
    const std::vector<Diagnostic> errors = parse_scenario(record, scenario);
    EXPECT_TRUE(errors.empty()) << errors.front().text << "\n" << record;
    std::string error;
    const std::unique_ptr<LoadedPanel> loaded = LoadedPanel::open(ORVANE_MODULE_PATH, error);
    if (loaded == nullptr) {
        ADD_FAILURE() << error;
        return {};
    }
    const RunOutcome outcome = run_scenario(scenario, loaded->panel(), loaded->host(), &loaded->trace());
    EXPECT_TRUE(outcome.held()) << (outcome.failures.empty() ? outcome.stopped->text : outcome.failures.front().text);
    return loaded->trace().text();
}

size_t count_of(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// What the window hands on, at a time.
struct Act {
    enum Kind { press, press_right, release, pause, rate, restart } kind;
    double at;
    orvane::PixPoint fcu_pixel{};  // a press's, on the FCU
    int value = 0;                 // a rate
};

// Real time in the small steps a window's frames bring.
void advance_to(LiveFlight& s, double& clock, double to) {
    for (; clock + 0.05 < to; clock += 0.05) s.advance(clock);
    clock = to;
    s.advance(to);
}

void play(LiveFlight& s, const std::vector<Act>& acts, double end) {
    double clock = 0.0;
    s.advance(clock);
    for (const Act& a : acts) {
        advance_to(s, clock, a.at);
        const int x = (fcu_at.x + a.fcu_pixel.x) * s.scale(), y = (fcu_at.y + a.fcu_pixel.y) * s.scale();
        std::vector<Diagnostic> errors;
        switch (a.kind) {
        case Act::press: s.press(a.at, x, y, Button::left); break;
        case Act::press_right: s.press(a.at, x, y, Button::right); break;
        case Act::release: s.release(a.at); break;
        case Act::pause: s.toggle_pause(a.at); break;
        case Act::rate: s.set_rate(a.at, a.value); break;
        case Act::restart: EXPECT_TRUE(s.restart(a.at, errors)); break;
        }
    }
    advance_to(s, clock, end);
}

std::string fly(int64_t updates) { return format_step(steps::Fly::of_updates(updates)) + "\n"; }

TEST(LiveFlightTests, TheKnobsRightHalvesLieWhereTheWindowShowsThem) {
    for (const int scale : {1, 2}) {
        const auto s = open_flight(flying_start, scale);
        ASSERT_NE(s, nullptr);
        for (const auto& [pixel, tooltip] : {std::pair{altitude_knob_up, "Set Autopilot Altitude"},
                                             std::pair{heading_knob_up, "Set Autopilot Heading"}}) {
            const auto p = s->pointer_at((fcu_at.x + pixel.x) * scale + scale - 1, (fcu_at.y + pixel.y) * scale);
            ASSERT_TRUE(p.has_value()) << tooltip;
            EXPECT_EQ(p->gauge, "AP");
            EXPECT_EQ(p->pixel.x, pixel.x) << "scale " << scale;
            EXPECT_EQ(p->hit.tooltip, tooltip);
            EXPECT_EQ(p->hit.cursor, orvane::CURSOR_UPARROW);
        }
        EXPECT_FALSE(s->pointer_at(1, 1).has_value()) << "the glareshield's corner has no gauge";
    }
}

TEST(LiveFlightTests, EachFlightReplaysToTheTraceItWrote) {
    // Updates fall due every 1/18 s of real time at rate 1; the times
    // here stay clear of the instants where one does.
    const std::string click_altitude = "click AP 123 48 left\n", click_heading = "click AP 184 48 left\n";
    const struct Row {
        const char* what;
        const std::string& start;
        std::vector<Act> acts;
        double end;
        std::vector<std::string> in_record;  // what the record holds, in order
        size_t repeats;                      // repeat steps in the record
    } rows[] = {
        {"two knob clicks with the aircraft flying between them",
         flying_start,
         {{Act::press, 0.30, altitude_knob_up}, {Act::release, 0.35}, {Act::press, 1.02, heading_knob_up},
          {Act::release, 1.1}},
         2.01,
         {"install all\n" + fly(5) + click_altitude + fly(13) + click_heading + fly(18)},
         0},
        {"a knob held down repeats between the updates",
         flying_start,
         {{Act::press, 0.01, heading_knob_up}, {Act::release, 0.83}},
         1.01,
         {click_heading + fly(9) + "repeat\n" + fly(1) + "repeat\n" + fly(2) + "repeat\n" + fly(2) + "repeat\n" +
          fly(4)},
         4},
        {"the right button, and a row that takes no repeats",
         flying_start,
         {{Act::press_right, 0.1, altitude_knob_up}, {Act::release, 0.2}, {Act::press, 0.3, ap_master},
          {Act::release, 1.5}},
         1.6,
         {fly(1) + "click AP 123 48 right\n" + fly(4) + "click AP 290 38 left\n" + fly(23)},
         0},
        {"a pause stops simulated time and the repeats",
         flying_start,
         {{Act::press, 0.01, altitude_knob_up}, {Act::pause, 0.3}, {Act::pause, 10.3}, {Act::release, 10.56}},
         10.6,
         {click_altitude + fly(9) + "repeat\n" + fly(1)},
         1},
        {"a faster time rate runs more updates, each the same step",
         flying_start,
         {{Act::rate, 0.0, {}, 4}, {Act::press, 0.1, heading_knob_up}, {Act::release, 0.15}, {Act::rate, 0.51, {}, 2}},
         1.01,
         {fly(7) + click_heading + fly(47)},
         0},
        {"gauges without an aircraft are updated",
         standing_start,
         {{Act::press, 0.2, altitude_knob_up}, {Act::release, 0.3}},
         1.01,
         {"install all\nupdate 3\n" + click_altitude + "update 15\n"},
         0},
        {"a restart records afresh from the start scenario",
         flying_start,
         {{Act::press, 0.2, altitude_knob_up}, {Act::release, 0.3}, {Act::restart, 0.5},
          {Act::press, 0.75, heading_knob_up}, {Act::release, 0.8}},
         1.01,
         {"install all\n" + fly(4) + click_heading + fly(5)},
         0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const auto s = open_flight(row.start);
        ASSERT_NE(s, nullptr);
        play(*s, row.acts, row.end);
        EXPECT_TRUE(s->finish().empty());
        const std::string& record = s->record();
        ASSERT_EQ(record.rfind(row.start, 0), 0u) << "the record starts with the start scenario\n" << record;
        size_t from = 0;
        for (const std::string& line : row.in_record) {
            const size_t at = record.find(line, from);
            EXPECT_NE(at, std::string::npos) << line << "\nin\n" << record;
            from = at == std::string::npos ? from : at;
        }
        EXPECT_EQ(count_of(record, "\nrepeat\n"), row.repeats) << record;
        EXPECT_EQ(replayed(record), s->trace()) << record;
    }
}

TEST(LiveFlightTests, AFlyStepReadsBackAsExactlyTheUpdatesItWasWrittenFrom) {
    for (const int64_t updates : std::vector<int64_t>{1, 2, 5, 9, 17, 18, 19, 35, 37, 1000, 6481, 64799, most_updates_per_step}) {
        Scenario scenario;
        const std::string text = "place distance 10 altitude 3000 heading 260 speed 180\n" + fly(updates);
        ASSERT_TRUE(parse_scenario(text, scenario).empty()) << text;
        EXPECT_EQ(std::get<steps::Fly>(scenario.steps.back().step).updates(), updates) << text;
    }
}

TEST(LiveFlightTests, TimeRatesChangeHowFastSimulatedTimePassesNeverTheStep) {
    std::string traces[2];
    for (const int rate : {1, 4}) {
        const auto s = open_flight(flying_start);
        ASSERT_NE(s, nullptr);
        s->set_rate(0.0, rate);
        double clock = 0.0;
        advance_to(*s, clock, 4.01 / rate);
        EXPECT_EQ(s->update_count(), 72u) << "rate " << rate;
        s->finish();
        traces[rate == 4] = s->trace();
    }
    EXPECT_EQ(traces[0], traces[1]);
}

TEST(LiveFlightTests, LongFlightsAreWrittenInStepsAScenarioTakes) {
    const auto s = open_flight(standing_start);
    ASSERT_NE(s, nullptr);
    // Real time is taken a quarter of a second at most per call.
    for (int i = 0; i <= 4 * 3600 + 41; ++i) s->advance(i * 0.25);
    s->finish();
    EXPECT_NE(s->record().find("\nupdate 64800\nupdate 184\n"), std::string::npos) << s->record().substr(0, 400);
}

TEST(LiveFlightTests, AtTheBoundOfAFileTimeStandsStillAndTheRecordReplaysWithinIt) {
    const auto s = open_flight("set PANEL_CIRCUIT_ON 1\ninstall DH\nupdate " +
                                std::to_string(max_updates_per_file - 10) + "\n");
    ASSERT_NE(s, nullptr);
    double clock = 0.0;
    advance_to(*s, clock, 2.0);
    EXPECT_EQ(s->update_count(), uint64_t(max_updates_per_file));
    ASSERT_TRUE(s->stopped());
    EXPECT_NE(s->stopped()->text.find("more than 100000 update cycles"), std::string::npos) << s->stopped()->text;
    const std::vector<Diagnostic> told = s->take_failures();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].text.find("the flight stands still"), std::string::npos) << told[0].text;
    EXPECT_TRUE(s->take_failures().empty()) << "the stop is told once";
    EXPECT_NE(s->status().find("STOPPED"), std::string::npos) << s->status();
    // Nothing more runs or is recorded: not time, not a press.
    advance_to(*s, clock, 4.0);
    // The DH unit's middle: the main panel lies below the glareshield's 128 rows.
    const std::optional<LivePointer> dh = s->pointer_at(366 + 75, 128 + 72 + 20);
    ASSERT_TRUE(dh && dh->gauge == "DH");
    s->press(clock, 366 + 75, 128 + 72 + 20, Button::left);
    s->release(clock);
    EXPECT_EQ(s->update_count(), uint64_t(max_updates_per_file));
    s->finish();
    EXPECT_EQ(s->record().substr(s->record().size() - 10), "update 10\n") << "the last update run, no click";
    EXPECT_EQ(replayed(s->record()), s->trace());
}

TEST(LiveFlightTests, TheStatusStripTellsTheAircraftTheModesAndTheTime) {
    const auto s = open_flight(flying_start);
    ASSERT_NE(s, nullptr);
    const struct {
        const char* what;
        const char* holds;
    } rows[] = {
        {"altitude", "ALT 3000 ft"}, {"speed", "IAS 200 kt"},  {"heading", "HDG 260"},
        {"vertical speed", "V/S +0 ft/min"}, {"modes", "AP FD A/THR YD HDG ALT SPD"}, {"the time rate", "x1"},
    };
    const std::string status = s->status();
    for (const auto& row : rows) EXPECT_NE(status.find(row.holds), std::string::npos) << row.what << ": " << status;
    s->toggle_pause(0.0);
    EXPECT_NE(s->status().find("PAUSED"), std::string::npos) << s->status();
}

// N dims the panel as render --night does, until pressed again; a restart
// loads the module anew and keeps the night.
TEST(LiveFlightTests, NightHoldsAcrossARestartUntilToggledBack) {
    const auto s = open_flight(flying_start);
    ASSERT_NE(s, nullptr);
    const uint32_t day = pixel_at(s->draw().get(), 1, 1);  // the glareshield's corner
    s->toggle_night();
    EXPECT_NE(s->status().find("NIGHT"), std::string::npos) << s->status();
    const uint32_t night = pixel_at(s->draw().get(), 1, 1);
    EXPECT_NE(night, day);
    std::vector<Diagnostic> errors;
    ASSERT_TRUE(s->restart(0.0, errors));
    EXPECT_EQ(pixel_at(s->draw().get(), 1, 1), night);
    s->toggle_night();
    EXPECT_EQ(pixel_at(s->draw().get(), 1, 1), day);
    EXPECT_EQ(s->status().find("NIGHT"), std::string::npos) << s->status();
}

// A real panel flown: what render would note about it said as the flight
// opens, the views V steps through (the screen, then each texture), and a
// press on each view clicking the gauge drawn under it, as the record says.
TEST(LiveFlightTests, EachPanelIsFlownInItsViewsWithWhatRenderWouldNote) {
    const std::string other = "; it is not the module loaded";
    struct Press {
        size_t view;  // V pressed this many times first
        int x, y;
        const char* gauge;  // null: none there
    };
    const struct Row {
        const char* panel;
        std::vector<std::string> said;
        std::vector<std::string> views;
        std::vector<Press> presses;
    } rows[] = {
        {"airliner",
         {"panel.cfg: LVLD\\B767main: 6 gauges drawn as outlines" + other,
          "panel.cfg: Fs.Avionics: 1 gauge drawn as an outline" + other},
         {"screen", "VCockpit01 $VC01"},
         {{0, 1200, 450, nullptr}, {1, 80, 50, "PFD:3"}, {1, 228, 50, "PFD:4"}, {1, 150, 200, nullptr}}},
        {"all_hidden",
         {"panel.cfg: no window starts visible, so fly shows every window, as if the pilot had opened each "
          "(visible=1 puts a window on the screen)"},
         {"screen"},
         {{0, 10, 10, "AP"}, {0, 330, 20, "DH"}}},
        {"glass_twin",
         {"panel.cfg: TwinAvionics: 1 gauge drawn as an outline" + other,
          "panel.cfg: no window starts visible, so fly shows the virtual-cockpit textures, V the next one "
          "(visible=1 puts a window on the screen)"},
         {"VCockpit01 $Glass_Left", "VCockpit02 $Glass_Right", "VCockpit03 $Glass_Blank"},
         {{0, 110, 70, "PFD"}, {1, 20, 20, "FD"}, {2, 10, 10, nullptr}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.panel);
        const std::string cfg = source + "/tests/panels/" + row.panel + "/panel.cfg";
        Diagnostics said("t");
        const auto s = LiveFlight::open({.module_path = ORVANE_MODULE_PATH,
                                         .cfg_name = "panel.cfg",
                                         .cfg_text = read_file(cfg).value_or(""),
                                         .files = files_beside(cfg),
                                         .scenario_name = "start.scn",
                                         .scenario_text = standing_start},
                                        said);
        ASSERT_NE(s, nullptr);
        std::vector<std::string> told;
        for (const Diagnostic& d : said.all()) told.push_back(d.text);
        EXPECT_EQ(told, row.said);
        EXPECT_EQ(said.exit_status(), 0);
        std::vector<std::string> views;
        for (size_t i = 0; i < row.views.size(); ++i, s->next_view()) views.push_back(s->view_name());
        EXPECT_EQ(views, row.views);
        EXPECT_EQ(s->view_name(), row.views.front()) << "V comes back to the first view";
        for (const Press& press : row.presses) {
            SCOPED_TRACE(std::to_string(press.x) + ", " + std::to_string(press.y) + " in " + row.views[press.view]);
            for (size_t i = 0; i < press.view; ++i) s->next_view();
            const auto [width, height] = s->largest_view();
            const Surface view = s->draw();
            EXPECT_LE(cairo_image_surface_get_width(view.get()), width);
            EXPECT_LE(cairo_image_surface_get_height(view.get()), height);
            const std::optional<LivePointer> p = s->pointer_at(press.x, press.y);
            ASSERT_EQ(p.has_value(), press.gauge != nullptr);
            if (p) {
                EXPECT_EQ(p->gauge, press.gauge);
                s->press(0.0, press.x, press.y, Button::left);
                s->release(0.0);
                const std::string click = "click " + p->gauge + " " + std::to_string(p->pixel.x) + " " +
                                          std::to_string(p->pixel.y) + " left\n";
                EXPECT_NE(s->record().find(click), std::string::npos) << s->record();
            }
            while (s->view_name() != row.views.front()) s->next_view();
        }
    }
}

// Everything fly is handed is checked before a window opens, each fault
// naming its file, the flight not begun.
TEST(LiveFlightTests, FlyRefusesWhatItCannotUseBeforeAWindowOpens) {
    const std::string dir = ::testing::TempDir();
    const std::string broken = dir + "fly_broken.scn", stranger = dir + "fly_stranger.scn";
    ASSERT_TRUE(write_file(broken, "install all\nclick AP\n"));
    ASSERT_TRUE(write_file(stranger, "install XYZ\n"));
    const std::string module = ORVANE_MODULE_PATH;
    const struct {
        std::vector<std::string> args;
        const char* says;
        const char* video_driver = "x11";  // on a display that is not there
    } rows[] = {
        {{"fly", module, "/nonexistent/panel.cfg"}, "cannot read /nonexistent/panel.cfg"},
        {{"fly", module, "--scenario", "/nonexistent.scn"}, "cannot read /nonexistent.scn"},
        {{"fly", module, "--scenario", broken}, "fly_broken.scn:2: missing x"},
        {{"fly", module, "--scenario", stranger}, "fly_stranger.scn:1: the module has no gauge named XYZ"},
        {{"fly", module, "--record", "/nonexistent/record.scn"}, "cannot write /nonexistent/record.scn"},
        {{"fly", module, "--trace", dir}, "it is a folder"},
        {{"fly", ORVANE_PLATFORM_PATH}, "is not a usable gauge module"},
        {{"fly", module}, "cannot open a window"},
        // What SDL falls back on where there is no display at all: a window nobody sees.
        {{"fly", module}, "cannot open a window: no display (SDL found only its offscreen video driver)", "offscreen"},
    };
    const char* display = std::getenv("DISPLAY");
    const std::string kept = display != nullptr ? display : "";
    setenv("DISPLAY", ":4711", 1);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.back() + " on " + row.video_driver);
        setenv("SDL_VIDEODRIVER", row.video_driver, 1);
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        EXPECT_EQ(panelhost_main(row.args, out, err), exit_unusable);
        std::string said(4096, '\0');
        std::rewind(err);
        said.resize(std::fread(said.data(), 1, said.size(), err));
        EXPECT_NE(said.find(row.says), std::string::npos) << said;
        EXPECT_EQ(std::ftell(out), 0) << "nothing on stdout";
        std::fclose(out);
        std::fclose(err);
    }
    unsetenv("SDL_VIDEODRIVER");
    if (display != nullptr) {
        setenv("DISPLAY", kept.c_str(), 1);
    } else {
        unsetenv("DISPLAY");
    }
    EXPECT_FALSE(std::filesystem::exists("/nonexistent/record.scn.partial"));
}

}  // namespace
