#include "host/panel/loaded_panel.h"

#include "host/services/sound_monitor.h"

namespace panelhost {

std::unique_ptr<LoadedPanel> LoadedPanel::open(const std::string& module_path, std::string& error) {
    std::unique_ptr<LoadedModule> module = LoadedModule::open(module_path, error);
    if (!module) return nullptr;
    if (const std::vector<std::string> problems = validate_module(module->records()); !problems.empty()) {
        error = module_path + " is not a usable gauge module:";
        for (const std::string& problem : problems) error += "\n  " + problem;
        return nullptr;
    }
    return std::unique_ptr<LoadedPanel>(new LoadedPanel(module_path, std::move(module)));
}

LoadedPanel::LoadedPanel(std::string module_path, std::unique_ptr<LoadedModule> module)
    : module_path_(std::move(module_path)), module_(std::move(module)) {
    start_module(host_, module_->records());
    start_sound_monitor();
    panel_ = std::make_unique<Panel>(host_, module_->records(), &trace_);
}

LoadedPanel::~LoadedPanel() {
    panel_.reset();
    stop_module(host_, module_->records());
}

}  // namespace panelhost
