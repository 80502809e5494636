// Placing gauges with the mouse, without a window: what the pointer is
// over, what a press, the moves after it and the release make of a line,
// and what the sittings of the edit window make of the example panel.
#include <cairo.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/base/files.h"
#include "host/live/panel_editing.h"
#include "host/live/placing.h"

namespace panelhost {
namespace {

using Kind = GestureAction::Kind;

// Two windows at scale 2: Window00 at 0, 0 with a gauge 100 x 50 units at
// 10, 10 and another over it at 60, 20; Window01 at 300, 0 stretched to
// twice its units across, with one gauge at 0, 0.
PlacedGauge gauge(int window, int number, LinePlace place, double w, double h, PixelBox window_box, double ux,
                  double uy) {
    return {.window = window,
            .key = "gauge0" + std::to_string(number),
            .number = number,
            .name = "Orvane!G" + std::to_string(number),
            .place = place,
            .width = w,
            .height = h,
            .box = {window_box.x + place.x * ux, window_box.y + place.y * uy, w * ux, h * uy},
            .window_box = window_box,
            .unit_x = ux,
            .unit_y = uy};
}

ScreenPlaces two_windows() {
    const PixelBox w0{0, 0, 400, 200}, w1{300, 0, 400, 100};
    return {.windows = {{.number = 0, .box = w0, .unit_x = 2, .unit_y = 2},
                        {.number = 1, .box = w1, .unit_x = 4, .unit_y = 2}},
            .gauges = {gauge(0, 0, {10, 10, 100, std::nullopt}, 100, 50, w0, 2, 2),
                       gauge(0, 1, {60, 20, std::nullopt, std::nullopt}, 40, 40, w0, 2, 2),
                       gauge(1, 0, {0, 0, 20, 20}, 20, 20, w1, 4, 2)}};
}

TEST(PlacingHit, FindsTheTopmostGaugeAndTheCornerGripWithinItsWindow) {
    const ScreenPlaces places = two_windows();
    struct Case {
        const char* what;
        double x, y;
        std::optional<size_t> index;
        Grip grip;
    } cases[] = {
        {"the first gauge's body", 50, 50, 0, Grip::body},
        {"its top-left grip", 21, 21, 0, Grip::top_left},
        {"its bottom-right grip, just inside", 219, 119, 0, Grip::bottom_right},
        {"its right edge beyond it is background", 220, 60, std::nullopt, Grip::body},
        {"where the second lies over the first, the second", 130, 50, 1, Grip::body},
        {"the second's bottom-left grip", 121, 119, 1, Grip::bottom_left},
        {"the second's top-right grip", 199, 41, 1, Grip::top_right},
        {"Window01 covers Window00 where they overlap", 310, 10, 2, Grip::body},
        {"Window00's background beside its gauges", 290, 10, std::nullopt, Grip::body},
        {"Window01's background covers Window00's gauges", 390, 50, std::nullopt, Grip::body},
        {"the background between gauges", 10, 150, std::nullopt, Grip::body},
        {"below every window", 50, 250, std::nullopt, Grip::body},
    };
    for (const Case& c : cases) {
        const std::optional<GaugeHit> hit = gauge_hit(places, c.x, c.y, 10);
        ASSERT_EQ(hit.has_value(), c.index.has_value()) << c.what;
        if (!hit) continue;
        EXPECT_EQ(hit->index, *c.index) << c.what;
        EXPECT_EQ(hit->grip, c.grip) << c.what;
    }
}

TEST(PlacingGeometry, MovesResizesAndDropsInWindowUnits) {
    const ScreenPlaces places = two_windows();
    const PlacedGauge& first = places.gauges[0];    // 10, 10, 100 wide (50 high), 2 px a unit
    const PlacedGauge& stretched = places.gauges[2];  // 4 px a unit across, 2 down
    struct Case {
        const char* what;
        LinePlace got, want;
    } cases[] = {
        {"40 pixels right at scale 2 is 20 units", moved(first, 40, 0), {30, 10, 100, std::nullopt}},
        {"pixels round to the nearest unit", moved(first, 3, -4), {12, 8, 100, std::nullopt}},
        {"a stretched window's units", moved(stretched, 40, 40), {10, 20, 20, 20}},
        {"the bottom-right corner, aspect kept by the larger change", resized(first, Grip::bottom_right, 40, 2, false),
         {10, 10, 120, 60}},
        {"the top-left corner keeps the bottom-right one", resized(first, Grip::top_left, 40, 0, false),
         {30, 20, 80, 40}},
        {"down more than across, the height decides", resized(first, Grip::bottom_left, 0, 50, false),
         {-40, 10, 150, 75}},
        {"Shift frees the aspect", resized(first, Grip::bottom_right, 40, -20, true), {10, 10, 120, 40}},
        {"never smaller than the least side", resized(first, Grip::bottom_right, -400, 0, false),
         {10, 10, 8, smallest_gauge_side}},
        {"freed, each side on its own", resized(first, Grip::top_right, -400, 400, true),
         {10, 56, smallest_gauge_side, smallest_gauge_side}},
        {"the body grip moves", resized(first, Grip::body, 4, 4, false), {12, 12, 100, std::nullopt}},
        {"arrows move by units", nudged({5, 5, 3, std::nullopt}, -10, 1), {-5, 6, 3, std::nullopt}},
        {"a drop centres the gauge on the pointer",
         dropped(places.windows[1], 300 + 80, 60, 20, 10), {10, 25, std::nullopt, std::nullopt}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.got.x, c.want.x) << c.what;
        EXPECT_EQ(c.got.y, c.want.y) << c.what;
        EXPECT_EQ(c.got.width, c.want.width) << c.what;
        EXPECT_EQ(c.got.height, c.want.height) << c.what;
    }
}

// A gesture as events: p press on gauge 0's body, g on its bottom-right
// grip, a on the palette's first gauge, m move, t time passes (x is the
// time), r release; what the window is asked to do, in order.
struct Event {
    char kind;
    double x = 0, y = 0;
};
std::vector<Kind> run(PlacingGesture& gesture, const ScreenPlaces& places, const std::vector<Event>& events,
                      LinePlace* placed = nullptr) {
    std::vector<Kind> kinds;
    auto take = [&](const std::vector<GestureAction>& actions) {
        for (const GestureAction& a : actions) {
            kinds.push_back(a.kind);
            if (placed != nullptr && (a.kind == Kind::place || a.kind == Kind::add)) *placed = a.place;
        }
    };
    for (const Event& e : events) {
        switch (e.kind) {
        case 'p': take(gesture.press_gauge(places.gauges[0], Grip::body, e.x, e.y, 0.0)); break;
        case 'g': take(gesture.press_gauge(places.gauges[0], Grip::bottom_right, e.x, e.y, 0.0)); break;
        case 'a': gesture.press_palette(0, 20, 10, e.x, e.y); break;
        case 'm': take(gesture.motion(e.x, e.y, false)); break;
        case 't': take(gesture.tick(e.x)); break;
        case 'r': take(gesture.release(places, e.x, e.y, false)); break;
        }
    }
    return kinds;
}

TEST(PlacingGesture, AClickWorksTheGaugeAndADragPlacesIt) {
    const ScreenPlaces places = two_windows();
    struct Case {
        const char* what;
        std::vector<Event> events;
        std::vector<Kind> want;
        LinePlace placed;
    } cases[] = {
        {"a press and release where it was is a click at the press point",
         {{'p', 50, 50}, {'m', 52, 51}, {'r', 52, 51}},
         {Kind::select, Kind::work_press, Kind::work_release}},
        {"held still past the hold, the gauge works held until released",
         {{'p', 50, 50}, {'t', 0.1}, {'t', hold_before_working_s}, {'m', 80, 50}, {'r', 80, 50}},
         {Kind::select, Kind::work_press, Kind::work_release}},
        {"moved past the threshold it drags, shown as it goes, and places on release",
         {{'p', 50, 50}, {'m', 60, 50}, {'m', 90, 50}, {'m', 90, 50}, {'t', 5}, {'r', 90, 50}},
         {Kind::select, Kind::preview, Kind::preview, Kind::place},
         {30, 10, 100, std::nullopt}},
        {"a drag back to where it started changes nothing",
         {{'p', 50, 50}, {'m', 70, 50}, {'r', 50, 50}},
         {Kind::select, Kind::preview, Kind::cancel}},
        {"from the corner grip it resizes",
         {{'g', 218, 118}, {'m', 258, 120}, {'r', 258, 120}},
         {Kind::select, Kind::preview, Kind::place},
         {10, 10, 120, 60}},
        {"the palette's gauge dropped on a window is added there",
         {{'a', 50, 250}, {'m', 60, 240}, {'m', 380, 60}, {'r', 380, 60}},
         {Kind::palette_ghost, Kind::palette_ghost, Kind::add},
         {10, 25, std::nullopt, std::nullopt}},
        {"dropped beside every window, nothing is added",
         {{'a', 50, 250}, {'m', 60, 260}, {'r', 60, 260}},
         {Kind::palette_ghost, Kind::cancel}},
        {"a click on the palette does nothing", {{'a', 50, 250}, {'r', 50, 250}}, {}},
    };
    for (const Case& c : cases) {
        PlacingGesture gesture;
        LinePlace placed;
        EXPECT_EQ(run(gesture, places, c.events, &placed), c.want) << c.what;
        EXPECT_FALSE(gesture.active()) << c.what;
        if (!c.want.empty() && (c.want.back() == Kind::place || c.want.back() == Kind::add)) {
            EXPECT_EQ(placed, c.placed) << c.what;
        }
    }
}

// The example panel placed at scale 2, as the window hands it the mouse and
// the keys. Window pixels: the glareshield is the top 256, the main panel
// below; the DH unit's box 732..1032 x 400..485, the PFD's 80..648 x 288..831.
struct Sitting {
    std::string path;
    std::optional<PanelDocument> document;
    std::unique_ptr<LiveFlight> live;
    std::optional<PanelEditing> editing;

