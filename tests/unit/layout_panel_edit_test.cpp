// Editing a panel.cfg: every edit changes the lines it must and no other
// byte, on every panel.cfg the tests and the examples hold.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/base/files.h"
#include "host/layout/panel_edit.h"

namespace panelhost {
namespace {

const std::string source = ORVANE_SOURCE_DIR;

const std::vector<std::string> corpus = {
    "tests/panels/airliner/panel.cfg", "tests/panels/all_hidden/panel.cfg", "tests/panels/ga_single/panel.cfg",
    "tests/panels/glass_twin/panel.cfg", "tests/panels/typos/panel.cfg", "examples/panel.cfg",
    "examples/faces/faces.cfg",
};

PanelDocument opened(const std::string& file) {
    std::string error;
    std::optional<PanelDocument> document = PanelDocument::open(source + "/" + file, &error);
    if (!document) ADD_FAILURE() << error;
    return document ? std::move(*document) : PanelDocument("", file);
}

TEST(PanelEdit, EveryPanelCfgOpenedAndLeftAloneIsWrittenByteForByte) {
    for (const std::string& file : corpus) {
        const PanelDocument document = opened(file);
        EXPECT_EQ(document.text(), *read_file(source + "/" + file)) << file;
        EXPECT_EQ(document.unified_diff(), "") << file;
        EXPECT_FALSE(document.changed()) << file;
    }
}

TEST(PanelEdit, AMovedGaugeHasOnlyItsNumbersRewritten) {
    PanelDocument document = opened("tests/panels/airliner/panel.cfg");
    ASSERT_TRUE(document.move({.window = {.number = 0}, .number = 4}, 500, -7));
    const std::string diff = document.unified_diff();
    EXPECT_NE(diff.find("-gauge04=LVLD\\B767main!Clock,\t460,\t300\t,\t60,60\r\n"
                        "+gauge04=LVLD\\B767main!Clock,\t500,\t-7\t,\t60,60\r\n"),
              std::string::npos)
        << diff;
    EXPECT_EQ(document.find(GaugeRef{.window = {.number = 0}, .number = 4})->x, 500);
}

}  // namespace
}  // namespace panelhost
