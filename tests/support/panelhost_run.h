// panelhost run inside the test's own process, what it prints caught, and a
// folder of its own for the files a test hands it.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "host/commands/commands.h"

namespace panelhost::testing {

struct Outcome {
    int code;
    std::string out, err;
};

inline Outcome run_panelhost(const std::vector<std::string>& args) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Outcome o{panelhost_main(args, out, err), {}, {}};
    for (auto [stream, text] : {std::pair{out, &o.out}, std::pair{err, &o.err}}) {
        std::rewind(stream);
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, stream)) > 0) text->append(buffer, n);
        std::fclose(stream);
    }
    return o;
}

// A command line, the exit status it must end with, and a piece of what it
// must say on stdout or stderr.
struct CommandRow {
    const char* what;
    std::vector<std::string> args;
    int code;
    std::string says;
};

inline void expect_outcomes(const std::vector<CommandRow>& rows) {
    for (const CommandRow& row : rows) {
        SCOPED_TRACE(row.what);
        const Outcome o = run_panelhost(row.args);
        EXPECT_EQ(o.code, row.code) << o.out << o.err;
        EXPECT_NE((o.out + o.err).find(row.says), std::string::npos) << o.out << o.err;
    }
}

// One folder per test beside the built module: ctest runs them side by side.
class CommandFiles : public ::testing::Test {
protected:
    explicit CommandFiles(const char* group) : group_(group) {}
    void SetUp() override {
        dir = std::filesystem::path(ORVANE_MODULE_PATH).parent_path() / "tests" / group_ /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    // Writes the bytes as they are, NULs and line ends included.
    std::string file(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    }
    std::filesystem::path dir;
    const std::string module = ORVANE_MODULE_PATH;

private:
    const char* group_;
};

}  // namespace panelhost::testing
