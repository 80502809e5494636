#include "host/render/pictures.h"

#include <filesystem>

#include "host/render/area_map.h"

namespace panelhost {

bool make_picture_folder(const std::string& dir, Diagnostics& said) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!ec && std::filesystem::is_directory(dir)) return true;
    said.report(Severity::unusable, "cannot make the folder " + dir + ": " +
                                        (ec ? ec.message() : std::string("a file of that name is there")));
    return false;
}

bool ready_to_draw(PanelRenderer& drawing, const Panel& panel, int scale, const std::string& dir, Diagnostics& said) {
    return drawing.fits(panel, scale, said) && make_picture_folder(dir, said);
}

bool ready_to_draw(GaugeRenderer& renderer, const Panel& panel, const std::string& gauge, int scale,
                   const std::string& dir, Diagnostics& said) {
    const orvane::PixPoint size = renderer.gauge_size(*panel.gauge(gauge));
    if (int64_t{size.x} * scale > max_surface_side || int64_t{size.y} * scale > max_surface_side) {
        said.report(Severity::unusable, gauge + " would be " + std::to_string(size.x * scale) + " x " +
                                            std::to_string(size.y * scale) + " pixels at scale " +
                                            std::to_string(scale) + " (at most " + std::to_string(max_surface_side) +
                                            " a side: a smaller --scale)");
        return false;
    }
    return make_picture_folder(dir, said);
}

namespace {

bool updates(const ScenarioStep& step) { return step_cost(step.step).updates > 0; }

// The pictures asked for, of the panel as it stands.
std::vector<NamedPicture> draw(RenderSetup& setup, PanelRenderer& drawing, const PictureRequest& r) {
    std::vector<NamedPicture> pictures;
    auto add = [&](std::string name, Surface picture, const std::vector<MappedGauge>& gauges) {
        pictures.emplace_back(std::move(name), r.areas ? area_map(picture.get(), gauges) : std::move(picture));
    };
    Panel& panel = setup.panel();
    if (!r.gauge.empty()) {
        if (const InstalledGauge* g = panel.installed(r.gauge)) {
            const MappedGauge mapped{.title = r.gauge,
                                     .header = g->header,
                                     .instance = r.gauge,
                                     .size = setup.renderer().gauge_size(*g->header),
                                     .scale_x = double(r.scale),
                                     .scale_y = double(r.scale)};
            add(r.gauge + ".png", render_gauge(setup.renderer(), panel, *g, r.scale), {mapped});
        }
        return pictures;
    }
    return drawing.render_pictures(panel, r.scale, r.areas);
}

// The scenario's run, drawn at the last cycle of its last step that updates.
std::vector<NamedPicture> draw_at_last_update(RenderSetup& setup, PanelRenderer& drawing, const Scenario& scenario,
                                              const PictureRequest& request, Diagnostics& said) {
    const ScenarioStep* last = nullptr;
    for (const ScenarioStep& step : scenario.steps) {
        if (updates(step)) last = &step;
    }
    std::vector<NamedPicture> pictures;
    const RunOutcome result =
        run_scenario(scenario, setup.panel(), setup.host(), nullptr, [&](const UpdateCycle& cycle) {
            if (&cycle.step == last && cycle.last()) pictures = draw(setup, drawing, request);
        });
    said.report(result.failures);
    if (!result.stopped) return pictures;
    said.report(*result.stopped);
    return {};
}

}  // namespace

bool updates_panel(const Scenario& scenario) {
    for (const ScenarioStep& step : scenario.steps) {
        if (updates(step)) return true;
    }
    return false;
}

std::vector<NamedPicture> draw_after_run(RenderSetup& setup, PanelRenderer& drawing, const Scenario* scenario,
                                         const PictureRequest& request, Diagnostics& said) {
    Panel& panel = setup.panel();
    std::vector<NamedPicture> pictures;
    if (scenario != nullptr) {
        pictures = draw_at_last_update(setup, drawing, *scenario, request, said);
        if (said.unusable()) return {};
    } else {
        const std::vector<std::string> names =
            request.gauge.empty() ? drawing.gauge_names(panel) : std::vector{request.gauge};
        for (const std::string& name : names) panel.install(name);
        panel.update();
        pictures = draw(setup, drawing, request);
        for (const std::string& name : names) panel.kill(name);
        said.report_as_written(Severity::fault, panel.take_faults());
    }
    if (request.gauge.empty()) drawing.check(panel, said);
    setup.renderer().report(said);
    if (!request.gauge.empty() && pictures.empty()) {
        said.report(Severity::problem, request.gauge + " was not installed at the last update; nothing drawn");
    }
    // Last: other modules' gauges, gaps, no screen.
    if (request.gauge.empty()) drawing.notes(panel, said);
    return pictures;
}

}  // namespace panelhost
