// The validator over module images held in memory, the fuzz target's seeds:
// the sound one is readable without a fault, each broken one is refused
// with the fault it was broken by.
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "host/panel/inspect.h"
#include "host/services/module_loader.h"
#include "tests/fuzz/module_image.h"

namespace orvane::fuzzing {
namespace {

TEST(ModuleImage, EachSeedIsCheckedAsItWasBroken) {
    const struct Row {
        const char* seed;
        bool readable;
        const char* fault;  // the first; empty: none
    } rows[] = {
        {"sound", true, ""},
        {"wrong_import_id", false, "ImportTable: first entry id is 0x00000010, expected 0x0000000F"},
        {"wrong_module_id", false, "Linkage: module id is 0x00000012, expected 0x00000013"},
        {"stray_gauge", false, "Linkage: gauge table entry 1 points to 0x0000000000001000 lies outside"},
        {"stray_name", false, "gauge 0: its name at 0x0000000000001000 lies outside the module's image"},
        {"unterminated_name", false, "gauge 0: its name at 0x0000000020000FF8 runs past the end of the module's image"},
        {"cycle", true, "gauge 0 (T): element chain: element 4 leads back to element 2: the chain is a cycle"},
        {"stray_failures", false, "gauge 0 (T): element 0: failure record 0 at 0x0000000000001000 lies outside"},
        {"unknown_mouse_row", true, "gauge 0 (T): mouse table row 8: unknown row kind 9"},
        {"handler_in_data", true, "gauge 0 (T): mouse table row 5: click row: its handler 0x"},
        {"small_exports", false, "ImportTable: the export holds 8 bytes (its record takes 32 bytes)"},
    };
    std::map<std::string, std::vector<uint8_t>> seeds;
    for (auto& [name, bytes] : module_image_seeds()) seeds[name] = bytes;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.seed);
        ASSERT_EQ(seeds.count(row.seed), 1u);
        const panelhost::ModuleRecords records = load_image(seeds[row.seed]);
        const panelhost::ModuleCheck check = panelhost::check_module(records);
        EXPECT_EQ(check.readable, row.readable);
        if (std::string(row.fault).empty()) {
            EXPECT_TRUE(check.faults.empty()) << check.faults.front();
            EXPECT_NE(panelhost::inspect_module(records, false).find("mouse table\n"), std::string::npos);
        } else {
            ASSERT_FALSE(check.faults.empty());
            EXPECT_EQ(check.faults.front().rfind(row.fault, 0), 0u) << check.faults.front();
        }
    }
    EXPECT_EQ(seeds.size(), std::size(rows));
}

}  // namespace
}  // namespace orvane::fuzzing
