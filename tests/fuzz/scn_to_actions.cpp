// Seeds for the action fuzz target: each scenario file converted to the
// action encoding, step for step. Expectations have no action and are left
// out; a click by tooltip becomes a click at the point it would be made.
//
// usage: scn_to_actions OUT_DIR SCENARIO...
#include <algorithm>
#include <bit>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "host/services/module_loader.h"
#include "host/panel/mouse.h"
#include "host/base/files.h"
#include "host/scenario/scenario.h"
#include "module/linkage.h"
#include "tests/fuzz/action_codec.h"

namespace {

using orvane::fuzzing::Action;
using orvane::fuzzing::Op;
using orvane::fuzzing::encode_action;

std::vector<std::string> gauge_names() {
    std::vector<std::string> names;
    for (const orvane::GaugeHeader* gauge : panelhost::gauge_table(&Linkage)) names.emplace_back(gauge->gauge_name);
    return names;
}

// The gauges a step names, as indices into the gauge table.
std::vector<uint8_t> gauges_of(const panelhost::Step& step, const std::vector<std::string>& names) {
    std::vector<uint8_t> found;
    for (size_t i = 0; i < names.size(); ++i) {
        if (step.gauge == "all" || step.gauge == names[i]) found.push_back(static_cast<uint8_t>(i));
    }
    return found;
}

uint8_t var_index(int32_t id) {
    const auto ids = orvane::fuzzing::host_variable_ids();
    for (size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] == id) return static_cast<uint8_t>(i);
    }
    return 0;
}

void set(std::vector<uint8_t>& out, int32_t id, double value) {
    encode_action({.op = Op::set_bits, .var = var_index(id), .bits = std::bit_cast<uint64_t>(value)}, out);
}

void updates(std::vector<uint8_t>& out, int64_t count) {
    for (; count > 0; count -= 2) {
        encode_action({.op = Op::update, .repeats = static_cast<uint8_t>(std::min<int64_t>(count, 2) - 1)}, out);
    }
}

std::vector<uint8_t> convert(const panelhost::Scenario& scenario, const std::vector<std::string>& names) {
    std::vector<uint8_t> out;
    for (const panelhost::Step& step : scenario.steps) {
        switch (step.kind) {
        case panelhost::StepKind::aircraft: encode_action({.op = Op::aircraft, .on = step.on}, out); break;
        case panelhost::StepKind::set: set(out, step.var, step.value); break;
        case panelhost::StepKind::ramp:
            for (int64_t i = 0; i < step.count && i < 64; ++i) {
                const double f = step.count == 1 ? 1.0 : static_cast<double>(i) / static_cast<double>(step.count - 1);
                set(out, step.var, i + 1 == step.count ? step.to : step.value + (step.to - step.value) * f);
                updates(out, 1);
            }
            break;
        case panelhost::StepKind::install:
        case panelhost::StepKind::kill:
            for (const uint8_t g : gauges_of(step, names)) {
                encode_action({.op = step.kind == panelhost::StepKind::install ? Op::install : Op::kill, .gauge = g}, out);
            }
            break;
        case panelhost::StepKind::update:
        case panelhost::StepKind::fly: updates(out, std::min<int64_t>(step.count, 64)); break;
        case panelhost::StepKind::service:
            for (const uint8_t g : gauges_of(step, names)) {
                encode_action({.op = Op::service, .gauge = g, .code = static_cast<int8_t>(step.code)}, out);
            }
            break;
        case panelhost::StepKind::click:
            for (const uint8_t g : gauges_of(step, names)) {
                orvane::PixPoint point = step.point;
                if (step.by_tooltip) {
                    const auto area = panelhost::find_area(Linkage.gauge_table[g]->mouse_rect, step.text);
                    if (!area) continue;
                    point = step.at ? orvane::PixPoint{area->box.x + step.at->x, area->box.y + step.at->y}
                            : area->bounded ? orvane::PixPoint{area->box.x + area->box.size_x / 2,
                                                               area->box.y + area->box.size_y / 2}
                                            : orvane::PixPoint{area->box.x, area->box.y};
                }
                encode_action({.op = Op::click, .gauge = g, .x = static_cast<int16_t>(point.x),
                               .y = static_cast<int16_t>(point.y),
                               .button = static_cast<uint8_t>(step.button == panelhost::Button::right),
                               .repeats = static_cast<uint8_t>(std::min<int64_t>(step.count, 3))},
                              out);
            }
            break;
        case panelhost::StepKind::fail: {
            const uint8_t selector = step.code == orvane::FAIL_SYSTEM_VACUUM      ? 0
                                     : step.code == orvane::FAIL_GAUGE_ATTITUDE ? 1
                                     : step.code == orvane::FAIL_SYSTEM_ELECTRICAL_PANELS ? 2
                                                                                           : 3;
            encode_action({.op = Op::failure, .index = selector, .on = step.on}, out);
            break;
        }
        case panelhost::StepKind::callback:
            for (const uint8_t g : gauges_of(step, names)) {
                encode_action({.op = Op::callback, .gauge = g, .index = static_cast<uint8_t>(step.index)}, out);
            }
            break;
        default: break;  // expectations
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUT_DIR SCENARIO...\n", argv[0]);
        return 2;
    }
    const std::vector<std::string> names = gauge_names();
    int status = 0;
    for (int i = 2; i < argc; ++i) {
        panelhost::Scenario scenario;
        const std::vector<std::string> errors = panelhost::read_scenario(argv[i], scenario);
        if (!errors.empty()) {
            for (const std::string& error : errors) std::fprintf(stderr, "%s\n", error.c_str());
            status = 1;
            continue;
        }
        std::string base = argv[i];
        base = base.substr(base.find_last_of('/') + 1);
        base = base.substr(0, base.find_last_of('.'));
        const std::vector<uint8_t> bytes = convert(scenario, names);
        if (std::string error; !panelhost::write_file(std::string(argv[1]) + "/" + base + ".actions", bytes, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            status = 1;
        }
    }
    return status;
}
