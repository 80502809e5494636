#include "host/panel/inspect.h"

#include <charconv>
#include <cstring>

#include "host/services/chain.h"
#include "host/services/resources.h"
#include "host/services/mouse_table.h"
#include "host/services/names.h"
#include "host/base/text_format.h"

namespace panelhost {
namespace {

using namespace orvane;

class Writer {
public:
    void line(int level, const std::string& text) {
        out_.append(static_cast<size_t>(2 * level), ' ');
        out_ += text;
        out_ += '\n';
    }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

std::string yes_no(bool value) { return value ? "yes" : "no"; }

std::string number(float value) {
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

std::string var_text(const ModuleVar& var) {
    if (var.id == 0) return "none";
    const std::string name = host_var_label(var.id);
    return std::to_string(var.id) + (name.empty() ? "" : " " + name);
}

std::string box_text(const PixBox& box) {
    return std::to_string(box.x) + " " + std::to_string(box.y) + " " + std::to_string(box.size_x) + " " +
           std::to_string(box.size_y);
}

std::string bounded_text(const char* text, size_t limit) {
    if (text == nullptr) return "none";
    return quote_text(std::string_view(text, strnlen(text, limit)));
}

std::string failures_text(const FailureRecord* list) {
    if (list == nullptr) return "none";
    std::string text;
    for (size_t i = 0; i < max_failure_records && list[i].key != FAIL_NONE; ++i) {
        if (!text.empty()) text += ", ";
        text += "key " + std::to_string(list[i].key) + " action " + std::to_string(list[i].action);
    }
    return text.empty() ? "empty" : text;
}

// A bitmap's id with its size as the module's own resources hold it.
std::string bitmap_text(const ModuleRecords& module, int32_t id) {
    std::string text = std::to_string(id);
    if (id < 0) return text;
    const BitmapLookup found = load_bitmap(reinterpret_cast<HMODULE>(module.instance), id);
    if (found.error != BitmapError::none) return text + " (" + describe(found.error) + ")";
    return text + " (" + std::to_string(found.bitmap.width) + " x " + std::to_string(found.bitmap.height) + ")";
}

void element_details(Writer& out, const ModuleRecords& module, const ElementHeader& element) {
    switch (element.element_type) {
    case ELEMENT_STRING: {
        const auto& text = reinterpret_cast<const ElementString&>(element);
        out.line(3, "box " + std::to_string(text.img_size.x) + " x " + std::to_string(text.img_size.y) + ", " +
                        std::to_string(text.max_string_length) + " characters");
        out.line(3, "colours fore " + format_hex32(text.fg_color) + " back " + format_hex32(text.bg_color) +
                        " highlight " + format_hex32(text.hilite_color));
        out.line(3, "font " + bounded_text(text.font_name, sizeof text.font_name) + " weight " +
                        std::to_string(text.font_weight) + " charset " + std::to_string(text.font_charset) +
                        " draw flags " + format_hex32(text.draw_text_flags) + " height " +
                        std::to_string(text.char_height));
        out.line(3, "variables " + var_text(text.source_var[0]) + "; " + var_text(text.source_var[1]) + "; " +
                        var_text(text.source_var[2]));
        out.line(3, "callback " + yes_no(text.update_cb != nullptr));
        break;
    }
    case ELEMENT_SLIDER: {
        const auto& slider = reinterpret_cast<const ElementSlider&>(element);
        out.line(3, "x: variable " + var_text(slider.source_var_x) + ", scale " + format_number(slider.scale_x) +
                        ", callback " + yes_no(slider.update_x_cb != nullptr));
        out.line(3, "y: variable " + var_text(slider.source_var_y) + ", scale " + format_number(slider.scale_y) +
                        ", callback " + yes_no(slider.update_y_cb != nullptr));
        break;
    }
    case ELEMENT_MOVING_IMAGE: {
        const auto& image = reinterpret_cast<const ElementMovingImage&>(element);
        out.line(3, "window bitmap " + bitmap_text(module, element.resource_id + 1));
        out.line(3, "x: variable " + var_text(image.source_var_x) + ", minimum " + format_number(image.min_x) +
                        ", maximum " + format_number(image.max_x) + ", callback " +
                        yes_no(image.update_x_cb != nullptr));
        out.line(3, "y: variable " + var_text(image.source_var_y) + ", minimum " + format_number(image.min_y) +
                        ", maximum " + format_number(image.max_y) + ", callback " +
                        yes_no(image.update_y_cb != nullptr));
        break;
    }
    case ELEMENT_SPRITE: {
        const auto& sprite = reinterpret_cast<const ElementSprite&>(element);
        out.line(3, "window bitmap " + bitmap_text(module, element.resource_id + 1) + ", texture centre " +
                        std::to_string(element.ofs.x) + " " + std::to_string(element.ofs.y) + ", texture scale " +
                        number(sprite.texture_scale_x) + " " + number(sprite.texture_scale_y));
        out.line(3, "x: variable " + var_text(sprite.source_var_x) + ", scale " + format_number(sprite.scale_x) +
                        ", callback " + yes_no(sprite.update_x_cb != nullptr));
        out.line(3, "y: variable " + var_text(sprite.source_var_y) + ", scale " + format_number(sprite.scale_y) +
                        ", callback " + yes_no(sprite.update_y_cb != nullptr));
        out.line(3, "rotation: variable " + var_text(sprite.source_var_0) + ", scale " +
                        format_number(sprite.scale_0) + ", callback " + yes_no(sprite.update_0_cb != nullptr));
        break;
    }
    case ELEMENT_ICON: {
        const auto& icon = reinterpret_cast<const ElementIcon&>(element);
        out.line(3, "images " + std::to_string(icon.num_icons) + ", variable " + var_text(icon.source_var) +
                        ", switch type " + std::to_string(icon.switch_type) + ", callback " +
                        yes_no(icon.update_cb != nullptr));
        break;
    }
    default: break;
    }
}

void chain_view(Writer& out, const ModuleRecords& module, const GaugeHeader& gauge) {
    const ChainWalk chain = walk_chain(&gauge);
    out.line(1, std::to_string(chain.elements.size()) + " elements");
    for (size_t i = 0; i < chain.elements.size(); ++i) {
        const ElementHeader& element = *chain.elements[i];
        std::string text = std::to_string(i) + " " + element_kind_name(element.element_type) + ", bitmap " +
                           bitmap_text(module, element.resource_id);
        text += ", at " + std::to_string(element.position.x) + " " + std::to_string(element.position.y) +
                ", flags " + format_hex32(element.image_flags) + ", failures " +
                failures_text(element.failure_systems);
        out.line(2, text);
        element_details(out, module, element);
    }
    if (!chain.problem.empty()) out.line(2, "! " + chain.problem);
}

void mouse_view(Writer& out, const GaugeHeader& gauge) {
    const MouseRect* table = gauge.mouse_rect;
    if (table == nullptr) {
        out.line(1, "mouse table none");
        return;
    }
    out.line(1, "mouse table");
    size_t end_row = 0;
    const TableWalk walk = walk_mouse_table(table, [&](const MouseRowVisit& visit) {
        const MouseRect& row = visit.row;
        const std::string index = std::to_string(visit.index) + " ";
        const int level = 2 + static_cast<int>(visit.depth());
        end_row = visit.index + 1;
        switch (row.rect_type) {
        case MOUSE_OPEN_AREA:
            out.line(level, index + "area " + box_text(row.relative_box) + ", cursor " + std::to_string(row.cursor));
            break;
        case MOUSE_TOOLTIP: out.line(level, index + "tooltip " + bounded_text(visit.tooltip, max_tooltip_length)); break;
        case MOUSE_CLICK_AREA: {
            std::string text = index + "click " + box_text(row.relative_box) + ", cursor " +
                               std::to_string(row.cursor) + ", flags " + format_hex32(row.mouse_flags);
            if (row.event_id != 0) {
                const std::string name = key_event_label(row.event_id);
                text += ", event " + std::to_string(row.event_id) + (name.empty() ? "" : " " + name);
            }
            if (row.action.handler != nullptr) text += ", handler";
            if (row.help_id != 0) text += ", help " + std::to_string(row.help_id);
            out.line(level, text);
            break;
        }
        // A close row stands at the depth of the area around the one it closes.
        case MOUSE_CLOSE_AREA: out.line(visit.depth() > 0 ? level - 1 : level, index + "close"); break;
        default: out.line(level, index + "unknown kind " + std::to_string(row.rect_type)); break;
        }
    });
    if (walk == TableWalk::ended) {
        out.line(2, std::to_string(end_row) + " end");
    } else {
        out.line(2, "! no end row within " + std::to_string(max_mouse_rows) + " rows");
    }
}

std::string gauge_name(const GaugeHeader& gauge) {
    return bounded_text(gauge.gauge_name, max_gauge_name_length);
}

}  // namespace

std::string inspect_module(const ModuleRecords& module, bool linkage_only) {
    // The records are walked only once the check found them readable within the module.
    const ModuleCheck check = check_module(module);
    Writer out;
    if (!check.readable) {
        out.line(0, "the module's records cannot be read whole: nothing past the first fault below was read");
    } else if (module.imports != nullptr) {
        out.line(0, "ImportTable entry " + format_hex32(module.imports->entry[0].id));
    }
    if (check.readable && module.linkage != nullptr) {
        const std::vector<GaugeHeader*> gauges = gauge_table(module.linkage);
        out.line(0, "Linkage module " + format_hex32(module.linkage->module_id) + ", start routine " +
                        yes_no(module.linkage->module_init != nullptr) + ", end routine " +
                        yes_no(module.linkage->module_deinit != nullptr) + ", " + std::to_string(gauges.size()) +
                        " gauges");
        for (size_t i = 0; i < gauges.size(); ++i) {
            const GaugeHeader& g = *gauges[i];
            out.line(1, "gauge " + std::to_string(i) + " " + gauge_name(g) + ", version " +
                            std::to_string(g.gauge_header_version) + ", width " + std::to_string(g.size_x_mm) +
                            " mm, service callback " +
                            yes_no(g.gauge_callback != nullptr) + ", mouse table " + yes_no(g.mouse_rect != nullptr));
        }
        if (!linkage_only) {
            for (const GaugeHeader* g : gauges) {
                out.line(0, "");
                out.line(0, "gauge " + gauge_name(*g));
                chain_view(out, module, *g);
                mouse_view(out, *g);
            }
        }
    }
    if (!check.faults.empty()) {
        out.line(0, "");
        out.line(0, "faults");
        for (const std::string& problem : check.faults) out.line(1, problem);
    }
    return out.take();
}

}  // namespace panelhost
