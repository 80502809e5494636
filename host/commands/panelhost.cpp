#include <functional>
#include <memory>

#include "host/commands/commands.h"

namespace panelhost {
namespace {

// A command, once its options are described: runs on what was given.
using Runner = std::function<int(std::FILE* out, std::FILE* err)>;

template <class Options, int (*run)(const Options&, std::FILE*, std::FILE*)>
Runner described(CommandLine& line) {
    auto options = std::make_shared<Options>();
    describe(line, *options);
    return [options](std::FILE* out, std::FILE* err) { return run(*options, out, err); };
}

struct Command {
    const char* name;
    const char* summary;
    Runner (*describe)(CommandLine& line);
};

const Command commands[] = {
    {"run", "runs a scenario against the module and checks its expectations", described<RunOptions, run_command>},
    {"inspect", "prints the module's gauge table, element chains and mouse tables",
     described<InspectOptions, inspect_command>},
    {"edit", "places the gauges of a panel.cfg and writes it back, changing nothing else",
     described<EditOptions, edit_command>},
// Drawing and the window are the native build's.
#if defined(ORVANE_RENDERING)
    {"render", "draws a panel.cfg's windows, or one gauge, as PNG pictures", described<RenderOptions, render_command>},
    {"demo", "flies an approach on a panel and writes its frames, a contact sheet and the callout",
     described<DemoOptions, demo_command>},
    {"fly", "flies the panel live in a window where the mouse works the gauges, and records it",
     described<FlyOptions, fly_command>},
    {"reference", "prints each gauge's size, clickable areas, variables and key events (Markdown)",
     described<ReferenceOptions, reference_command>},
#endif
};

}  // namespace

int panelhost_main(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    CommandLine cli("panelhost",
                    "The panel host: loads a gauge module through its two exports, ImportTable and Linkage, as the "
                    "simulator does, and runs, inspects, places and draws its gauges.");
    cli.footer(
        "Exit status: 0 everything held and every file was written, 1 an expectation failed or an input had "
        "problems (the rest still done), 2 an unusable input or a usage error.\n"
        "Run 'panelhost COMMAND --help' for a command's options.");
    std::vector<std::pair<const CommandLine*, Runner>> lines;
    for (const Command& c : commands) {
        CommandLine& line = cli.command(c.name, c.summary);
        lines.emplace_back(&line, c.describe(line));
    }
    if (const auto status = cli.parse(args, out, err)) return *status;
    for (const auto& [line, run] : lines) {
        if (line->chosen()) return run(out, err);
    }
    return exit_unusable;
}

bool scenario_usable(const std::vector<Diagnostic>& errors, Diagnostics& said) {
    said.report(errors);
    return errors.empty();
}

int unusable(Diagnostics& said, const std::string& message) {
    said.report(Severity::unusable, message);
    return said.exit_status();
}

}  // namespace panelhost
