#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/commands/commands.h"
#include "host/panel/inspect.h"
#include "host/services/module_loader.h"
#include "host/services/windows_api.h"
#include "tests/unit/host_test_module.h"

namespace panelhost::testing {
namespace {

std::string joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& text : texts) all += text + "\n";
    return all;
}

// Copies of the test module's records that a case may break.
// The instance whose bitmaps are looked up: under Windows the test program's
// own image, which holds none. A made-up one sends Windows into a page fault
// that it catches, except under qemu-i386, whose signals tell Wine no trap
// number: the fault is then an illegal instruction, and nothing catches it.
ServiceExtra bitmapless_instance() {
#if defined(_WIN32)
    return reinterpret_cast<ServiceExtra>(GetModuleHandleA(nullptr));
#else
    return test_instance;
#endif
}

struct Records {
    GaugeModuleImports imports = test_imports;
    GaugeModuleLinkage linkage = test_linkage;
    GaugeHeader gauge = test_gauge;
    ModuleRecords records{&imports, &linkage, bitmapless_instance()};

    // The copies lie in the test's own image, beside the module they copy.
    Records() {
        linkage.gauge_table[0] = &gauge;
        records.image = ModuleImage::of_object_holding(&test_linkage);
        records.image.add(this, sizeof *this, false);
    }
    Records(const Records&) = delete;
};

// A linkage whose gauge table runs on past the host's bound without a null end.
struct EndlessLinkage {
    GaugeModuleLinkage linkage;
    GaugeHeader* more[max_gauges];
};

TEST(HostLoaderTests, TheTestModuleIsSound) {
    Records r;
    EXPECT_TRUE(validate_module(r.records).empty()) << joined(validate_module(r.records));
}

TEST(HostLoaderTests, EachFaultOfTheRecordsIsNamed) {
    static char long_name[max_gauge_name_length + 2];
    std::fill_n(long_name, max_gauge_name_length + 1, 'N');
    static MouseRect bad_mouse[] = {{.rect_type = MOUSE_CLOSE_AREA}, {.rect_type = MOUSE_END_OF_TABLE}};
    static ElementHeader odd_element = {.element_type = 9};
    static ElementHeader* odd_list[] = {&odd_element, nullptr};
    static EndlessLinkage endless;
    endless.linkage.module_id = module_id_gauges;
    for (GaugeHeader*& g : endless.linkage.gauge_table) g = &test_gauge;
    for (GaugeHeader*& g : endless.more) g = &test_gauge;

    const struct {
        const char* what;
        std::function<void(Records&)> damage;
        const char* fault;
    } cases[] = {
        {"no import table", [](Records& r) { r.records.imports = nullptr; }, "ImportTable: not exported"},
        {"wrong import id", [](Records& r) { r.imports.entry[0].id = 0x10; },
         "ImportTable: first entry id is 0x00000010, expected 0x0000000F"},
        {"import table without end", [](Records& r) { r.imports.entry[1].id = 7; },
         "ImportTable: second entry is not the end entry"},
        {"no linkage", [](Records& r) { r.records.linkage = nullptr; }, "Linkage: not exported"},
        {"wrong module id", [](Records& r) { r.linkage.module_id = 0x12; },
         "Linkage: module id is 0x00000012, expected 0x00000013"},
        {"no gauges", [](Records& r) { r.linkage.gauge_table[0] = nullptr; },
         "Linkage: the gauge table lists no gauge"},
        {"gauge table without end",
         [](Records& r) { r.records.linkage = reinterpret_cast<GaugeModuleLinkage*>(&endless); },
         "Linkage: the gauge table has no null end within 64 entries"},
        {"version 0", [](Records& r) { r.gauge.gauge_header_version = 0; }, "gauge 0 (T): header version is 0"},
        {"no name", [](Records& r) { r.gauge.gauge_name = nullptr; }, "gauge 0: has no name"},
        {"empty name", [](Records& r) { r.gauge.gauge_name = ""; }, "gauge 0 (): name is empty"},
        {"overlong name", [](Records& r) { r.gauge.gauge_name = long_name; },
         "gauge 0: name is longer than 63 characters"},
        {"same name twice", [](Records& r) { r.gauge.gauge_name = "U"; },
         "gauge 1 (U): another gauge has the same name"},
        {"broken mouse table", [](Records& r) { r.gauge.mouse_rect = bad_mouse; },
         "gauge 0 (T): mouse table row 0: close row without an open area"},
        {"unknown element kind", [](Records& r) { r.gauge.elements_list = odd_list; },
         "gauge 0 (T): element 0 has unknown kind 9"},
    };
    for (const auto& c : cases) {
        Records r;
        c.damage(r);
        const std::vector<std::string> faults = validate_module(r.records);
        ASSERT_EQ(faults.size(), 1u) << c.what << "\n" << joined(faults);
        EXPECT_EQ(faults[0].rfind(c.fault, 0), 0u) << c.what << ": " << faults[0];
    }
}

