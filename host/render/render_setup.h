// A module loaded for drawing: the host, the panel and the renderer, set up
// as `panelhost run` sets them up, with the bitmap sizes the panel needs to
// place moving images.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/services/host_services.h"
#include "host/services/module_loader.h"
#include "host/panel/panel.h"
#include "host/render/render.h"
#include "host/scenario/scenario.h"
#include "host/panel/trace.h"

namespace panelhost {

class RenderSetup {
public:
    // Loads and checks the module; on failure error() says why.
    explicit RenderSetup(const std::string& module_path);
    ~RenderSetup();
    RenderSetup(const RenderSetup&) = delete;
    RenderSetup& operator=(const RenderSetup&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    const std::string& module_path() const { return module_path_; }

    HostServices& host() { return host_; }
    Panel& panel() { return *panel_; }
    GaugeRenderer& renderer() { return *renderer_; }
    Trace& trace() { return trace_; }

    // Parses a scenario and checks its gauge names; the errors, if any.
    std::vector<std::string> load_scenario(const std::string& text, const std::string& file, Scenario& scenario);

private:
    std::string module_path_;
    std::string error_;
    std::unique_ptr<LoadedModule> module_;
    HostServices host_;
    Trace trace_;
    std::unique_ptr<Panel> panel_;
    std::unique_ptr<GaugeRenderer> renderer_;
};

}  // namespace panelhost
