#include "tests/fuzz/action_codec.h"

#include <bit>
#include <climits>

#include "host/panel/mouse.h"
#include "module/host_vars.h"
#include "platform/failure_switches.h"
#include "platform/win_api.h"
#include "tests/hardening/bad_values.h"

namespace orvane::fuzzing {
namespace {

constexpr int32_t variable_ids[] = {
#define ORVANE_FUZZ_VAR(name, number) number,
    ORVANE_HOST_VARIABLES(ORVANE_FUZZ_VAR)
#undef ORVANE_FUZZ_VAR
};

constexpr int32_t failure_keys[] = {FAIL_SYSTEM_VACUUM, FAIL_GAUGE_ATTITUDE, FAIL_SYSTEM_ELECTRICAL_PANELS, 1};

// Bytes each operation takes after its own.
constexpr size_t operand_bytes[] = {
    9,  // set_bits
    2,  // set_value
    1,  // install
    1,  // update
    1,  // kill
    7,  // click
    4,  // click_row
    2,  // callback
    2,  // service
    2,  // failure
    7,  // handler
    2,  // null_callback
    1,  // aircraft
    2,  // platform_failure
    2,  // list_routine
    1,  // main_window
};
static_assert(std::size(operand_bytes) == static_cast<size_t>(Op::count));

struct Reader {
    const uint8_t* p;
    uint8_t u8() { return *p++; }
    uint16_t u16() {
        const uint16_t v = static_cast<uint16_t>(p[0] | p[1] << 8);
        p += 2;
        return v;
    }
    uint32_t u32() {
        const uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
        p += 4;
        return v;
    }
    uint64_t u64() {
        const uint64_t low = u32();
        return low | static_cast<uint64_t>(u32()) << 32;
    }
};

void put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, static_cast<uint16_t>(v));
    put16(out, static_cast<uint16_t>(v >> 16));
}
void put64(std::vector<uint8_t>& out, uint64_t v) {
    put32(out, static_cast<uint32_t>(v));
    put32(out, static_cast<uint32_t>(v >> 32));
}

using panelhost::click_rows;
using panelhost::ClickRow;

std::vector<MouseFunction> handlers(const MouseRect* table) {
    std::vector<MouseFunction> found;
    for (const ClickRow& row : click_rows(table)) {
        if (row.row->event_id == 0 && row.row->action.handler != nullptr) found.push_back(row.row->action.handler);
    }
    return found;
}

ElementHeader* element_at(const panelhost::Panel& panel, const std::string& gauge, uint8_t index) {
    ElementHeader* element = nullptr;
    return panel.element(gauge, index, element).ok() ? element : nullptr;
}

}  // namespace

std::span<const int32_t> host_variable_ids() { return variable_ids; }

bool decode_action(std::span<const uint8_t>& data, Action& action) {
    if (data.empty()) return false;
    const Op op = static_cast<Op>(data[0] % static_cast<uint8_t>(Op::count));
    const size_t size = 1 + operand_bytes[static_cast<size_t>(op)];
    if (data.size() < size) return false;
    Reader r{data.data() + 1};
    action = Action{.op = op};
    switch (op) {
    case Op::set_bits:
        action.var = r.u8();
        action.bits = r.u64();
        break;
    case Op::set_value:
        action.var = r.u8();
        action.index = r.u8();
        break;
    case Op::install:
    case Op::kill: action.gauge = r.u8(); break;
    case Op::update: action.repeats = r.u8(); break;
    case Op::click:
        action.gauge = r.u8();
        action.x = static_cast<int16_t>(r.u16());
        action.y = static_cast<int16_t>(r.u16());
        action.button = r.u8();
        action.repeats = r.u8();
        break;
    case Op::click_row:
        action.gauge = r.u8();
        action.index = r.u8();
        action.button = r.u8();
        action.repeats = r.u8();
        break;
    case Op::callback:
    case Op::null_callback:
        action.gauge = r.u8();
        action.index = r.u8();
        break;
    case Op::service:
        action.gauge = r.u8();
        action.code = static_cast<int8_t>(r.u8());
        break;
    case Op::failure:
        action.index = r.u8();
        action.on = r.u8();
        break;
    case Op::handler:
        action.gauge = r.u8();
        action.index = r.u8();
        action.button = r.u8();
        action.flags = r.u32();
        break;
    case Op::aircraft: action.on = r.u8(); break;
    case Op::platform_failure:
        action.index = r.u8();
        action.repeats = r.u8();
        break;
    case Op::list_routine:
        action.gauge = r.u8();
        action.index = r.u8();
        break;
    case Op::main_window: action.index = r.u8(); break;
    case Op::count: break;
    }
    data = data.subspan(size);
    return true;
}

void encode_action(const Action& a, std::vector<uint8_t>& out) {
    out.push_back(static_cast<uint8_t>(a.op));
    switch (a.op) {
    case Op::set_bits:
        out.push_back(a.var);
        put64(out, a.bits);
        break;
    case Op::set_value:
        out.push_back(a.var);
        out.push_back(a.index);
        break;
    case Op::install:
    case Op::kill: out.push_back(a.gauge); break;
    case Op::update: out.push_back(a.repeats); break;
    case Op::click:
        out.push_back(a.gauge);
        put16(out, static_cast<uint16_t>(a.x));
        put16(out, static_cast<uint16_t>(a.y));
        out.push_back(a.button);
        out.push_back(a.repeats);
        break;
    case Op::click_row:
        out.push_back(a.gauge);
        out.push_back(a.index);
        out.push_back(a.button);
        out.push_back(a.repeats);
        break;
    case Op::callback:
    case Op::null_callback:
        out.push_back(a.gauge);
        out.push_back(a.index);
        break;
    case Op::service:
        out.push_back(a.gauge);
        out.push_back(static_cast<uint8_t>(a.code));
        break;
    case Op::failure:
        out.push_back(a.index);
        out.push_back(a.on);
        break;
    case Op::handler:
        out.push_back(a.gauge);
        out.push_back(a.index);
        out.push_back(a.button);
        put32(out, a.flags);
        break;
    case Op::aircraft: out.push_back(a.on); break;
    case Op::platform_failure:
        out.push_back(a.index);
        out.push_back(a.repeats);
        break;
    case Op::list_routine:
        out.push_back(a.gauge);
        out.push_back(a.index);
        break;
    case Op::main_window: out.push_back(a.index); break;
    case Op::count: break;
    }
}

