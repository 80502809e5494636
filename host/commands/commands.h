// The panelhost commands. Each one describes its options to the command
// line, then runs on what was given: it calls the rooms, which report into
// its diagnostics (host/base/diagnostics.h), prints what it made, and
// returns the exit status the worst of them gives.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "host/base/command_line.h"
#include "host/base/diagnostics.h"

namespace panelhost {

// The whole program, on its arguments without its name.
int panelhost_main(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

struct RunOptions {
    std::string module, trace, traces_dir;
    std::vector<std::string> scenarios;
    std::string main_window = "fs98";
};
void describe(CommandLine& command, RunOptions& options);
int run_command(const RunOptions& options, std::FILE* out, std::FILE* err);

struct InspectOptions {
    std::string module, out_dir;
    bool linkage = false;
};
void describe(CommandLine& command, InspectOptions& options);
int inspect_command(const InspectOptions& options, std::FILE* out, std::FILE* err);

// Placing gauges on a panel.cfg: in a window (the native build), or by a
// scenario's edit steps.
struct EditOptions {
    std::string module, panel_cfg, scenario;
    int scale = 1;
    bool night = false;
    bool dry_run = false;
};
void describe(CommandLine& command, EditOptions& options);
int edit_command(const EditOptions& options, std::FILE* out, std::FILE* err);

// Drawing, in the native build.
struct RenderOptions {
    std::string module, panel_cfg, gauge, scenario;
    std::string out_dir = "out/render";
    std::string screen = "1280x1024";
    int scale = 1;
    bool areas = false;
    bool night = false;
};
void describe(CommandLine& command, RenderOptions& options);
int render_command(const RenderOptions& options, std::FILE* out, std::FILE* err);

struct DemoOptions {
    std::string module, scenario, panel_cfg;
    std::string out_dir = "out/demo";
    int scale = 2;
    bool night = false;
};
void describe(CommandLine& command, DemoOptions& options);
int demo_command(const DemoOptions& options, std::FILE* out, std::FILE* err);

struct FlyOptions {
    std::string module, panel_cfg, scenario, record, trace;
    int scale = 1;
};
void describe(CommandLine& command, FlyOptions& options);
int fly_command(const FlyOptions& options, std::FILE* out, std::FILE* err);

struct ReferenceOptions {
    std::string module;
};
void describe(CommandLine& command, ReferenceOptions& options);
int reference_command(const ReferenceOptions& options, std::FILE* out, std::FILE* err);

// Says a scenario's reading errors, each unusable; true when there are none.
bool scenario_usable(const std::vector<Diagnostic>& errors, Diagnostics& said);
// Says the command's own message as unusable; the exit status then.
int unusable(Diagnostics& said, const std::string& message);

}  // namespace panelhost
