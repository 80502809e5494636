// Every panelhost command and every tool follows the same command-line
// conventions: --help and --version answer on stdout with status 0, an
// unknown option or a missing value is a usage error (status 2) that names
// the option, and --opt=VALUE works as --opt VALUE does.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/base/files.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome run(const std::string& program, const std::vector<std::string>& args, const fs::path& dir) {
    std::string command = "'" + program + "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    const fs::path out = dir / "stdout", err = dir / "stderr";
    command += " >'" + out.string() + "' 2>'" + err.string() + "' </dev/null";
    const int raw = std::system(command.c_str());
    Outcome o;
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    o.out = panelhost::read_file(out.string()).value_or("");
    o.err = panelhost::read_file(err.string()).value_or("");
    return o;
}

enum class Stream { out, err };

struct Row {
    std::string program;  // as it names itself
    std::string path;
    std::vector<std::string> args;
    int status;
    Stream stream;
    std::string says;
};

class CommandLineConventions : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::path(ORVANE_MODULE_PATH).parent_path() / "tests" / "cli-conventions";
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    fs::path dir;
};

TEST_F(CommandLineConventions, HoldForEveryCommandAndTool) {
    const std::string panelhost = ORVANE_PANELHOST_PATH, module = ORVANE_MODULE_PATH;
    const std::string version = ORVANE_VERSION, source = ORVANE_SOURCE_DIR;
    const std::string scenario = (dir / "one.scn").string();
    ASSERT_TRUE(panelhost::write_file(scenario, "install DH\nupdate\n"));
    const std::string trace = (dir / "eq.trace").string(), pictures = (dir / "pictures").string();
    const std::string inspected = (dir / "inspected").string(), blob = (dir / "resources.bin").string();

    std::vector<Row> rows = {
        {"panelhost", panelhost, {"--help"}, 0, Stream::out, "Usage: panelhost"},
        {"panelhost", panelhost, {"--version"}, 0, Stream::out, "panelhost " + version},
        {"panelhost", panelhost, {"--bogus"}, 2, Stream::err, "--bogus"},
        {"panelhost", panelhost, {}, 2, Stream::err, "a command is missing"},
        {"panelhost", panelhost, {"fly-to-the-moon"}, 2, Stream::err, "unknown command fly-to-the-moon"},
        // A missing value, and a value that is itself an option.
        {"panelhost", panelhost, {"run", module, scenario, "--trace"}, 2, Stream::err, "--trace"},
        {"panelhost", panelhost, {"run", module, scenario, "--trace", "--help"}, 2, Stream::err,
         "--trace: needs a value"},
        {"panelhost", panelhost, {"inspect", module, "--out"}, 2, Stream::err, "--out"},
        {"panelhost", panelhost, {"render", module, "--gauge", "DH", "--scale"}, 2, Stream::err, "--scale"},
        {"panelhost", panelhost, {"render", module, "--gauge", "DH", "--scale=9"}, 2, Stream::err, "--scale"},
        {"panelhost", panelhost, {"demo", module, "--scenario"}, 2, Stream::err, "--scenario"},
        // The = form.
        {"panelhost", panelhost, {"run", module, scenario, "--trace=" + trace}, 0, Stream::out, "steps held"},
        {"panelhost", panelhost, {"inspect", module, "--linkage", "--out=" + inspected}, 0, Stream::out, "inspect.txt"},
        {"panelhost", panelhost, {"render", module, "--gauge=DH", "--scale=2", "--out=" + pictures}, 0, Stream::out,
         "DH.png"},
        {"orvane_pack_resources", ORVANE_PACK_RESOURCES_PATH, {"--out=" + blob, source + "/res"}, 0, Stream::out, ""},
        {"orvane_pack_resources", ORVANE_PACK_RESOURCES_PATH, {source + "/res", "--out"}, 2, Stream::err, "--out"},
        {"orvane_frame_counter", ORVANE_FRAME_COUNTER_PATH, {"--frames", module}, 2, Stream::err, "--frames"},
        {"orvane_frame_counter", ORVANE_FRAME_COUNTER_PATH, {"--frames=0", module}, 2, Stream::err, "--frames"},
        {"orvane_window_frame_rate", ORVANE_WINDOW_FRAME_RATE_PATH, {"--scale=9"}, 2, Stream::err, "--scale"},
    };
    rows.push_back({"panelhost", panelhost, {"fly", module, "--scale=9"}, 2, Stream::err, "--scale"});
    const std::string panel_cfg = source + "/examples/panel.cfg", edits = (dir / "edits.scn").string();
    ASSERT_TRUE(panelhost::write_file(edits, "move Window00 gauge01 1 2\nsave\n"));
    rows.push_back({"panelhost", panelhost, {"edit", module, panel_cfg, "--scenario"}, 2, Stream::err, "--scenario"});
    rows.push_back({"panelhost", panelhost, {"edit", module, panel_cfg, "--scale=9", "--dry-run"}, 2, Stream::err,
                    "--scale"});
    rows.push_back({"panelhost", panelhost, {"edit", module, panel_cfg, "--scenario=" + edits, "--dry-run"}, 0,
                    Stream::out, "+gauge01=Orvane!DH, 1, 2, 150\n"});
    const std::string edited = (dir / "panel.cfg").string();
    ASSERT_TRUE(panelhost::write_file(edited, *panelhost::read_file(panel_cfg)));
    rows.push_back({"panelhost", panelhost, {"edit", module, edited, "--scenario", edits}, 0, Stream::out,
                    "\nwrote " + edited + " (the file as it was: " + edited +
                        ".orig)\n"});
    for (const char* command : {"run", "inspect", "edit", "render", "demo", "reference", "fly"}) {
        rows.push_back({"panelhost", panelhost, {command, "--help"}, 0, Stream::out,
                        std::string("Usage: panelhost ") + command});
        rows.push_back({"panelhost", panelhost, {command, module, "--bogus"}, 2, Stream::err, "--bogus"});
    }
    const std::vector<std::pair<std::string, std::string>> tools = {
        {"orvane_art", ORVANE_ART_PATH},
        {"orvane_pack_resources", ORVANE_PACK_RESOURCES_PATH},
        {"orvane_resource_check", ORVANE_RESOURCE_CHECK_PATH},
        {"orvane_example_art", ORVANE_EXAMPLE_ART_PATH},
        {"orvane_frame_counter", ORVANE_FRAME_COUNTER_PATH},
        {"orvane_window_frame_rate", ORVANE_WINDOW_FRAME_RATE_PATH},
    };
    for (const auto& [name, path] : tools) {
        rows.push_back({name, path, {"--help"}, 0, Stream::out, "Usage: " + name});
        rows.push_back({name, path, {"--version"}, 0, Stream::out, name + " " + version});
        rows.push_back({name, path, {"--bogus"}, 2, Stream::err, "--bogus"});
    }
    for (const char* script : {"demo.sh", "test-all.sh", "install-deps.sh", "make_callout.sh", "callgrind_frames.sh",
                               "perf.sh", "release.sh", "tested-stamp.sh", "coverage.sh"}) {
        const std::string path = source + "/tools/" + script;
        rows.push_back({script, path, {"--help"}, 0, Stream::out, "tools/"});
        rows.push_back({script, path, {"--version"}, 0, Stream::out, std::string(script) + " " + version});
    }
    for (const char* script : {"demo.sh", "test-all.sh", "install-deps.sh", "make_callout.sh", "callgrind_frames.sh",
                               "release.sh", "tested-stamp.sh", "coverage.sh"}) {
        rows.push_back({script, source + "/tools/" + script, {"--bogus"}, 2, Stream::err, "unknown option --bogus"});
    }
    rows.push_back({"demo.sh", source + "/tools/demo.sh", {"--out"}, 2, Stream::err, "--out needs a value"});
    rows.push_back({"release.sh", source + "/tools/release.sh", {"--out"}, 2, Stream::err, "--out needs a value"});
    rows.push_back({"tested-stamp.sh", source + "/tools/tested-stamp.sh", {"check"}, 2, Stream::err,
                    "BUILD_DIR is required"});

    for (const Row& row : rows) {
        std::string line = row.program;
        for (const std::string& arg : row.args) line += " " + arg;
        SCOPED_TRACE(line);
        const Outcome o = run(row.path, row.args, dir);
        EXPECT_EQ(o.status, row.status) << o.out << o.err;
        const std::string& said = row.stream == Stream::out ? o.out : o.err;
        EXPECT_NE(said.find(row.says), std::string::npos) << "stdout: " << o.out << "stderr: " << o.err;
        // Usage errors say so on stderr alone; answers are not messages.
        if (row.status == 2) {
            EXPECT_EQ(o.out, "");
        }
        if (row.status == 0 && row.stream == Stream::out) {
            EXPECT_EQ(o.err, "");
        }
    }
    EXPECT_TRUE(fs::exists(trace));
    EXPECT_TRUE(fs::exists(fs::path(inspected) / "inspect.txt"));
    EXPECT_TRUE(fs::exists(fs::path(pictures) / "DH.png"));
    EXPECT_TRUE(fs::exists(blob));
}

}  // namespace
