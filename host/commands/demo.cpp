#include "host/commands/demo.h"

#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/base/files.h"
#include "host/commands/demo_assets.h"
#include "host/render/panel_cfg.h"
#include "host/render/apng.h"
#include "host/render/panel_renderer.h"
#include "host/render/render_setup.h"
#include "platform/win_dsound.h"

namespace panelhost {

namespace fs = std::filesystem;

namespace {

constexpr int exit_ok = 0;
constexpr int exit_failed = 1;
constexpr int exit_unusable = 2;

// An update lasts a tenth of a second in the animation; a key moment holds
// long enough to be read.
constexpr int frame_ms = 100;
constexpr int moment_ms = 1800;


std::optional<std::string> read_text(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string as_text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

bool write_bytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

Surface copy_of(cairo_surface_t* surface) {
    Surface copy(cairo_surface_create_similar_image(surface, cairo_image_surface_get_format(surface),
                                                    cairo_image_surface_get_width(surface),
                                                    cairo_image_surface_get_height(surface)));
    Context cr(cairo_create(copy.get()));
    cairo_set_source_surface(cr.get(), surface, 0, 0);
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr.get());
    return copy;
}

std::string frame_name(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%04d.png", n);
    return name;
}

struct DemoOptions {
    std::string module;
    std::string out = "out/demo";
    std::string scenario;
    std::string panel;
    int scale = 2;
    std::string error;
};

DemoOptions parse(const std::vector<std::string>& args) {
    DemoOptions o;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const bool value = i + 1 < args.size();
        if (args[i] == "--out" && value) {
            o.out = args[++i];
        } else if (args[i] == "--scenario" && value) {
            o.scenario = args[++i];
        } else if (args[i] == "--panel" && value) {
            o.panel = args[++i];
        } else if (args[i] == "--scale" && value) {
            const std::string& t = args[++i];
            const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), o.scale);
            if (ec != std::errc{} || end != t.data() + t.size() || o.scale < 1 || o.scale > 8) {
                o.error = "the scale must be a whole number from 1 to 8, not " + t;
            }
        } else if (args[i].starts_with("--")) {
            o.error = "unknown option " + args[i];
        } else {
            positional.push_back(args[i]);
        }
    }
    if (o.error.empty() && positional.size() != 1) {
        o.error = "usage: panelhost demo MODULE [--out DIR] [--scenario FILE] [--panel PANEL.CFG] [--scale N]";
    }
    if (!positional.empty()) o.module = positional[0];
    return o;
}

// Words laid into lines no wider than `width` in the current font, at most
// `most` lines, the last cut short with an ellipsis.
std::vector<std::string> wrapped(cairo_t* cr, const std::string& text, double width, size_t most) {
    auto fits = [&](const std::string& t) {
        cairo_text_extents_t e;
        cairo_text_extents(cr, t.c_str(), &e);
        return e.x_advance <= width;
    };
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        if (!lines.empty() && fits(lines.back() + " " + word)) {
            lines.back() += " " + word;
        } else if (lines.size() < most) {
            lines.push_back(word);
        } else {
            std::string& last = lines.back();
            while (!last.empty() && !fits(last + "\xE2\x80\xA6")) last.pop_back();
            last += "\xE2\x80\xA6";
            break;
        }
    }
    return lines;
}

}  // namespace

std::optional<std::vector<uint8_t>> demo_asset(std::string_view name) {
    for (size_t i = 0; i < demo_file_count; ++i) {
        if (name == demo_files[i].name) {
            return std::vector<uint8_t>(demo_files[i].data, demo_files[i].data + demo_files[i].size);
        }
    }
    return std::nullopt;
}

std::vector<Moment> scenario_moments(std::string_view text) {
    constexpr std::string_view marker = "# moment:";
    std::vector<Moment> moments;
    int line = 0;
    while (!text.empty()) {
        ++line;
        const size_t end = text.find('\n');
        std::string_view l = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        while (!l.empty() && (l.front() == ' ' || l.front() == '\t')) l.remove_prefix(1);
        if (!l.starts_with(marker)) continue;
        l.remove_prefix(marker.size());
        while (!l.empty() && (l.front() == ' ' || l.back() == ' ' || l.back() == '\r')) {
            if (l.front() == ' ') l.remove_prefix(1);
            else l.remove_suffix(1);
        }
        moments.push_back({line, std::string(l)});
    }
    return moments;
}

