#include "host/panel/panel.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "host/panel/key_effects.h"
#include "host/services/chain.h"
#include "host/panel/geometry.h"
#include "host/panel/update_cycle.h"
#include "host/services/names.h"
#include "host/services/sound_monitor.h"
#include "host/base/text_format.h"
#include "host/panel/trace.h"

namespace panelhost {

using namespace orvane;

// ---- text buffers ----

TextBuffer::TextBuffer(size_t char_count) : count_(char_count), bytes_(2 * guard_bytes + char_count + 1, 0) {
    repair();
}

std::string TextBuffer::str() const {
    const char* start = bytes_.data() + guard_bytes;
    return std::string(start, strnlen(start, count_ + 1));
}

std::string TextBuffer::check() const {
    for (size_t i = 0; i < guard_bytes; ++i) {
        if (bytes_[i] != sentinel) return "the module wrote before the start of its text buffer";
        if (bytes_[guard_bytes + count_ + 1 + i] != sentinel) {
            return "the module wrote past the end of its text buffer (" + std::to_string(count_) +
                   " characters and the NUL)";
        }
    }
    if (std::memchr(bytes_.data() + guard_bytes, '\0', count_ + 1) == nullptr) {
        return "the module left its text without a terminating NUL";
    }
    return {};
}

void TextBuffer::repair() {
    std::fill_n(bytes_.begin(), guard_bytes, sentinel);
    std::fill(bytes_.begin() + static_cast<std::ptrdiff_t>(guard_bytes + count_ + 1), bytes_.end(), sentinel);
    if (std::memchr(bytes_.data() + guard_bytes, '\0', count_ + 1) == nullptr) bytes_[guard_bytes + count_] = '\0';
}

// ---- the panel ----

namespace {

// The panel calls the module straight through its records.
struct DirectCalls {
    HostServices& host;
    void service(ServiceCallback callback, GaugeHeader* gauge, int32_t code, ServiceExtra extra) {
        callback(gauge, code, extra);
    }
    void refresh(ModuleVar& var) { host.refresh(&var); }
    template <typename Callback, typename Element>
    double call(Callback callback, Element* element) {
        return callback(element);
    }
};

std::string event_line(const KeyEvent& event) {
    std::string text = "event " + std::to_string(event.id);
    const std::string name = key_event_label(event.id);
    if (!name.empty()) text += " " + name;
    if (event.value != 0) text += " value " + std::to_string(event.value);
    return text;
}

std::string indices_line(const char* label, const std::vector<size_t>& indices) {
    std::string text = label;
    for (const size_t i : indices) {
        text += ' ';
        text += std::to_string(i);
    }
    return text;
}

}  // namespace

std::optional<PlacementName> placement_name(std::string_view name) {
    const size_t colon = name.rfind(':');
    if (colon == std::string_view::npos || colon == 0) return std::nullopt;
    const std::string_view digits = name.substr(colon + 1);
    if (digits.empty() || digits.size() > 2 || digits[0] == '0') return std::nullopt;
    int number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    if (number < 2) return std::nullopt;
    return PlacementName{std::string(name.substr(0, colon)), number};
}

Panel::Panel(HostServices& host, const ModuleRecords& module, Trace* trace)
    : host_(host), module_(module), trace_(trace), gauges_(gauge_table(module.linkage)) {}

GaugeHeader* Panel::own_gauge(std::string_view name) const {
    for (GaugeHeader* g : gauges_) {
        if (g->gauge_name == nullptr) continue;
        if (name == std::string_view(g->gauge_name, strnlen(g->gauge_name, max_gauge_name_length + 1))) return g;
    }
    return nullptr;
}

GaugeHeader* Panel::gauge(std::string_view name) const {
    if (GaugeHeader* g = own_gauge(name)) return g;
    const std::optional<PlacementName> placement = placement_name(name);
    if (!placement) return nullptr;
    const auto copies = copies_.find(placement->gauge);
    if (copies == copies_.end() || placement->number - 2 >= static_cast<int>(copies->second.size())) return nullptr;
    return copies->second[static_cast<size_t>(placement->number - 2)]->header();
}

Status Panel::set_placements(std::string_view name, int count) {
    GaugeHeader* g = own_gauge(name);
    if (g == nullptr) return Status::failure("no gauge named " + std::string(name));
    if (count < 1 || count > max_placements) {
        return Status::failure(std::string(name) + " cannot be placed " + std::to_string(count) + " times (1 to " +
                               std::to_string(max_placements) + ")");
    }
    auto& copies = copies_[std::string(name)];
    // A placement may be added as a panel is edited; one installed cannot be
    // taken away under the gauge that runs in it.
    for (const InstalledGauge& installed : installed_) {
        const std::optional<PlacementName> placement = placement_name(installed.name);
        if (placement && placement->gauge == name && placement->number > count) {
            return Status::failure(installed.name + " is installed: it stays placed until it is killed");
        }
    }
    while (static_cast<int>(copies.size()) > count - 1) copies.pop_back();
    while (static_cast<int>(copies.size()) < count - 1) copies.push_back(std::make_unique<GaugeCopy>(*g));
    return {};
}

int Panel::placements(std::string_view name) const {
    if (own_gauge(name) == nullptr) return 0;
    const auto copies = copies_.find(name);
    return copies == copies_.end() ? 1 : 1 + static_cast<int>(copies->second.size());
}

std::vector<std::string> Panel::placement_names() const {
    std::vector<std::string> names;
    for (const GaugeHeader* g : gauges_) {
        if (g->gauge_name == nullptr) continue;
        const std::string name(g->gauge_name, strnlen(g->gauge_name, max_gauge_name_length + 1));
        names.push_back(name);
        for (int k = 2; k <= placements(name); ++k) names.push_back(name + ":" + std::to_string(k));
    }
    return names;
}

const InstalledGauge* Panel::installed(std::string_view name) const {
    for (const InstalledGauge& g : installed_) {
        if (g.name == name) return &g;
    }
    return nullptr;
}

InstalledGauge* Panel::find_installed(std::string_view name) {
    return const_cast<InstalledGauge*>(static_cast<const Panel*>(this)->installed(name));
}

std::vector<std::string> Panel::installed_names() const {
    std::vector<std::string> names;
    for (const InstalledGauge& g : installed_) names.push_back(g.name);
    return names;
}

void Panel::line(int level, const std::string& text) {
    if (trace_ != nullptr) trace_->line(level, text);
}

void Panel::fault(const std::string& message, int level) {
    faults_.push_back(message);
    line(level, "! " + message);
}

void Panel::collect_traps() {
    const auto& traps = host_.traps();
    for (; traps_seen_ < traps.size(); ++traps_seen_) fault("trap: " + traps[traps_seen_], 1);
}

std::vector<std::string> Panel::take_faults() {
    collect_traps();
    return std::exchange(faults_, {});
}

void Panel::trace_events_since(size_t first, int level) {
    const auto& events = host_.key_events();
    for (size_t i = first; i < events.size(); ++i) line(level, event_line(events[i]));
}

void Panel::set_aircraft_model(bool on) {
    if (on) {
        host_.on_key_event = [this](uint32_t id, uint32_t) { apply_key_event(host_, id); };
    } else {
        host_.on_key_event = nullptr;
    }
}

void Panel::set_failure(int32_t key, bool active) {
    if (active) {
        failures_.insert(key);
    } else {
        failures_.erase(key);
    }
}

bool Panel::drawn(const ElementHeader& element) const { return element_drawn(element, failures_); }

Status Panel::element(std::string_view name, size_t index, ElementHeader*& out) const {
    GaugeHeader* g = gauge(name);
    if (g == nullptr) return Status::failure("no gauge named " + std::string(name));
    const ChainWalk chain = walk_chain(g);
    if (index >= chain.elements.size()) {
        return Status::failure(std::string(name) + " has no element " + std::to_string(index) + " (" +
                               std::to_string(chain.elements.size()) + " elements)");
    }
    out = chain.elements[index];
    return {};
}

Status Panel::element_state(std::string_view name, size_t index, const ElementState*& out) const {
    const InstalledGauge* g = installed(name);
    if (g == nullptr) return Status::failure(std::string(name) + " is not installed");
    if (index >= g->elements.size()) {
        return Status::failure(std::string(name) + " has no element " + std::to_string(index) + " (" +
                               std::to_string(g->elements.size()) + " elements)");
    }
    out = &g->elements[index];
    return {};
}

// ---- install, update, kill ----

Status Panel::install(std::string_view name) {
    GaugeHeader* g = gauge(name);
    if (g == nullptr) return Status::failure("no gauge named " + std::string(name));
    if (installed(name) != nullptr) return Status::failure(std::string(name) + " is already installed");
    line(0, "install " + std::string(name));
    const size_t events = host_.key_events().size();

    InstalledGauge gauge{.header = g, .name = std::string(name)};
    const ChainWalk chain = walk_chain(g);
    if (!chain.problem.empty()) fault(gauge.name + ": element chain: " + chain.problem, 1);
    for (ElementHeader* element : chain.elements) gauge.elements.push_back(ElementState{.element = element});

    DirectCalls calls{host_};
    install_gauge(g, module_.instance, calls, [&] {
        for (ElementState& state : gauge.elements) {
            if (state.element->element_type != ELEMENT_STRING) continue;
            auto* text = reinterpret_cast<ElementString*>(state.element);
            state.text = std::make_unique<TextBuffer>(text->max_string_length);
            text->string = state.text->text();
        }
    });
    installed_.push_back(std::move(gauge));
    trace_events_since(events, 1);
    collect_traps();
    return {};
}

void Panel::update() {
    ++update_count_;
    line(0, "update " + std::to_string(update_count_));
    for (InstalledGauge& gauge : installed_) update_gauge(gauge);
    const int plays = take_callout_plays();
    if (plays > 0) {
        sound_plays_ += plays;
        line(1, "sound " + std::to_string(plays));
    }
    collect_traps();
}

void Panel::update_gauge(InstalledGauge& gauge) {
    line(1, gauge.name);
    const size_t events = host_.key_events().size();
    DirectCalls calls{host_};
    panelhost::update_gauge(gauge.header, gauge.elements.size(), calls, [&](size_t i) { update_element(gauge, i); });
    trace_gauge_state(gauge, 2);
    trace_events_since(events, 2);
}

void Panel::update_element(InstalledGauge& gauge, size_t index) {
    ElementState& state = gauge.elements[index];
    DirectCalls calls{host_};
    panelhost::update_element(state.element, true, calls, state.axis, state.result);
    if (state.text) check_text(gauge.name, index, state);
    ElementHeader* element = state.element;
    if (element->element_type == ELEMENT_SLIDER) {
        const auto* slider = reinterpret_cast<const ElementSlider*>(element);
        state.offset[0] = slider_offset(state.axis[0], slider->scale_x);
        state.offset[1] = slider_offset(state.axis[1], slider->scale_y);
        state.has_offset = true;
    } else if (element->element_type == ELEMENT_MOVING_IMAGE && bitmap_sizes_) {
        const auto* image = reinterpret_cast<const ElementMovingImage*>(element);
        // The texture slides behind its window, the bitmap one id higher.
        const auto texture = bitmap_sizes_(element->resource_id);
        const auto window = bitmap_sizes_(element->resource_id + 1);
        state.has_offset = texture.has_value() && window.has_value();
        if (state.has_offset) {
            state.offset[0] = moving_image_offset(state.axis[0], image->min_x, image->max_x, texture->x, window->x);
            state.offset[1] = moving_image_offset(state.axis[1], image->min_y, image->max_y, texture->y, window->y);
        }
    }
}

void Panel::check_text(const std::string& gauge, size_t index, ElementState& state) {
    auto* text = reinterpret_cast<ElementString*>(state.element);
    const std::string where = gauge + " element " + std::to_string(index) + ": ";
    if (text->string != state.text->text()) {
        fault(where + "the module replaced the host's text buffer pointer", 2);
        text->string = state.text->text();
    }
    const std::string problem = state.text->check();
    if (!problem.empty()) {
        fault(where + problem, 2);
        state.text->repair();
    }
}

void Panel::trace_element_values(const ElementState& state, size_t index, int level) {
    const ElementHeader* element = state.element;
    const std::string i = std::to_string(index);
    switch (element->element_type) {
    case ELEMENT_STRING: {
        const auto* text = reinterpret_cast<const ElementString*>(element);
        if (state.text) {
            line(level, "text " + i + " " + quote_text(state.text->str()));
        } else if (text->string == nullptr) {
            line(level, "text " + i + " no buffer");
        }
        break;
    }
    case ELEMENT_SLIDER:
        line(level, "slider " + i + " x " + format_number(state.axis[0]) + " " + format_number(state.offset[0]) +
                        " y " + format_number(state.axis[1]) + " " + format_number(state.offset[1]));
        break;
    case ELEMENT_MOVING_IMAGE:
        line(level, "moving " + i + " x " + format_number(state.axis[0]) + " y " + format_number(state.axis[1]));
        break;
    case ELEMENT_SPRITE:
        line(level, "sprite " + i + " x " + format_number(state.axis[0]) + " y " + format_number(state.axis[1]) +
                        " rotation " + format_number(state.axis[2]));
        break;
    case ELEMENT_ICON: {
        const auto* icon = reinterpret_cast<const ElementIcon*>(element);
        if (icon->source_var.id != 0 || icon->update_cb != nullptr) {
            line(level, "icon " + i + " value " + format_number(state.axis[0]));
        }
        break;
    }
    default: break;
    }
}

void Panel::trace_gauge_state(const InstalledGauge& gauge, int level) {
    if (trace_ == nullptr) return;
    std::vector<size_t> hidden;
    std::vector<size_t> failed;
    for (size_t i = 0; i < gauge.elements.size(); ++i) {
        const ElementHeader& element = *gauge.elements[i].element;
        if ((element.image_flags & IMAGE_HIDDEN) != 0) hidden.push_back(i);
        if (failure_stops_drawing(element.failure_systems, failures_)) failed.push_back(i);
        if (element.element_type == ELEMENT_STRING) trace_element_values(gauge.elements[i], i, level);
    }
    if (!hidden.empty()) line(level, indices_line("hidden", hidden));
    if (!failed.empty()) line(level, indices_line("failed", failed));
    for (size_t i = 0; i < gauge.elements.size(); ++i) {
        if (gauge.elements[i].element->element_type != ELEMENT_STRING) {
            trace_element_values(gauge.elements[i], i, level);
        }
    }
}

Status Panel::kill(std::string_view name) {
    InstalledGauge* gauge = find_installed(name);
    if (gauge == nullptr) return Status::failure(std::string(name) + " is not installed");
    line(0, "kill " + gauge->name);
    const size_t events = host_.key_events().size();
    DirectCalls calls{host_};
    kill_gauge(gauge->header, calls, [&] {
        for (size_t i = 0; i < gauge->elements.size(); ++i) {
            ElementState& state = gauge->elements[i];
            if (!state.text) continue;
            check_text(gauge->name, i, state);
            reinterpret_cast<ElementString*>(state.element)->string = nullptr;
            state.text.reset();
        }
    });
    trace_events_since(events, 1);
    installed_.erase(installed_.begin() + (gauge - installed_.data()));
    collect_traps();
    return {};
}

Status Panel::service(std::string_view name, int32_t code, ServiceExtra extra) {
    GaugeHeader* g = gauge(name);
    if (g == nullptr) return Status::failure("no gauge named " + std::string(name));
    line(0, "service " + std::string(name) + " " + std::to_string(code) + " " + std::to_string(extra));
    const size_t events = host_.key_events().size();
    DirectCalls calls{host_};
    call_service(g, code, extra, calls);
    trace_events_since(events, 1);
    collect_traps();
    return {};
}

Status Panel::call_callback(std::string_view name, size_t index) {
    ElementHeader* element = nullptr;
    if (Status status = this->element(name, index, element); !status.ok()) return status;
    bool has_callback = false;
    switch (element->element_type) {
    case ELEMENT_STRING: has_callback = reinterpret_cast<ElementString*>(element)->update_cb != nullptr; break;
    case ELEMENT_SLIDER: {
        const auto* slider = reinterpret_cast<ElementSlider*>(element);
        has_callback = slider->update_x_cb != nullptr || slider->update_y_cb != nullptr;
        break;
    }
    case ELEMENT_ICON: has_callback = reinterpret_cast<ElementIcon*>(element)->update_cb != nullptr; break;
    case ELEMENT_MOVING_IMAGE: {
        const auto* image = reinterpret_cast<ElementMovingImage*>(element);
        has_callback = image->update_x_cb != nullptr || image->update_y_cb != nullptr;
        break;
    }
    case ELEMENT_SPRITE: {
        const auto* sprite = reinterpret_cast<ElementSprite*>(element);
        has_callback = sprite->update_x_cb != nullptr || sprite->update_y_cb != nullptr ||
                       sprite->update_0_cb != nullptr;
        break;
    }
    default: break;
    }
    if (!has_callback) {
        return Status::failure(std::string(name) + " element " + std::to_string(index) + " (" +
                               element_kind_name(element->element_type) + ") has no callback");
    }
    line(0, "callback " + std::string(name) + " " + std::to_string(index));
    const size_t events = host_.key_events().size();
    InstalledGauge* gauge = find_installed(name);
    ElementState loose{.element = element};
    ElementState& state = gauge != nullptr ? gauge->elements[index] : loose;
    DirectCalls calls{host_};
    panelhost::update_element(state.element, false, calls, state.axis, state.result);
    if (state.text) check_text(std::string(name), index, state);
    trace_element_values(state, index, 1);
    if (state.result) line(1, "result " + format_number(*state.result));
    trace_events_since(events, 1);
    collect_traps();
    return {};
}

// ---- the mouse ----

MouseHit Panel::probe(std::string_view name, PixPoint point) const {
    const GaugeHeader* g = gauge(name);
    return g != nullptr ? hit_test(g->mouse_rect, point, 0) : MouseHit{};
}

Status Panel::click(std::string_view name, PixPoint point, Button button, int repeats) {
    GaugeHeader* g = gauge(name);
    if (g == nullptr) return Status::failure("no gauge named " + std::string(name));
    for (int press = 0; press <= repeats; ++press) this->press(*g, point, button, press > 0);
    collect_traps();
    return {};
}

Status Panel::repeat(std::string_view name, PixPoint point, Button button, int repeats) {
    GaugeHeader* g = gauge(name);
    if (g == nullptr) return Status::failure("no gauge named " + std::string(name));
    for (int press = 0; press < repeats; ++press) this->press(*g, point, button, true);
    collect_traps();
    return {};
}

void Panel::press(GaugeHeader& g, PixPoint point, Button button, bool repeat) {
    const uint32_t button_flag = button == Button::left ? mouse_left : mouse_right;
    const uint32_t flags = repeat ? button_flag | mouse_repeat : button_flag;
    const MouseHit hit = hit_test(g.mouse_rect, point, flags);
    std::string what = repeat ? "repeat " : "press ";
    if (hit.row == nullptr) {
        what += "none";
    } else {
        what += "row " + std::to_string(hit.row_index) + (hit.row->event_id != 0 ? " event" : " handler");
    }
    line(1, what + " cursor " + std::to_string(hit.cursor) + " tooltip " + quote_text(hit.tooltip));
    if (hit.row == nullptr) return;
    const size_t events = host_.key_events().size();
    if (hit.row->event_id != 0) {
        host_.trigger(hit.row->event_id, 0);
    } else if (hit.row->action.handler != nullptr) {
        MouseCallback record{.relative_point = hit.relative,
                             .user_data = &g,
                             .mouse = const_cast<MouseRect*>(hit.row),
                             .screen_point = point,
                             .reserved = nullptr};
        hit.row->action.handler(&record.relative_point, flags);
    }
    trace_events_since(events, 2);
}

}  // namespace panelhost
