// A module loaded and started as the simulator starts it: checked, given the
// host's function table, its start routine called, the sound monitor
// listening, and a panel of its gauges writing a trace. Every command and
// tool that runs a module starts it this one way; it stops when destroyed.
#pragma once

#include <memory>
#include <string>

#include "host/panel/panel.h"
#include "host/panel/trace.h"
#include "host/services/host_services.h"
#include "host/services/module_loader.h"

namespace panelhost {

class LoadedPanel {
public:
    // Null when the module cannot be loaded or is no usable gauge module;
    // then error says why, each fault of its records on a line of its own.
    static std::unique_ptr<LoadedPanel> open(const std::string& module_path, std::string& error);
    ~LoadedPanel();
    LoadedPanel(const LoadedPanel&) = delete;
    LoadedPanel& operator=(const LoadedPanel&) = delete;

    const std::string& module_path() const { return module_path_; }
    const ModuleRecords& module() const { return module_->records(); }
    HostServices& host() { return host_; }
    Panel& panel() { return *panel_; }
    Trace& trace() { return trace_; }

private:
    LoadedPanel(std::string module_path, std::unique_ptr<LoadedModule> module);

    std::string module_path_;
    std::unique_ptr<LoadedModule> module_;
    HostServices host_;
    Trace trace_;
    std::unique_ptr<Panel> panel_;
};

}  // namespace panelhost
