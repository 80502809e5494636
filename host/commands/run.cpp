// panelhost run and panelhost inspect: what every build of the host does.
#include <filesystem>

#include "host/base/files.h"
#include "host/commands/commands.h"
#include "host/panel/inspect.h"
#include "host/panel/loaded_panel.h"
#include "host/scenario/scenario.h"
#include "host/services/main_window.h"

namespace panelhost {

void describe(CommandLine& command, RunOptions& o) {
    command.operand("MODULE", o.module, "the gauge module (orvane.so, Orvane.gau)");
    command.operand("SCENARIO", o.scenario, "the scenario file (host/README.md)");
    command.option("--trace", o.trace, "FILE", "writes the canonical record of the run to FILE");
    command.choice("--main-window", o.main_window, {"fs98", "cfs", "none"},
                   "the class of the hidden simulator main window (Windows only)");
    command.footer("Exit status: 0 every step and expectation held, 1 one failed, 2 an unusable input.");
}

int run_command(const RunOptions& o, std::FILE* out, std::FILE* err) {
    Scenario scenario;
    if (!scenario_usable(read_scenario(o.scenario, scenario), err)) return exit_unusable;

    const MainWindowClass window_class = o.main_window == "cfs"    ? MainWindowClass::cfs
                                         : o.main_window == "none" ? MainWindowClass::none
                                                                   : MainWindowClass::fs98;
    MainWindow main_window;
    if (const std::string error = main_window.create(window_class); !error.empty()) {
        print(err, "panelhost run: " + error + "\n");
        return exit_unusable;
    }
    std::string error;
    const std::unique_ptr<LoadedPanel> loaded = LoadedPanel::open(o.module, error);
    if (!loaded) {
        print(err, "panelhost run: " + error + "\n");
        return exit_unusable;
    }
    if (!scenario_usable(check_gauge_names(scenario, loaded->panel()), err)) return exit_unusable;
    const RunOutcome result = run_scenario(scenario, loaded->panel(), loaded->host(), &loaded->trace());
    const std::vector<std::string>& failures = result.failures;

    for (const std::string& failure : failures) print(err, failure + "\n");
    // A run stopped at a bound of its file leaves no trace: it would be cut short.
    if (!result.stopped.empty()) {
        print(err, result.stopped + "\n");
        return exit_unusable;
    }
    if (!o.trace.empty() && !write_file(o.trace, loaded->trace().text(), &error)) {
        print(err, "panelhost run: " + error + "\n");
        return exit_unusable;
    }
    if (!failures.empty()) {
        print(err, scenario.file + ": " + std::to_string(failures.size()) + " failure(s)\n");
        return exit_failed;
    }
    print(out, scenario.file + ": " + std::to_string(scenario.steps.size()) + " steps held\n");
    return exit_ok;
}

void describe(CommandLine& command, InspectOptions& o) {
    command.operand("MODULE", o.module, "the gauge module (orvane.so, Orvane.gau)");
    command.flag("--linkage", o.linkage, "the module's records and gauge table only");
    command.option("--out", o.out_dir, "DIR", "writes the view to DIR/inspect.txt instead of printing it");
    command.footer("Exit status: 0 the module is sound, 1 it has faults (listed at the end), 2 it cannot be loaded.");
}

int inspect_command(const InspectOptions& o, std::FILE* out, std::FILE* err) {
    // A designer inspects a broken module too: its faults are part of the view.
    std::string error;
    const auto module = LoadedModule::open(o.module, error);
    if (!module) {
        print(err, "panelhost inspect: " + error + "\n");
        return exit_unusable;
    }
    const std::string view = inspect_module(module->records(), o.linkage);
    if (o.out_dir.empty()) {
        print(out, view);
    } else {
        std::error_code ec;
        std::filesystem::create_directories(o.out_dir, ec);
        const std::string path = (std::filesystem::path(o.out_dir) / "inspect.txt").string();
        if (!write_file(path, view, &error)) {
            print(err, "panelhost inspect: " + error + "\n");
            return exit_unusable;
        }
        print(out, "wrote " + path + "\n");
    }
    return validate_module(module->records()).empty() ? exit_ok : exit_failed;
}

}  // namespace panelhost