void apply_action(const Action& a, panelhost::Panel& panel, panelhost::HostServices& host,
                  const panelhost::ModuleRecords& module) {
    const auto& gauges = panel.gauges();
    if (gauges.empty()) return;
    GaugeHeader* gauge = gauges[a.gauge % gauges.size()];
    const std::string name = gauge->gauge_name;
    const panelhost::Button button = (a.button & 1) != 0 ? panelhost::Button::right : panelhost::Button::left;
    switch (a.op) {
    case Op::set_bits: host.set_var(variable_ids[a.var % std::size(variable_ids)], std::bit_cast<double>(a.bits)); break;
    case Op::set_value: {
        const auto& values = hardening::bad_values;
        host.set_var(variable_ids[a.var % std::size(variable_ids)], values[a.index % std::size(values)].value());
        break;
    }
    case Op::install: panel.install(name); break;
    case Op::update:
        for (int i = 0; i <= a.repeats % 2; ++i) panel.update();
        break;
    case Op::kill: panel.kill(name); break;
    case Op::click: panel.click(name, {a.x, a.y}, button, a.repeats % 4); break;
    case Op::click_row: {
        const std::vector<ClickRow> rows = click_rows(gauge->mouse_rect);
        if (!rows.empty()) panel.click(name, rows[a.index % rows.size()].centre, button, a.repeats % 4);
        break;
    }
    case Op::callback: panel.call_callback(name, a.index); break;
    case Op::service:
        panel.service(name, a.code, a.code == SERVICE_PRE_INSTALL ? module.instance : 0);
        break;
    case Op::failure: panel.set_failure(failure_keys[a.index % std::size(failure_keys)], (a.on & 1) != 0); break;
    case Op::handler: {
        const std::vector<MouseFunction> found = handlers(gauge->mouse_rect);
        if (found.empty()) break;
        PixPoint points[] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {0, 0}};
        PixPoint* point = a.button % 4 == 0 ? nullptr : &points[a.button % 4 - 1];
        found[a.index % found.size()](point, a.flags);
        break;
    }
    case Op::null_callback: {
        ElementHeader* element = element_at(panel, name, a.index);
        if (element == nullptr) break;
        if (element->element_type == ELEMENT_STRING) {
            auto* text = reinterpret_cast<ElementString*>(element);
            if (text->update_cb != nullptr) text->update_cb(nullptr);
        } else if (element->element_type == ELEMENT_SLIDER) {
            auto* slider = reinterpret_cast<ElementSlider*>(element);
            if (slider->update_x_cb != nullptr) slider->update_x_cb(nullptr);
            if (slider->update_y_cb != nullptr) slider->update_y_cb(nullptr);
        }
        break;
    }
    case Op::aircraft: panel.set_aircraft_model((a.on & 1) != 0); break;
    case Op::platform_failure: {
        constexpr uint8_t calls = static_cast<uint8_t>(platform::Call::count);
        if (a.repeats == 0) {
            platform::reset_failures();
        } else {
            platform::fail_call(static_cast<platform::Call>(a.index % calls), a.repeats % 8);
        }
        break;
    }
    case Op::list_routine:
        switch (a.index % 9) {
        case 0: gauge->query_routine(); break;
        case 1: gauge->install_routine(nullptr); break;
        case 2: gauge->initialize_routine(); break;
        case 3: gauge->update_routine(); break;
        case 4: gauge->generate_routine(a.flags); break;
        case 5: gauge->draw_routine(); break;
        case 6: gauge->kill_routine(); break;
        case 7:
            if (module.linkage->module_init != nullptr) module.linkage->module_init();
            break;
        default:
            if (module.linkage->module_deinit != nullptr) module.linkage->module_deinit();
            break;
        }
        break;
    case Op::main_window: {
        static const char* const classes[] = {nullptr, "FS98MAIN", "MSCFSMAIN"};
        platform::set_main_window_class(classes[a.index % 3]);
        break;
    }
    case Op::count: break;
    }
}

std::string describe(const Action& a) {
    static const char* const names[] = {"set_bits", "set_value", "install", "update", "kill", "click", "click_row",
                                        "callback", "service", "failure", "handler", "null_callback", "aircraft",
                                        "platform_failure", "list_routine", "main_window"};
    static_assert(std::size(names) == static_cast<size_t>(Op::count));
    std::string text = names[static_cast<size_t>(a.op)];
    text += " gauge " + std::to_string(a.gauge) + " var " + std::to_string(a.var) + " bits " + std::to_string(a.bits) +
            " x " + std::to_string(a.x) + " y " + std::to_string(a.y) + " button " + std::to_string(a.button) +
            " repeats " + std::to_string(a.repeats) + " index " + std::to_string(a.index) + " code " +
            std::to_string(a.code) + " on " + std::to_string(a.on) + " flags " + std::to_string(a.flags);
    return text;
}

}  // namespace orvane::fuzzing
