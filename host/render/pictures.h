// The pictures of a panel as it stands after a run, and what every command
// that writes pictures checks before it draws the first: that each fits a
// picture, and that the folder they go into can be made.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/base/diagnostics.h"
#include "host/render/panel_renderer.h"
#include "host/render/render_setup.h"
#include "host/scenario/scenario.h"

namespace panelhost {

// The folder made when missing; false, said unusable ("cannot make the
// folder DIR: ..."), when it cannot be.
bool make_picture_folder(const std::string& dir, Diagnostics& said);

// Before the first picture: the panel's windows, screen and gauges fit at
// this scale (PanelRenderer::fits), and the folder. False, each
// reason said unusable, when nothing may be drawn.
bool ready_to_draw(PanelRenderer& drawing, const Panel& panel, int scale, const std::string& dir, Diagnostics& said);
// The same for one gauge drawn alone.
bool ready_to_draw(GaugeRenderer& renderer, const Panel& panel, const std::string& gauge, int scale,
                   const std::string& dir, Diagnostics& said);

// Whether a run of the scenario updates the panel at all, and so leaves a
// panel to draw.
bool updates_panel(const Scenario& scenario);

struct PictureRequest {
    std::string gauge;  // one gauge alone, as NAME.png; empty: every window of the panel, and the screen
    int scale = 1;
    bool areas = false;  // every mouse area outlined and numbered, with a key
};

// The pictures asked for, of the panel as it stands after the scenario's
// last update (the scenario installs the gauges), or without one after
// installing every gauge the panel places (or the gauge asked for) and one
// update. What the run and the panel have to say is said: failed
// expectations and faults, the panel's problems, what the renderer drew
// around, a gauge not installed to be drawn. Nothing when the run stopped
// at a bound of its file (said unusable).
std::vector<NamedPicture> draw_after_run(RenderSetup& setup, PanelRenderer& drawing, const Scenario* scenario,
                                         const PictureRequest& request, Diagnostics& said);

}  // namespace panelhost
