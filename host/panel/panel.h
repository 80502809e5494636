// The panel: the gauges the host has installed from a module, and everything
// the simulator does with them: the install, update and kill cycle, the
// element machinery, failures and the mouse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "host/services/host_services.h"
#include "host/services/module_loader.h"
#include "host/panel/gauge_copy.h"
#include "host/panel/mouse.h"
#include "module/host_abi.h"

namespace panelhost {

class Trace;

// An outcome that is either fine or says what went wrong.
struct Status {
    std::string error;
    bool ok() const { return error.empty(); }
    static Status failure(std::string message) { return {std::move(message)}; }
};

// A text element's buffer as the host supplies it: exactly char count + 1
// bytes, all zero, with guard bytes on both sides.
class TextBuffer {
public:
    static constexpr size_t guard_bytes = 16;
    static constexpr char sentinel = static_cast<char>(0xA5);

    explicit TextBuffer(size_t char_count);
    char* text() { return bytes_.data() + guard_bytes; }
    size_t char_count() const { return count_; }
    // The text up to its NUL, never past the buffer's end.
    std::string str() const;
    // What is wrong with the buffer: a touched guard byte or a text without
    // its NUL. Empty when it is sound.
    std::string check() const;
    // Puts the guards and the last NUL back, so that one fault is reported once.
    void repair();

private:
    size_t count_;
    std::vector<char> bytes_;
};

struct ElementState {
    orvane::ElementHeader* element = nullptr;
    std::unique_ptr<TextBuffer> text;  // text elements of an installed gauge
    // Slider, moving image and sprite: the axis values x, y and rotation, each
    // the callback's result where the axis has one, else the source value.
    // Icon: its value in x.
    double axis[3] = {0.0, 0.0, 0.0};
    // Slider offsets from its position, in pixels; moving-image texture
    // offsets, when the bitmap sizes are known.
    double offset[2] = {0.0, 0.0};
    bool has_offset = false;
    std::optional<double> result;  // what the element's callback returned last
};

struct InstalledGauge {
    orvane::GaugeHeader* header = nullptr;  // the module's, or a later placement's copy
    std::string name;                       // "PFD", a later placement "PFD:2"
    std::vector<ElementState> elements;
};

enum class Button { left, right };

// How many placements one gauge may have on a panel: each is installed and
// updated apart, with its own copy of the gauge's records.
inline constexpr int max_placements = 16;

// A later placement's name split: "PFD:2" is placement 2 of PFD. Nothing
// for a name that names no later placement ("PFD", "PFD:1", "PFD:x").
struct PlacementName {
    std::string gauge;
    int number;
};
std::optional<PlacementName> placement_name(std::string_view name);

// Width and height of one of the module's bitmaps, when the host can read them.
using BitmapSizes = std::function<std::optional<orvane::PixPoint>(int32_t bitmap_id)>;

class Panel {
public:
    // The module must be started on host (start_module) for the panel's life.
    Panel(HostServices& host, const ModuleRecords& module, Trace* trace = nullptr);

    const std::vector<orvane::GaugeHeader*>& gauges() const { return gauges_; }
    // A gauge's header by name: the module's own for its first placement
    // ("PFD"), the copy of a later one ("PFD:2") once set_placements made it.
    orvane::GaugeHeader* gauge(std::string_view name) const;
    // The panel places the gauge `count` times (1 to max_placements): from
    // now on "NAME:2" up to "NAME:count" name placements of their own, each
    // installed, updated, killed and clicked apart. Placements may be added
    // at any time; one that is installed is not taken away.
    Status set_placements(std::string_view name, int count);
    int placements(std::string_view name) const;
    // Every placement of every gauge, in gauge-table order, each gauge's
    // placements in turn.
    std::vector<std::string> placement_names() const;
    const InstalledGauge* installed(std::string_view name) const;
    std::vector<std::string> installed_names() const;

    Status install(std::string_view name);
    // One full update cycle of every installed gauge, in the order installed.
    void update();
    Status kill(std::string_view name);
    // The gauge's service callback with any code.
    Status service(std::string_view name, int32_t code, orvane::ServiceExtra extra);
    // Calls an element's own callbacks directly, installed or not.
    Status call_callback(std::string_view name, size_t index);

    // A click at gauge pixels, then `repeats` repeats of the held button.
    // The trace gets each press; the line of the step that pressed is its
    // maker's (a scenario's click or repeat writes it before).
    Status click(std::string_view name, orvane::PixPoint point, Button button, int repeats);
    // More repeats of a button held since an earlier click there, after the
    // updates that ran while it was held.
    Status repeat(std::string_view name, orvane::PixPoint point, Button button, int repeats);
    // Cursor and tooltip at a point; no row acts.
    MouseHit probe(std::string_view name, orvane::PixPoint point) const;

    void set_failure(int32_t key, bool active);
    const std::set<int32_t>& active_failures() const { return failures_; }
    // Drawn now: hide bit clear and no active failure stopping it.
    bool drawn(const orvane::ElementHeader& element) const;

    // The element at a chain index of any gauge, or an error.
    Status element(std::string_view name, size_t index, orvane::ElementHeader*& out) const;
    // The host's state of an element of an installed gauge, or an error.
    Status element_state(std::string_view name, size_t index, const ElementState*& out) const;

    void set_aircraft_model(bool on);
    void set_bitmap_sizes(BitmapSizes sizes) { bitmap_sizes_ = std::move(sizes); }

    // Faults found since last asked: traps, damaged text buffers, broken chains.
    std::vector<std::string> take_faults();
    int sound_plays() const { return sound_plays_; }
    uint64_t update_count() const { return update_count_; }

private:
    orvane::GaugeHeader* own_gauge(std::string_view name) const;
    InstalledGauge* find_installed(std::string_view name);
    void press(orvane::GaugeHeader& gauge, orvane::PixPoint point, Button button, bool repeat);
    void update_gauge(InstalledGauge& gauge);
    void update_element(InstalledGauge& gauge, size_t index);
    void check_text(const std::string& gauge, size_t index, ElementState& state);
    void trace_gauge_state(const InstalledGauge& gauge, int level);
    void trace_element_values(const ElementState& state, size_t index, int level);
    void trace_events_since(size_t first, int level);
    void collect_traps();
    void fault(const std::string& message, int level);
    void line(int level, const std::string& text);

    HostServices& host_;
    ModuleRecords module_;
    Trace* trace_;
    std::vector<orvane::GaugeHeader*> gauges_;
    // By gauge name: the copies of its placements from the second on.
    std::map<std::string, std::vector<std::unique_ptr<GaugeCopy>>, std::less<>> copies_;
    std::vector<InstalledGauge> installed_;
    std::set<int32_t> failures_;
    std::vector<std::string> faults_;
    size_t traps_seen_ = 0;
    int sound_plays_ = 0;
    uint64_t update_count_ = 0;
    BitmapSizes bitmap_sizes_;
};

}  // namespace panelhost
