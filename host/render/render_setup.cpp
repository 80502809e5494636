#include "host/render/render_setup.h"

#include "host/services/sound_monitor.h"

namespace panelhost {

RenderSetup::RenderSetup(const std::string& module_path) : module_path_(module_path) {
    module_ = LoadedModule::open(module_path, error_);
    if (!module_) return;
    if (const std::vector<std::string> problems = validate_module(module_->records()); !problems.empty()) {
        error_ = module_path + " is not a usable gauge module:";
        for (const std::string& p : problems) error_ += "\n  " + p;
        module_.reset();
        return;
    }
    start_module(host_, module_->records());
    start_sound_monitor();
    panel_ = std::make_unique<Panel>(host_, module_->records(), &trace_);
    // The module's resources are found through its instance handle, as the
    // simulator finds them through the library's.
    renderer_ = std::make_unique<GaugeRenderer>(reinterpret_cast<HMODULE>(module_->records().instance));
    panel_->set_bitmap_sizes(renderer_->bitmap_sizes());
}

RenderSetup::~RenderSetup() {
    if (module_) stop_module(host_, module_->records());
}

std::vector<std::string> RenderSetup::load_scenario(const std::string& text, const std::string& file,
                                                      Scenario& scenario) {
    scenario.file = file;
    std::vector<std::string> errors = parse_scenario(text, scenario);
    if (errors.empty()) errors = check_gauge_names(scenario, *panel_);
    return errors;
}

}  // namespace panelhost
