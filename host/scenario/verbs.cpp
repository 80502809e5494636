// The scenario language, one row a verb: its name, how it is written, how it
// is read and written back, what it does on a panel, what it costs a file
// and what it needs of the lines before it. A new verb is a record in
// steps.h and a row here.
#include <tuple>
#include <type_traits>

#include "host/base/text_format.h"
#include "host/scenario/expectations.h"
#include "host/scenario/scenario.h"
#include "host/scenario/step_run.h"
#include "host/scenario/verbs.h"
#include "host/services/names.h"

namespace panelhost {
namespace {

template <typename R>
struct VerbOf {
    using Record = R;
    std::string_view name;
    std::string_view usage;  // told with a mistake in a line of the verb
    bool (*parse)(Words& in, R& step);
    void (*format)(LineWriter& out, const R& step);
    void (*run)(StepRun& run, const R& step);
    StepCost (*cost)(const R& step) = nullptr;                      // none: nothing
    std::string (*rule)(FileRules& file, const R& step) = nullptr;  // none: may stand anywhere
};

template <typename>
struct TableOf;
template <typename... R>
struct TableOf<std::variant<R...>> {
    using type = std::tuple<VerbOf<R>...>;
};
using VerbTable = TableOf<Step>::type;

// A click holds the button this many repeats at most.
constexpr int64_t max_repeats = 100000;
// A fly step lasts at most this long, a round bound within a file's updates.
constexpr double max_fly_seconds = 5000.0;
static_assert(max_fly_seconds * flight::steps_per_second <= max_updates_per_file);

const char* button_word(Button button) { return button == Button::left ? "left" : "right"; }

// ---- the steps that act ----

// How the trace writes a variable set: its number, then its name.
void set_var(StepRun& run, int32_t var, double value) {
    std::string line = "set " + std::to_string(var);
    const std::string name = host_var_label(var);
    if (!name.empty()) line += " " + name;
    run.trace(line + " " + format_number(value));
    run.host().set_var(var, value);
}

// Once the aircraft flies, the model alone moves what it drives.
std::string model_rule(const FileRules& file, const char* what, const std::vector<int32_t>& vars) {
    if (file.first_fly == 0) return {};
    for (const int32_t var : vars) {
        if (!model_drives(var)) continue;
        std::string name = host_var_label(var);
        name = name.empty() ? std::to_string(var) : name + " (" + std::to_string(var) + ")";
        return what + name + ": the flight model drives it since the first fly (line " +
               std::to_string(file.first_fly) + "); only the lines before that may set it";
    }
    return {};
}

bool parse_place(Words& in, steps::Place& step) {
    flight::Placement& p = step.placement;
    if (!in.named_value("distance", p.distance_nm)) return false;
    if (in.keyword("offset") && !in.value(p.offset_nm)) return false;
    if (!in.named_value("altitude", p.altitude_ft) || !in.named_value("heading", p.heading_deg) ||
        !in.named_value("speed", p.speed_kt)) {
        return false;
    }
    if (const std::string problem = flight::placement_problem(p); !problem.empty()) return in.fail("place: " + problem);
    return true;
}

void run_place(StepRun& run, const steps::Place& step) {
    run.trace(format_step(step));
    Flight& flight = run.place(step.placement);
    // A flying aircraft answers its key events.
    run.panel().set_aircraft_model(true);
    flight.write(run.host());
    run.trace(flight.describe(), 1);
}

bool parse_fly(Words& in, steps::Fly& step) {
    if (!in.value(step.seconds)) return false;
    if (!(step.seconds > 0.0) || step.seconds > max_fly_seconds) {
        return in.fail("fly: " + format_number(step.seconds) + " s is outside 0 (excluded) to " +
                       format_number(max_fly_seconds) + " s");
    }
    if (step.updates() < 1) {
        return in.fail("fly: " + format_number(step.seconds) +
                       " s is shorter than one step of the flight model (1/" +
                       format_number(flight::steps_per_second) + " s)");
    }
    return true;
}

bool parse_ramp(Words& in, steps::Ramp& step) {
    // Variables move along in threes (variable, from, to) before the count.
    do {
        steps::RampVar var;
        if (!in.var(var.var) || !in.value(var.from) || !in.value(var.to)) return false;
        step.vars.push_back(var);
    } while (in.left() > 1);
    return in.integer(step.updates, "update count", 1, max_updates_per_file);
}

void run_ramp(StepRun& run, const steps::Ramp& step) {
    const int64_t n = step.updates;
    for (int64_t i = 0; i < n; ++i) {
        const bool last = i + 1 == n;
        const double fraction = n == 1 ? 1.0 : static_cast<double>(i) / static_cast<double>(n - 1);
        for (const steps::RampVar& v : step.vars) set_var(run, v.var, last ? v.to : v.from + (v.to - v.from) * fraction);
        if (!run.update(i, n, false)) break;
    }
}

// The gauges a step names: "all" is every placement of every gauge of the
// table, or for a kill every gauge installed.
std::vector<std::string> gauges_named(StepRun& run, const std::string& gauge, bool installed) {
    if (gauge != "all") return {gauge};
    return installed ? run.panel().installed_names() : run.panel().placement_names();
}

bool parse_click(Words& in, steps::Click& step) {
    if (!in.gauge(step.gauge, false)) return false;
    if (in.next_quoted()) {
        if (!in.quoted(step.tooltip.emplace(), "tooltip")) return false;
    } else if (!in.point(step.point)) {
        return false;
    }
    while (in.more()) {
        if (in.keyword("left")) {
            step.button = Button::left;
        } else if (in.keyword("right")) {
            step.button = Button::right;
        } else if (in.keyword("repeat")) {
            if (!in.integer(step.repeats, "repeat count", 0, max_repeats)) return false;
        } else if (step.tooltip && in.keyword("at")) {
            if (!in.point(step.at.emplace())) return false;
        } else {
            return in.done();
        }
    }
    return true;
}

void format_click(LineWriter& out, const steps::Click& step) {
    out.word(step.gauge);
    if (step.tooltip) {
        out.quoted(*step.tooltip);
    } else {
        out.point(step.point);
    }
    out.word(button_word(step.button));
    if (step.repeats > 0) out.word("repeat").integer(step.repeats);
    if (step.at) out.word("at").point(*step.at);
}

// The gauge pixel a click by tooltip presses; nothing, the step failed, when
// the gauge has no such area or the point lies beyond its pixels.
std::optional<orvane::PixPoint> area_point(StepRun& run, const steps::Click& step) {
    const orvane::GaugeHeader* g = run.panel().gauge(step.gauge);
    const auto area = g != nullptr ? find_area(g->mouse_rect, *step.tooltip) : std::nullopt;
    if (!area) {
        run.fail(step.gauge + " has no area with the tooltip " + quote_text(*step.tooltip));
        return std::nullopt;
    }
    // In 64 bits: an offset from the area's corner may reach past the gauge's pixels.
    int64_t x = area->box.x;
    int64_t y = area->box.y;
    if (step.at) {
        x += step.at->x;
        y += step.at->y;
    } else if (area->bounded) {
        x += area->box.size_x / 2;
        y += area->box.size_y / 2;
    }
    if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) {
        run.fail("the point " + std::to_string(x) + " " + std::to_string(y) +
                 " lies outside the gauge's pixels (each from " + std::to_string(INT32_MIN) + " to " +
                 std::to_string(INT32_MAX) + ")");
        return std::nullopt;
    }
    return orvane::PixPoint{static_cast<int32_t>(x), static_cast<int32_t>(y)};
}

void run_click(StepRun& run, const steps::Click& step) {
    const std::optional<orvane::PixPoint> point = step.tooltip ? area_point(run, step) : step.point;
    if (!point || !run.press(1 + step.repeats)) return;
    // The trace tells the pixel pressed, however the step found it.
    const steps::Click pressed{.gauge = step.gauge, .point = *point, .button = step.button, .repeats = step.repeats};
    if (run.panel().gauge(step.gauge) != nullptr) run.trace(format_step(pressed));
    const Status status = run.panel().click(step.gauge, *point, step.button, static_cast<int>(step.repeats));
    if (status.ok()) run.held() = HeldButton{step.gauge, *point, step.button};
    run.check(status);
}

void run_repeat(StepRun& run, const steps::Repeat& step) {
    const std::optional<HeldButton>& held = run.held();
    if (!held) return run.fail("repeat: no button is held; no click has been made");
    if (!run.press(step.repeats)) return;
    // The trace tells where the button is held.
    run.trace(LineWriter("repeat").word(held->gauge).point(held->point).word(button_word(held->button)).text());
    run.check(run.panel().repeat(held->gauge, held->point, held->button, static_cast<int>(step.repeats)));
}

bool parse_fail(Words& in, steps::Fail& step) {
    std::string text;
    if (!in.word(text, "failure key")) return false;
    const auto key = failure_key(text);
    if (!key) {
        return in.fail("unknown failure key: " + text,
                       "a number, FAIL_SYSTEM_VACUUM, FAIL_GAUGE_ATTITUDE or FAIL_SYSTEM_ELECTRICAL_PANELS");
    }
    step.key = *key;
    return in.either("on", "off", step.on);
}

// ---- expectations ----

bool parse_expect_event(Words& in, steps::ExpectEvent& step) {
    std::string text;
    if (!in.word(text, "key event")) return false;
    const auto id = key_event_id(text);
    if (!id) return in.fail("unknown key event: " + text, "an event's number or its name, as KEY_AP_MASTER_SWITCH");
    step.event = *id;
    return !in.more() || in.integer(step.count, "event count", 0, INT32_MAX);
}

bool parse_axis(Words& in, steps::ElementAxis& step, bool rotation_allowed) {
    return in.gauge(step.gauge, false) && in.index(step.index) && in.axis(rotation_allowed, step.axis) &&
           in.expected_value(step.expected);
}

void format_axis(LineWriter& out, const steps::ElementAxis& step) {
    static constexpr const char* axes[] = {"x", "y", "rotation"};
    out.word(step.gauge).index(step.index).word(axes[static_cast<int>(step.axis)]).expected(step.expected);
}

// ---- the panel.cfg edited ----

bool parse_window(Words& in, WindowRef& out) {
    std::string text;
    if (!in.word(text, "window")) return false;
    const auto window = parse_window_name(text);
    if (!window) return in.fail("not a window: " + text, "Window00 to Window9999, or VCockpit01 to VCockpit9999");
    out = *window;
    return true;
}

bool parse_gauge_line(Words& in, GaugeRef& out) {
    std::string text;
    if (!parse_window(in, out.window) || !in.word(text, "gauge line")) return false;
    const std::string lower = ascii_lowercase(text);
    const std::string_view digits = std::string_view(lower).substr(std::min<size_t>(5, lower.size()));
    if (!lower.starts_with("gauge") || digits.empty() || digits.size() > 4 ||
        digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return in.fail("not a gauge line: " + text, "gauge00 to gauge9999");
    }
    out.number = std::stoi(std::string(digits));
    return true;
}

bool parse_int(Words& in, int& out, const char* what, int low, int high) {
    int64_t value = 0;
    if (!in.integer(value, what, low, high)) return false;
    out = static_cast<int>(value);
    return true;
}

bool parse_position(Words& in, int& x, int& y) {
    return parse_int(in, x, "x", -max_window_side, max_window_side - 1) &&
           parse_int(in, y, "y", -max_window_side, max_window_side - 1);
}

bool parse_size(Words& in, int& width, int& height) {
    return parse_int(in, width, "width", 1, max_window_side) && parse_int(in, height, "height", 1, max_window_side);
}

bool parse_add(Words& in, steps::Add& step) {
    std::string name;
    if (!parse_window(in, step.window)) return false;
    if (in.next_quoted() ? !in.quoted(name, "Module!Gauge") : !in.word(name, "Module!Gauge")) return false;
    const size_t bang = name.find('!');
    if (bang == std::string::npos || bang == 0 || bang + 1 == name.size()) {
        return in.fail("not a Module!Gauge: " + name, "a module and its gauge, as Orvane!PFD");
    }
    step.line.module = name.substr(0, bang);
    step.line.gauge = name.substr(bang + 1);
    if (!parse_position(in, step.line.x, step.line.y)) return false;
    if (!in.more()) return true;
    return parse_size(in, step.line.width.emplace(), step.line.height.emplace());
}

void format_gauge_line(LineWriter& out, const GaugeRef& gauge) {
    const std::string name = gauge_name(gauge);
    const size_t blank = name.find(' ');
    out.word(name.substr(0, blank)).word(name.substr(blank + 1));
}

void format_add(LineWriter& out, const steps::Add& step) {
    out.word(window_name(step.window));
    const std::string name = step.line.module + "!" + step.line.gauge;
    // A name with blanks, quotes or # reads back only in quotes.
    if (name.find_first_of(" \t#\"") != std::string::npos) {
        out.quoted(name);
    } else {
        out.word(name);
    }
    out.integer(step.line.x).integer(step.line.y);
    if (step.line.width) out.integer(*step.line.width).integer(step.line.height.value_or(*step.line.width));
}

// The document the run edits, the edit charged; null, the step failed,
// without one.
PanelDocument* layout_edited(StepRun& run, const Step& step, bool charged) {
    PanelDocument* document = run.layout().document;
    if (document == nullptr) {
        run.fail(std::string(verb_name(step)) + ": no panel.cfg is open to edit (panelhost edit opens one)");
        return nullptr;
    }
    if (charged && !run.edit()) return nullptr;
    run.trace(format_step(step));
    return document;
}

void check_edit(StepRun& run, const Step& step, bool done, const std::string& error) {
    if (!done) run.fail(std::string(verb_name(step)) + ": " + error);
}

void run_save(StepRun& run, const steps::Save& step) {
    PanelDocument* document = layout_edited(run, step, false);
    if (document == nullptr) return;
    if (run.layout().dry_run) return run.trace("a dry run: nothing written", 1);
    std::string message;
    const SaveResult result = document->save(&message, step.force);
    if (result == SaveResult::changed_on_disk || result == SaveResult::failed) return run.fail("save: " + message);
    run.trace(message, 1);
}

constexpr StepCost one_edit(const auto&) { return StepCost{.edits = 1}; }

// ---- the table ----

using namespace steps;

// expect slider and expect moving read alike, and tell one usage.
constexpr std::string_view slider_usage = "expect slider|moving <gauge> <index> x|y <value> [within <t>]";

constexpr VerbTable verbs{
    VerbOf<Aircraft>{
        .name = "aircraft",
        .usage = "aircraft on|off",
        .parse = [](Words& in, Aircraft& s) { return in.either("on", "off", s.on); },
        .format = [](LineWriter& out, const Aircraft& s) { out.word(s.on ? "on" : "off"); },
        .run = [](StepRun& run, const Aircraft& s) {
            run.trace(format_step(s));
            run.panel().set_aircraft_model(s.on);
        },
    },
    VerbOf<Place>{
        .name = "place",
        .usage = "place distance <nm> [offset <nm>] altitude <ft> heading <deg> speed <kt>",
        .parse = parse_place,
        .format = [](LineWriter& out, const Place& s) {
            const flight::Placement& p = s.placement;
            out.word("distance").number(p.distance_nm).word("offset").number(p.offset_nm);
            out.word("altitude").number(p.altitude_ft).word("heading").number(p.heading_deg);
            out.word("speed").number(p.speed_kt);
        },
        .run = run_place,
        .rule = [](FileRules& file, const Place&) {
            file.placed = true;
            return std::string();
        },
    },
    VerbOf<Fly>{
        .name = "fly",
        .usage = "fly <seconds>",
        .parse = parse_fly,
        .format = [](LineWriter& out, const Fly& s) { out.number(s.seconds); },
        .run = [](StepRun& run, const Fly& s) {
            if (run.flight() == nullptr) return run.fail("fly: no aircraft to fly; place it first");
            run.trace(format_step(s));
            run.updates(s.updates(), true);
        },
        .cost = [](const Fly& s) { return StepCost{.updates = s.updates()}; },
        .rule = [](FileRules& file, const Fly&) {
            if (!file.placed) return std::string("fly: no aircraft to fly; place it first");
            if (file.first_fly == 0) file.first_fly = file.line;
            return std::string();
        },
    },
    VerbOf<Set>{
        .name = "set",
        .usage = "set <var> <value>",
        .parse = [](Words& in, Set& s) { return in.var(s.var) && in.value(s.value); },
        .format = [](LineWriter& out, const Set& s) { out.var(s.var).number(s.value); },
        .run = [](StepRun& run, const Set& s) { set_var(run, s.var, s.value); },
        .rule = [](FileRules& file, const Set& s) { return model_rule(file, "set ", {s.var}); },
    },
    VerbOf<Ramp>{
        .name = "ramp",
        .usage = "ramp <var> <from> <to> [<var> <from> <to>]... <n>",
        .parse = parse_ramp,
        .format = [](LineWriter& out, const Ramp& s) {
            for (const RampVar& v : s.vars) out.var(v.var).number(v.from).number(v.to);
            out.integer(s.updates);
        },
        .run = run_ramp,
        .cost = [](const Ramp& s) { return StepCost{.updates = s.updates}; },
        .rule = [](FileRules& file, const Ramp& s) {
            std::vector<int32_t> vars;
            for (const RampVar& v : s.vars) vars.push_back(v.var);
            return model_rule(file, "ramp of ", vars);
        },
    },
    VerbOf<Install>{
        .name = "install",
        .usage = "install <gauge>|all",
        .parse = [](Words& in, Install& s) { return in.gauge(s.gauge, true); },
        .format = [](LineWriter& out, const Install& s) { out.word(s.gauge); },
        .run = [](StepRun& run, const Install& s) {
            for (const std::string& name : gauges_named(run, s.gauge, false)) run.check(run.panel().install(name));
        },
    },
    VerbOf<Update>{
        .name = "update",
        .usage = "update [<n>]",
        .parse = [](Words& in, Update& s) {
            return !in.more() || in.integer(s.updates, "update count", 1, max_updates_per_file);
        },
        .format = [](LineWriter& out, const Update& s) { out.integer(s.updates); },
        .run = [](StepRun& run, const Update& s) { run.updates(s.updates, false); },
        .cost = [](const Update& s) { return StepCost{.updates = s.updates}; },
    },
    VerbOf<Kill>{
        .name = "kill",
        .usage = "kill <gauge>|all",
        .parse = [](Words& in, Kill& s) { return in.gauge(s.gauge, true); },
        .format = [](LineWriter& out, const Kill& s) { out.word(s.gauge); },
        .run = [](StepRun& run, const Kill& s) {
            for (const std::string& name : gauges_named(run, s.gauge, true)) run.check(run.panel().kill(name));
        },
    },
    VerbOf<Click>{
        .name = "click",
        .usage = "click <gauge> <x> <y> [left|right] [repeat <n>], or click <gauge> \"<tooltip>\" [left|right] "
                 "[repeat <n>] [at <dx> <dy>]",
        .parse = parse_click,
        .format = format_click,
        .run = run_click,
        .cost = [](const Click& s) { return StepCost{.presses = 1 + s.repeats}; },
        .rule = [](FileRules& file, const Click&) {
            file.clicked = true;
            return std::string();
        },
    },
    VerbOf<Repeat>{
        .name = "repeat",
        .usage = "repeat [<n>]",
        .parse = [](Words& in, Repeat& s) { return !in.more() || in.integer(s.repeats, "repeat count", 1, max_repeats); },
        .format = [](LineWriter& out, const Repeat& s) {
            if (s.repeats != 1) out.integer(s.repeats);
        },
        .run = run_repeat,
        .cost = [](const Repeat& s) { return StepCost{.presses = s.repeats}; },
        .rule = [](FileRules& file, const Repeat&) {
            return std::string(file.clicked ? "" : "repeat: no click before it holds a button down");
        },
    },
    VerbOf<Fail>{
        .name = "fail",
        .usage = "fail <failure> on|off",
        .parse = parse_fail,
        .format = [](LineWriter& out, const Fail& s) { out.integer(s.key).word(s.on ? "on" : "off"); },
        .run = [](StepRun& run, const Fail& s) {
            run.trace(format_step(s));
            run.panel().set_failure(s.key, s.on);
        },
    },
    VerbOf<Service>{
        .name = "service",
        .usage = "service <gauge> <code> [<extra>]",
        .parse = [](Words& in, Service& s) {
            return in.gauge(s.gauge, false) && in.int32(s.code, "service code") &&
                   (!in.more() || in.uint32(s.extra, "extra value"));
        },
        .format = [](LineWriter& out, const Service& s) {
            out.word(s.gauge).integer(s.code);
            if (s.extra != 0) out.integer(s.extra);
        },
        .run = [](StepRun& run, const Service& s) {
            run.check(run.panel().service(s.gauge, s.code, static_cast<orvane::ServiceExtra>(s.extra)));
        },
    },
    VerbOf<Callback>{
        .name = "callback",
        .usage = "callback <gauge> <index>",
        .parse = [](Words& in, Callback& s) { return in.gauge(s.gauge, false) && in.index(s.index); },
        .format = [](LineWriter& out, const Callback& s) { out.word(s.gauge).index(s.index); },
        .run = [](StepRun& run, const Callback& s) { run.check(run.panel().call_callback(s.gauge, s.index)); },
    },
    VerbOf<ExpectText>{
        .name = "expect text",
        .usage = "expect text <gauge> <index> \"<text>\"",
        .parse = [](Words& in, ExpectText& s) {
            return in.gauge(s.gauge, false) && in.index(s.index) && in.quoted(s.text, "expected text");
        },
        .format = [](LineWriter& out, const ExpectText& s) { out.word(s.gauge).index(s.index).quoted(s.text); },
        .run = check_expectation,
    },
    VerbOf<ExpectVisible>{
        .name = "expect visible",
        .usage = "expect visible <gauge> <index> yes|no",
        .parse = [](Words& in, ExpectVisible& s) {
            return in.gauge(s.gauge, false) && in.index(s.index) && in.either("yes", "no", s.visible);
        },
        .format = [](LineWriter& out, const ExpectVisible& s) {
            out.word(s.gauge).index(s.index).word(s.visible ? "yes" : "no");
        },
        .run = check_expectation,
    },
    VerbOf<ExpectFlags>{
        .name = "expect flags",
        .usage = "expect flags <gauge> <index> <hex>",
        .parse = [](Words& in, ExpectFlags& s) {
            return in.gauge(s.gauge, false) && in.index(s.index) && in.uint32(s.flags, "flags");
        },
        .format = [](LineWriter& out, const ExpectFlags& s) {
            out.word(s.gauge).index(s.index).word(format_hex32(s.flags));
        },
        .run = check_expectation,
    },
    VerbOf<ExpectEvent>{
        .name = "expect event",
        .usage = "expect event <event> [<count>]",
        .parse = parse_expect_event,
        .format = [](LineWriter& out, const ExpectEvent& s) {
            out.event(s.event);
            if (s.count != 1) out.integer(s.count);
        },
        .run = check_expectation,
    },
    VerbOf<ExpectNoEvent>{
        .name = "expect no-event",
        .usage = "expect no-event",
        .parse = [](Words&, ExpectNoEvent&) { return true; },
        .format = [](LineWriter&, const ExpectNoEvent&) {},
        .run = check_expectation,
    },
    VerbOf<ExpectSound>{
        .name = "expect sound",
        .usage = "expect sound <count>",
        .parse = [](Words& in, ExpectSound& s) { return in.integer(s.count, "sound count", 0, INT32_MAX); },
        .format = [](LineWriter& out, const ExpectSound& s) { out.integer(s.count); },
        .run = check_expectation,
    },
    VerbOf<ExpectCursor>{
        .name = "expect cursor",
        .usage = "expect cursor <gauge> <x> <y> <code>",
        .parse = [](Words& in, ExpectCursor& s) {
            return in.gauge(s.gauge, false) && in.point(s.point) && in.int32(s.cursor, "cursor code");
        },
        .format = [](LineWriter& out, const ExpectCursor& s) { out.word(s.gauge).point(s.point).integer(s.cursor); },
        .run = check_expectation,
    },
    VerbOf<ExpectTooltip>{
        .name = "expect tooltip",
        .usage = "expect tooltip <gauge> <x> <y> \"<text>\"",
        .parse = [](Words& in, ExpectTooltip& s) {
            return in.gauge(s.gauge, false) && in.point(s.point) && in.quoted(s.tooltip, "expected tooltip");
        },
        .format = [](LineWriter& out, const ExpectTooltip& s) { out.word(s.gauge).point(s.point).quoted(s.tooltip); },
        .run = check_expectation,
    },
    VerbOf<ExpectVar>{
        .name = "expect var",
        .usage = "expect var <var> <value> [within <t>]",
        .parse = [](Words& in, ExpectVar& s) { return in.var(s.var) && in.expected_value(s.expected); },
        .format = [](LineWriter& out, const ExpectVar& s) { out.var(s.var).expected(s.expected); },
        .run = check_expectation,
    },
    VerbOf<ExpectSlider>{
        .name = "expect slider",
        .usage = slider_usage,
        .parse = [](Words& in, ExpectSlider& s) { return parse_axis(in, s, false); },
        .format = [](LineWriter& out, const ExpectSlider& s) { format_axis(out, s); },
        .run = check_expectation,
    },
    VerbOf<ExpectMoving>{
        .name = "expect moving",
        .usage = slider_usage,
        .parse = [](Words& in, ExpectMoving& s) { return parse_axis(in, s, false); },
        .format = [](LineWriter& out, const ExpectMoving& s) { format_axis(out, s); },
        .run = check_expectation,
    },
    VerbOf<ExpectSprite>{
        .name = "expect sprite",
        .usage = "expect sprite <gauge> <index> x|y|rotation <value> [within <t>]",
        .parse = [](Words& in, ExpectSprite& s) { return parse_axis(in, s, true); },
        .format = [](LineWriter& out, const ExpectSprite& s) { format_axis(out, s); },
        .run = check_expectation,
    },
    VerbOf<ExpectResult>{
        .name = "expect result",
        .usage = "expect result <gauge> <index> <value> [within <t>]",
        .parse = [](Words& in, ExpectResult& s) {
            return in.gauge(s.gauge, false) && in.index(s.index) && in.expected_value(s.expected);
        },
        .format = [](LineWriter& out, const ExpectResult& s) { out.word(s.gauge).index(s.index).expected(s.expected); },
        .run = check_expectation,
    },
    VerbOf<Move>{
        .name = "move",
        .usage = "move <window> gauge<NN> <x> <y>",
        .parse = [](Words& in, Move& s) { return parse_gauge_line(in, s.target) && parse_position(in, s.x, s.y); },
        .format = [](LineWriter& out, const Move& s) {
            format_gauge_line(out, s.target);
            out.integer(s.x).integer(s.y);
        },
        .run = [](StepRun& run, const Move& s) {
            std::string error;
            if (PanelDocument* document = layout_edited(run, s, true)) {
                check_edit(run, s, document->move(s.target, s.x, s.y, &error), error);
            }
        },
        .cost = one_edit<Move>,
    },
    VerbOf<Resize>{
        .name = "resize",
        .usage = "resize <window> gauge<NN> <width> <height>",
        .parse = [](Words& in, Resize& s) {
            return parse_gauge_line(in, s.target) && parse_size(in, s.width, s.height);
        },
        .format = [](LineWriter& out, const Resize& s) {
            format_gauge_line(out, s.target);
            out.integer(s.width).integer(s.height);
        },
        .run = [](StepRun& run, const Resize& s) {
            std::string error;
            if (PanelDocument* document = layout_edited(run, s, true)) {
                check_edit(run, s, document->resize(s.target, s.width, s.height, &error), error);
            }
        },
        .cost = one_edit<Resize>,
    },
    VerbOf<Remove>{
        .name = "remove",
        .usage = "remove <window> gauge<NN>",
        .parse = [](Words& in, Remove& s) { return parse_gauge_line(in, s.target); },
        .format = [](LineWriter& out, const Remove& s) { format_gauge_line(out, s.target); },
        .run = [](StepRun& run, const Remove& s) {
            std::string error;
            if (PanelDocument* document = layout_edited(run, s, true)) {
                check_edit(run, s, document->remove(s.target, &error), error);
            }
        },
        .cost = one_edit<Remove>,
    },
    VerbOf<Add>{
        .name = "add",
        .usage = "add <window> <Module!Gauge> <x> <y> [<width> <height>]",
        .parse = parse_add,
        .format = format_add,
        .run = [](StepRun& run, const Add& s) {
            std::string error;
            if (PanelDocument* document = layout_edited(run, s, true)) {
                check_edit(run, s, document->add(s.window, s.line, nullptr, &error), error);
            }
        },
        .cost = one_edit<Add>,
    },
    VerbOf<Save>{
        .name = "save",
        .usage = "save [force]",
        .parse = [](Words& in, Save& s) {
            s.force = in.keyword("force");
            return true;
        },
        .format = [](LineWriter& out, const Save& s) {
            if (s.force) out.word("force");
        },
        .run = run_save,
    },
};

// A row without its parser, formatter or runner is no verb. Under the address
// sanitizer a function's address is no constant, so only the other builds check.
#if !defined(__SANITIZE_ADDRESS__)
static_assert(std::apply([](const auto&... row) { return ((row.parse && row.format && row.run) && ...); }, verbs));
#endif

// ---- asking the table ----

// Calls f with the step's row and record.
template <typename F>
auto with_row(const Step& step, F&& f) {
    return std::visit(
        [&](const auto& record) { return f(std::get<VerbOf<std::decay_t<decltype(record)>>>(verbs), record); }, step);
}

template <typename F>
void for_each_row(F&& f) {
    std::apply([&](const auto&... row) { (f(row), ...); }, verbs);
}

constexpr std::string_view expect_prefix = "expect ";

// The verbs a line may start with, or the expectations after "expect".
std::string names_listed(bool expectations) {
    std::string list;
    for_each_row([&](const auto& row) {
        if (row.name.starts_with(expect_prefix) != expectations) return;
        if (!list.empty()) list += ", ";
        list += expectations ? row.name.substr(expect_prefix.size()) : row.name;
    });
    return expectations ? list : list + ", expect";
}

}  // namespace

