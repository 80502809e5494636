// panelhost run and panelhost inspect: what every build of the host does.
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

// One scenario on the module loaded anew; what went wrong is said.
void run_one(const std::string& scenario_file, const std::string& trace, const std::string& module, std::FILE* out,
             Diagnostics& said) {
    Scenario scenario;
    if (!scenario_usable(read_scenario(scenario_file, scenario), said)) return;
    std::string error;
    const std::unique_ptr<LoadedPanel> loaded = LoadedPanel::open(module, error);
    if (!loaded) {
        said.report(Severity::unusable, error);
        return;
    }
    if (!scenario_usable(check_gauge_names(scenario, loaded->panel()), said)) return;
    const RunOutcome result = run_scenario(scenario, loaded->panel(), loaded->host(), &loaded->trace());
    said.report(result.failures);
    // A run stopped at a bound of its file leaves no trace: it would be cut short.
    if (result.stopped) {
        said.report(*result.stopped);
    } else if (!trace.empty() && !write_file(trace, loaded->trace().text(), &error)) {
        said.report(Severity::unusable, error);
    } else if (!result.failures.empty()) {
        said.report(Severity::problem, scenario.file, 0, std::to_string(result.failures.size()) + " failure(s)");
    } else {
        print(out, scenario.file + ": " + std::to_string(scenario.steps.size()) + " steps held\n");
    }
}

// Where each scenario's trace goes: --trace for one, DIR/NAME.trace for
// --traces. Empty when the options do not fit the scenarios, said unusable.
std::optional<std::vector<std::string>> trace_paths(const RunOptions& o, Diagnostics& said) {
    std::vector<std::string> paths(o.scenarios.size());
    if (!o.trace.empty() && !o.traces_dir.empty()) {
        said.report(Severity::unusable, "--trace and --traces exclude each other");
        return std::nullopt;
    }
    if (!o.trace.empty()) {
        if (o.scenarios.size() > 1) {
            said.report(Severity::unusable, "--trace writes one scenario's record; for several, --traces DIR");
            return std::nullopt;
        }
        paths[0] = o.trace;
    }
    if (o.traces_dir.empty()) return paths;
    std::set<std::string> names;
    for (size_t i = 0; i < o.scenarios.size(); ++i) {
        const std::string name = std::filesystem::path(o.scenarios[i]).stem().string();
        if (!names.insert(name).second) {
            said.report(Severity::unusable, "two scenarios named " + name + " would write one trace, " +
                                                o.traces_dir + "/" + name + ".trace");
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
    Diagnostics said("panelhost run", err);
    const std::optional<std::vector<std::string>> traces = trace_paths(o, said);
    if (!traces) return said.exit_status();

    const MainWindowClass window_class = o.main_window == "cfs"    ? MainWindowClass::cfs
                                         : o.main_window == "none" ? MainWindowClass::none
                                                                   : MainWindowClass::fs98;
    MainWindow main_window;
    if (const std::string error = main_window.create(window_class); !error.empty()) return unusable(said, error);
    // The run's status is the worst of its scenarios'.
    for (size_t i = 0; i < o.scenarios.size(); ++i) run_one(o.scenarios[i], (*traces)[i], o.module, out, said);
    return said.exit_status();
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
