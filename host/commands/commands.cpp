#include "host/commands/commands.h"

#include <fstream>
#include <sstream>

#include "host/base/files.h"
#include "host/services/host_services.h"
#include "host/panel/inspect.h"
#include "host/services/main_window.h"
#include "host/services/module_loader.h"
#include "host/panel/panel.h"
#include "host/scenario/scenario.h"
#include "host/services/sound_monitor.h"
#include "host/panel/trace.h"

namespace panelhost {
namespace {

constexpr int exit_ok = 0;
constexpr int exit_failed = 1;
constexpr int exit_unusable = 2;

constexpr const char* usage_text =
    "usage:\n"
    "  panelhost run MODULE SCENARIO [--trace FILE] [--main-window fs98|cfs|none]\n"
    "      loads the gauge module, runs the scenario against it and checks its expectations;\n"
    "      --trace writes the canonical record of the run; --main-window chooses the class of\n"
    "      the hidden simulator main window (Windows only; default fs98)\n"
    "  panelhost inspect MODULE [--linkage] [--output FILE]\n"
    "      prints the module's gauge table, element chains and mouse tables\n"
    "      (--linkage: the gauge table only)\n"
    "  panelhost --help\n"
    "exit status: 0 everything held, 1 a step or expectation failed, 2 unusable input\n";


std::unique_ptr<LoadedModule> load_checked(const std::string& path, std::FILE* err, bool require_sound) {
    std::string error;
    auto module = LoadedModule::open(path, error);
    if (!module) {
        print(err, "panelhost: " + error + "\n");
        return nullptr;
    }
    if (require_sound) {
        const std::vector<std::string> problems = validate_module(module->records());
        if (!problems.empty()) {
            print(err, "panelhost: " + path + " is not a usable gauge module:\n");
            for (const std::string& problem : problems) print(err, "  " + problem + "\n");
            return nullptr;
        }
    }
    return module;
}

int run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    std::vector<std::string> positional;
    std::string trace_path;
    MainWindowClass window_class = MainWindowClass::fs98;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--trace" && i + 1 < args.size()) {
            trace_path = args[++i];
        } else if (args[i] == "--main-window" && i + 1 < args.size()) {
            const std::string& kind = args[++i];
            if (kind == "fs98") {
                window_class = MainWindowClass::fs98;
            } else if (kind == "cfs") {
                window_class = MainWindowClass::cfs;
            } else if (kind == "none") {
                window_class = MainWindowClass::none;
            } else {
                print(err, "panelhost: unknown main window " + kind + "\n" + usage_text);
                return exit_unusable;
            }
        } else if (args[i].starts_with("--")) {
            print(err, "panelhost: unknown option " + args[i] + "\n" + usage_text);
            return exit_unusable;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2) {
        print(err, usage_text);
        return exit_unusable;
    }
    const std::string& module_path = positional[0];
    Scenario scenario{.file = positional[1]};
    std::string text;
    if (!read_file(scenario.file, text)) {
        print(err, "panelhost: cannot read " + scenario.file + "\n");
        return exit_unusable;
    }
    if (const auto errors = parse_scenario(text, scenario); !errors.empty()) {
        for (const std::string& error : errors) print(err, error + "\n");
        return exit_unusable;
    }

    MainWindow main_window;
    if (const std::string error = main_window.create(window_class); !error.empty()) {
        print(err, "panelhost: " + error + "\n");
        return exit_unusable;
    }
    const auto module = load_checked(module_path, err, true);
    if (!module) return exit_unusable;

    HostServices host;
    Trace trace;
    start_module(host, module->records());
    start_sound_monitor();
    Panel panel(host, module->records(), trace_path.empty() ? nullptr : &trace);
    if (const auto errors = check_gauge_names(scenario, panel); !errors.empty()) {
        stop_module(host, module->records());
        for (const std::string& error : errors) print(err, error + "\n");
        return exit_unusable;
    }
    const std::vector<std::string> failures = run_scenario(scenario, panel, host, &trace);
    stop_module(host, module->records());

    for (const std::string& failure : failures) print(err, failure + "\n");
    if (!trace_path.empty()) {
        if (const std::string error = trace.write(trace_path); !error.empty()) {
            print(err, "panelhost: " + error + "\n");
            return exit_unusable;
        }
    }
    if (!failures.empty()) {
        print(err, scenario.file + ": " + std::to_string(failures.size()) + " failure(s)\n");
        return exit_failed;
    }
    print(out, scenario.file + ": " + std::to_string(scenario.steps.size()) + " steps held\n");
    return exit_ok;
}

int inspect(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    std::vector<std::string> positional;
    std::string output_path;
    bool linkage_only = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--linkage") {
            linkage_only = true;
        } else if (args[i] == "--output" && i + 1 < args.size()) {
            output_path = args[++i];
        } else if (args[i].starts_with("--")) {
            print(err, "panelhost: unknown option " + args[i] + "\n" + usage_text);
            return exit_unusable;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 1) {
        print(err, usage_text);
        return exit_unusable;
    }
    // A designer inspects a broken module too: its faults are part of the view.
    const auto module = load_checked(positional[0], err, false);
    if (!module) return exit_unusable;
    const std::string view = inspect_module(module->records(), linkage_only);
    if (output_path.empty()) {
        print(out, view);
    } else if (!write_file(output_path, view)) {
        print(err, "panelhost: cannot write " + output_path + "\n");
        return exit_unusable;
    }
    return validate_module(module->records()).empty() ? exit_ok : exit_failed;
}

}  // namespace

int panelhost_command(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    if (args.empty()) {
        print(err, usage_text);
        return exit_unusable;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "run") return run(rest, out, err);
    if (args[0] == "inspect") return inspect(rest, out, err);
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        print(out, usage_text);
        return exit_ok;
    }
    print(err, "panelhost: unknown command " + args[0] + "\n" + usage_text);
    return exit_unusable;
}

}  // namespace panelhost
