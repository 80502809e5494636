// The resource list that drives both builds: what it accepts and what it
// refuses, so that a slip in the list fails the build rather than the module.
#include <string>

#include <gtest/gtest.h>

#include "tools/resource_list.h"

namespace {

TEST(ResourceList, ReadsIdentifiersNamesTypesFilesAndLanguages) {
    const auto r = resources::parse_resource_list(
        "# comment line\n"
        "\n"
        "4160 BITMAP bitmaps/ball.bmp   # trailing comment\n"
        "  BMP_MASK\tBITMAP bitmaps/mask.bmp\n"
        "20480 WAVE callout.wav 0x0407\n");
    ASSERT_EQ(r.error, "");
    ASSERT_EQ(r.entries.size(), 3u);
    EXPECT_EQ(r.entries[0].id, 4160);
    EXPECT_FALSE(r.entries[0].named());
    EXPECT_EQ(r.entries[0].file, "bitmaps/ball.bmp");
    EXPECT_EQ(r.entries[0].language, 0x0409);
    EXPECT_EQ(r.entries[0].line, 3);
    EXPECT_TRUE(r.entries[1].named());
    EXPECT_EQ(r.entries[1].identifier, "BMP_MASK");
    EXPECT_EQ(r.entries[2].type, "WAVE");
    EXPECT_EQ(r.entries[2].language, 0x0407);
}

TEST(ResourceList, RefusesMalformedLinesAndNamesTheLine) {
    const struct {
        const char* text;
        const char* error_start;
    } cases[] = {
        {"4160 BITMAP\n", "line 1:"},
        {"4160 BITMAP a.bmp 0x409 extra\n", "line 1:"},
        {"\n0 BITMAP a.bmp\n", "line 2:"},
        {"65536 BITMAP a.bmp\n", "line 1:"},
        {"-5 BITMAP a.bmp\n", "line 1:"},
        {"bmp_lower BITMAP a.bmp\n", "line 1:"},
        {"1MASK BITMAP a.bmp\n", "line 1:"},
        {"4160 bitmap a.bmp\n", "line 1:"},
        {"4160 BITMAP a.bmp 0x10000\n", "line 1:"},
        {"4160 BITMAP a.bmp english\n", "line 1:"},
        {"4160 BITMAP a.bmp\n4160 BITMAP b.bmp\n", "line 2:"},
    };
    for (const auto& c : cases) {
        const auto r = resources::parse_resource_list(c.text);
        EXPECT_EQ(r.error.rfind(c.error_start, 0), 0u) << c.text << " gave '" << r.error << "'";
        EXPECT_TRUE(r.entries.empty()) << c.text;
    }
}

TEST(ResourceList, TheSameIdentifierMayServeTwoTypes) {
    const auto r = resources::parse_resource_list("100 BITMAP a.bmp\n100 WAVE a.wav\n");
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.entries.size(), 2u);
}

TEST(ResourceList, TheModulesListHoldsTwentySixBitmapsAndTheCallout) {
    std::vector<uint8_t> text;
    ASSERT_TRUE(resources::read_file(std::string(ORVANE_RES_DIR) + "/resources.list", &text));
    const auto r = resources::parse_resource_list({reinterpret_cast<const char*>(text.data()), text.size()});
    ASSERT_EQ(r.error, "");
    int bitmaps = 0, named = 0, waves = 0;
    for (const auto& e : r.entries) {
        bitmaps += e.type == "BITMAP";
        named += e.type == "BITMAP" && e.named();
        if (e.type == "WAVE") {
            ++waves;
            EXPECT_EQ(e.id, 20480);
            EXPECT_EQ(e.language, 0x0409);
        }
    }
    EXPECT_EQ(bitmaps, 26);
    EXPECT_EQ(named, 2);
    EXPECT_EQ(waves, 1);
}

}  // namespace