std::string parse_tokens(const std::vector<Token>& tokens, Step& step) {
    Words in(tokens);
    std::string name;
    if (!in.word(name, "step")) return in.error();
    if (name == "expect") {
        in.set_usage("expect <what> ...");
        std::string what;
        if (!in.word(what, "what to expect")) return in.error();
        name += " " + what;
    }
    bool found = false;
    for_each_row([&](const auto& row) {
        if (found || row.name != name) return;
        found = true;
        in.set_usage(row.usage);
        if (row.parse(in, step.emplace<typename std::decay_t<decltype(row)>::Record>())) in.done();
    });
    if (!found && name.starts_with(expect_prefix)) {
        in.fail("unknown expectation: " + name.substr(expect_prefix.size()), names_listed(true));
    } else if (!found) {
        in.fail("unknown step: " + name, names_listed(false));
    }
    return in.error();
}

std::string check_rules(FileRules& file, const Step& step) {
    return with_row(step, [&](const auto& row, const auto& record) {
        return row.rule != nullptr ? row.rule(file, record) : std::string();
    });
}

const std::string* step_gauge(const Step& step) {
    return with_row(step, [](const auto&, const auto& record) -> const std::string* {
        if constexpr (requires { record.gauge; }) {
            return &record.gauge;
        } else {
            return nullptr;
        }
    });
}

void run_verb(StepRun& run, const Step& step) {
    with_row(step, [&](const auto& row, const auto& record) { row.run(run, record); });
}

StepCost step_cost(const Step& step) {
    return with_row(step, [](const auto& row, const auto& record) {
        return row.cost != nullptr ? row.cost(record) : StepCost{};
    });
}

std::string format_step(const Step& step) {
    return with_row(step, [](const auto& row, const auto& record) {
        LineWriter out(row.name);
        row.format(out, record);
        return out.text();
    });
}

std::string_view verb_name(const Step& step) {
    return with_row(step, [](const auto& row, const auto&) { return row.name; });
}

std::vector<std::string_view> verb_names() {
    std::vector<std::string_view> names;
    for_each_row([&](const auto& row) { names.push_back(row.name); });
    return names;
}

}  // namespace panelhost
