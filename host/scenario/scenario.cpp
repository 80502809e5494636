#include "host/scenario/scenario.h"

#include <bit>
#include <cmath>
#include <limits>
#include <utility>

#include "host/base/files.h"
#include "host/base/text_format.h"
#include "host/base/text_lines.h"
#include "host/flight/flight.h"
#include "host/panel/trace.h"
#include "host/services/chain.h"
#include "host/services/names.h"

namespace panelhost {

bool ExpectedValue::matches(double actual) const {
    if (exact_bits) return std::bit_cast<uint64_t>(actual) == std::bit_cast<uint64_t>(value);
    if (std::isnan(value)) return std::isnan(actual);
    if (actual == value) return true;
    return tolerance.has_value() && std::fabs(actual - value) <= *tolerance;
}

namespace {

// ---- reading lines ----

struct Token {
    std::string text;
    bool quoted = false;
};

bool is_blank(char c) { return c == ' ' || c == '\t'; }

constexpr const char* escapes_allowed = "\\\" \\\\ \\n \\t \\r \\0 \\xHH";

// Splits a line into words and quoted texts, up to a # outside quotes.
std::string tokenize(std::string_view line, std::vector<Token>& tokens) {
    size_t i = 0;
    while (i < line.size()) {
        if (is_blank(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#') break;
        Token token;
        if (line[i] == '"') {
            size_t end = i + 1;
            while (end < line.size() && line[end] != '"') end += line[end] == '\\' ? 2 : 1;
            if (end >= line.size()) return "a quoted text has no closing quote (a text ends at its second \")";
            if (std::string error = unescape_text(line.substr(i + 1, end - i - 1), token.text); !error.empty()) {
                return error + " (the escapes " + escapes_allowed + ")";
            }
            token.quoted = true;
            i = end + 1;
            if (i < line.size() && !is_blank(line[i]) && line[i] != '#') {
                return "a quoted text runs into a word (a blank after the closing quote)";
            }
        } else {
            const size_t start = i;
            while (i < line.size() && !is_blank(line[i]) && line[i] != '#') {
                if (line[i] == '"') return "a quote inside a word (a text stands in quotes of its own)";
                ++i;
            }
            token.text = std::string(line.substr(start, i - start));
        }
        tokens.push_back(std::move(token));
    }
    return {};
}

// A click holds the button this many repeats at most.
constexpr int64_t max_repeats = 100000;
// A fly step lasts at most this long, a round bound within a file's updates.
constexpr double max_fly_seconds = 5000.0;
static_assert(max_fly_seconds * flight::steps_per_second <= max_updates_per_file);

constexpr const char* steps_allowed =
    "aircraft, place, fly, set, ramp, install, update, kill, click, fail, service, callback, expect";
constexpr const char* expectations_allowed =
    "text, visible, flags, event, no-event, sound, cursor, tooltip, var, slider, moving, sprite, result";
constexpr const char* values_allowed = "a number, nan, inf, -inf, or 0x and 16 hex digits";

// How each step is written, said with a mistake in it.
const char* usage_of(std::string_view verb, std::string_view what) {
    if (verb == "aircraft") return "aircraft on|off";
    if (verb == "place") return "place distance <nm> [offset <nm>] altitude <ft> heading <deg> speed <kt>";
    if (verb == "fly") return "fly <seconds>";
    if (verb == "set") return "set <var> <value>";
    if (verb == "ramp") return "ramp <var> <from> <to> [<var> <from> <to>]... <n>";
    if (verb == "install") return "install <gauge>|all";
    if (verb == "update") return "update [<n>]";
    if (verb == "kill") return "kill <gauge>|all";
    if (verb == "click") {
        return "click <gauge> <x> <y> [left|right] [repeat <n>], or click <gauge> \"<tooltip>\" [left|right] "
               "[repeat <n>] [at <dx> <dy>]";
    }
    if (verb == "fail") return "fail <failure> on|off";
    if (verb == "service") return "service <gauge> <code> [<extra>]";
    if (verb == "callback") return "callback <gauge> <index>";
    if (what == "text") return "expect text <gauge> <index> \"<text>\"";
    if (what == "visible") return "expect visible <gauge> <index> yes|no";
    if (what == "flags") return "expect flags <gauge> <index> <hex>";
    if (what == "event") return "expect event <event> [<count>]";
    if (what == "no-event") return "expect no-event";
    if (what == "sound") return "expect sound <count>";
    if (what == "cursor") return "expect cursor <gauge> <x> <y> <code>";
    if (what == "tooltip") return "expect tooltip <gauge> <x> <y> \"<text>\"";
    if (what == "var") return "expect var <var> <value> [within <t>]";
    if (what == "slider" || what == "moving") return "expect slider|moving <gauge> <index> x|y <value> [within <t>]";
    if (what == "sprite") return "expect sprite <gauge> <index> x|y|rotation <value> [within <t>]";
    if (what == "result") return "expect result <gauge> <index> <value> [within <t>]";
    return "expect <what> ...";
}

// Reads the tokens of one line into a step; the first error wins.
class LineParser {
public:
    LineParser(const std::vector<Token>& tokens, Step& step) : tokens_(tokens), step_(step) {}

    std::string parse();

private:
    bool more() const { return next_ < tokens_.size(); }
    const Token* peek() const { return more() ? &tokens_[next_] : nullptr; }
    // A mistake and what would have been right.
    bool fail(const std::string& message, const std::string& allowed) {
        if (error_.empty()) error_ = message + " (" + allowed + ")";
        return false;
    }
    bool fail(const std::string& message) { return fail(message, usage_); }
    bool word(std::string& out, const char* what) {
        if (!more()) return fail("missing " + std::string(what));
        const Token& token = tokens_[next_++];
        if (token.quoted) return fail(std::string(what) + " must not be quoted", "a word, not a text in quotes");
        out = token.text;
        return true;
    }
    bool quoted(std::string& out, const char* what) {
        if (!more()) return fail("missing " + std::string(what));
        const Token& token = tokens_[next_++];
        if (!token.quoted) return fail(std::string(what) + " must be in double quotes", "\"...\"");
        out = token.text;
        return true;
    }
    bool integer(int64_t& out, const char* what, int64_t low, int64_t high) {
        std::string text;
        if (!word(text, what)) return false;
        const std::string range = std::to_string(low) + " to " + std::to_string(high);
        const auto value = parse_integer(text);
        if (!value && integer_syntax(text)) return fail(std::string(what) + " " + text + " is out of range", range);
        if (!value) return fail(std::string(what) + " is not a whole number: " + text, "a whole number, " + range);
        if (*value < low || *value > high) return fail(std::string(what) + " " + text + " is out of range", range);
        out = *value;
        return true;
    }
    bool keyword(const char* expected) {
        if (!more() || tokens_[next_].quoted || tokens_[next_].text != expected) return false;
        ++next_;
        return true;
    }
    bool gauge(bool all_allowed) {
        if (!word(step_.gauge, "gauge name")) return false;
        if (step_.gauge == "all" && !all_allowed) return fail("\"all\" is not allowed here", "one gauge's name");
        return true;
    }
    bool var() { return var(step_.var); }
    bool var(int32_t& out) {
        std::string text;
        if (!word(text, "host variable")) return false;
        const auto id = host_var_id(text);
        if (!id) return fail("unknown host variable: " + text, "a variable's number or its name, as AIRSPEED_HOLD");
        out = *id;
        return true;
    }
    bool value(double& out, bool* exact_bits = nullptr) {
        std::string text;
        if (!word(text, "value")) return false;
        if (std::string error = parse_value(text, out); !error.empty()) return fail(error, values_allowed);
        if (exact_bits != nullptr) *exact_bits = text.starts_with("0x") || text.starts_with("0X");
        return true;
    }
    bool expected_value() {
        if (!value(step_.expected.value, &step_.expected.exact_bits)) return false;
        if (keyword("within")) {
            double tolerance = 0.0;
            if (!value(tolerance)) return false;
            if (!(tolerance >= 0.0)) return fail("a tolerance must be 0 or more", "a number from 0 up");
            step_.expected.tolerance = tolerance;
        }
        return true;
    }
    bool index() {
        int64_t n = 0;
        if (!integer(n, "element index", 0, static_cast<int64_t>(max_chain_length))) return false;
        step_.index = static_cast<size_t>(n);
        return true;
    }
    bool point(orvane::PixPoint& out) {
        int64_t x = 0;
        int64_t y = 0;
        if (!integer(x, "x", INT32_MIN, INT32_MAX) || !integer(y, "y", INT32_MIN, INT32_MAX)) return false;
        out = {static_cast<int32_t>(x), static_cast<int32_t>(y)};
        return true;
    }
    bool on_off(const char* yes, const char* no) {
        const std::string allowed = std::string(yes) + " or " + no;
        std::string text;
        if (!word(text, allowed.c_str())) return false;
        if (text != yes && text != no) return fail("expected " + allowed + ", not " + text, usage_);
        step_.on = text == yes;
        return true;
    }
    bool axis(bool rotation_allowed) {
        std::string text;
        if (!word(text, "axis")) return false;
        if (text == "x") {
            step_.axis = 0;
        } else if (text == "y") {
            step_.axis = 1;
        } else if (text == "rotation" && rotation_allowed) {
            step_.axis = 2;
        } else {
            return fail("unknown axis: " + text, rotation_allowed ? "x, y or rotation" : "x or y");
        }
        return true;
    }
    bool click_options();
    bool expect();
    bool place();
    bool fly();
    bool named_value(const char* name, double& out) {
        if (!keyword(name)) {
            return fail(std::string("expected ") + name + (more() ? ", not " + tokens_[next_].text : std::string()));
        }
        return value(out);
    }
    bool done() {
        if (more()) return fail("unexpected " + (tokens_[next_].quoted ? "text" : tokens_[next_].text));
        return true;
    }

    const std::vector<Token>& tokens_;
    Step& step_;
    size_t next_ = 0;
    std::string error_;
    std::string usage_ = "a step";
};

bool LineParser::click_options() {
    while (more()) {
        if (keyword("left")) {
            step_.button = Button::left;
        } else if (keyword("right")) {
            step_.button = Button::right;
        } else if (keyword("repeat")) {
            if (!integer(step_.count, "repeat count", 0, max_repeats)) return false;
        } else if (step_.by_tooltip && keyword("at")) {
            orvane::PixPoint at{};
            if (!point(at)) return false;
            step_.at = at;
        } else {
            return done();
        }
    }
    return true;
}

bool LineParser::place() {
    flight::Placement& p = step_.placement;
    if (!named_value("distance", p.distance_nm)) return false;
    if (keyword("offset") && !value(p.offset_nm)) return false;
    if (!named_value("altitude", p.altitude_ft) || !named_value("heading", p.heading_deg) ||
        !named_value("speed", p.speed_kt)) {
        return false;
    }
    if (const std::string problem = flight::placement_problem(p); !problem.empty()) return fail("place: " + problem);
    return true;
}

bool LineParser::fly() {
    if (!value(step_.value)) return false;
    if (!(step_.value > 0.0) || step_.value > max_fly_seconds) {
        return fail("fly: " + format_number(step_.value) + " s is outside 0 (excluded) to " +
                    format_number(max_fly_seconds) + " s");
    }
    step_.count = flight_steps(step_.value);
    if (step_.count < 1) {
        return fail("fly: " + format_number(step_.value) + " s is shorter than one step of the flight model (1/" +
                    format_number(flight::steps_per_second) + " s)");
    }
    return true;
}

bool LineParser::expect() {
    std::string what;
    if (!word(what, "what to expect")) return false;
    usage_ = usage_of("expect", what);
    if (what == "text") {
        step_.kind = StepKind::expect_text;
        return gauge(false) && index() && quoted(step_.text, "expected text") && done();
    }
    if (what == "visible") {
        step_.kind = StepKind::expect_visible;
        return gauge(false) && index() && on_off("yes", "no") && done();
    }
    if (what == "flags") {
        step_.kind = StepKind::expect_flags;
        int64_t flags = 0;
        if (!gauge(false) || !index() || !integer(flags, "flags", 0, UINT32_MAX)) return false;
        step_.flags = static_cast<uint32_t>(flags);
        return done();
    }
    if (what == "event") {
        step_.kind = StepKind::expect_event;
        std::string text;
        if (!word(text, "key event")) return false;
        const auto id = key_event_id(text);
        if (!id) return fail("unknown key event: " + text, "an event's number or its name, as KEY_AP_MASTER_SWITCH");
        step_.event = *id;
        step_.count = 1;
        if (more() && !integer(step_.count, "event count", 0, INT32_MAX)) return false;
        return done();
    }
    if (what == "no-event") {
        step_.kind = StepKind::expect_no_event;
        return done();
    }
    if (what == "sound") {
        step_.kind = StepKind::expect_sound;
        return integer(step_.count, "sound count", 0, INT32_MAX) && done();
    }
    if (what == "cursor") {
        step_.kind = StepKind::expect_cursor;
        int64_t code = 0;
        if (!gauge(false) || !point(step_.point) || !integer(code, "cursor code", INT32_MIN, INT32_MAX)) return false;
        step_.code = static_cast<int32_t>(code);
        return done();
    }
    if (what == "tooltip") {
        step_.kind = StepKind::expect_tooltip;
        return gauge(false) && point(step_.point) && quoted(step_.text, "expected tooltip") && done();
    }
    if (what == "var") {
        step_.kind = StepKind::expect_var;
        return var() && expected_value() && done();
    }
    if (what == "slider" || what == "moving" || what == "sprite") {
        step_.kind = what == "slider"   ? StepKind::expect_slider
                     : what == "moving" ? StepKind::expect_moving
                                        : StepKind::expect_sprite;
        return gauge(false) && index() && axis(what == "sprite") && expected_value() && done();
    }
    if (what == "result") {
        step_.kind = StepKind::expect_result;
        return gauge(false) && index() && expected_value() && done();
    }
    return fail("unknown expectation: " + what, expectations_allowed);
}

std::string LineParser::parse() {
    std::string verb;
    word(verb, "step");
    usage_ = usage_of(verb, "");
    bool ok = error_.empty();
    if (!ok) {
    } else if (verb == "aircraft") {
        step_.kind = StepKind::aircraft;
        ok = on_off("on", "off") && done();
    } else if (verb == "place") {
        step_.kind = StepKind::place;
        ok = place() && done();
    } else if (verb == "fly") {
        step_.kind = StepKind::fly;
        ok = fly() && done();
    } else if (verb == "set") {
        step_.kind = StepKind::set;
        ok = var() && value(step_.value) && done();
    } else if (verb == "ramp") {
        step_.kind = StepKind::ramp;
        ok = var() && value(step_.value) && value(step_.to);
        // Further variables move along in threes (variable, from, to) before the count.
        while (ok && tokens_.size() - next_ > 1) {
            RampVar more;
            ok = var(more.var) && value(more.from) && value(more.to);
            if (ok) step_.more_ramps.push_back(more);
        }
        ok = ok && integer(step_.count, "update count", 1, max_updates_per_file) && done();
    } else if (verb == "install" || verb == "kill") {
        step_.kind = verb == "install" ? StepKind::install : StepKind::kill;
        ok = gauge(true) && done();
    } else if (verb == "update") {
        step_.kind = StepKind::update;
        step_.count = 1;
        ok = (!more() || integer(step_.count, "update count", 1, max_updates_per_file)) && done();
    } else if (verb == "service") {
        step_.kind = StepKind::service;
        int64_t code = 0;
        int64_t extra = 0;
        ok = gauge(false) && integer(code, "service code", INT32_MIN, INT32_MAX) &&
             (!more() || integer(extra, "extra value", 0, UINT32_MAX)) && done();
        step_.code = static_cast<int32_t>(code);
        step_.extra = static_cast<uint64_t>(extra);
    } else if (verb == "click") {
        step_.kind = StepKind::click;
        step_.count = 0;
        ok = gauge(false);
        if (ok && peek() != nullptr && peek()->quoted) {
            step_.by_tooltip = true;
            ok = quoted(step_.text, "tooltip");
        } else if (ok) {
            ok = point(step_.point);
        }
        ok = ok && click_options();
    } else if (verb == "repeat") {
        // Repeats of the button the last click holds down.
        step_.kind = StepKind::repeat;
        step_.count = 1;
        ok = (!more() || integer(step_.count, "repeat count", 1, max_repeats)) && done();
    } else if (verb == "fail") {
        step_.kind = StepKind::fail;
        std::string text;
        ok = word(text, "failure key");
        if (ok) {
            const auto key = failure_key(text);
            ok = key.has_value() ||
                 fail("unknown failure key: " + text,
                      "a number, FAIL_SYSTEM_VACUUM, FAIL_GAUGE_ATTITUDE or FAIL_SYSTEM_ELECTRICAL_PANELS");
            if (key) step_.code = *key;
        }
        ok = ok && on_off("on", "off") && done();
    } else if (verb == "callback") {
        step_.kind = StepKind::callback;
        ok = gauge(false) && index() && done();
    } else if (verb == "expect") {
        ok = expect();
    } else {
        fail("unknown step: " + verb, steps_allowed);
    }
    return error_;
}

// ---- running ----

std::string set_line(int32_t var, double value) {
    std::string text = "set " + std::to_string(var);
    const std::string name = host_var_label(var);
    if (!name.empty()) text += " " + name;
    return text + " " + format_number(value);
}

std::string event_text(uint32_t id) {
    const std::string name = key_event_label(id);
    return name.empty() ? std::to_string(id) : name;
}

std::string expected_text(const ExpectedValue& expected) {
    std::string text = format_number(expected.value);
    if (expected.tolerance) text += " within " + format_number(*expected.tolerance);
    return text;
}

}  // namespace

class ScenarioRun::Runner {
public:
    Runner(std::string file, Panel& panel, HostServices& host, Trace* trace, UpdateObserver after_update)
        : file_(std::move(file)),
          panel_(panel),
          host_(host),
          trace_(trace),
          after_update_(std::move(after_update)),
          events_seen_(host.key_events().size()) {}

    void run(const Step& step) {
        if (!stopped_.empty()) return;
        execute(step);
        collect(step.line);
        trace_within_bound(step);
    }

    void frame(int line) {
        if (!stopped_.empty()) return;
        Step step;
        step.kind = flight_ ? StepKind::fly : StepKind::update;
        step.line = line;
        step.count = 1;
        update(step, 0);
        collect(line);
    }

    const Flight* flight() const { return flight_ ? &*flight_ : nullptr; }

    std::vector<std::string> take_failures() { return std::exchange(failures_, {}); }

    const std::string& stopped() const { return stopped_; }

    RunOutcome finish() {
        for (const std::string& name : panel_.installed_names()) panel_.kill(name);
        collect(0);
        return {std::move(failures_), stopped_};
    }

private:
    struct PendingEvent {
        uint32_t id;
        int line;
    };

    void fail(const Step& step, const std::string& message) {
        failures_.push_back(file_ + ":" + std::to_string(step.line) + ": " + message);
    }

    void check(const Step& step, const Status& status) {
        if (!status.ok()) fail(step, status.error);
    }

    // Takes the key events and faults of the step at this line (0: the end of the run).
    void collect(int line) {
        const auto& events = host_.key_events();
        const std::string where = line > 0 ? std::to_string(line) : "end";
        for (; events_seen_ < events.size(); ++events_seen_) pending_.push_back({events[events_seen_].id, line});
        for (const std::string& fault : panel_.take_faults()) {
            failures_.push_back(file_ + ":" + where + ": " + fault);
        }
    }

    // Every update cycle of a run is made here, a fly step's with its step of
    // the flight model, and charged here against the file's bounds. False
    // when the run must stop.
    bool update(const Step& step, int64_t cycle) {
        if (!stopped_.empty()) return false;
        if (updates_run_ == max_updates_per_file) {
            stop(step, "the file runs more than " + std::to_string(max_updates_per_file) + " update cycles (at most " +
                           std::to_string(max_updates_per_file) + " a file)");
            return false;
        }
        ++updates_run_;
        if (step.kind == StepKind::fly) {
            fly_frame(*flight_, host_, panel_, trace_);
        } else {
            panel_.update();
        }
        if (after_update_) after_update_(step, cycle);
        return trace_within_bound(step);
    }

    // Charges a click and its repeats, or a held button's repeats, against
    // the file's bound. False when the run must stop.
    bool press(const Step& step, int64_t presses) {
        if (presses_run_ + presses > max_presses_per_file) {
            stop(step, "the file makes more than " + std::to_string(max_presses_per_file) +
                           " clicks and repeats (at most " + std::to_string(max_presses_per_file) + " a file)");
            return false;
        }
        presses_run_ += presses;
        return true;
    }

    bool trace_within_bound(const Step& step) {
        if (trace_ == nullptr || trace_->text().size() <= max_trace_bytes) return true;
        stop(step, "the trace passes " + std::to_string(max_trace_bytes) + " bytes here (at most " +
                       std::to_string(max_trace_bytes) + " a file)");
        return false;
    }

    void stop(const Step& step, const std::string& message) {
        if (stopped_.empty()) stopped_ = file_ + ":" + std::to_string(step.line) + ": " + message;
    }

    void trace(const std::string& text) {
        if (trace_ != nullptr) trace_->line(0, text);
    }

    void set_var(int32_t var, double value) {
        trace(set_line(var, value));
        host_.set_var(var, value);
    }

    std::vector<std::string> gauges_for(const Step& step) {
        if (step.gauge != "all") return {step.gauge};
        if (step.kind == StepKind::kill) return panel_.installed_names();
        std::vector<std::string> names;
        for (const orvane::GaugeHeader* g : panel_.gauges()) names.emplace_back(g->gauge_name);
        return names;
    }

    std::string pending_text() const {
        if (pending_.empty()) return "none";
        std::string text;
        for (const PendingEvent& event : pending_) {
            if (!text.empty()) text += ", ";
            text += event_text(event.id) + " (line " + std::to_string(event.line) + ")";
        }
        return text;
    }

    void execute(const Step& step);
    void expect_event(const Step& step);
    void expect_axis(const Step& step, int32_t kind, const char* what);

    std::string file_;
    Panel& panel_;
    HostServices& host_;
    Trace* trace_;
    UpdateObserver after_update_;
    size_t events_seen_;
    std::vector<PendingEvent> pending_;
    std::vector<std::string> failures_;
    std::optional<Flight> flight_;  // from the first place on
    std::string stopped_;
    int64_t updates_run_ = 0;
    int64_t presses_run_ = 0;
    // Where the last click pressed its button, which stays down for repeats.
    struct HeldButton {
        std::string gauge;
        orvane::PixPoint point;
        Button button;
    };
    std::optional<HeldButton> held_;
};

void ScenarioRun::Runner::expect_event(const Step& step) {
    int64_t count = 0;
    std::vector<PendingEvent> rest;
    for (const PendingEvent& event : pending_) {
        if (event.id == step.event) {
            ++count;
        } else {
            rest.push_back(event);
        }
    }
    if (count != step.count) {
        fail(step, "expect event " + event_text(step.event) + ": expected " + std::to_string(step.count) +
                       ", actual " + std::to_string(count) + " (pending: " + pending_text() + ")");
    }
    pending_ = std::move(rest);
}

void ScenarioRun::Runner::expect_axis(const Step& step, int32_t kind, const char* what) {
    const ElementState* state = nullptr;
    if (Status status = panel_.element_state(step.gauge, step.index, state); !status.ok()) {
        return fail(step, status.error);
    }
    const std::string label = std::string("expect ") + what + " " + step.gauge + " " + std::to_string(step.index);
    if (kind >= 0 && state->element->element_type != kind) {
        return fail(step, label + ": the element is a " + element_kind_name(state->element->element_type));
    }
    std::optional<double> actual;
    if (kind < 0) {
        actual = state->result;
    } else {
        actual = state->axis[step.axis];
    }
    if (!actual) return fail(step, label + ": expected " + expected_text(step.expected) + ", but no callback ran");
    if (!step.expected.matches(*actual)) {
        fail(step, label + ": expected " + expected_text(step.expected) + ", actual " + format_number(*actual));
    }
}

void ScenarioRun::Runner::execute(const Step& step) {
    switch (step.kind) {
    case StepKind::aircraft:
        trace(step.on ? "aircraft on" : "aircraft off");
        panel_.set_aircraft_model(step.on);
        break;
    case StepKind::place: {
        const flight::Placement& p = step.placement;
        trace("place distance " + format_number(p.distance_nm) + " offset " + format_number(p.offset_nm) +
              " altitude " + format_number(p.altitude_ft) + " heading " + format_number(p.heading_deg) + " speed " +
              format_number(p.speed_kt));
        if (flight_) {
            flight_->place(p);
        } else {
            flight_.emplace(p);
        }
        // A flying aircraft answers its key events.
        panel_.set_aircraft_model(true);
        flight_->write(host_);
        if (trace_ != nullptr) trace_->line(1, flight_->describe());
        break;
    }
    case StepKind::fly:
        trace("fly " + format_number(step.value));
        for (int64_t i = 0; i < step.count; ++i) {
            if (!update(step, i)) break;
        }
        break;
    case StepKind::set: set_var(step.var, step.value); break;
    case StepKind::ramp:
        for (int64_t i = 0; i < step.count; ++i) {
            const bool last = i + 1 == step.count;
            const double fraction =
                step.count == 1 ? 1.0 : static_cast<double>(i) / static_cast<double>(step.count - 1);
            set_var(step.var, last ? step.to : step.value + (step.to - step.value) * fraction);
            for (const RampVar& more : step.more_ramps) {
                set_var(more.var, last ? more.to : more.from + (more.to - more.from) * fraction);
            }
            if (!update(step, i)) break;
        }
        break;
    case StepKind::install:
        for (const std::string& name : gauges_for(step)) check(step, panel_.install(name));
        break;
    case StepKind::update:
        for (int64_t i = 0; i < step.count; ++i) {
            if (!update(step, i)) break;
        }
        break;
    case StepKind::kill:
        for (const std::string& name : gauges_for(step)) check(step, panel_.kill(name));
        break;
    case StepKind::service:
        check(step, panel_.service(step.gauge, step.code, static_cast<orvane::ServiceExtra>(step.extra)));
        break;
    case StepKind::click: {
        orvane::PixPoint point = step.point;
        if (step.by_tooltip) {
            const orvane::GaugeHeader* g = panel_.gauge(step.gauge);
            const auto area = g != nullptr ? find_area(g->mouse_rect, step.text) : std::nullopt;
            if (!area) return fail(step, step.gauge + " has no area with the tooltip " + quote_text(step.text));
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
                return fail(step, "the point " + std::to_string(x) + " " + std::to_string(y) +
                                      " lies outside the gauge's pixels (each from " + std::to_string(INT32_MIN) +
                                      " to " + std::to_string(INT32_MAX) + ")");
            }
            point = {static_cast<int32_t>(x), static_cast<int32_t>(y)};
        }
        if (!press(step, 1 + step.count)) return;
        const Status status = panel_.click(step.gauge, point, step.button, static_cast<int>(step.count));
        if (status.ok()) held_ = HeldButton{step.gauge, point, step.button};
        check(step, status);
        break;
    }
    case StepKind::repeat:
        if (!held_) return fail(step, "repeat: no button is held; no click has been made");
        if (!press(step, step.count)) return;
        check(step, panel_.repeat(held_->gauge, held_->point, held_->button, static_cast<int>(step.count)));
        break;
    case StepKind::fail:
        trace("fail " + std::to_string(step.code) + (step.on ? " on" : " off"));
        panel_.set_failure(step.code, step.on);
        break;
    case StepKind::callback: check(step, panel_.call_callback(step.gauge, step.index)); break;
    case StepKind::expect_text: {
        const ElementState* state = nullptr;
        if (Status status = panel_.element_state(step.gauge, step.index, state); !status.ok()) {
            return fail(step, status.error);
        }
        const std::string label = "expect text " + step.gauge + " " + std::to_string(step.index);
        if (!state->text) return fail(step, label + ": the element is not a text");
        const std::string actual = state->text->str();
        if (actual != step.text) {
            fail(step, label + ": expected " + quote_text(step.text) + ", actual " + quote_text(actual));
        }
        break;
    }
    case StepKind::expect_visible: {
        orvane::ElementHeader* element = nullptr;
        if (Status status = panel_.element(step.gauge, step.index, element); !status.ok()) {
            return fail(step, status.error);
        }
        const bool drawn = panel_.drawn(*element);
        if (drawn != step.on) {
            std::string why;
            if ((element->image_flags & orvane::IMAGE_HIDDEN) != 0) why = " (hide bit set)";
            if (failure_stops_drawing(element->failure_systems, panel_.active_failures())) why += " (failure)";
            fail(step, "expect visible " + step.gauge + " " + std::to_string(step.index) + ": expected " +
                           (step.on ? "yes" : "no") + ", actual " + (drawn ? "yes" : "no") + why);
        }
        break;
    }
    case StepKind::expect_flags: {
        orvane::ElementHeader* element = nullptr;
        if (Status status = panel_.element(step.gauge, step.index, element); !status.ok()) {
            return fail(step, status.error);
        }
        if (element->image_flags != step.flags) {
            fail(step, "expect flags " + step.gauge + " " + std::to_string(step.index) + ": expected " +
                           format_hex32(step.flags) + ", actual " + format_hex32(element->image_flags));
        }
        break;
    }
    case StepKind::expect_event: expect_event(step); break;
    case StepKind::expect_no_event:
        if (!pending_.empty()) fail(step, "expect no-event: actual " + pending_text());
        pending_.clear();
        break;
    case StepKind::expect_sound:
        if (panel_.sound_plays() != step.count) {
            fail(step, "expect sound: expected " + std::to_string(step.count) + ", actual " +
                           std::to_string(panel_.sound_plays()));
        }
        break;
    case StepKind::expect_cursor: {
        const int32_t cursor = panel_.probe(step.gauge, step.point).cursor;
        if (cursor != step.code) {
            fail(step, "expect cursor " + step.gauge + " " + std::to_string(step.point.x) + " " +
                           std::to_string(step.point.y) + ": expected " + std::to_string(step.code) + ", actual " +
                           std::to_string(cursor));
        }
        break;
    }
    case StepKind::expect_tooltip: {
        const std::string tooltip = panel_.probe(step.gauge, step.point).tooltip;
        if (tooltip != step.text) {
            fail(step, "expect tooltip " + step.gauge + " " + std::to_string(step.point.x) + " " +
                           std::to_string(step.point.y) + ": expected " + quote_text(step.text) + ", actual " +
                           quote_text(tooltip));
        }
        break;
    }
    case StepKind::expect_var: {
        const double actual = host_.var(step.var);
        if (!step.expected.matches(actual)) {
            fail(step, "expect var " + std::to_string(step.var) + ": expected " + expected_text(step.expected) +
                           ", actual " + format_number(actual));
        }
        break;
    }
    case StepKind::expect_slider: expect_axis(step, orvane::ELEMENT_SLIDER, "slider"); break;
    case StepKind::expect_moving: expect_axis(step, orvane::ELEMENT_MOVING_IMAGE, "moving"); break;
    case StepKind::expect_sprite: expect_axis(step, orvane::ELEMENT_SPRITE, "sprite"); break;
    case StepKind::expect_result: expect_axis(step, -1, "result"); break;
    }
}

namespace {

// The caption of a "# moment: <caption>" line, or nothing.
std::optional<std::string> moment_caption(std::string_view line) {
    constexpr std::string_view marker = "# moment:";
    while (!line.empty() && is_blank(line.front())) line.remove_prefix(1);
    if (!line.starts_with(marker)) return std::nullopt;
    line.remove_prefix(marker.size());
    while (!line.empty() && is_blank(line.front())) line.remove_prefix(1);
    while (!line.empty() && is_blank(line.back())) line.remove_suffix(1);
    return std::string(line);
}

// Once the aircraft flies, the model alone moves what it drives.
std::string flight_error(const Step& step, bool placed, int first_fly) {
    if (step.kind == StepKind::fly && !placed) return "fly: no aircraft to fly; place it first";
    if (first_fly == 0 || (step.kind != StepKind::set && step.kind != StepKind::ramp)) return {};
    std::vector<int32_t> vars = {step.var};
    for (const RampVar& more : step.more_ramps) vars.push_back(more.var);
    for (const int32_t var : vars) {
        if (!model_drives(var)) continue;
        std::string name = host_var_label(var);
        name = name.empty() ? std::to_string(var) : name + " (" + std::to_string(var) + ")";
        return std::string(step.kind == StepKind::set ? "set " : "ramp of ") + name +
               ": the flight model drives it since the first fly (line " + std::to_string(first_fly) +
               "); only the lines before that may set it";
    }
    return {};
}

}  // namespace

std::vector<std::string> parse_scenario(std::string_view text, Scenario& scenario) {
    std::vector<std::string> errors;
    scenario.steps.clear();
    scenario.moments.clear();
    scenario.updates = 0;
    scenario.presses = 0;
    bool placed = false;
    bool clicked = false;
    int first_fly = 0;
    auto error = [&](int line, const std::string& message) {
        errors.push_back(scenario.file + ":" + std::to_string(line) + ": " + message);
    };
    for (const TextLine& line : text_lines(text)) {
        if (const std::string problem = control_byte_problem(line.text); !problem.empty()) {
            error(line.number, problem + " (a scenario is text: no control bytes but tabs)");
            continue;
        }
        if (std::optional<std::string> caption = moment_caption(line.text)) {
            scenario.moments.push_back({line.number, std::move(*caption)});
            continue;
        }
        std::vector<Token> tokens;
        std::string problem = tokenize(line.text, tokens);
        if (problem.empty() && tokens.empty()) continue;
        Step step;
        step.line = line.number;
        if (problem.empty()) problem = LineParser(tokens, step).parse();
        if (problem.empty()) problem = flight_error(step, placed, first_fly);
        if (problem.empty() && step.kind == StepKind::repeat && !clicked) {
            problem = "repeat: no click before it holds a button down";
        }
        if (problem.empty() && step.kind == StepKind::click) clicked = true;
        if (problem.empty() && step.kind == StepKind::place) placed = true;
        if (problem.empty() && step.kind == StepKind::fly && first_fly == 0) first_fly = line.number;
        if (!problem.empty()) {
            error(line.number, problem);
            continue;
        }
        // What the file asks for, told at the line that passes a bound.
        const bool updates_panel =
            step.kind == StepKind::update || step.kind == StepKind::ramp || step.kind == StepKind::fly;
        const int64_t updates = updates_panel ? step.count : 0;
        const int64_t presses = step.kind == StepKind::click    ? 1 + step.count
                                 : step.kind == StepKind::repeat ? step.count
                                                                 : 0;
        if (scenario.updates <= max_updates_per_file && scenario.updates + updates > max_updates_per_file) {
            error(line.number, "the file asks for more than " + std::to_string(max_updates_per_file) +
                                   " update cycles by this line (at most " + std::to_string(max_updates_per_file) +
                                   " a file)");
        }
        if (scenario.presses <= max_presses_per_file && scenario.presses + presses > max_presses_per_file) {
            error(line.number, "the file asks for more than " + std::to_string(max_presses_per_file) +
                                   " clicks and repeats by this line (at most " +
                                   std::to_string(max_presses_per_file) + " a file)");
        }
        scenario.updates += updates;
        scenario.presses += presses;
        scenario.steps.push_back(std::move(step));
    }
    return errors;
}

std::vector<std::string> read_scenario(const std::string& path, Scenario& scenario) {
    scenario.file = path;
    std::string error;
    const std::optional<std::string> text = read_file(path, &error, max_scenario_bytes);
    if (!text) return {error};
    return parse_scenario(*text, scenario);
}

std::vector<std::string> check_gauge_names(const Scenario& scenario, const Panel& panel) {
    std::vector<std::string> errors;
    for (const Step& step : scenario.steps) {
        if (step.gauge.empty() || step.gauge == "all" || panel.gauge(step.gauge) != nullptr) continue;
        errors.push_back(scenario.file + ":" + std::to_string(step.line) + ": the module has no gauge named " +
                         step.gauge);
    }
    return errors;
}

ScenarioRun::ScenarioRun(std::string file, Panel& panel, HostServices& host, Trace* trace, UpdateObserver after_update)
    : runner_(std::make_unique<Runner>(std::move(file), panel, host, trace, std::move(after_update))) {}

ScenarioRun::~ScenarioRun() = default;

void ScenarioRun::execute(const Step& step) { runner_->run(step); }

void ScenarioRun::frame(int line) { runner_->frame(line); }

const Flight* ScenarioRun::flight() const { return runner_->flight(); }

std::vector<std::string> ScenarioRun::take_failures() { return runner_->take_failures(); }

const std::string& ScenarioRun::stopped() const { return runner_->stopped(); }

RunOutcome ScenarioRun::finish() { return runner_->finish(); }

RunOutcome run_scenario(const Scenario& scenario, Panel& panel, HostServices& host, Trace* trace,
                        const UpdateObserver& after_update) {
    ScenarioRun run(scenario.file, panel, host, trace, after_update);
    for (const Step& step : scenario.steps) {
        run.execute(step);
        if (!run.stopped().empty()) break;
    }
    return run.finish();
}

}  // namespace panelhost