TEST(HostLoaderTests, TheBuiltModuleLoadsAndReachesTheHostThroughItsImportTable) {
    std::string error;
    const auto module = LoadedModule::open(ORVANE_MODULE_PATH, error);
    ASSERT_NE(module, nullptr) << error;
    const ModuleRecords& records = module->records();
    ASSERT_NE(records.imports, nullptr);
    ASSERT_NE(records.linkage, nullptr);
    EXPECT_NE(records.instance, 0u);
    EXPECT_TRUE(validate_module(records).empty()) << joined(validate_module(records));
    EXPECT_EQ(gauge_table(records.linkage).size(), 5u);

    HostServices host;
    start_module(host, records);
    EXPECT_EQ(records.imports->entry[0].table, &host.table());
    records.linkage->gauge_table[0]->query_routine();
    EXPECT_EQ(host.element_list_calls().size(), 1u);
    EXPECT_TRUE(host.traps().empty());
    stop_module(host, records);
    EXPECT_EQ(records.imports->entry[0].table, nullptr);
}

TEST(HostLoaderTests, ALibraryThatIsNoGaugeModuleIsReported) {
    std::string error;
    const auto library = LoadedModule::open(ORVANE_PLATFORM_PATH, error);
    ASSERT_NE(library, nullptr) << error;
    const std::vector<std::string> faults = validate_module(library->records());
    ASSERT_EQ(faults.size(), 2u) << joined(faults);
    EXPECT_EQ(faults[0], "ImportTable: not exported");
    EXPECT_EQ(faults[1], "Linkage: not exported");

    EXPECT_EQ(LoadedModule::open("/nonexistent/module.so", error), nullptr);
    EXPECT_NE(error.find("cannot load /nonexistent/module.so"), std::string::npos) << error;
}

TEST(HostLoaderTests, InspectShowsChainsMouseTablesAndFaults) {
    Records r;
    const std::string view = inspect_module(r.records, false);
    for (const char* line : {
             "Linkage module 0x00000013, start routine no, end routine no, 2 gauges\n",
             "  gauge 0 \"T\", version 700, width 50 mm, service callback yes, mouse table yes\n",
             "  gauge 1 \"U\", version 700, width 10 mm, service callback no, mouse table no\n",
             "    1 text, bitmap -1, at 36 8, flags 0x00000000, failures none\n",
             "      box 33 x 14, 4 characters\n",
             "      font \"QUARTZ\" weight 400 charset 0 draw flags 0x00000025 height 0\n",
             "      variables 615 DECISION_HEIGHT; none; 116 AIRSPEED_TARGET\n",
             "    0 static image, bitmap 5000 (no such bitmap in the module), at 0 0, flags 0x00000001, failures key 20 action 3, key 8 action 1\n",
             "      y: variable 793 FD_PITCH_COMMAND, scale 1.5, callback yes\n",
             "      y: variable 61 AIRSPEED, minimum 620, maximum 0, callback no\n",
             "      window bitmap 5004 (no such bitmap in the module), texture centre 30 40, texture scale 1 1\n",
             "      rotation: variable 80 BANK, scale -1, callback no\n",
             "      4 click 0 0 18 20, cursor 2, flags 0xA0200000, event 65893 KEY_ALTITUDE_TARGET_DEC\n",
             "      5 click 22 0 18 20, cursor 1, flags 0xA0000000, handler\n",
             "    7 close\n",
             "  mouse table none\n",
         }) {
        EXPECT_NE(view.find(line), std::string::npos) << line << "in:\n" << view;
    }
    EXPECT_EQ(view.find("faults"), std::string::npos);

    r.imports.entry[0].id = 0;
    const std::string linkage = inspect_module(r.records, true);
    EXPECT_EQ(linkage.find("elements"), std::string::npos);
    EXPECT_NE(linkage.find("faults\n  ImportTable: first entry id is 0x00000000"), std::string::npos) << linkage;
}

