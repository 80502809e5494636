#include "bench/frame_loop.h"

#include <cstring>

#include "host/panel/mouse.h"
#include "host/panel/update_cycle.h"
#include "host/services/chain.h"

// Kept out of line, and kept from ending in a jump, so that each is a
// function of its own that a profiler sees entered and left.
#define ORVANE_BENCH_ENTRY extern "C" __attribute__((noinline))
#define ORVANE_BENCH_NO_TAIL_CALL() asm volatile("" ::: "memory")

using namespace orvane;

ORVANE_BENCH_ENTRY void orvane_module_service(ServiceCallback callback, GaugeHeader* gauge, int32_t code,
                                              ServiceExtra extra) {
    callback(gauge, code, extra);
    ORVANE_BENCH_NO_TAIL_CALL();
}

ORVANE_BENCH_ENTRY double orvane_module_text(StringCallback callback, ElementString* element) {
    const double result = callback(element);
    ORVANE_BENCH_NO_TAIL_CALL();
    return result;
}

ORVANE_BENCH_ENTRY double orvane_module_slider(SliderCallback callback, ElementSlider* element) {
    const double result = callback(element);
    ORVANE_BENCH_NO_TAIL_CALL();
    return result;
}

ORVANE_BENCH_ENTRY double orvane_module_icon(IconCallback callback, ElementIcon* element) {
    const double result = callback(element);
    ORVANE_BENCH_NO_TAIL_CALL();
    return result;
}

ORVANE_BENCH_ENTRY double orvane_module_moving_image(MovingImageCallback callback, ElementMovingImage* element) {
    const double result = callback(element);
    ORVANE_BENCH_NO_TAIL_CALL();
    return result;
}

ORVANE_BENCH_ENTRY double orvane_module_sprite(SpriteCallback callback, ElementSprite* element) {
    const double result = callback(element);
    ORVANE_BENCH_NO_TAIL_CALL();
    return result;
}

ORVANE_BENCH_ENTRY int32_t orvane_module_mouse(MouseFunction handler, PixPoint* point, uint32_t flags) {
    const int32_t result = handler(point, flags);
    ORVANE_BENCH_NO_TAIL_CALL();
    return result;
}

// The host's answers to the module, in the slots of its function table.
ORVANE_BENCH_ENTRY void HOST_CALL orvane_host_refresh_var(ModuleVar* var) {
    if (panelhost::HostServices* host = panelhost::HostServices::active()) host->refresh(var);
    ORVANE_BENCH_NO_TAIL_CALL();
}

ORVANE_BENCH_ENTRY uint32_t HOST_CALL orvane_host_trigger_key_event(uint32_t id, uint32_t value) {
    panelhost::HostServices* host = panelhost::HostServices::active();
    const uint32_t result = host != nullptr ? host->trigger(id, value) : 0;
    ORVANE_BENCH_NO_TAIL_CALL();
    return result;
}

