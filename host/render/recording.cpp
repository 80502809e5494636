#include "host/render/recording.h"

#include <climits>
#include <cstdio>
#include <filesystem>

#include "host/base/files.h"
#include "host/render/contact_sheet.h"
#include "host/render/pictures.h"
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

std::string frame_name(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%04d.png", n);
    return name;
}

}  // namespace

Recording::Recording(RenderSetup& setup, PanelRenderer& drawing, const Scenario& scenario, RecordingOptions options,
                     Diagnostics& said)
    : setup_(setup),
      drawing_(drawing),
      scenario_(scenario),
      options_(std::move(options)),
      said_(said),
      frames_dir_((fs::path(options_.dir) / "frames").string()) {}

void Recording::record() {
    // A screen too large to draw is found before the first frame.
    if (!ready_to_draw(drawing_, setup_.panel(), options_.scale, frames_dir_, said_)) return;
    clear_frames();
    Panel& panel = setup_.panel();
    platform::clear_sound_log();
    const RunOutcome result = run_scenario(scenario_, panel, setup_.host(), &setup_.trace(),
                                           [this](const UpdateCycle& cycle) { after_update(cycle); });
    failures_ = result.failures.size();
    said_.report(result.failures);
    if (result.stopped) {
        said_.report(*result.stopped);
        return;
    }
    take_moments_before(INT_MAX);
    if (under_other_lights_.frame) taken_.push_back(std::move(under_other_lights_));
    drawing_.check(panel, said_);
    // What the renderer could not find (a face, a bitmap) is told, and drawn around.
    setup_.renderer().report(said_);
    drawing_.notes(panel, said_, "so there is no screen to film: no frames, contact sheet or animation");

    if (frames_ > 0) {
        written_.push_back(frames_dir_ + "/frame_0001.png .. " + frame_name(frames_) + " (" +
                           std::to_string(frames_) + " frames)");
    }
    const fs::path dir(options_.dir);
    const std::string stem = fs::path(scenario_.file).stem().string();
    const std::string trace_path = (dir / (stem + ".trace")).string();
    std::string error;
    wrote(write_file(trace_path, setup_.trace().text(), &error) ? "" : error, trace_path);
    if (!taken_.empty()) write_sheet();
    if (animation_.frame_count() > 0) {
        const std::string path = (dir / (stem + ".apng")).string();
        wrote(write_file(path, animation_.bytes(), &error) ? "" : error, path + " (animated PNG)");
    }
    write_callout();
}

// The frames an earlier recording left would mix with these.
void Recording::clear_frames() {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(frames_dir_, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("frame_") && name.ends_with(".png")) fs::remove(entry.path(), ec);
    }
}

void Recording::after_update(const UpdateCycle& cycle) {
    const bool final_update = ++updates_seen_ == scenario_.updates;
    if (frames_ == max_recorded_frames || !drawing_.has_screen()) return;
    take_moments_before(cycle.step.line);
    Panel& panel = setup_.panel();
    plays_seen_ = panel.sound_plays();
    if (cycle.flown && !cycle.last() && (cycle.index + 1) % flown_updates_per_frame != 0) return;
    previous_ = drawing_.render_screen(panel, options_.scale);
    previous_update_ = panel.update_count();
    ++frames_;
    const std::string frame_path = (fs::path(frames_dir_) / frame_name(frames_)).string();
    if (const std::string e = write_png(previous_.get(), frame_path); !e.empty()) said_.report(Severity::problem, e);
    if (final_update) take_under_other_lights();
    if (animation_.full()) return;
    if (const std::string e = animation_.add_frame(previous_.get(), frame_ms); !e.empty()) {
        said_.report(Severity::problem, e);
    }
}

// A moment shows the panel as the last update before its line left it.
void Recording::take_moments_before(int line) {
    if (!drawing_.has_screen()) return;
    const std::vector<Moment>& moments = scenario_.moments;
    for (; next_moment_ < moments.size() && moments[next_moment_].line < line; ++next_moment_) {
        if (!previous_) {
            said_.report(Severity::problem, scenario_.file, moments[next_moment_].line,
                         "a moment before the first update; left off the sheet");
            continue;
        }
        std::string note = "update " + std::to_string(previous_update_);
        if (plays_seen_ > previous_plays_) note += "  \xE2\x80\x94  the decision-height callout sounds";
        previous_plays_ = plays_seen_;
        taken_.push_back({copy_of(previous_.get()), moments[next_moment_].caption, note});
        animation_.lengthen_last(moment_ms);
    }
}

// Drawn while the gauges still stand after the last update: the run's end kills them.
void Recording::take_under_other_lights() {
    if (!options_.also_under) return;
    GaugeRenderer& renderer = setup_.renderer();
    const Lighting lighting = renderer.lighting();
    renderer.set_lighting(*options_.also_under);
    Surface frame = drawing_.render_screen(setup_.panel(), options_.scale);
    renderer.set_lighting(lighting);
    under_other_lights_ = {std::move(frame),
                           options_.also_under->night ? "The last frame at night, the panel lights on"
                                                      : "The last frame by day",
                           "update " + std::to_string(previous_update_)};
}

// Listed when written; else what went wrong is a problem, the rest still written.
void Recording::wrote(const std::string& error, const std::string& listed) {
    if (error.empty()) {
        written_.push_back(listed);
    } else {
        said_.report(Severity::problem, error);
    }
}

void Recording::write_sheet() {
    std::vector<SheetEntry> entries;
    for (const Taken& t : taken_) entries.push_back({t.frame.get(), t.caption, t.note});
    const Surface sheet =
        contact_sheet(entries, options_.sheet_title,
                      std::to_string(taken_.size()) + " key moments of " +
                          std::to_string(setup_.panel().update_count()) + " updates of " + scenario_.file +
                          ", drawn by panelhost from " + fs::path(setup_.module_path()).filename().string());
    const std::string path = (fs::path(options_.dir) / "contact-sheet.png").string();
    wrote(write_png(sheet.get(), path), path);
}

// The callout as the platform played it; one an earlier recording left goes.
void Recording::write_callout() {
    const std::string path = (fs::path(options_.dir) / "callout.wav").string();
    std::error_code ec;
    fs::remove(path, ec);
    const int plays = setup_.panel().sound_plays();
    if (plays == 0) return;
    wrote(platform::write_played_wav(path.c_str()) ? "" : "cannot write " + path,
          path + " (the callout as played, " + std::to_string(plays) + (plays == 1 ? " time)" : " times)"));
}

}  // namespace panelhost
