// panelhost demo: an approach flown on the example panel, drawn frame by
// frame, with a contact sheet of its key moments, an animation, the callout
// as the platform played it and the trace.
#include <filesystem>

#include "host/base/files.h"
#include "host/commands/commands.h"
#include "host/commands/demo_assets.h"
#include "host/render/apng.h"
#include "host/render/contact_sheet.h"
#include "host/render/panel_cfg.h"
#include "host/render/panel_renderer.h"
#include "host/render/render_setup.h"
#include "host/scenario/scenario.h"
#include "platform/win_dsound.h"

namespace panelhost {

namespace fs = std::filesystem;

namespace {

// An update lasts a tenth of a second in the animation; a key moment holds
// long enough to be read. Flying, the panel is drawn once a second of flight
// (and at the end of each fly), ten times as fast as flown.
constexpr int frame_ms = 100;
constexpr int moment_ms = 1800;
constexpr int64_t flown_updates_per_frame = 18;

// A frame is written for every update: a scenario asking for more is refused
// before the first, so that the folder and the animation stay bounded.
constexpr int64_t max_demo_frames = 10000;

std::string frame_name(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%04d.png", n);
    return name;
}

std::string as_text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace

std::optional<std::vector<uint8_t>> demo_asset(std::string_view name) {
    for (size_t i = 0; i < demo_file_count; ++i) {
        if (name == demo_files[i].name) {
            return std::vector<uint8_t>(demo_files[i].data, demo_files[i].data + demo_files[i].size);
        }
    }
    return std::nullopt;
}

PanelFiles panel_files_for(const std::string& cfg_path) {
    if (!cfg_path.empty()) return files_beside(cfg_path);
    return [](const std::string& name, std::string&) { return demo_asset(name); };
}

void describe(CommandLine& command, DemoOptions& o) {
    command.operand("MODULE", o.module, "the gauge module (orvane.so)");
    command.option("--out", o.out_dir, "DIR", "the folder for what the demo writes (default out/demo)");
    command.option("--scenario", o.scenario, "FILE", "flies this scenario instead of the built-in approach");
    command.option("--panel", o.panel_cfg, "PANEL.CFG", "flies on this panel instead of the built-in example");
    command.option("--scale", o.scale, "pixels per gauge pixel (default 2)", 1, max_scale);
    command.footer("Writes DIR/frames/frame_NNNN.png, DIR/contact-sheet.png, DIR/NAME.apng, DIR/NAME.trace and, "
                   "when the callout sounded, DIR/callout.wav.\n"
                   "Exit status: 0 every expectation held and every file was written, 1 not, 2 an unusable input.");
}

int demo_command(const DemoOptions& o, std::FILE* out, std::FILE* err) {

    // The approach and the panel: the files named, else the ones built in.
    Scenario scenario;
    if (!o.scenario.empty()) {
        if (!scenario_usable(read_scenario(o.scenario, scenario), err)) return exit_unusable;
    } else {
        scenario.file = "approach.scn";
        const std::string text = as_text(demo_asset("approach.scn").value_or(std::vector<uint8_t>{}));
        if (!scenario_usable(parse_scenario(text, scenario), err)) return exit_unusable;
    }
    const std::string& scenario_name = scenario.file;
    if (scenario.updates > max_demo_frames) {
        print(err, "panelhost demo: " + scenario_name + " asks for " + std::to_string(scenario.updates) +
                       " updates (the demo draws at most " + std::to_string(max_demo_frames) + " frames)\n");
        return exit_unusable;
    }
    PanelConfig cfg;
    const PanelFiles files = panel_files_for(o.panel_cfg);
    if (!o.panel_cfg.empty()) {
        cfg = read_panel_cfg(o.panel_cfg);
    } else {
        cfg = parse_panel_cfg(as_text(demo_asset("panel.cfg").value_or(std::vector<uint8_t>{})), "panel.cfg");
    }
    if (!cfg.unusable.empty()) {
        for (const std::string& p : cfg.problems) print(err, "panelhost demo: " + p + "\n");
        print(err, "panelhost demo: " + cfg.unusable + "\n");
        return exit_unusable;
    }

    RenderSetup setup(o.module);
    if (!setup.ok()) {
        print(err, "panelhost demo: " + setup.error() + "\n");
        return exit_unusable;
    }
    Panel& panel = setup.panel();
    if (!scenario_usable(check_gauge_names(scenario, panel), err)) return exit_unusable;
    const std::vector<Moment>& moments = scenario.moments;

    PanelRenderer drawing(setup.renderer(), cfg, o.module, files);
    // A screen too large to draw is found before the first frame.
    if (const std::vector<std::string> too_large = drawing.check_size(panel, o.scale); !too_large.empty()) {
        for (const std::string& p : too_large) print(err, "panelhost demo: " + p + "\n");
        return exit_unusable;
    }

    const fs::path dir(o.out_dir), frames_dir = fs::path(o.out_dir) / "frames";
    std::error_code ec;
    fs::create_directories(frames_dir, ec);
    if (ec || !fs::is_directory(frames_dir)) {
        print(err, "panelhost demo: cannot make the folder " + frames_dir.string() + ": " +
                       (ec ? ec.message() : std::string("a file of that name is there")) + "\n");
        return exit_unusable;
    }
    for (const auto& entry : fs::directory_iterator(frames_dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("frame_") && name.ends_with(".png")) fs::remove(entry.path(), ec);
    }

    ApngWriter animation;
    std::vector<std::string> problems = cfg.problems;
    std::vector<std::string> unwritten;  // what could not be made or written fails the demo
    Surface previous;
    int frames = 0, plays_seen = 0, previous_plays = 0;
    uint64_t previous_update = 0;
    size_t next_moment = 0;
    struct Taken {
        Surface frame;
        std::string caption, note;
    };
    std::vector<Taken> taken;
    // A moment shows the panel as the last update before its line left it.
    auto take_moments_before = [&](int line) {
        for (; next_moment < moments.size() && moments[next_moment].line < line; ++next_moment) {
            if (!previous) {
                problems.push_back(scenario_name + ":" + std::to_string(moments[next_moment].line) +
                                   ": a moment before the first update; left off the sheet");
                continue;
            }
            std::string note = "update " + std::to_string(previous_update);
            if (plays_seen > previous_plays) note += "  \xE2\x80\x94  the decision-height callout sounds";
            previous_plays = plays_seen;
            taken.push_back({copy_of(previous.get()), moments[next_moment].caption, note});
            animation.lengthen_last(moment_ms);
        }
    };
    platform::clear_sound_log();
    const RunOutcome result =
        run_scenario(scenario, panel, setup.host(), &setup.trace(), [&](const Step& step, int64_t cycle) {
            if (frames == max_demo_frames) return;
            take_moments_before(step.line);
            plays_seen = panel.sound_plays();
            const bool last_of_step = cycle + 1 == step.count;
            if (step.kind == StepKind::fly && !last_of_step && (cycle + 1) % flown_updates_per_frame != 0) return;
            previous = drawing.render_screen(panel, o.scale);
            previous_update = panel.update_count();
            ++frames;
            const std::string frame_path = (frames_dir / frame_name(frames)).string();
            if (const std::string e = write_png(previous.get(), frame_path); !e.empty()) {
                unwritten.push_back(e);
            }
            if (animation.full()) return;
            if (const std::string e = animation.add_frame(previous.get(), frame_ms); !e.empty()) {
                unwritten.push_back(e);
            }
        });
    const std::vector<std::string>& failures = result.failures;
    if (!result.stopped.empty()) {
        for (const std::string& f : failures) print(err, f + "\n");
        print(err, result.stopped + "\n");
        return exit_unusable;
    }
    take_moments_before(INT32_MAX);
    for (const std::string& p : drawing.check(panel)) problems.push_back(p);
    // What the renderer could not find (a face, a bitmap) is told, and drawn around.
    const std::vector<std::string> reports = setup.renderer().take_reports();

    std::vector<std::string> wrote;
    if (frames > 0) wrote.push_back(frames_dir.string() + "/frame_0001.png .. " + frame_name(frames) + " (" +
                                    std::to_string(frames) + " frames)");
    const std::string stem = fs::path(scenario_name).stem().string();
    const fs::path trace_path = dir / (stem + ".trace");
    if (std::string e; write_file(trace_path.string(), setup.trace().text(), &e)) {
        wrote.push_back(trace_path.string());
    } else {
        unwritten.push_back(e);
    }
    const fs::path sheet_path = dir / "contact-sheet.png";
    if (!taken.empty()) {
        std::vector<SheetEntry> entries;
        for (const Taken& t : taken) entries.push_back({t.frame.get(), t.caption, t.note});
        const Surface sheet =
            contact_sheet(entries,
                          o.scenario.empty() ? "Orvane: an ILS approach on the A310 panel"
                                             : "Orvane: " + fs::path(scenario_name).filename().string(),
                          std::to_string(taken.size()) + " key moments of " + std::to_string(panel.update_count()) +
                              " updates of " + scenario_name + ", drawn by panelhost from " +
                              fs::path(o.module).filename().string());
        if (const std::string e = write_png(sheet.get(), sheet_path.string()); e.empty()) {
            wrote.push_back(sheet_path.string());
        } else {
            unwritten.push_back(e);
        }
    }
    const fs::path animation_path = dir / (stem + ".apng");
    if (animation.frame_count() > 0) {
        if (std::string e; write_file(animation_path.string(), animation.bytes(), &e)) {
            wrote.push_back(animation_path.string() + " (animated PNG)");
        } else {
            unwritten.push_back(e);
        }
    }
    const fs::path sound_path = dir / "callout.wav";
    fs::remove(sound_path, ec);
    if (panel.sound_plays() > 0) {
        if (platform::write_played_wav(sound_path.string().c_str())) {
            wrote.push_back(sound_path.string() + " (the callout as played, " + std::to_string(panel.sound_plays()) +
                            (panel.sound_plays() == 1 ? " time)" : " times)"));
        } else {
            unwritten.push_back("cannot write " + sound_path.string());
        }
    }

    for (const std::string& p : problems) print(err, "panelhost demo: " + p + "\n");
    for (const std::string& r : reports) print(err, "panelhost demo: " + r + "\n");
    for (const std::string& u : unwritten) print(err, "panelhost demo: " + u + "\n");
    for (const std::string& f : failures) print(err, f + "\n");
    const std::string held = failures.empty()
                                 ? "every expectation of " + scenario_name + " held"
                                 : std::to_string(failures.size()) + " expectation(s) of " + scenario_name + " failed";
    print(out, "panelhost demo: " + std::to_string(panel.update_count()) + " updates of " + scenario_name + " on " +
                   o.module + ", " + std::to_string(frames) + " of them drawn, " + held + "\n");
    for (const ResolvedFace* face : setup.renderer().fonts().faces()) {
        print(out, "  font \"" + face->windows_face + "\": " + face->family + " (" + face->file + ")\n");
    }
    print(out, "wrote:\n");
    for (const std::string& w : wrote) print(out, "  " + w + "\n");
    return failures.empty() && unwritten.empty() && problems.empty() ? exit_ok : exit_failed;
}

}  // namespace panelhost
