// The host's side of the function table: a store of host variables by id, the
// log of key events the module sends, and a record of every other call. It is
// what the simulator provides to a gauge module, and all the module sees of it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "module/host_abi.h"

namespace panelhost {

struct KeyEvent {
    uint32_t id;
    uint32_t value;
};

struct ElementListCall {
    int slot;
    orvane::ElementHeader* first;
    uintptr_t value;
};

class HostServices {
public:
    HostServices();
    ~HostServices();
    HostServices(const HostServices&) = delete;
    HostServices& operator=(const HostServices&) = delete;

    // Writes this host's function table into a module's import table, as the
    // simulator does after loading it. One host is active at a time.
    void attach(orvane::GaugeModuleImports* imports);
    void detach();

    void set_var(int32_t id, double value);
    double var(int32_t id) const;  // 0 until set, as the simulator reports an unknown id
    // Where a variable is kept, set to 0 if it was not set: the same place
    // for the host's life, for what reads and writes it at every step.
    double& variable(int32_t id) { return vars_[id]; }
    const std::map<int32_t, double>& vars() const { return vars_; }

    const std::vector<KeyEvent>& key_events() const { return key_events_; }
    std::vector<KeyEvent> take_key_events();
    const std::vector<ElementListCall>& element_list_calls() const { return element_list_calls_; }
    // Calls of function-table slots this host does not provide, as messages.
    const std::vector<std::string>& traps() const { return traps_; }
    uint64_t refresh_count() const { return refresh_count_; }

    // Called for every key event after it is logged: the aircraft model.
    std::function<void(uint32_t id, uint32_t value)> on_key_event;
    // Called for every variable refreshed: what a gauge reads.
    std::function<void(int32_t id)> on_refresh;

    orvane::HostFunctionTable& table() { return table_; }

    // The host whose table is attached, or null.
    static HostServices* active();

    // Entry points of the table; public so that the trampolines can reach them.
    void refresh(orvane::ModuleVar* var);
    uint32_t trigger(uint32_t id, uint32_t value);
    void element_list(int slot, orvane::ElementHeader* first, uintptr_t value);
    void trap(int slot);

private:
    orvane::HostFunctionTable table_{};
    orvane::GaugeModuleImports* attached_ = nullptr;
    std::map<int32_t, double> vars_;
    std::vector<KeyEvent> key_events_;
    std::vector<ElementListCall> element_list_calls_;
    std::vector<std::string> traps_;
    uint64_t refresh_count_ = 0;
};

}  // namespace panelhost
