#include "tests/hardening/matrix_walk.h"

#include <climits>
#include <cstdint>

#include "host/services/chain.h"
#include "host/panel/mouse.h"
#include "host/services/names.h"
#include "module/host_vars.h"
#include "tests/hardening/bad_values.h"
#include "tests/hardening/invariants.h"

namespace orvane::hardening {
namespace {

constexpr int32_t host_variables[] = {
#define ORVANE_MATRIX_VAR(name, number) number,
    ORVANE_HOST_VARIABLES(ORVANE_MATRIX_VAR)
#undef ORVANE_MATRIX_VAR
};

using panelhost::click_rows;
using panelhost::ClickRow;

// Points no click row covers, on the edges of the numbers the host may pass.
constexpr PixPoint stray_points[] = {{-1, -1},          {0, 0},           {-100000, 5},
                                     {5, 100000},       {100000, 100000}, {INT_MIN, INT_MIN},
                                     {INT_MAX, INT_MAX}, {INT_MAX, INT_MIN}};

// Handler calls: an odd number per handler, so a toggle ends flipped.
constexpr uint32_t odd_flags[] = {0, 0xFFFFFFFFu, MOUSE_CLICK, MOUSE_CLICK_REPEAT, MOUSE_RIGHTSINGLE};

class Walk {
public:
    Walk(panelhost::Panel& panel, panelhost::HostServices& host, const panelhost::ModuleRecords& module,
         const ModuleCheck& module_check)
        : panel_(panel), host_(host), module_(module), module_check_(module_check),
          flags_at_start_(snapshot_flags(panel)) {
        for (const GaugeHeader* gauge : panel.gauges()) names_.emplace_back(gauge->gauge_name);
    }

    void run() {
        for (const int32_t id : host_variables) {
            for (const BadValue& value : bad_values) {
                set_all(0.0);
                host_.set_var(id, value.value());
                run_case(panelhost::host_var_label(id) + " = " + value.name);
            }
        }
        for (const BadValue& value : bad_values) {
            set_all(value.value());
            run_case(std::string("every variable = ") + value.name);
        }
        case_ = "end";
        for (const std::string& name : panel_.installed_names()) panel_.kill(name);
        check("kill all");
    }

    MatrixResult result;

private:
    void set_all(double value) {
        for (const int32_t id : host_variables) host_.set_var(id, value);
    }

    void check(const char* step) {
        ++result.steps;
        std::vector<std::string> faults = host_view_faults(panel_, host_, flags_at_start_);
        if (module_check_) {
            for (std::string& fault : module_check_()) faults.push_back(std::move(fault));
        }
        for (const std::string& fault : faults) {
            ++result.fault_count;
            if (result.faults.size() < max_faults) result.faults.push_back(case_ + " / " + step + ": " + fault);
        }
    }

    void install_all() {
        for (const std::string& name : names_) {
            if (panel_.installed(name) == nullptr) panel_.install(name);
        }
    }

    void call_every_callback() {
        for (const std::string& name : names_) {
            const size_t count = panelhost::walk_chain(panel_.gauge(name)).elements.size();
            for (size_t i = 0; i < count; ++i) panel_.call_callback(name, i);  // elements without one say so
        }
    }

    // Text and slider callbacks handed no element at all.
    void call_every_callback_without_element() {
        for (const std::string& name : names_) {
            for (ElementHeader* element : panelhost::walk_chain(panel_.gauge(name)).elements) {
                if (element->element_type == ELEMENT_STRING) {
                    auto* text = reinterpret_cast<ElementString*>(element);
                    if (text->update_cb != nullptr) text->update_cb(nullptr);
                } else if (element->element_type == ELEMENT_SLIDER) {
                    auto* slider = reinterpret_cast<ElementSlider*>(element);
                    if (slider->update_x_cb != nullptr) slider->update_x_cb(nullptr);
                    if (slider->update_y_cb != nullptr) slider->update_y_cb(nullptr);
                }
            }
        }
    }

    void click_everywhere() {
        for (const std::string& name : names_) {
            for (const ClickRow& row : click_rows(panel_.gauge(name)->mouse_rect)) {
                panel_.click(name, row.centre, panelhost::Button::left, 0);
                panel_.click(name, row.centre, panelhost::Button::right, 2);
            }
            for (const PixPoint point : stray_points) panel_.click(name, point, panelhost::Button::left, 1);
        }
    }

    void call_handlers_with_odd_input() {
        for (const std::string& name : names_) {
            for (const ClickRow& row : click_rows(panel_.gauge(name)->mouse_rect)) {
                const MouseFunction handler = row.row->event_id == 0 ? row.row->action.handler : nullptr;
                if (handler == nullptr) continue;
                for (const uint32_t flags : odd_flags) {
                    PixPoint lowest = {INT_MIN, INT_MIN};
                    PixPoint highest = {INT_MAX, INT_MAX};
                    handler(nullptr, flags);
                    handler(&lowest, flags);
                    handler(&highest, flags);
                }
            }
        }
    }

    void service_every_code() {
        for (const std::string& name : names_) {
            for (const int32_t code : service_codes) {
                // The host passes the instance handle at install; other codes get odd extras.
                const ServiceExtra extra = code == SERVICE_PRE_INSTALL ? module_.instance : 0xFFFFFFFFu;
                panel_.service(name, code, extra);
            }
        }
    }

    void run_case(std::string name) {
        ++result.cases;
        case_ = std::move(name);
        install_all();
        check("install");
        panel_.update();
        check("update");
        service_every_code();
        check("every service code");
        call_every_callback();
        check("every callback");
        call_every_callback_without_element();
        check("every callback without element");
        click_everywhere();
        check("every click row");
        call_handlers_with_odd_input();
        check("mouse handlers with odd points and flags");
        panel_.update();
        call_every_callback();
        check("update after clicks");
        // Out of the usual order: callbacks and updates of gauges that are not installed.
        panel_.kill("DH");
        panel_.kill("PFD");
        call_every_callback();
        panel_.service("DH", SERVICE_PRE_UPDATE, 0);
        panel_.service("DH", SERVICE_PRE_KILL, 0);
        panel_.update();
        check("callbacks of killed gauges");
        click_everywhere();
        check("clicks on killed gauges");
    }

    panelhost::Panel& panel_;
    panelhost::HostServices& host_;
    panelhost::ModuleRecords module_;
    const ModuleCheck& module_check_;
    FlagsSnapshot flags_at_start_;
    std::vector<std::string> names_;
    std::string case_;
};

}  // namespace

MatrixResult walk_bad_input_matrix(panelhost::Panel& panel, panelhost::HostServices& host,
                                   const panelhost::ModuleRecords& module, const ModuleCheck& module_check) {
    Walk walk(panel, host, module, module_check);
    walk.run();
    return walk.result;
}

}  // namespace orvane::hardening
