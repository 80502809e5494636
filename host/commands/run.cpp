// panelhost run and panelhost inspect: what every build of the host does.
#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>

#include "host/base/diagnostics.h"
#include "host/base/files.h"
#include "host/commands/commands.h"
#include "host/panel/inspect.h"
#include "host/panel/loaded_panel.h"
#include "host/scenario/scenario.h"
#include "host/services/main_window.h"

namespace panelhost {

void describe(CommandLine& command, RunOptions& o) {
    command.operand("MODULE", o.module, "the gauge module (orvane.so, Orvane.gau)");
    command.operands("SCENARIO", o.scenarios,
                     "the scenario files (host/README.md), each run on the module loaded anew");
    command.option("--trace", o.trace, "FILE", "writes the canonical record of the run to FILE (one scenario)");
    command.option("--traces", o.traces_dir, "DIR", "writes each scenario's record to DIR/NAME.trace");
    command.choice("--main-window", o.main_window, {"fs98", "cfs", "none"},
                   "the class of the hidden simulator main window (Windows only)");
    command.footer(
        "Several scenarios run one after the other in one process, each on the module loaded anew, as if it\n"
        "ran alone: under an emulator, where a process start costs most, that is the fast way to run many.\n"
        "Exit status: 0 every step and expectation held, 1 one failed, 2 an unusable input.");
}

namespace {

// One scenario on the module loaded anew; its exit status.
int run_one(const std::string& scenario_file, const std::string& trace, const std::string& module, std::FILE* out,
            std::FILE* err) {
    Scenario scenario;
    if (!scenario_usable(read_scenario(scenario_file, scenario), err)) return exit_unusable;
    std::string error;
    const std::unique_ptr<LoadedPanel> loaded = LoadedPanel::open(module, error);
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
    if (!trace.empty() && !write_file(trace, loaded->trace().text(), &error)) {
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

// Where each scenario's trace goes: --trace for one, DIR/NAME.trace for
// --traces. Empty when the options do not fit the scenarios, said on err.
std::optional<std::vector<std::string>> trace_paths(const RunOptions& o, std::FILE* err) {
    std::vector<std::string> paths(o.scenarios.size());
    if (!o.trace.empty() && !o.traces_dir.empty()) {
        print(err, "panelhost run: --trace and --traces exclude each other\n");
        return std::nullopt;
    }
    if (!o.trace.empty()) {
        if (o.scenarios.size() > 1) {
            print(err, "panelhost run: --trace writes one scenario's record; for several, --traces DIR\n");
            return std::nullopt;
        }
        paths[0] = o.trace;
    }
    if (o.traces_dir.empty()) return paths;
    std::set<std::string> names;
    for (size_t i = 0; i < o.scenarios.size(); ++i) {
        const std::string name = std::filesystem::path(o.scenarios[i]).stem().string();
        if (!names.insert(name).second) {
            print(err, "panelhost run: two scenarios named " + name + " would write one trace, " + o.traces_dir +
                           "/" + name + ".trace\n");
            return std::nullopt;
        }
        paths[i] = (std::filesystem::path(o.traces_dir) / (name + ".trace")).string();
    }
    std::error_code ec;
    std::filesystem::create_directories(o.traces_dir, ec);
    return paths;
}

}  // namespace

int run_command(const RunOptions& o, std::FILE* out, std::FILE* err) {
    const std::optional<std::vector<std::string>> traces = trace_paths(o, err);
    if (!traces) return exit_unusable;

    const MainWindowClass window_class = o.main_window == "cfs"    ? MainWindowClass::cfs
                                         : o.main_window == "none" ? MainWindowClass::none
                                                                   : MainWindowClass::fs98;
    MainWindow main_window;
    if (const std::string error = main_window.create(window_class); !error.empty()) {
        print(err, "panelhost run: " + error + "\n");
        return exit_unusable;
    }
    int status = exit_ok;
    for (size_t i = 0; i < o.scenarios.size(); ++i) {
        status = std::max(status, run_one(o.scenarios[i], (*traces)[i], o.module, out, err));
    }
    return status;
}

void describe(CommandLine& command, InspectOptions& o) {
    command.operand("MODULE", o.module, "the gauge module (orvane.so, Orvane.gau)");
    command.flag("--linkage", o.linkage, "the module's records and gauge table only");
    command.option("--out", o.out_dir, "DIR", "writes the view to DIR/inspect.txt instead of printing it");
    command.footer("Exit status: 0 the module is sound, 1 it has faults (listed at the end), 2 it cannot be loaded.");
}

int inspect_command(const InspectOptions& o, std::FILE* out, std::FILE* err) {
    Diagnostics said("panelhost inspect", err);
    // A designer inspects a broken module too: its faults are part of the view.
    std::string error;
    const auto module = LoadedModule::open(o.module, error);
    if (!module) {
        said.report(Severity::unusable, error);
        return said.exit_status();
    }
    const std::string view = inspect_module(module->records(), o.linkage);
    if (o.out_dir.empty()) {
        print(out, view);
    } else {
        std::error_code ec;
        std::filesystem::create_directories(o.out_dir, ec);
        const std::string path = (std::filesystem::path(o.out_dir) / "inspect.txt").string();
        if (!write_file(path, view, &error)) {
            said.report(Severity::unusable, error);
            return said.exit_status();
        }
        print(out, "wrote " + path + "\n");
    }
    // A script sees why it exits 1 without reading the view.
    if (const std::vector<std::string> faults = validate_module(module->records()); !faults.empty()) {
        const std::string more = faults.size() == 1 ? ""
                                                    : " (and " + std::to_string(faults.size() - 1) +
                                                          " more, listed at the end of the view)";
        said.report(Severity::fault, o.module + " is not a usable gauge module: " + faults.front() + more);
    }
    return said.exit_status();
}

}  // namespace panelhost
