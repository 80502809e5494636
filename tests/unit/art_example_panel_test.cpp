// orvane_example_art draws over no file that it did not make: a panel's own
// bitmaps are left as they are and the drawing goes beside them, unless
// forced; its own files it draws again.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "host/base/files.h"
#include "tools/art/indexed_image.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome run_tool(const std::vector<std::string>& args, const fs::path& dir) {
    std::string command = "'" + std::string(ORVANE_EXAMPLE_ART_PATH) + "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " >'" + (dir / "stdout").string() + "' 2>'" + (dir / "stderr").string() + "' </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, panelhost::read_file((dir / "stdout").string()).value_or(""),
            panelhost::read_file((dir / "stderr").string()).value_or("")};
}

// A designer's own bitmap: one colour, not drawn by the tool.
std::string designers_bmp() {
    art::IndexedImage image{.width = 60, .height = 40};
    image.palette[1] = {200, 40, 40};
    image.pixels.assign(60 * 40, 1);
    const std::vector<uint8_t> bytes = art::encode_bmp_file(image);
    return std::string(bytes.begin(), bytes.end());
}

const std::string panel_cfg = "[Window00]\nfile=bg.bmp\nsize_mm=60,40\ngauge00=Orvane!DME, 10, 10\n";

class ExampleArt : public ::testing::Test {
public:  // to the rows' steps
    void SetUp() override {
        dir = fs::path(ORVANE_MODULE_PATH).parent_path() / "tests" / "example-art" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir);
    }
    void write(const std::string& name, const std::string& bytes) {
        fs::create_directories((dir / name).parent_path());
        ASSERT_TRUE(panelhost::write_file((dir / name).string(), bytes));
    }
    std::optional<std::string> read(const std::string& name) { return panelhost::read_file((dir / name).string()); }
    Outcome draw(std::vector<std::string> options = {}) {
        std::vector<std::string> args{ORVANE_MODULE_PATH, (dir / "panel.cfg").string()};
        args.insert(args.end(), options.begin(), options.end());
        return run_tool(args, dir);
    }
    fs::path dir;
};

TEST_F(ExampleArt, DrawsOverNoFileItDidNotMake) {
    const std::string theirs = designers_bmp();
    const struct Row {
        const char* what;
        std::function<void(ExampleArt&)> before;
        std::vector<std::string> options;
        int status;
        std::string says;
        std::map<std::string, std::string> kept;  // files that must hold these bytes afterwards
        std::vector<std::string> drawn;           // files that must be the tool's afterwards
        std::vector<std::string> absent;
    } rows[] = {
        {"a bitmap that is not there is drawn", nullptr, {}, 0, "wrote ", {}, {"bg.bmp"}, {"bg.orvane.bmp"}},
        {"its own bitmap is drawn again", [](ExampleArt& t) { t.draw(); }, {}, 0, "bg.bmp again", {},
         {"bg.bmp"}, {"bg.orvane.bmp"}},
        {"a designer's bitmap is kept and the drawing goes beside it",
         [&](ExampleArt& t) { t.write("bg.bmp", theirs); }, {}, 0, "was not drawn by orvane_example_art",
         {{"bg.bmp", theirs}}, {"bg.orvane.bmp"}, {}},
        {"its own bitmap, edited since, is the designer's",
         [](ExampleArt& t) {
             t.draw();
             std::string edited = t.read("bg.bmp").value();
             edited.back() = static_cast<char>(edited.back() ^ 1);
             t.write("bg.bmp", edited);
             t.write("edited", edited);
         },
         {}, 0, "left as it is", {}, {"bg.orvane.bmp"}, {}},
        {"--force draws over a designer's bitmap", [&](ExampleArt& t) { t.write("bg.bmp", theirs); }, {"--force"}, 0,
         "drew over", {}, {"bg.bmp"}, {"bg.orvane.bmp"}},
        {"when the name beside is a designer's too, nothing is written and it fails",
         [&](ExampleArt& t) {
             t.write("bg.bmp", theirs);
             t.write("bg.orvane.bmp", theirs);
         },
         {}, 1, "both left as they are", {{"bg.bmp", theirs}, {"bg.orvane.bmp", theirs}}, {}, {}},
        {"a designer's face is kept, and the panel of faces names the one drawn beside it",
         [&](ExampleArt& t) { t.write("faces/DME.bmp", theirs); }, {"--faces", "faces"}, 0,
         "faces/DME.orvane.bmp beside it", {{"faces/DME.bmp", theirs}},
         {"faces/DME.orvane.bmp", "faces/AP.bmp", "faces/faces.cfg"}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SetUp();
        write("panel.cfg", panel_cfg);
        if (row.before) row.before(*this);
        std::vector<std::string> options = row.options;
        for (std::string& o : options) {
            if (o == "faces") o = (dir / "faces").string();
        }
        const Outcome o = draw(options);
        EXPECT_EQ(o.status, row.status) << o.err;
        EXPECT_NE((o.out + o.err).find(row.says), std::string::npos) << o.out << o.err;
        for (const auto& [name, bytes] : row.kept) EXPECT_EQ(read(name), bytes) << name << " was changed";
        if (const std::optional<std::string> edited = read("edited")) {
            EXPECT_EQ(read("bg.bmp"), edited) << "the edited bitmap was drawn over";
        }
        for (const std::string& name : row.drawn) {
            // The tool's own file: drawing again says so.
            ASSERT_TRUE(read(name)) << name << " was not written";
        }
        for (const std::string& name : row.absent) EXPECT_FALSE(fs::exists(dir / name)) << name;
        if (!row.drawn.empty() && row.status == 0) {
            const Outcome again = draw(options);
            for (const std::string& name : row.drawn) {
                EXPECT_NE(again.out.find((dir / name).string() + " again"), std::string::npos)
                    << name << " is not the tool's own: " << again.out;
            }
        }
    }
    const std::optional<std::string> faces = read("faces/faces.cfg");
    ASSERT_TRUE(faces);
    EXPECT_NE(faces->find("file=DME.orvane.bmp\n"), std::string::npos) << *faces;
}

}  // namespace
