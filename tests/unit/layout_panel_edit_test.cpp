// Editing a panel.cfg: every edit changes the lines it must and no other
// byte, on every panel.cfg the tests and the examples hold; each is undone
// and redone; saving keeps the original once and overwrites no change made
// on disk.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/base/files.h"
#include "host/layout/panel_edit.h"

namespace panelhost {
namespace {

namespace fs = std::filesystem;

const std::string source = ORVANE_SOURCE_DIR;

// Every panel.cfg the tests, the fuzzer's seeds and the examples hold.
std::vector<std::string> corpus() {
    std::vector<std::string> files;
    for (const char* folder : {"tests/panels", "tests/fuzz/seeds/panel_cfg", "examples"}) {
        for (const auto& entry : fs::recursive_directory_iterator(source + "/" + folder)) {
            if (entry.path().extension() == ".cfg") files.push_back(fs::relative(entry.path(), source).string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string bytes_of(const std::string& file) { return read_file(source + "/" + file).value_or(""); }

GaugeRef gauge_of(int window, int number) { return {.window = {.number = window}, .number = number}; }
GaugeRef cockpit_gauge(int cockpit, int number) {
    return {.window = {.virtual_cockpit = true, .number = cockpit}, .number = number};
}

// The lines a diff takes out and puts in, with their line ends, without its
// header and context.
std::string changed_lines(const std::string& diff) {
    std::string changed;
    size_t at = 0;
    for (int line = 0; at < diff.size(); ++line) {
        const size_t end = std::min(diff.find('\n', at), diff.size() - 1) + 1;
        const char first = diff[at];
        if (line >= 2 && (first == '-' || first == '+' || first == '\\')) changed += diff.substr(at, end - at);
        at = end;
    }
    return changed;
}

TEST(PanelEdit, EveryPanelCfgOpenedAndSavedUnchangedIsByteForByteTheSame) {
    const fs::path dir = fs::temp_directory_path() / "orvane-panel-edit-round-trip";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::vector<std::string> files = corpus();
    EXPECT_GE(files.size(), 14u);
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const std::string path = (dir / "panel.cfg").string();
        ASSERT_TRUE(write_file(path, bytes_of(file)));
        std::optional<PanelDocument> document = PanelDocument::open(path);
        ASSERT_TRUE(document);
        EXPECT_EQ(document->text(), bytes_of(file));
        EXPECT_EQ(document->unified_diff(), "");
        EXPECT_EQ(document->save(), SaveResult::nothing_to_save);
        EXPECT_EQ(*read_file(path), bytes_of(file));
        EXPECT_FALSE(fs::exists(path + ".orig"));
    }
    fs::remove_all(dir);
}

// Each kind of edit on each file: the lines taken out and put in, nothing
// else; undone, the file's bytes again; redone, the same change.
TEST(PanelEdit, EachEditChangesExactlyItsLines) {
    using Edit = std::function<bool(PanelDocument&)>;
    auto move = [](GaugeRef g, int x, int y) { return Edit([=](PanelDocument& d) { return d.move(g, x, y); }); };
    auto resize = [](GaugeRef g, int w, int h) {
        return Edit([=](PanelDocument& d) { return d.resize(g, w, h); });
    };
    auto remove = [](GaugeRef g) { return Edit([=](PanelDocument& d) { return d.remove(g); }); };
    auto add = [](WindowRef w, NewGauge n) { return Edit([=](PanelDocument& d) { return d.add(w, n); }); };
    const WindowRef window0{.number = 0}, window1{.number = 1}, cockpit1{true, 1}, cockpit3{true, 3};
    const struct {
        std::string file;
        Edit edit;
        std::string changed;
    } cases[] = {
        // CR LF, a byte-order mark, Latin-1; a left-out height; tabs.
        {"tests/panels/airliner/panel.cfg", move(gauge_of(0, 2), 361, 81),
         "-gauge02=orvane!dh, 360, 80, 150\r\n+gauge02=orvane!dh, 361, 81, 150\r\n"},
        {"tests/panels/airliner/panel.cfg", move(gauge_of(0, 4), 500, -7),
         "-gauge04=LVLD\\B767main!Clock,\t460,\t300\t,\t60,60\r\n+gauge04=LVLD\\B767main!Clock,\t500,\t-7\t,\t60,60\r\n"},
        {"tests/panels/airliner/panel.cfg", resize(gauge_of(0, 0), 300, 290),
         "-gauge00=Orvane!PFD, 40, 60, 284,,CP\r\n+gauge00=Orvane!PFD, 40, 60, 300,290,CP\r\n"},
        {"tests/panels/airliner/panel.cfg", remove(gauge_of(0, 5)),
         "-gauge05=Fs.Avionics!Radio Stack, 960, 330, 100, 100\r\n-gauge06=LVLD\\B767main!ISFD, -20, 200, 60, 60\r\n"
         "-gauge07=Orvane!DH, 880, -12, 109\r\n+gauge05=LVLD\\B767main!ISFD, -20, 200, 60, 60\r\n"
         "+gauge06=Orvane!DH, 880, -12, 109\r\n"},
        {"tests/panels/airliner/panel.cfg", add(cockpit1, {.module = "Orvane", .gauge = "DME", .x = 400, .y = 10}),
         "+gauge03=Orvane!DME, 400, 10\r\n"},
        // A window with one gauge.
        {"tests/panels/all_hidden/panel.cfg", move(gauge_of(1, 0), 6, 16),
         "-gauge00=Orvane!DH, 5, 15\n+gauge00=Orvane!DH, 6, 16\n"},
        {"tests/panels/all_hidden/panel.cfg", resize(gauge_of(0, 0), 314, 100),
         "-gauge00=Orvane!AP, 3, 0\n+gauge00=Orvane!AP, 3, 0, 314, 100\n"},
        {"tests/panels/all_hidden/panel.cfg", remove(gauge_of(0, 0)), "-gauge00=Orvane!AP, 3, 0\n"},
        {"tests/panels/all_hidden/panel.cfg",
         add(window0, {.module = "Orvane", .gauge = "FD", .x = 200, .y = 10, .width = 46, .height = 23}),
         "+gauge01=Orvane!FD, 200, 10, 46, 23\n"},
        // Blanks around = and the commas, a left-out width, a gap in the
        // numbers, no line end at the end of the file.
        {"tests/panels/ga_single/panel.cfg", move(gauge_of(0, 1), 1, 2),
         "-gauge01 = Orvane!DH , 360 ,  20\n+gauge01 = Orvane!DH , 1 ,  2\n"},
        {"tests/panels/ga_single/panel.cfg", resize(gauge_of(0, 2), 40, 50),
         "-gauge02=Orvane!FD,10,150,,34\n+gauge02=Orvane!FD,10,150,40,50\n"},
        {"tests/panels/ga_single/panel.cfg", resize(gauge_of(0, 0), 100, 50),
         "-gauge00=Orvane!AP,  20, 10, 314\n+gauge00=Orvane!AP,  20, 10, 100, 50\n"},
        {"tests/panels/ga_single/panel.cfg", remove(gauge_of(0, 2)),
         "-gauge02=Orvane!FD,10,150,,34\n-gauge04=Orvane!DME, 200, 150\n-gauge05=Orvane!PFD, 420, 100\n"
         "+gauge03=Orvane!DME, 200, 150\n+gauge04=Orvane!PFD, 420, 100\n"},
        {"tests/panels/ga_single/panel.cfg",
         add(cockpit1, {.module = "Orvane", .gauge = "PFD", .x = 0, .y = 0, .width = 100, .height = 100}),
         "-background_color=200,0,0\n\\ No newline at end of file\n"
         "+background_color=200,0,0\n+gauge00=Orvane!PFD, 0, 0, 100, 100\n\\ No newline at end of file\n"},
        // Virtual-cockpit textures alone, CR LF.
        {"tests/panels/glass_twin/panel.cfg", move(cockpit_gauge(2, 1), 61, 11),
         "-gauge01=Orvane!DME, 60, 10\r\n+gauge01=Orvane!DME, 61, 11\r\n"},
        {"tests/panels/glass_twin/panel.cfg", resize(cockpit_gauge(1, 1), 200, 60),
         "-gauge01=Orvane!DH, 420, 40, 218, 62\r\n+gauge01=Orvane!DH, 420, 40, 200, 60\r\n"},
        {"tests/panels/glass_twin/panel.cfg", remove(cockpit_gauge(1, 0)),
         "-gauge00=Orvane!PFD, 20, 20, 378\r\n-gauge01=Orvane!DH, 420, 40, 218, 62\r\n"
         "-gauge02=TwinAvionics!MFD, 20, 420, 600, 500\r\n+gauge00=Orvane!DH, 420, 40, 218, 62\r\n"
         "+gauge01=TwinAvionics!MFD, 20, 420, 600, 500\r\n"},
        {"tests/panels/glass_twin/panel.cfg", add(cockpit3, {.module = "Orvane", .gauge = "AP", .x = 1, .y = 2}),
         "+gauge00=Orvane!AP, 1, 2\r\n"},
        // Lines the reader refuses still count their numbers.
        {"tests/panels/typos/panel.cfg", move(gauge_of(0, 3), 151, 152),
         "-gauge03=Orvane!DH, 150, 150\n+gauge03=Orvane!DH, 151, 152\n"},
        {"tests/panels/typos/panel.cfg", resize(gauge_of(0, 2), 46, 23),
         "-gauge02=Orvane!FD, 400, 10\n+gauge02=Orvane!FD, 400, 10, 46, 23\n"},
        {"tests/panels/typos/panel.cfg", remove(gauge_of(0, 0)),
         "-gauge00=Orvane!PDF, 10, 10, 100, 100\n-gauge01=Orvane PFD, 10, 10\n-gauge02=Orvane!FD, 400, 10\n"
         "-gauge03=Orvane!DH, 150, 150\n+gauge00=Orvane PFD, 10, 10\n+gauge01=Orvane!FD, 400, 10\n"
         "+gauge02=Orvane!DH, 150, 150\n"},
        {"tests/panels/typos/panel.cfg", add(window0, {.module = "Orvane", .gauge = "AP", .x = 0, .y = 150}),
         "+gauge04=Orvane!AP, 0, 150\n"},
        {"examples/panel.cfg", move(gauge_of(1, 0), 200, 20),
         "-gauge00=Orvane!AP,  196, 18\n+gauge00=Orvane!AP,  200, 20\n"},
        {"examples/panel.cfg", resize(gauge_of(0, 1), 160, 40),
         "-gauge01=Orvane!DH, 366, 72, 150\n+gauge01=Orvane!DH, 366, 72, 160, 40\n"},
        {"examples/panel.cfg", remove(gauge_of(1, 1)),
         "-gauge01=Orvane!FD,   24, 52, 80\n-gauge02=Orvane!DME, 120, 52, 36\n+gauge01=Orvane!DME, 120, 52, 36\n"},
        {"examples/panel.cfg", add(window0, {.module = "Orvane", .gauge = "FD", .x = 10, .y = 10}),
         "+gauge02=Orvane!FD, 10, 10\n"},
        {"examples/faces/faces.cfg", move(gauge_of(4, 0), 4, 4),
         "-gauge00=Orvane!DME, 3, 3\n+gauge00=Orvane!DME, 4, 4\n"},
        {"examples/faces/faces.cfg", resize(gauge_of(2, 0), 109, 31),
         "-gauge00=Orvane!DH, 0, 0\n+gauge00=Orvane!DH, 0, 0, 109, 31\n"},
        {"examples/faces/faces.cfg", remove(gauge_of(3, 0)), "-gauge00=Orvane!FD, 3, 3\n"},
        {"examples/faces/faces.cfg", add(window1, {.module = "Gauges\\Orvane", .gauge = "DME", .x = 0, .y = 0}),
         "+gauge01=Gauges\\Orvane!DME, 0, 0\n"},
    };
    for (const auto& c : cases) {
        const std::string original = bytes_of(c.file);
        PanelDocument document(original, c.file);
        SCOPED_TRACE(c.file + ": " + c.changed);
        ASSERT_TRUE(c.edit(document));
        const std::string diff = document.unified_diff();
        EXPECT_EQ(changed_lines(diff), c.changed) << diff;
        EXPECT_TRUE(document.changed());
        // The file as edited reads back whole: no line of it is refused that was not before.
        EXPECT_EQ(parse_panel_cfg(document.text(), c.file).problems.size(),
                  parse_panel_cfg(original, c.file).problems.size());
        ASSERT_TRUE(document.undo());
        EXPECT_EQ(document.text(), original);
        EXPECT_EQ(document.unified_diff(), "");
        ASSERT_TRUE(document.redo());
        EXPECT_EQ(document.unified_diff(), diff);
    }
}

TEST(PanelEdit, TheDiffIsTheOneDiffUWrites) {
    PanelDocument document(bytes_of("examples/panel.cfg"), "panel.cfg");
    ASSERT_TRUE(document.move(gauge_of(0, 0), 41, 17));
    ASSERT_TRUE(document.remove(gauge_of(1, 2)));
    EXPECT_EQ(document.unified_diff(),
              "--- panel.cfg\n+++ panel.cfg\n"
              "@@ -11,7 +11,7 @@\n"
              " size_mm=540,300\n position=7\n visible=1\n"
              "-gauge00=Orvane!PFD, 40, 16, 284\n+gauge00=Orvane!PFD, 41, 17, 284\n"
              " gauge01=Orvane!DH, 366, 72, 150\n \n [Window01]\n"
              "@@ -21,4 +21,3 @@\n"
              " visible=1\n gauge00=Orvane!AP,  196, 18\n gauge01=Orvane!FD,   24, 52, 80\n"
              "-gauge02=Orvane!DME, 120, 52, 36\n");
}

TEST(PanelEdit, LinesAtTheEdgesOfTheFileAndOfTheirFields) {
    const std::string text = "[Window00]\r\ngauge00=A!B, 1, 2\r\ngauge01=A!C, 3, 4";
    PanelDocument document(text, "p.cfg");
    ASSERT_TRUE(document.remove(gauge_of(0, 1)));
    EXPECT_EQ(document.text(), "[Window00]\r\ngauge00=A!B, 1, 2");
    ASSERT_TRUE(document.add({.number = 0}, {.module = "A", .gauge = "D", .x = 5, .y = 6}));
    EXPECT_EQ(document.text(), "[Window00]\r\ngauge00=A!B, 1, 2\r\ngauge01=A!D, 5, 6");    // A last line ended by a CR alone keeps it last.
    PanelDocument cr("[Window00]\ngauge00=A!B, 1, 2\r", "p.cfg");
    ASSERT_TRUE(cr.add({.number = 0}, {.module = "A", .gauge = "D", .x = 5, .y = 6}));
    EXPECT_EQ(cr.text(), "[Window00]\ngauge00=A!B, 1, 2\ngauge01=A!D, 5, 6\r");
    EXPECT_EQ(changed_lines(cr.unified_diff()), "-gauge00=A!B, 1, 2\r\n\\ No newline at end of file\n"
                                                "+gauge00=A!B, 1, 2\n+gauge01=A!D, 5, 6\r\n\\ No newline at end of file\n");
    ASSERT_TRUE(cr.remove(gauge_of(0, 0)));
    EXPECT_EQ(cr.text(), "[Window00]\ngauge00=A!D, 5, 6\r");
    // A width left out at the end of the line.
    PanelDocument open_width("[Window00]\ngauge00=A!B, 1, 2,\n", "p.cfg");
    ASSERT_TRUE(open_width.resize(gauge_of(0, 0), 7, 8));
    EXPECT_EQ(open_width.text(), "[Window00]\ngauge00=A!B, 1, 2,7, 8\n");
}

TEST(PanelEdit, AnEditThatCannotBeMadeChangesNothingAndSaysWhy) {
    const std::string original = bytes_of("tests/panels/typos/panel.cfg");
    using Edit = std::function<bool(PanelDocument&, std::string*)>;
    const struct {
        Edit edit;
        std::string error;
    } cases[] = {
        {[](PanelDocument& d, std::string* e) { return d.move(gauge_of(3, 0), 1, 1, e); }, "has no [Window03]"},
        {[](PanelDocument& d, std::string* e) { return d.move(gauge_of(0, 1), 1, 1, e); },
         "has no gauge01 in [Window00] (its gauges: gauge00 to gauge03)"},
        {[](PanelDocument& d, std::string* e) { return d.remove(cockpit_gauge(1, 0), e); }, "has no [VCockpit01]"},
        {[](PanelDocument& d, std::string* e) { return d.move(gauge_of(0, 0), 8192, 0, e); },
         "the position 8192, 0 is not within a window"},
        {[](PanelDocument& d, std::string* e) { return d.resize(gauge_of(0, 0), 0, 10, e); }, "is not a size"},
        {[](PanelDocument& d, std::string* e) {
             return d.add({.number = 0}, {.module = "Orv,ane", .gauge = "PFD"}, nullptr, e);
         },
         "\"Orv,ane!PFD\" is not a gauge a panel.cfg can name"},
        {[](PanelDocument& d, std::string* e) {
             return d.add({.number = 0}, {.module = "Orvane", .gauge = "PFD // x"}, nullptr, e);
         },
         "is not a gauge a panel.cfg can name"},
        {[](PanelDocument& d, std::string* e) {
             return d.add({.number = 0}, {.module = "Orvane", .gauge = "PFD", .width = 10}, nullptr, e);
         },
         "a width and a height, or neither"},
        {[](PanelDocument& d, std::string* e) {
             return d.add({.number = 0}, {.module = std::string(max_panel_cfg_bytes, 'M'), .gauge = "PFD"}, nullptr, e);
         },
         "bytes long (at most 1048576)"},
    };
    for (const auto& c : cases) {
        PanelDocument document(original, "typos.cfg");
        std::string error;
        EXPECT_FALSE(c.edit(document, &error)) << c.error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_EQ(document.text(), original);
        EXPECT_FALSE(document.can_undo());
    }
}

TEST(PanelEdit, UndoAndRedoWalkTheEditsBackAndForth) {
    const std::string original = bytes_of("tests/panels/ga_single/panel.cfg");
    PanelDocument document(original, "ga.cfg");
    EXPECT_FALSE(document.undo());
    std::vector<std::string> texts = {original};
    GaugeRef added;
    ASSERT_TRUE(document.add({.number = 1}, {.module = "Orvane", .gauge = "FD", .x = 1, .y = 1}, &added));
    EXPECT_EQ(added, gauge_of(1, 2));
    texts.push_back(document.text());
    ASSERT_TRUE(document.move(added, 9, 9));
    texts.push_back(document.text());
    ASSERT_TRUE(document.remove(gauge_of(1, 0)));
    texts.push_back(document.text());
    // The gauge added, renumbered by the remove, moves by its new number.
    ASSERT_TRUE(document.resize(gauge_of(1, 1), 20, 20));
    texts.push_back(document.text());
    for (size_t i = texts.size() - 1; i > 0; --i) {
        ASSERT_TRUE(document.undo());
        EXPECT_EQ(document.text(), texts[i - 1]) << i;
    }
    EXPECT_FALSE(document.can_undo());
    for (size_t i = 1; i < texts.size(); ++i) {
        ASSERT_TRUE(document.redo());
        EXPECT_EQ(document.text(), texts[i]) << i;
    }
    EXPECT_FALSE(document.redo());
    // A new edit after an undo drops what could have been redone.
    ASSERT_TRUE(document.undo());
    ASSERT_TRUE(document.move(gauge_of(0, 0), 0, 0));
    EXPECT_FALSE(document.can_redo());
    EXPECT_EQ(document.find(gauge_of(0, 0))->x, 0);
}

class PanelEditSave : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("orvane-panel-edit-" + std::string(::testing::UnitTest::GetInstance()
                                                                                   ->current_test_info()
                                                                                   ->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "panel.cfg").string();
        original = bytes_of("tests/panels/airliner/panel.cfg");
        ASSERT_TRUE(write_file(path, original));
    }
    void TearDown() override { fs::remove_all(dir); }

    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir;
    std::string path, original;
};

TEST_F(PanelEditSave, TheFirstSaveKeepsTheOriginalOnceAndNothingElseIsLeftBeside) {
    std::optional<PanelDocument> document = PanelDocument::open(path);
    ASSERT_TRUE(document);
    ASSERT_TRUE(document->move(gauge_of(0, 0), 1, 1));
    EXPECT_TRUE(document->unsaved());
    std::string message;
    EXPECT_EQ(document->save(&message), SaveResult::saved) << message;
    EXPECT_NE(message.find("the original kept as " + path + ".orig"), std::string::npos) << message;
    EXPECT_EQ(*read_file(path), document->text());
    EXPECT_EQ(*read_file(path + ".orig"), original);
    EXPECT_FALSE(document->unsaved());
    EXPECT_EQ(files(), (std::vector<std::string>{"panel.cfg", "panel.cfg.orig"}));

    ASSERT_TRUE(document->move(gauge_of(0, 0), 2, 2));
    EXPECT_EQ(document->save(), SaveResult::saved);
    // Opened again and saved again: the original stays the first one.
    std::optional<PanelDocument> again = PanelDocument::open(path);
    ASSERT_TRUE(again->move(gauge_of(0, 1), 3, 3));
    EXPECT_EQ(again->save(), SaveResult::saved);
    EXPECT_EQ(*read_file(path + ".orig"), original);
    EXPECT_EQ(files(), (std::vector<std::string>{"panel.cfg", "panel.cfg.orig"}));
}

TEST_F(PanelEditSave, AFileChangedOnDiskIsNotOverwrittenUnlessForced) {
    std::optional<PanelDocument> document = PanelDocument::open(path);
    ASSERT_TRUE(document->move(gauge_of(0, 0), 1, 1));
    const std::string theirs = original + "; added by hand\r\n";
    ASSERT_TRUE(write_file(path, theirs));
    std::string message;
    EXPECT_EQ(document->save(&message), SaveResult::changed_on_disk);
    EXPECT_NE(message.find("has changed on disk since it was read"), std::string::npos) << message;
    EXPECT_EQ(*read_file(path), theirs);
    EXPECT_FALSE(fs::exists(path + ".orig"));

    fs::remove(path);
    EXPECT_EQ(document->save(&message), SaveResult::changed_on_disk);
    EXPECT_EQ(document->save(&message, true), SaveResult::saved) << message;
    EXPECT_EQ(*read_file(path), document->text());
    // Saved, the file on disk is the document's again.
    ASSERT_TRUE(document->move(gauge_of(0, 0), 2, 2));
    EXPECT_EQ(document->save(), SaveResult::saved);
}

TEST_F(PanelEditSave, AFileThatCannotBeWrittenIsSaidSo) {
    std::optional<PanelDocument> document = PanelDocument::open(path);
    ASSERT_TRUE(document->move(gauge_of(0, 0), 1, 1));
    fs::remove_all(dir);
    std::string message;
    EXPECT_EQ(document->save(&message, true), SaveResult::failed);
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_FALSE(fs::exists(dir));
    EXPECT_TRUE(document->unsaved());
}

}  // namespace
}  // namespace panelhost
