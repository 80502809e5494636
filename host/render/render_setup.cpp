#include "host/render/render_setup.h"

namespace panelhost {

RenderSetup::RenderSetup(const std::string& module_path) : session_(PanelSession::open(module_path, error_)) {
    if (!session_) return;
    // The module's resources are found through its instance handle, as the
    // simulator finds them through the library's.
    renderer_ = std::make_unique<GaugeRenderer>(reinterpret_cast<HMODULE>(session_->module().instance));
    session_->panel().set_bitmap_sizes(renderer_->bitmap_sizes());
}

}  // namespace panelhost
