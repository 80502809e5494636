// A module loaded for drawing: its session (host, panel, trace), as every
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

    bool ok() const { return session_ != nullptr; }
    const std::string& error() const { return error_; }
    const std::string& module_path() const { return session_->module_path(); }

    PanelSession& session() { return *session_; }
    HostServices& host() { return session_->host(); }
    Panel& panel() { return session_->panel(); }
    Trace& trace() { return session_->trace(); }
    GaugeRenderer& renderer() { return *renderer_; }

private:
    std::string error_;
    std::unique_ptr<PanelSession> session_;
    std::unique_ptr<GaugeRenderer> renderer_;
};

}  // namespace panelhost
