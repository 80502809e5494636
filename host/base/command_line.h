// The command line of every panelhost command and tool, read by CLI11 with
// one set of conventions: --help (exit 0) prints the command's own usage,
// --version the version, --opt VALUE and --opt=VALUE both work, and a missing
// value, an unknown option or a value out of range is a usage error (exit 2)
// that names the option. CLI11 is compiled once, here; the programs only
// describe their options.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace panelhost {

// Exit statuses, the same for every command and tool.
inline constexpr int exit_ok = 0;
inline constexpr int exit_failed = 1;    // something it checked did not hold
inline constexpr int exit_unusable = 2;  // a usage error, or an input it cannot use

// The version of CMake's project(), which every program reports.
const char* orvane_version();

// A message or a result, written as it stands.
void print(std::FILE* stream, const std::string& text);

class CommandLine {
public:
    // A program as users type it ("panelhost"), and what it does.
    CommandLine(const std::string& name, const std::string& description);
    ~CommandLine();
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    // One of the program's commands ("panelhost run"), with options and a
    // --help of its own. The program then needs exactly one command.
    CommandLine& command(const std::string& name, const std::string& description);

    // Operands in the order added: a required one, then optional ones.
    void operand(const std::string& name, std::string& value, const std::string& help);
    void optional_operand(const std::string& name, std::string& value, const std::string& help);
    // One or more operands, the last of the command.
    void operands(const std::string& name, std::vector<std::string>& values, const std::string& help);

    // --name VALUE, given or (required) not. A value that is itself an
    // option (--help) is refused: the option is missing its value.
    void option(const std::string& name, std::string& value, const std::string& value_name, const std::string& help,
                bool required = false);
    // --name N, a whole number from low to high.
    void option(const std::string& name, int& value, const std::string& help, int low, int high);
    // --name VALUE, one of the allowed words.
    void choice(const std::string& name, std::string& value, const std::vector<std::string>& allowed,
                const std::string& help);
    void flag(const std::string& name, bool& value, const std::string& help);
    // Text after the options in --help: exit statuses, examples.
    void footer(const std::string& text);

    // Reads the arguments (without the program name). An exit status when
    // the program is done: 0 after --help or --version (printed on out), 2
    // after a usage error (said on err); nothing when it should go on.
    std::optional<int> parse(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
    std::optional<int> parse(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

    // After parse: whether this command is the one given.
    bool chosen() const;
    std::string help() const;

private:
    struct Parts;
    CommandLine(CommandLine* parent, const std::string& name, const std::string& description);
    std::unique_ptr<Parts> parts_;
};

}  // namespace panelhost
