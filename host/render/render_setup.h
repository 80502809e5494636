// A module loaded for drawing: its loaded panel (host, panel, trace), as every
// command starts a module, and a renderer of its gauges, with the bitmap
// sizes the panel needs to place moving images.
#pragma once

#include <memory>
#include <string>

#include "host/panel/loaded_panel.h"
#include "host/render/render.h"

namespace panelhost {

class RenderSetup {
public:
    // Loads and checks the module; on failure error() says why.
    explicit RenderSetup(const std::string& module_path);
    RenderSetup(const RenderSetup&) = delete;
    RenderSetup& operator=(const RenderSetup&) = delete;

    bool ok() const { return loaded_ != nullptr; }
    const std::string& error() const { return error_; }
    const std::string& module_path() const { return loaded_->module_path(); }

    HostServices& host() { return loaded_->host(); }
    Panel& panel() { return loaded_->panel(); }
    Trace& trace() { return loaded_->trace(); }
    GaugeRenderer& renderer() { return *renderer_; }

private:
    std::string error_;
    std::unique_ptr<LoadedPanel> loaded_;
    std::unique_ptr<GaugeRenderer> renderer_;
};

}  // namespace panelhost
