// A scenario's run filmed on a panel, as the demo shows it: a frame drawn
// after every update (flying, once a second of flight and at the end of
// each fly), the key moments its "# moment: <caption>" comments mark, put
// side by side on a contact sheet, an animation of the frames, the callout
// as the platform played it, and the trace.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/base/diagnostics.h"
#include "host/render/apng.h"
#include "host/render/panel_renderer.h"
#include "host/render/render_setup.h"
#include "host/scenario/scenario.h"

namespace panelhost {

// A frame is written for every update: a scenario asking for more is
// refused before the first, so that the folder and the animation stay
// bounded.
inline constexpr int64_t max_recorded_frames = 10000;

struct RecordingOptions {
    std::string dir;  // DIR/frames/frame_NNNN.png, DIR/contact-sheet.png, DIR/NAME.apng, DIR/NAME.trace, DIR/callout.wav
    int scale = 2;
    std::string sheet_title;
    // The panel after the last update drawn once more under these lights
    // (night on a day's recording), as the sheet's last picture.
    std::optional<Lighting> also_under;
};

class Recording {
public:
    Recording(RenderSetup& setup, PanelRenderer& drawing, const Scenario& scenario, RecordingOptions options,
              Diagnostics& said);

    // Checks that the frames fit and their folder can be made, runs the
    // scenario filming it, and writes what it made. What went wrong is
    // said: the panel's problems, failed expectations and faults, what the
    // renderer drew around and what could not be written (problems, the
    // rest still written), and what left nothing to record (unusable: a
    // screen too large, no folder, a run stopped at a bound of its file);
    // last what render would note (other modules' gauges, gaps, no window
    // visible: then there is no screen, and no frame, only the trace and
    // the callout).
    void record();

    int frames() const { return frames_; }
    size_t failures() const { return failures_; }
    // What was written, each as a line of the list the demo prints.
    const std::vector<std::string>& written() const { return written_; }

private:
    struct Taken {
        Surface frame;
        std::string caption, note;
    };
    void clear_frames();
    void after_update(const UpdateCycle& cycle);
    void take_moments_before(int line);
    void take_under_other_lights();
    void wrote(const std::string& error, const std::string& listed);
    void write_sheet();
    void write_callout();

    RenderSetup& setup_;
    PanelRenderer& drawing_;
    const Scenario& scenario_;
    RecordingOptions options_;
    Diagnostics& said_;
    std::string frames_dir_;

    ApngWriter animation_;
    Surface previous_;  // the frame last drawn
    uint64_t previous_update_ = 0;
    int frames_ = 0, plays_seen_ = 0, previous_plays_ = 0;
    size_t next_moment_ = 0;
    std::vector<Taken> taken_;
    int64_t updates_seen_ = 0;
    Taken under_other_lights_;  // the sheet's last picture, when asked for
    size_t failures_ = 0;
    std::vector<std::string> written_;
};

}  // namespace panelhost
