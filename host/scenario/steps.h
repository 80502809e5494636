// The steps of the scenario language: one small record a verb, and a step is
// one of them. verbs.cpp holds each verb's row: its name, how it is read and
// written, what it does and what it costs a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "host/flight/aircraft.h"
#include "host/layout/panel_edit.h"
#include "host/panel/panel.h"

namespace orvane {

// Steps compare as records, points among them.
inline bool operator==(const PixPoint& a, const PixPoint& b) { return a.x == b.x && a.y == b.y; }

}  // namespace orvane

namespace panelhost {

// A value to compare with: NaN matches NaN, a 64-bit pattern matches bit for
// bit, a tolerance allows that much difference.
struct ExpectedValue {
    double value = 0.0;
    bool exact_bits = false;
    std::optional<double> tolerance;
    bool matches(double actual) const;
    // As written: NaN equals NaN, -0 is not 0.
    bool operator==(const ExpectedValue& other) const;
};

namespace steps {

struct Aircraft {
    bool on = false;
    bool operator==(const Aircraft&) const = default;
};

struct Place {
    flight::Placement placement;
    bool operator==(const Place&) const = default;
};

struct Fly {
    double seconds = 0.0;
    // The whole steps of the flight model it runs, one update each.
    int64_t updates() const;
    // The fly that reads back as exactly that many updates.
    static Fly of_updates(int64_t updates);
    bool operator==(const Fly&) const = default;
};

struct Set {
    int32_t var = 0;
    double value = 0.0;
    bool operator==(const Set&) const = default;
};

// A variable a ramp moves from one value to another.
struct RampVar {
    int32_t var = 0;
    double from = 0.0;
    double to = 0.0;
    bool operator==(const RampVar&) const = default;
};

struct Ramp {
    std::vector<RampVar> vars;  // at least one, all moved together
    int64_t updates = 1;
    bool operator==(const Ramp&) const = default;
};

struct Install {
    std::string gauge;  // or "all"
    bool operator==(const Install&) const = default;
};

struct Update {
    int64_t updates = 1;
    bool operator==(const Update&) const = default;
};

struct Kill {
    std::string gauge;  // or "all"
    bool operator==(const Kill&) const = default;
};

// A click at gauge pixels, or in the area with a tooltip: at its centre, or
// `at` from its top-left corner.
struct Click {
    std::string gauge;
    orvane::PixPoint point{};
    std::optional<std::string> tooltip;
    std::optional<orvane::PixPoint> at;
    Button button = Button::left;
    int64_t repeats = 0;  // of the held button after the click
    bool operator==(const Click&) const = default;
};

// Repeats of the button the last click holds down.
struct Repeat {
    int64_t repeats = 1;
    bool operator==(const Repeat&) const = default;
};

struct Fail {
    int32_t key = 0;
    bool on = false;
    bool operator==(const Fail&) const = default;
};

struct Service {
    std::string gauge;
    int32_t code = 0;
    uint32_t extra = 0;
    bool operator==(const Service&) const = default;
};

struct Callback {
    std::string gauge;
    size_t index = 0;
    bool operator==(const Callback&) const = default;
};

struct ExpectText {
    std::string gauge;
    size_t index = 0;
    std::string text;
    bool operator==(const ExpectText&) const = default;
};

struct ExpectVisible {
    std::string gauge;
    size_t index = 0;
    bool visible = false;
    bool operator==(const ExpectVisible&) const = default;
};

struct ExpectFlags {
    std::string gauge;
    size_t index = 0;
    uint32_t flags = 0;
    bool operator==(const ExpectFlags&) const = default;
};

struct ExpectEvent {
    uint32_t event = 0;
    int64_t count = 1;
    bool operator==(const ExpectEvent&) const = default;
};

struct ExpectNoEvent {
    bool operator==(const ExpectNoEvent&) const = default;
};

struct ExpectSound {
    int64_t count = 0;
    bool operator==(const ExpectSound&) const = default;
};

struct ExpectCursor {
    std::string gauge;
    orvane::PixPoint point{};
    int32_t cursor = 0;
    bool operator==(const ExpectCursor&) const = default;
};

struct ExpectTooltip {
    std::string gauge;
    orvane::PixPoint point{};
    std::string tooltip;
    bool operator==(const ExpectTooltip&) const = default;
};

struct ExpectVar {
    int32_t var = 0;
    ExpectedValue expected;
    bool operator==(const ExpectVar&) const = default;
};

enum class Axis { x, y, rotation };

// An axis value of an element at the last update.
struct ElementAxis {
    std::string gauge;
    size_t index = 0;
    Axis axis = Axis::x;
    ExpectedValue expected;
    bool operator==(const ElementAxis&) const = default;
};
struct ExpectSlider : ElementAxis {};
struct ExpectMoving : ElementAxis {};
struct ExpectSprite : ElementAxis {};

struct ExpectResult {
    std::string gauge;
    size_t index = 0;
    ExpectedValue expected;
    bool operator==(const ExpectResult&) const = default;
};

// The panel.cfg a run edits: a gauge line moved, resized, taken out or
// added, and the file saved.
struct Move {
    GaugeRef target;
    int x = 0;
    int y = 0;
    bool operator==(const Move&) const = default;
};

struct Resize {
    GaugeRef target;
    int width = 1;
    int height = 1;
    bool operator==(const Resize&) const = default;
};

struct Remove {
    GaugeRef target;
    bool operator==(const Remove&) const = default;
};

struct Add {
    WindowRef window;
    NewGauge line;
    bool operator==(const Add&) const = default;
};

struct Save {
    bool force = false;  // over a file changed on disk since it was read
    bool operator==(const Save&) const = default;
};

}  // namespace steps

// In the order the verbs are listed to the user.
using Step = std::variant<steps::Aircraft, steps::Place, steps::Fly, steps::Set, steps::Ramp, steps::Install,
                          steps::Update, steps::Kill, steps::Click, steps::Repeat, steps::Fail, steps::Service,
                          steps::Callback, steps::ExpectText, steps::ExpectVisible, steps::ExpectFlags,
                          steps::ExpectEvent, steps::ExpectNoEvent, steps::ExpectSound, steps::ExpectCursor,
                          steps::ExpectTooltip, steps::ExpectVar, steps::ExpectSlider, steps::ExpectMoving,
                          steps::ExpectSprite, steps::ExpectResult, steps::Move, steps::Resize, steps::Remove,
                          steps::Add, steps::Save>;

}  // namespace panelhost
