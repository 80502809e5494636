// The README's and the install notes' copies of things that live elsewhere
// stay the same as them: the installation snippet is the example panel.cfg,
// the gauge reference is what panelhost reference prints for the built
// module, the art kit's table is what the art tool drew.
#include <fstream>
#include <sstream>

#include "host/render/gauge_reference.h"
#include "host/layout/panel_cfg.h"
#include "tests/unit/render_fixture.h"

namespace {

std::string read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The text between the line that holds `from` and the next line that starts with `to`.
std::string between(const std::string& text, const std::string& from, const std::string& to) {
    const size_t marker = text.find(from);
    if (marker == std::string::npos) return "(no " + from + ")";
    const size_t start = text.find('\n', marker) + 1;
    const size_t end = text.find("\n" + to, start - 1);
    if (end == std::string::npos) return "(no " + to + " after " + from + ")";
    return text.substr(start, end + 1 - start);
}

const std::string source = ORVANE_SOURCE_DIR;

TEST(Readme, TheInstallationSnippetIsTheExamplePanelWordForWord) {
    const std::string readme = read(source + "/README.md");
    const std::string snippet = between(readme, "<!-- examples/panel.cfg, word for word -->", "```\n");
    // The fence's own first line, then the file.
    EXPECT_EQ(snippet, "```ini\n" + read(source + "/examples/panel.cfg"));
}

TEST(Readme, TheQuickStartIsTwoCommandsTheFirstOfThemTheDemo) {
    const std::string readme = read(source + "/README.md");
    const size_t open = readme.find("```\n", readme.find("## Quick start"));
    ASSERT_NE(open, std::string::npos);
    const size_t close = readme.find("```", open + 4);
    ASSERT_NE(close, std::string::npos);
    std::istringstream lines(readme.substr(open + 4, close - open - 4));
    std::vector<std::string> commands;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) commands.push_back(line.substr(0, line.find(' ')));
    }
    EXPECT_EQ(commands, (std::vector<std::string>{"tools/demo.sh", "tools/test-all.sh"}));
}

class ReadmeReference : public render_test::RenderTest {};

TEST_F(ReadmeReference, TheGaugeReferenceIsWhatPanelhostReferencePrints) {
    const std::string reference = panelhost::gauge_reference(setup);
    for (const char* file : {"README.md", "docs/release/INSTALL"}) {
        EXPECT_EQ(between(read(source + "/" + file), "<!-- gauge reference: panelhost reference -->",
                          "<!-- end of gauge reference -->"),
                  reference)
            << file << ": regenerate it with build/native/panelhost reference build/native/orvane.so";
    }
}

// The art kit's table says of each face what faces.cfg, which the art tool
// writes, does: its size, and where it goes under its gauge line.
TEST(InstallNotes, TheArtKitTableIsWhatFacesCfgSays) {
    const std::string install = read(source + "/docs/release/INSTALL");
    const panelhost::PanelConfig faces =
        panelhost::parse_panel_cfg(read(source + "/examples/faces/faces.cfg"), "faces.cfg");
    ASSERT_TRUE(faces.problems.empty());
    ASSERT_EQ(faces.windows.size(), 5u);
    for (const panelhost::PanelWindow& w : faces.windows) {
        ASSERT_EQ(w.gauges.size(), 1u);
        const panelhost::PanelGauge& g = w.gauges[0];
        const std::string where = g.x == 0 && g.y == 0
                                      ? "the gauge's x, y"
                                      : "x - " + std::to_string(g.x) + ", y - " + std::to_string(g.y);
        const std::string size = std::to_string(*w.size_width) + " x " + std::to_string(*w.size_height);
        const size_t row = install.find("| `" + w.file + "`");
        ASSERT_NE(row, std::string::npos) << w.file << " is not in the art kit's table";
        const std::string text = install.substr(row, install.find('\n', row) - row);
        EXPECT_NE(text.find("| " + size + " "), std::string::npos) << text << " (" << size << ")";
        EXPECT_NE(text.find("| " + where + " "), std::string::npos) << text << " (" << where << ")";
    }
}

}  // namespace
