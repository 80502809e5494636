// The README's copies of things that live elsewhere stay the same as them:
// the installation snippet is the example panel.cfg, the gauge reference is
// what panelhost reference prints for the built module.
#include <fstream>
#include <sstream>

#include "host/render/gauge_reference.h"
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
    const std::string readme = read(source + "/README.md");
    EXPECT_EQ(between(readme, "<!-- gauge reference: panelhost reference -->", "<!-- end of gauge reference -->"),
              panelhost::gauge_reference(setup))
        << "regenerate it with build/native/panelhost reference build/native/orvane.so";
}

}  // namespace
