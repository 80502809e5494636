#include "host/base/command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>

namespace panelhost {

struct CommandLine::Parts {
    std::unique_ptr<CLI::App> owned;  // the program's; null for a command
    CLI::App* app = nullptr;
    CommandLine* parent = nullptr;
    std::string path;  // "panelhost run", as messages name it
    std::vector<std::unique_ptr<CommandLine>> commands;
    std::vector<std::string> options{"-h", "--help"};  // what it knows, as typed

    void knows(const std::string& name) { options.push_back(name); }
    bool known(const std::string& name) const { return std::find(options.begin(), options.end(), name) != options.end(); }
};

const char* orvane_version() { return ORVANE_VERSION; }

// Every byte, a NUL among them: a message is never cut short.
void print(std::FILE* stream, const std::string& text) { std::fwrite(text.data(), 1, text.size(), stream); }

namespace {

// A value that is an option of its own means the value was left out.
const CLI::Validator not_an_option(
    [](std::string& value) -> std::string {
        if (value.starts_with("--") || value == "-h") return "needs a value, not the option " + value;
        return {};
    },
    "", "not an option");

// CLI11 names a command by its last word; users type the whole path.
std::string help_of(const CLI::App& app, const std::string& path) {
    std::string text = app.help();
    const std::string usage = "Usage: " + app.get_name();
    if (const size_t at = text.find(usage); at != std::string::npos) text.replace(at, usage.size(), "Usage: " + path);
    return text;
}

// The command given, down from the program, and how users type it.
const CLI::App* chosen_command(const CLI::App& app, std::string& path) {
    const CLI::App* shown = &app;
    for (auto chosen = app.get_subcommands(); !chosen.empty(); chosen = chosen.front()->get_subcommands()) {
        shown = chosen.front();
        path += " " + shown->get_name();
    }
    return shown;
}

}  // namespace

CommandLine::CommandLine(const std::string& name, const std::string& description) : parts_(new Parts) {
    parts_->owned = std::make_unique<CLI::App>(description, name);
    parts_->app = parts_->owned.get();
    parts_->path = name;
    parts_->app->set_version_flag("--version", name + " " + ORVANE_VERSION, "print the version and exit");
    parts_->knows("--version");
    // A path that starts with a slash is an operand on every platform, not a /option.
    parts_->app->allow_windows_style_options(false);
    parts_->app->set_help_flag("-h,--help", "print this help and exit");
}

CommandLine::CommandLine(CommandLine* parent, const std::string& name, const std::string& description)
    : parts_(new Parts) {
    parts_->app = parent->parts_->app->add_subcommand(name, description);
    parts_->app->set_help_flag("-h,--help", "print this help and exit");
    parts_->parent = parent;
    parts_->path = parent->parts_->path + " " + name;
}

CommandLine::~CommandLine() = default;

CommandLine& CommandLine::command(const std::string& name, const std::string& description) {
    parts_->commands.push_back(std::unique_ptr<CommandLine>(new CommandLine(this, name, description)));
    parts_->app->require_subcommand(1);
    return *parts_->commands.back();
}

void CommandLine::operand(const std::string& name, std::string& value, const std::string& help) {
    parts_->app->add_option(name, value, help)->required()->check(not_an_option);
}

void CommandLine::optional_operand(const std::string& name, std::string& value, const std::string& help) {
    parts_->app->add_option(name, value, help)->check(not_an_option);
}

void CommandLine::operands(const std::string& name, std::vector<std::string>& values, const std::string& help) {
    parts_->app->add_option(name, values, help)->required()->check(not_an_option);
}

void CommandLine::option(const std::string& name, std::string& value, const std::string& value_name,
                         const std::string& help, bool required) {
    parts_->knows(name);
    parts_->app->add_option(name, value, help)->type_name(value_name)->check(not_an_option)->required(required);
}

void CommandLine::option(const std::string& name, int& value, const std::string& help, int low, int high) {
    parts_->knows(name);
    parts_->app->add_option(name, value, help)->type_name("N")->check(CLI::Range(low, high))->capture_default_str();
}

void CommandLine::choice(const std::string& name, std::string& value, const std::vector<std::string>& allowed,
                         const std::string& help) {
    parts_->knows(name);
    parts_->app->add_option(name, value, help)->check(CLI::IsMember(allowed))->capture_default_str();
}

void CommandLine::flag(const std::string& name, bool& value, const std::string& help) {
    parts_->knows(name);
    parts_->app->add_flag(name, value, help);
}

void CommandLine::footer(const std::string& text) { parts_->app->footer(text); }

bool CommandLine::chosen() const { return parts_->app->parsed(); }

std::string CommandLine::help() const { return help_of(*parts_->app, parts_->path); }

std::optional<int> CommandLine::parse(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    CLI::App& app = *parts_->app;
    // CLI11 reads the arguments from the back.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    const std::string& path = parts_->path;
    // A word where a command belongs that names none.
    if (!parts_->commands.empty() && !args.empty() && !args[0].starts_with("-")) {
        std::string names;
        bool known = false;
        for (const auto& command : parts_->commands) {
            const std::string& name = command->parts_->app->get_name();
            known = known || name == args[0];
            names += (names.empty() ? "" : ", ") + name;
        }
        if (!known) {
            print(err, path + ": unknown command " + args[0] + " (the commands: " + names + ")\n");
            return exit_unusable;
        }
    }
    // An option neither the program nor its command knows, named before CLI11
    // would speak of missing operands.
    const Parts* command = parts_.get();
    for (const std::string& arg : args) {
        if (arg == "--") break;
        if (command == parts_.get()) {
            for (const auto& sub : parts_->commands) {
                if (sub->parts_->app->get_name() == arg) command = sub->parts_.get();
            }
        }
        const bool negative_number = arg.size() > 1 && arg[0] == '-' && (std::isdigit(static_cast<unsigned char>(arg[1])) || arg[1] == '.');
        if (!arg.starts_with("-") || arg == "-" || negative_number) continue;
        const std::string name = arg.substr(0, arg.find('='));
        if (!command->known(name) && !parts_->known(name)) {
            print(err, command->path + ": unknown option " + name + "\nRun '" + command->path + " --help' for its usage.\n");
            return exit_unusable;
        }
    }
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        std::string where = path;
        const CLI::App* shown = chosen_command(app, where);
        print(out, help_of(*shown, where));
        return exit_ok;
    } catch (const CLI::CallForVersion& version) {
        print(out, std::string(version.what()) + "\n");
        return exit_ok;
    } catch (const CLI::RequiredError& error) {
        std::string where = path;
        const CLI::App* shown = chosen_command(app, where);
        const bool no_command =
            !shown->get_subcommands([](const CLI::App*) { return true; }).empty() && shown->get_subcommands().empty();
        print(err, where + ": " + (no_command ? std::string("a command is missing") : std::string(error.what())) +
                       "\nRun '" + where + " --help' for its usage.\n");
        return exit_unusable;
    } catch (const CLI::ParseError& error) {
        std::string where = path;
        chosen_command(app, where);
        print(err, where + ": " + error.what() + "\nRun '" + where + " --help' for its usage.\n");
        return exit_unusable;
    }
    return std::nullopt;
}

std::optional<int> CommandLine::parse(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
    return parse(std::vector<std::string>(argv + 1, argv + argc), out, err);
}

}  // namespace panelhost