namespace orvane::bench {

std::unique_ptr<FramePanel> FramePanel::open(const std::string& path, std::string& error) {
    std::unique_ptr<FramePanel> panel(new FramePanel);
    panel->module_ = panelhost::LoadedModule::open(path, error);
    if (panel->module_ == nullptr) return nullptr;
    const panelhost::ModuleRecords& records = panel->module_->records();
    if (records.imports == nullptr || records.linkage == nullptr) {
        error = path + " does not export ImportTable and Linkage";
        return nullptr;
    }
    panel->host_ = std::make_unique<panelhost::HostServices>();
    HostFunctionTable& table = panel->host_->table();
    table.slot[SLOT_REFRESH_VAR] = reinterpret_cast<HostOperation>(orvane_host_refresh_var);
    table.slot[SLOT_TRIGGER_KEY_EVENT] = reinterpret_cast<HostOperation>(orvane_host_trigger_key_event);
    panelhost::start_module(*panel->host_, records);
    for (GaugeHeader* header : panelhost::gauge_table(records.linkage)) {
        panel->gauges_.push_back({.header = header,
                                  .name = header->gauge_name != nullptr ? header->gauge_name : "",
                                  .elements = panelhost::walk_chain(header).elements,
                                  .buffers = {}});
    }
    return panel;
}

FramePanel::~FramePanel() {
    if (module_ != nullptr && host_ != nullptr) panelhost::stop_module(*host_, module_->records());
}

namespace {

// Every call into the module through the counted entries.
struct CountedCalls {
    panelhost::HostServices& host;
    void service(ServiceCallback callback, GaugeHeader* gauge, int32_t code, ServiceExtra extra) {
        orvane_module_service(callback, gauge, code, extra);
    }
    void refresh(ModuleVar& var) { host.refresh(&var); }
    double call(StringCallback callback, ElementString* element) { return orvane_module_text(callback, element); }
    double call(SliderCallback callback, ElementSlider* element) { return orvane_module_slider(callback, element); }
    double call(IconCallback callback, ElementIcon* element) { return orvane_module_icon(callback, element); }
    double call(MovingImageCallback callback, ElementMovingImage* element) {
        return orvane_module_moving_image(callback, element);
    }
    double call(SpriteCallback callback, ElementSprite* element) { return orvane_module_sprite(callback, element); }
};

}  // namespace

void FramePanel::install() {
    CountedCalls calls{*host_};
    for (Gauge& gauge : gauges_) {
        panelhost::install_gauge(gauge.header, module_->records().instance, calls, [&] {
            for (ElementHeader* element : gauge.elements) {
                if (element->element_type != ELEMENT_STRING) continue;
                auto* text = reinterpret_cast<ElementString*>(element);
                gauge.buffers.emplace_back(text->max_string_length + 1u, '\0');
                text->string = gauge.buffers.back().data();
            }
        });
    }
}

void FramePanel::kill() {
    CountedCalls calls{*host_};
    for (Gauge& gauge : gauges_) {
        panelhost::kill_gauge(gauge.header, calls, [&] {
            for (ElementHeader* element : gauge.elements) {
                if (element->element_type == ELEMENT_STRING) reinterpret_cast<ElementString*>(element)->string = nullptr;
            }
            gauge.buffers.clear();
        });
    }
}

void FramePanel::frame() {
    for (Gauge& gauge : gauges_) update(gauge);
}

void FramePanel::update(Gauge& gauge) {
    CountedCalls calls{*host_};
    double axis[3] = {};
    std::optional<double> result;
    panelhost::update_gauge(gauge.header, gauge.elements.size(), calls, [&](size_t i) {
        panelhost::update_element(gauge.elements[i], true, calls, axis, result);
    });
}

void FramePanel::set(const std::vector<HostVariable>& values) {
    for (const HostVariable& v : values) host_->set_var(v.id, v.value);
}

void FramePanel::activate() { host_->attach(module_->records().imports); }

bool FramePanel::click(const std::string& name, PixPoint point) {
    for (Gauge& gauge : gauges_) {
        if (gauge.name != name) continue;
        const panelhost::MouseHit hit = panelhost::hit_test(gauge.header->mouse_rect, point, panelhost::mouse_left);
        if (hit.row == nullptr || hit.row->action.handler == nullptr || hit.row->event_id != 0) return false;
        MouseCallback record{.relative_point = hit.relative,
                             .user_data = gauge.header,
                             .mouse = const_cast<MouseRect*>(hit.row),
                             .screen_point = point,
                             .reserved = nullptr};
        orvane_module_mouse(hit.row->action.handler, &record.relative_point, panelhost::mouse_left);
        return true;
    }
    return false;
}

std::string FramePanel::texts() const {
    std::string all;
    for (const Gauge& gauge : gauges_) {
        all += gauge.name;
        for (ElementHeader* element : gauge.elements) {
            if (element->element_type != ELEMENT_STRING) continue;
            const auto* text = reinterpret_cast<const ElementString*>(element);
            all += " \"";
            if (text->string != nullptr) all.append(text->string, strnlen(text->string, text->max_string_length + 1u));
            all += '"';
        }
        all += '\n';
    }
    return all;
}

std::vector<FramePanel::Text> FramePanel::text_elements() const {
    std::vector<Text> texts;
    for (const Gauge& gauge : gauges_) {
        for (size_t i = 0; i < gauge.elements.size(); ++i) {
            if (gauge.elements[i]->element_type != ELEMENT_STRING) continue;
            texts.push_back({gauge.name, i, reinterpret_cast<ElementString*>(gauge.elements[i])});
        }
    }
    return texts;
}

std::unique_ptr<FramePanel> open_approach_panel(const std::string& path, std::string& error) {
    std::unique_ptr<FramePanel> panel = FramePanel::open(path, error);
    if (panel == nullptr) return nullptr;
    panel->set(approach_frame(0));
    panel->install();
    if (!press_dh_button(*panel, error)) return nullptr;
    return panel;
}

bool press_dh_button(FramePanel& panel, std::string& error) {
    if (panel.click("DH", {10, 10})) return true;
    error = "the DH unit has no DH button at 10, 10";
    return false;
}

}  // namespace orvane::bench
