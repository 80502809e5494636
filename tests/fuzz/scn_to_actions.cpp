// Seeds for the action fuzz target: each scenario file converted to the
// action encoding, step for step. Expectations have no action and are left
// out; a click by tooltip becomes a click at the point it would be made.
//
// usage: scn_to_actions OUT_DIR SCENARIO...
#include <algorithm>
#include <bit>
#include <cstdio>
#include <iterator>
#include <optional>
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
std::vector<uint8_t> gauges_of(const std::string& gauge, const std::vector<std::string>& names) {
    std::vector<uint8_t> found;
    for (size_t i = 0; i < names.size(); ++i) {
        if (gauge == "all" || gauge == names[i]) found.push_back(static_cast<uint8_t>(i));
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

template <typename... F>
struct Overloaded : F... {
    using F::operator()...;
};
// clang 14, which builds the fuzz targets, does not deduce an aggregate's arguments by itself.
template <typename... F>
Overloaded(F...) -> Overloaded<F...>;

// Where the click presses on gauge g; nothing when g has no area of its tooltip.
std::optional<orvane::PixPoint> click_point(const panelhost::steps::Click& click, uint8_t g) {
    if (!click.tooltip) return click.point;
    const auto area = panelhost::find_area(Linkage.gauge_table[g]->mouse_rect, *click.tooltip);
    if (!area) return std::nullopt;
    return click.at        ? orvane::PixPoint{area->box.x + click.at->x, area->box.y + click.at->y}
           : area->bounded ? orvane::PixPoint{area->box.x + area->box.size_x / 2, area->box.y + area->box.size_y / 2}
                           : orvane::PixPoint{area->box.x, area->box.y};
}

std::vector<uint8_t> convert(const panelhost::Scenario& scenario, const std::vector<std::string>& names) {
    namespace steps = panelhost::steps;
    std::vector<uint8_t> out;
    auto each_gauge = [&](const std::string& gauge, auto action) {
        for (const uint8_t g : gauges_of(gauge, names)) action(g);
    };
    const Overloaded convert_step{
        [&](const steps::Aircraft& s) { encode_action({.op = Op::aircraft, .on = s.on}, out); },
        [&](const steps::Set& s) { set(out, s.var, s.value); },
        [&](const steps::Ramp& s) {
            const steps::RampVar& v = s.vars.front();
            for (int64_t i = 0; i < s.updates && i < 64; ++i) {
                const double f = s.updates == 1 ? 1.0 : static_cast<double>(i) / static_cast<double>(s.updates - 1);
                set(out, v.var, i + 1 == s.updates ? v.to : v.from + (v.to - v.from) * f);
                updates(out, 1);
            }
        },
        [&](const steps::Install& s) {
            each_gauge(s.gauge, [&](uint8_t g) { encode_action({.op = Op::install, .gauge = g}, out); });
        },
        [&](const steps::Kill& s) {
            each_gauge(s.gauge, [&](uint8_t g) { encode_action({.op = Op::kill, .gauge = g}, out); });
        },
        [&](const steps::Update& s) { updates(out, std::min<int64_t>(s.updates, 64)); },
        [&](const steps::Fly& s) { updates(out, std::min<int64_t>(s.updates(), 64)); },
        [&](const steps::Service& s) {
            each_gauge(s.gauge, [&](uint8_t g) {
                encode_action({.op = Op::service, .gauge = g, .code = static_cast<int8_t>(s.code)}, out);
            });
        },
        [&](const steps::Click& s) {
            each_gauge(s.gauge, [&](uint8_t g) {
                const std::optional<orvane::PixPoint> point = click_point(s, g);
                if (!point) return;
                encode_action({.op = Op::click, .gauge = g, .x = static_cast<int16_t>(point->x),
                               .y = static_cast<int16_t>(point->y),
                               .button = static_cast<uint8_t>(s.button == panelhost::Button::right),
                               .repeats = static_cast<uint8_t>(std::min<int64_t>(s.repeats, 3))},
                              out);
            });
        },
        [&](const steps::Fail& s) {
            const uint8_t selector = s.key == orvane::FAIL_SYSTEM_VACUUM               ? 0
                                     : s.key == orvane::FAIL_GAUGE_ATTITUDE            ? 1
                                     : s.key == orvane::FAIL_SYSTEM_ELECTRICAL_PANELS ? 2
                                                                                       : 3;
            encode_action({.op = Op::failure, .index = selector, .on = s.on}, out);
        },
        [&](const steps::Callback& s) {
            each_gauge(s.gauge, [&](uint8_t g) {
                encode_action({.op = Op::callback, .gauge = g, .index = static_cast<uint8_t>(s.index)}, out);
            });
        },
        [](const auto&) {},  // place, repeat and the expectations have no action
    };
    for (const panelhost::ScenarioStep& step : scenario.steps) std::visit(convert_step, step.step);
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
        const std::vector<panelhost::Diagnostic> errors = panelhost::read_scenario(argv[i], scenario);
        if (!errors.empty()) {
            for (const panelhost::Diagnostic& error : errors) std::fprintf(stderr, "%s\n", error.text.c_str());
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