Surface contact_sheet(const std::vector<SheetEntry>& entries, const std::string& title, const std::string& subtitle) {
    constexpr int columns = 2, margin = 24, gap = 20, caption_height = 62, title_height = 78;
    int cell_w = 1, cell_h = 1;
    for (const SheetEntry& e : entries) {
        cell_w = std::max(cell_w, cairo_image_surface_get_width(e.frame) / 2);
        cell_h = std::max(cell_h, cairo_image_surface_get_height(e.frame) / 2);
    }
    const int rows = (static_cast<int>(entries.size()) + columns - 1) / columns;
    const int width = 2 * margin + columns * cell_w + (columns - 1) * gap;
    const int height = title_height + margin + rows * (cell_h + caption_height) + std::max(0, rows - 1) * gap + margin;
    Surface sheet = make_surface(width, height, true);
    Context cr(cairo_create(sheet.get()));
    cairo_t* c = cr.get();
    cairo_set_source_rgb(c, 0.09, 0.10, 0.11);
    cairo_paint(c);

    cairo_select_font_face(c, fallback_family, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(c, 26);
    cairo_set_source_rgb(c, 0.95, 0.95, 0.95);
    cairo_move_to(c, margin, margin + 26);
    cairo_show_text(c, title.c_str());
    cairo_select_font_face(c, fallback_family, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(c, 15);
    cairo_set_source_rgb(c, 0.65, 0.68, 0.72);
    cairo_move_to(c, margin, margin + 52);
    cairo_show_text(c, subtitle.c_str());

    for (size_t i = 0; i < entries.size(); ++i) {
        const int col = static_cast<int>(i) % columns, row = static_cast<int>(i) / columns;
        const double x = margin + col * (cell_w + gap);
        const double y = title_height + margin + row * (cell_h + caption_height + gap);
        cairo_save(c);
        cairo_translate(c, x, y);
        cairo_scale(c, 0.5, 0.5);
        cairo_set_source_surface(c, entries[i].frame, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(c), CAIRO_FILTER_GOOD);
        cairo_paint(c);
        cairo_restore(c);

        cairo_select_font_face(c, fallback_family, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(c, 15);
        cairo_set_source_rgb(c, 0.95, 0.95, 0.95);
        const std::vector<std::string> lines =
            wrapped(c, std::to_string(i + 1) + ". " + entries[i].caption, cell_w, 2);
        double line_y = y + cell_h + 20;
        for (const std::string& line : lines) {
            cairo_move_to(c, x, line_y);
            cairo_show_text(c, line.c_str());
            line_y += 19;
        }
        if (!entries[i].note.empty()) {
            cairo_select_font_face(c, fallback_family, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
            cairo_set_font_size(c, 12.5);
            cairo_set_source_rgb(c, 0.62, 0.66, 0.70);
            cairo_move_to(c, x, line_y - 2);
            cairo_show_text(c, entries[i].note.c_str());
        }
    }
    cairo_surface_flush(sheet.get());
    return sheet;
}

int demo_command(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    const DemoOptions o = parse(args);
    if (!o.error.empty()) {
        print(err, "panelhost demo: " + o.error + "\n");
        return exit_unusable;
    }

    // The approach and the panel: the files named, else the ones built in.
    std::string scenario_name = "approach.scn", scenario_text;
    if (!o.scenario.empty()) {
        const auto text = read_text(o.scenario);
        if (!text) {
            print(err, "panelhost demo: cannot read " + o.scenario + "\n");
            return exit_unusable;
        }
        scenario_name = o.scenario;
        scenario_text = *text;
    } else {
        scenario_text = as_text(demo_asset("approach.scn").value_or(std::vector<uint8_t>{}));
    }
    std::string panel_name = "panel.cfg", panel_text;
    PanelFiles files = [](const std::string& name) { return demo_asset(name); };
    if (!o.panel.empty()) {
        const auto text = read_text(o.panel);
        if (!text) {
            print(err, "panelhost demo: cannot read " + o.panel + "\n");
            return exit_unusable;
        }
        panel_name = o.panel;
        panel_text = *text;
        files = files_beside(o.panel);
    } else {
        panel_text = as_text(demo_asset("panel.cfg").value_or(std::vector<uint8_t>{}));
    }

    RenderSetup setup(o.module);
    if (!setup.ok()) {
        print(err, "panelhost demo: " + setup.error() + "\n");
        return exit_unusable;
    }
    Panel& panel = setup.panel();
    const PanelConfig cfg = parse_panel_cfg(panel_text, panel_name);
    Scenario scenario;
    if (const auto errors = setup.load_scenario(scenario_text, scenario_name, scenario); !errors.empty()) {
        for (const std::string& e : errors) print(err, e + "\n");
        return exit_unusable;
    }
    const std::vector<Moment> moments = scenario_moments(scenario_text);

    const fs::path dir(o.out), frames_dir = fs::path(o.out) / "frames";
    std::error_code ec;
    fs::create_directories(frames_dir, ec);
    if (ec) {
        print(err, "panelhost demo: cannot make " + frames_dir.string() + ": " + ec.message() + "\n");
        return exit_unusable;
    }
    for (const auto& entry : fs::directory_iterator(frames_dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("frame_") && name.ends_with(".png")) fs::remove(entry.path(), ec);
    }

    PanelRenderer drawing(setup.renderer(), cfg, o.module, files);
    ApngWriter animation;
    std::vector<std::string> problems = cfg.problems;
    std::vector<std::string> unwritten;  // what could not be made or written fails the demo
    Surface previous;
    int frames = 0, plays_seen = 0, previous_plays = 0;
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
            std::string note = "update " + std::to_string(frames);
            if (plays_seen > previous_plays) note += "  \xE2\x80\x94  the decision-height callout sounds";
            previous_plays = plays_seen;
            taken.push_back({copy_of(previous.get()), moments[next_moment].caption, note});
            animation.lengthen_last(moment_ms);
        }
    };
    platform::clear_sound_log();
    const std::vector<std::string> failures =
        run_scenario(scenario, panel, setup.host(), &setup.trace(), [&](const Step& step) {
            take_moments_before(step.line);
            previous = drawing.render_screen(panel, o.scale);
            ++frames;
            plays_seen = panel.sound_plays();
            const std::string frame_path = (frames_dir / frame_name(frames)).string();
            if (const std::string e = write_png(previous.get(), frame_path); !e.empty()) {
                unwritten.push_back(e);
            }
            if (const std::string e = animation.add_frame(previous.get(), frame_ms); !e.empty()) {
                unwritten.push_back(e);
            }
        });
    take_moments_before(INT32_MAX);
    for (const std::string& p : drawing.check(panel)) problems.push_back(p);
    for (const std::string& r : setup.renderer().take_reports()) problems.push_back(r);

    std::vector<std::string> wrote;
    if (frames > 0) wrote.push_back(frames_dir.string() + "/frame_0001.png .. " + frame_name(frames) + " (" +
                                    std::to_string(frames) + " frames)");
    const std::string stem = fs::path(scenario_name).stem().string();
    const fs::path trace_path = dir / (stem + ".trace");
    if (const std::string e = setup.trace().write(trace_path.string()); e.empty()) {
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
                          std::to_string(taken.size()) + " key moments of " + std::to_string(frames) +
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
        if (write_bytes(animation_path, animation.bytes())) {
            wrote.push_back(animation_path.string() + " (animated PNG)");
        } else {
            unwritten.push_back("cannot write " + animation_path.string());
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
    for (const std::string& u : unwritten) print(err, "panelhost demo: " + u + "\n");
    for (const std::string& f : failures) print(err, f + "\n");
    const std::string held = failures.empty()
                                 ? "every expectation of " + scenario_name + " held"
                                 : std::to_string(failures.size()) + " expectation(s) of " + scenario_name + " failed";
    print(out, "panelhost demo: " + std::to_string(frames) + " updates of " + scenario_name + " on " + o.module +
                   ", " + held + "\n");
    for (const ResolvedFace* face : setup.renderer().fonts().faces()) {
        print(out, "  font \"" + face->windows_face + "\": " + face->family + " (" + face->file + ")\n");
    }
    print(out, "wrote:\n");
    for (const std::string& w : wrote) print(out, "  " + w + "\n");
    return failures.empty() && unwritten.empty() ? exit_ok : exit_failed;
}

}  // namespace panelhost