    explicit Sitting(const std::string& name, const std::string& added_line = "") : path(::testing::TempDir() + name) {
        const std::string source = ORVANE_SOURCE_DIR;
        std::filesystem::remove(path);
        std::filesystem::remove(path + ".orig");
        std::string text = read_file(source + "/examples/panel.cfg").value_or("");
        // A line added after the main panel's last gauge.
        if (!added_line.empty()) text.insert(text.find("\n", text.find("Orvane!DH")) + 1, added_line + "\n");
        EXPECT_TRUE(write_file(path, text));
        std::string error;
        document = PanelDocument::open(path, &error);
        EXPECT_TRUE(document) << error;
        Diagnostics said("t");
        live = LiveFlight::open({.module_path = ORVANE_MODULE_PATH,
                                 .cfg_name = path,
                                 .cfg_text = document->text(),
                                 .files = files_beside(source + "/examples/panel.cfg"),
                                 .scenario_name = "start.scn",
                                 .scenario_text = "set PANEL_CIRCUIT_ON 1\ninstall all\n",
                                 .scale = 2},
                                said);
        EXPECT_NE(live, nullptr);
        editing.emplace(*document, *live);
        // The palette is found where it was last drawn: below the screen.
        Surface picture = make_surface(1080, 1200);
        Context cr(cairo_create(picture.get()));
        editing->draw_palette(cr.get(), 932, 1080);
    }
    // The gauge lines, one a line, as saving would write them.
    std::string gauge_lines() const {
        std::istringstream text(document->text());
        std::string lines, line;
        while (std::getline(text, line)) {
            if (line.rfind("gauge", 0) == 0) lines += line + "\n";
        }
        return lines;
    }
    // p x y press, m x y move, r x y release (M, R: with Shift), and the
    // keys: u undo, y redo, a dx dy arrows, d Delete.
    void play(const std::string& script) {
        std::istringstream words(script);
        std::string w;
        double x = 0, y = 0, t = 0;
        while (words >> w) {
            t += 0.05;
            if (w == "p" && words >> x >> y) editing->press(x, y, t);
            if ((w == "m" || w == "M") && words >> x >> y) editing->motion(x, y, w == "M");
            if ((w == "r" || w == "R") && words >> x >> y) editing->release(x, y, w == "R", t);
            if (w == "u") editing->undo();
            if (w == "y") editing->redo();
            if (w == "a" && words >> x >> y) editing->nudge(static_cast<int>(x), static_cast<int>(y));
            if (w == "d") editing->remove_selected();
        }
    }
};

const std::string example_lines =
    "gauge00=Orvane!PFD, 40, 16, 284\ngauge01=Orvane!DH, 366, 72, 150\n"
    "gauge00=Orvane!AP,  196, 18\ngauge01=Orvane!FD,   24, 52, 80\ngauge02=Orvane!DME, 120, 52, 36\n";

std::string with(std::string lines, const std::string& from, const std::string& to) {
    const size_t at = lines.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? lines : lines.replace(at, from.size(), to);
}

TEST(PanelEditingTests, EachSittingLeavesTheLinesItShould) {
    const std::string dh = "gauge01=Orvane!DH, 366, 72, 150\n";
    const std::string pfd = "gauge00=Orvane!PFD, 40, 16, 284\n";
    const struct Row {
        const char* what;
        std::string script;
        std::string lines;
    } rows[] = {
        {"the DH dragged 40 pixels right", "p 812 440 m 830 440 m 852 440 r 852 440",
         with(example_lines, dh, "gauge01=Orvane!DH, 386, 72, 150\n")},
        {"a click on the DH changes nothing", "p 812 440 m 813 441 r 813 441", example_lines},
        {"the PFD's bottom-right corner: one change, its aspect kept", "p 646 829 m 686 829 r 686 829",
         with(example_lines, pfd, "gauge00=Orvane!PFD, 40, 16, 304, 291\n")},
        {"its top-left corner moves and resizes, undone at once", "p 82 290 m 122 290 r 122 290 u", example_lines},
        {"and redone at once", "p 82 290 m 122 290 r 122 290 u y",
         with(example_lines, pfd, "gauge00=Orvane!PFD, 60, 35, 264, 253\n")},
        {"Shift frees the aspect", "p 646 829 M 686 809 R 686 809",
         with(example_lines, pfd, "gauge00=Orvane!PFD, 40, 16, 304, 262\n")},
        {"the arrows move the selected gauge, each an undo of its own", "p 812 440 r 812 440 a 1 0 a 0 -10 u",
         with(example_lines, dh, "gauge01=Orvane!DH, 367, 72, 150\n")},
        {"Delete takes its line out", "p 812 440 r 812 440 d", with(example_lines, dh, "")},
        {"the arrows do nothing once it is gone", "p 812 440 r 812 440 d a 5 5", with(example_lines, dh, "")},
        {"a drag from the palette's DH onto the glareshield adds it there",
         "p 256 980 m 300 900 m 540 128 r 540 128",
         with(example_lines, "gauge02=Orvane!DME, 120, 52, 36\n",
              "gauge02=Orvane!DME, 120, 52, 36\ngauge03=Orvane!DH, 216, 49\n")},
        {"dropped back on the palette, nothing", "p 256 980 m 300 900 m 300 1000 r 300 1000", example_lines},
        {"undo with nothing done, then redo with nothing undone", "u y", example_lines},
    };
    for (const Row& row : rows) {
        Sitting s("placing.cfg");
        s.play(row.script);
        EXPECT_EQ(s.gauge_lines(), row.lines) << row.what;
    }
}

TEST(PanelEditingTests, AnotherModulesGaugeIsNamedAndPlacedToo) {
    // Its outline at 300, 200 of the main panel: window pixels 600..680 x 656..696.
    Sitting s("other.cfg", "gauge02=Other!Clock, 300, 200, 40, 20");
    s.play("p 620 670 r 620 670");
    EXPECT_NE(s.editing->status(0).find("Window00: gauge02=Other!Clock, 300, 200, 40, 20"), std::string::npos);
    s.play("p 620 670 m 640 690 r 640 690");
    EXPECT_NE(s.gauge_lines().find("gauge02=Other!Clock, 310, 210, 40, 20\n"), std::string::npos) << s.gauge_lines();
}

TEST(PanelEditingTests, AGaugePlacedOnceMoreRunsThereAsAnInstanceOfItsOwn) {
    Sitting s("placing.cfg");
    s.play("p 256 980 m 300 900 m 540 128 r 540 128");
    const InstalledGauge* second = s.live->panel().installed("DH:2");
    ASSERT_NE(second, nullptr) << "the DH dropped from the palette";
    EXPECT_NE(second->header, s.live->panel().installed("DH")->header);
    s.play("u");
    EXPECT_EQ(s.live->panel_renderer().gauge_names(s.live->panel()),
              (std::vector<std::string>{"PFD", "DH", "AP", "FD", "DME"}));
}

TEST(PanelEditingTests, AClickThatIsNoDragWorksTheGauge) {
    Sitting s("placing.cfg");
    s.play("p 812 440 r 812 440");
    EXPECT_NE(s.live->record().find("click DH "), std::string::npos) << s.live->record();
    EXPECT_FALSE(s.document->changed());
}

TEST(PanelEditingTests, QuittingAndSavingAskWhatTheyMust) {
    const std::string moved = "p 812 440 m 852 440 r 852 440";
    const struct Row {
        const char* what;
        std::string script;
        bool changed_on_disk;
        std::vector<void (PanelEditing::*)()> answers;
        Question asked;
        bool quitting;
        bool saved;  // the file holds the move
    } rows[] = {
        {"nothing changed: quits at once", "", false, {}, Question::none, true, false},
        {"unsaved: asks", moved, false, {}, Question::unsaved_on_quit, false, false},
        {"Escape goes back", moved, false, {&PanelEditing::answer_cancel}, Question::none, false, false},
        {"D discards", moved, false, {&PanelEditing::answer_discard}, Question::none, true, false},
        {"S saves and quits", moved, false, {&PanelEditing::answer_save}, Question::none, true, true},
        {"the file changed on disk: S asks again", moved, true, {&PanelEditing::answer_save},
         Question::changed_on_disk, false, false},
        {"O overwrites it and quits", moved, true,
         {&PanelEditing::answer_save, &PanelEditing::answer_overwrite}, Question::none, true, true},
        {"an O where it is not asked does nothing", moved, false, {&PanelEditing::answer_overwrite},
         Question::unsaved_on_quit, false, false},
    };
    for (const Row& row : rows) {
        Sitting s("asking.cfg");
        s.play(row.script);
        if (row.changed_on_disk) {
            ASSERT_TRUE(write_file(s.path, "; another hand\n" + read_file(s.path).value_or("")));
        }
        const bool at_once = s.editing->may_quit();
        for (const auto answer : row.answers) (*s.editing.*answer)();
        EXPECT_EQ(s.editing->question(), row.asked) << row.what;
        EXPECT_EQ(at_once || s.editing->quitting(), row.quitting) << row.what;
        EXPECT_EQ(read_file(s.path).value_or("").find("DH, 386, 72") != std::string::npos, row.saved) << row.what;
    }
}

}  // namespace
}  // namespace panelhost
