#include "host/commands/commands.h"

namespace panelhost {

int panelhost_main(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    CommandLine cli("panelhost",
                    "The panel host: loads a gauge module through its two exports, ImportTable and Linkage, as the "
                    "simulator does, and runs, inspects and draws its gauges.");
    cli.footer(
        "Exit status: 0 everything held and every file was written, 1 an expectation failed or an input had "
        "problems (the rest still done), 2 an unusable input or a usage error.\n"
        "Run 'panelhost COMMAND --help' for a command's options.");

    RunOptions run;
    CommandLine& run_line = cli.command("run", "runs a scenario against the module and checks its expectations");
    describe(run_line, run);
    InspectOptions inspect;
    CommandLine& inspect_line = cli.command("inspect", "prints the module's gauge table, element chains and mouse tables");
    describe(inspect_line, inspect);
#if defined(ORVANE_RENDERING)
    RenderOptions render;
    CommandLine& render_line = cli.command("render", "draws a panel.cfg's windows, or one gauge, as PNG pictures");
    describe(render_line, render);
    DemoOptions demo;
    CommandLine& demo_line =
        cli.command("demo", "flies an approach on a panel and writes its frames, a contact sheet and the callout");
    describe(demo_line, demo);
    FlyOptions fly;
    CommandLine& fly_line =
        cli.command("fly", "flies the panel live in a window where the mouse works the gauges, and records it");
    describe(fly_line, fly);
    ReferenceOptions reference;
    CommandLine& reference_line =
        cli.command("reference", "prints each gauge's size, clickable areas, variables and key events (Markdown)");
    describe(reference_line, reference);
#endif

    if (const auto status = cli.parse(args, out, err)) return *status;
    if (run_line.chosen()) return run_command(run, out, err);
    if (inspect_line.chosen()) return inspect_command(inspect, out, err);
#if defined(ORVANE_RENDERING)
    if (render_line.chosen()) return render_command(render, out, err);
    if (demo_line.chosen()) return demo_command(demo, out, err);
    if (fly_line.chosen()) return fly_command(fly, out, err);
    if (reference_line.chosen()) return reference_command(reference, out, err);
#endif
    return exit_unusable;
}

bool scenario_usable(const std::vector<std::string>& errors, std::FILE* err) {
    for (const std::string& error : errors) print(err, error + "\n");
    return errors.empty();
}

}  // namespace panelhost
