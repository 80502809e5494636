#include "host/render/render_setup.h"

namespace panelhost {

RenderSetup::RenderSetup(const std::string& module_path) : loaded_(LoadedPanel::open(module_path, error_)) {
    if (!loaded_) return;
    // The module's resources are found through its instance handle, as the
    // simulator finds them through the library's.
    renderer_ = std::make_unique<GaugeRenderer>(reinterpret_cast<HMODULE>(loaded_->module().instance));
    loaded_->panel().set_bitmap_sizes(renderer_->bitmap_sizes());
}

}  // namespace panelhost