// ---- the command ----

struct CommandResult {
    int status;
    std::string out;
    std::string err;
};

std::string read_stream(std::FILE* file) {
    std::string text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    std::fclose(file);
    return text;
}

CommandResult command(const std::vector<std::string>& args) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = panelhost_main(args, out, err);
    return {status, read_stream(out), read_stream(err)};
}

std::string scenario_file(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST(HostCommandTests, ExitStatusSaysWhetherTheRunHeld) {
    const std::string good = scenario_file("host_good.scn", "install all\nupdate\nexpect visible AP 0 yes\n");
    const std::string bad = scenario_file("host_bad.scn", "install DH\nexpect visible DH 0 no\n");
    const std::string broken = scenario_file("host_broken.scn", "install\n");
    const std::string stranger = scenario_file("host_stranger.scn", "install XYZ\n");
    const std::string trace = ::testing::TempDir() + "host_good.trace";
    const struct {
        std::vector<std::string> args;
        int status;
        const char* message;  // in stdout for 0, stderr otherwise
    } cases[] = {
        {{"--help"}, 0, "Usage: panelhost"},
        {{}, 2, "a command is missing"},
        {{"glide"}, 2, "unknown command glide"},
        {{"run", ORVANE_MODULE_PATH}, 2, "SCENARIO is required"},
        {{"run", ORVANE_MODULE_PATH, good, "--trace", trace}, 0, "3 steps held"},
        {{"run", ORVANE_MODULE_PATH, bad}, 1, "host_bad.scn:2: expect visible DH 0: expected no, actual yes"},
        {{"run", ORVANE_MODULE_PATH, broken}, 2, "host_broken.scn:1: missing gauge name"},
        {{"run", ORVANE_MODULE_PATH, stranger}, 2, "host_stranger.scn:1: the module has no gauge named XYZ"},
        {{"run", ORVANE_MODULE_PATH, good, "--main-window", "door"}, 2, "--main-window: door not in {fs98,cfs,none}"},
        {{"run", ORVANE_MODULE_PATH, good, "--fast"}, 2, "unknown option --fast"},
        {{"run", ORVANE_PLATFORM_PATH, good}, 2, "is not a usable gauge module"},
        {{"run", ORVANE_MODULE_PATH, "/nonexistent.scn"}, 2, "cannot read /nonexistent.scn"},
        {{"inspect", ORVANE_MODULE_PATH, "--linkage"}, 0, "gauge 4 \"DME\", version 700, width 18 mm"},
        {{"inspect", ORVANE_PLATFORM_PATH}, 1, "ImportTable: not exported"},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const std::string& arg : c.args) line += arg + " ";
        const CommandResult result = command(c.args);
        EXPECT_EQ(result.status, c.status) << line << "\n" << result.err;
        const std::string& where = c.status == 0 || (c.status == 1 && c.args[0] == "inspect") ? result.out : result.err;
        EXPECT_NE(where.find(c.message), std::string::npos) << line << "\nout: " << result.out << "err: " << result.err;
    }
    std::ifstream written(trace, std::ios::binary);
    std::string first;
    std::getline(written, first);
    EXPECT_EQ(first, "install AP");
}

}  // namespace
}  // namespace panelhost::testing
