#include "host/scenario/expectations.h"

#include <optional>
#include <string>

#include "host/base/text_format.h"
#include "host/services/chain.h"
#include "host/services/names.h"

namespace panelhost {
namespace {

std::string expected_text(const ExpectedValue& expected) {
    std::string text = format_number(expected.value);
    if (expected.tolerance) text += " within " + format_number(*expected.tolerance);
    return text;
}

std::string event_text(uint32_t id) {
    const std::string name = key_event_label(id);
    return name.empty() ? std::to_string(id) : name;
}

std::string element_label(const char* what, const std::string& gauge, size_t index) {
    return std::string("expect ") + what + " " + gauge + " " + std::to_string(index);
}

std::string point_label(const char* what, const std::string& gauge, orvane::PixPoint point) {
    return std::string("expect ") + what + " " + gauge + " " + std::to_string(point.x) + " " + std::to_string(point.y);
}

// The element, or nothing when the run failed for want of it.
orvane::ElementHeader* element_of(StepRun& run, const std::string& gauge, size_t index) {
    orvane::ElementHeader* element = nullptr;
    const Status status = run.panel().element(gauge, index, element);
    run.check(status);
    return status.ok() ? element : nullptr;
}

const ElementState* state_of(StepRun& run, const std::string& gauge, size_t index) {
    const ElementState* state = nullptr;
    const Status status = run.panel().element_state(gauge, index, state);
    run.check(status);
    return status.ok() ? state : nullptr;
}

// An axis value of an element of this kind at the last update, or (kind
// below 0) what its callback returned last.
void expect_value(StepRun& run, const std::string& gauge, size_t index, std::optional<steps::Axis> axis,
                  const ExpectedValue& expected, int32_t kind, const char* what) {
    const ElementState* state = state_of(run, gauge, index);
    if (state == nullptr) return;
    const std::string label = element_label(what, gauge, index);
    if (kind >= 0 && state->element->element_type != kind) {
        return run.fail(label + ": the element is a " + element_kind_name(state->element->element_type));
    }
    const std::optional<double> actual = axis ? state->axis[static_cast<int>(*axis)] : state->result;
    if (!actual) return run.fail(label + ": expected " + expected_text(expected) + ", but no callback ran");
    if (!expected.matches(*actual)) {
        run.fail(label + ": expected " + expected_text(expected) + ", actual " + format_number(*actual));
    }
}

}  // namespace

void check_expectation(StepRun& run, const steps::ExpectText& step) {
    const ElementState* state = state_of(run, step.gauge, step.index);
    if (state == nullptr) return;
    const std::string label = element_label("text", step.gauge, step.index);
    if (!state->text) return run.fail(label + ": the element is not a text");
    const std::string actual = state->text->str();
    if (actual != step.text) run.fail(label + ": expected " + quote_text(step.text) + ", actual " + quote_text(actual));
}

void check_expectation(StepRun& run, const steps::ExpectVisible& step) {
    const orvane::ElementHeader* element = element_of(run, step.gauge, step.index);
    if (element == nullptr) return;
    const bool drawn = run.panel().drawn(*element);
    if (drawn == step.visible) return;
    std::string why;
    if ((element->image_flags & orvane::IMAGE_HIDDEN) != 0) why = " (hide bit set)";
    if (failure_stops_drawing(element->failure_systems, run.panel().active_failures())) why += " (failure)";
    run.fail(element_label("visible", step.gauge, step.index) + ": expected " + (step.visible ? "yes" : "no") +
             ", actual " + (drawn ? "yes" : "no") + why);
}

void check_expectation(StepRun& run, const steps::ExpectFlags& step) {
    const orvane::ElementHeader* element = element_of(run, step.gauge, step.index);
    if (element == nullptr || element->image_flags == step.flags) return;
    run.fail(element_label("flags", step.gauge, step.index) + ": expected " + format_hex32(step.flags) +
             ", actual " + format_hex32(element->image_flags));
}

void check_expectation(StepRun& run, const steps::ExpectEvent& step) {
    const std::string pending = run.pending_text();
    const int64_t count = run.take_events(step.event);
    if (count != step.count) {
        run.fail("expect event " + event_text(step.event) + ": expected " + std::to_string(step.count) +
                 ", actual " + std::to_string(count) + " (pending: " + pending + ")");
    }
}

void check_expectation(StepRun& run, const steps::ExpectNoEvent&) {
    if (run.events_pending()) run.fail("expect no-event: actual " + run.pending_text());
    run.take_all_events();
}

void check_expectation(StepRun& run, const steps::ExpectSound& step) {
    const int64_t plays = run.panel().sound_plays();
    if (plays != step.count) {
        run.fail("expect sound: expected " + std::to_string(step.count) + ", actual " + std::to_string(plays));
    }
}

void check_expectation(StepRun& run, const steps::ExpectCursor& step) {
    const int32_t cursor = run.panel().probe(step.gauge, step.point).cursor;
    if (cursor != step.cursor) {
        run.fail(point_label("cursor", step.gauge, step.point) + ": expected " + std::to_string(step.cursor) +
                 ", actual " + std::to_string(cursor));
    }
}

void check_expectation(StepRun& run, const steps::ExpectTooltip& step) {
    const std::string tooltip = run.panel().probe(step.gauge, step.point).tooltip;
    if (tooltip != step.tooltip) {
        run.fail(point_label("tooltip", step.gauge, step.point) + ": expected " + quote_text(step.tooltip) +
                 ", actual " + quote_text(tooltip));
    }
}

void check_expectation(StepRun& run, const steps::ExpectVar& step) {
    const double actual = run.host().var(step.var);
    if (!step.expected.matches(actual)) {
        run.fail("expect var " + std::to_string(step.var) + ": expected " + expected_text(step.expected) +
                 ", actual " + format_number(actual));
    }
}

void check_expectation(StepRun& run, const steps::ExpectSlider& step) {
    expect_value(run, step.gauge, step.index, step.axis, step.expected, orvane::ELEMENT_SLIDER, "slider");
}

void check_expectation(StepRun& run, const steps::ExpectMoving& step) {
    expect_value(run, step.gauge, step.index, step.axis, step.expected, orvane::ELEMENT_MOVING_IMAGE, "moving");
}

void check_expectation(StepRun& run, const steps::ExpectSprite& step) {
    expect_value(run, step.gauge, step.index, step.axis, step.expected, orvane::ELEMENT_SPRITE, "sprite");
}

void check_expectation(StepRun& run, const steps::ExpectResult& step) {
    expect_value(run, step.gauge, step.index, std::nullopt, step.expected, -1, "result");
}

}  // namespace panelhost
