#include "host/render/gauge_reference.h"

#include <cstring>
#include <map>
#include <set>

#include "host/services/chain.h"
#include "host/panel/mouse.h"
#include "host/services/names.h"

namespace panelhost {
namespace {

using namespace orvane;

struct AreaClick {
    PixBox box;  // gauge pixels
    int32_t cursor;
    uint32_t flags;
    uint32_t event;
};

struct Area {
    PixBox box;
    bool whole;
    std::string tooltip;
    std::vector<AreaClick> clicks;
};

std::vector<Area> areas_of(const MouseRect* table) {
    std::vector<Area> areas;
    std::vector<size_t> open;  // indices into areas
    for (size_t i = 0; table != nullptr && i < max_mouse_rows; ++i) {
        const MouseRect& row = table[i];
        if (row.rect_type == MOUSE_END_OF_TABLE) break;
        const PixBox origin = open.empty() ? PixBox{} : areas[open.back()].box;
        switch (row.rect_type) {
        case MOUSE_OPEN_AREA: {
            const PixBox& b = row.relative_box;
            const bool whole = b.x == 0 && b.y == 0 && b.size_x == 0 && b.size_y == 0;
            areas.push_back({whole ? origin : PixBox{origin.x + b.x, origin.y + b.y, b.size_x, b.size_y},
                             whole && open.empty(), {}, {}});
            open.push_back(areas.size() - 1);
            break;
        }
        case MOUSE_TOOLTIP:
            if (!open.empty() && row.action.tooltip != nullptr) {
                areas[open.back()].tooltip.assign(row.action.tooltip, strnlen(row.action.tooltip, max_tooltip_length));
            }
            break;
        case MOUSE_CLICK_AREA:
            if (!open.empty()) {
                const PixBox& b = row.relative_box;
                areas[open.back()].clicks.push_back(
                    {{origin.x + b.x, origin.y + b.y, b.size_x, b.size_y}, row.cursor, row.mouse_flags, row.event_id});
            }
            break;
        case MOUSE_CLOSE_AREA:
            if (!open.empty()) open.pop_back();
            break;
        default: break;
        }
    }
    return areas;
}

std::string box_text(const PixBox& b) {
    return std::to_string(b.x) + ", " + std::to_string(b.y) + ", " + std::to_string(b.size_x) + ", " +
           std::to_string(b.size_y);
}

std::string cursor_text(int32_t cursor) {
    switch (cursor) {
    case CURSOR_NONE: return "none";
    case CURSOR_UPARROW: return "up arrow";
    case CURSOR_DOWNARROW: return "down arrow";
    case CURSOR_HAND: return "hand";
    default: return "cursor " + std::to_string(cursor);
    }
}

std::string event_text(uint32_t id) {
    const std::string name = key_event_label(id);
    return std::to_string(id) + (name.empty() ? "" : " `" + name + "`");
}

std::string var_text(int32_t id) {
    const std::string name = host_var_label(id);
    return std::to_string(id) + (name.empty() ? "" : " `" + name + "`");
}

std::string list(const std::set<uint32_t>& events) {
    std::string text;
    for (uint32_t e : events) text += (text.empty() ? "" : ", ") + event_text(e);
    return text;
}

PixPoint centre(const PixBox& b) { return {b.x + b.size_x / 2, b.y + b.size_y / 2}; }

// What a gauge reads and what each of its click rows sends, found by flying
// it alone: install, update, then every click row after every other.
struct Probe {
    std::set<int32_t> read;
    std::vector<std::set<uint32_t>> sent;  // per click row, in table order
};

Probe probe(RenderSetup& setup, const std::string& name, const std::vector<Area>& areas) {
    Panel& panel = setup.panel();
    HostServices& host = setup.host();
    Probe p;
    std::vector<PixPoint> points;
    for (const Area& a : areas) {
        for (const AreaClick& c : a.clicks) points.push_back(centre(c.box));
    }
    p.sent.resize(points.size());
    host.on_refresh = [&](int32_t id) { p.read.insert(id); };
    panel.set_aircraft_model(true);
    auto click = [&](size_t row) {
        const size_t before = host.key_events().size();
        panel.click(name, points[row], Button::left, 0);
        for (size_t i = before; i < host.key_events().size(); ++i) p.sent[row].insert(host.key_events()[i].id);
    };
    panel.install(name);
    panel.update();
    // Every click after every other, twice over, so that a switch a click
    // flips has been seen both ways when the next click acts on it.
    for (size_t i = 0; i < points.size(); ++i) {
        for (size_t j = 0; j < points.size(); ++j) {
            for (int round = 0; round < 2; ++round) {
                click(i);
                click(j);
            }
        }
        panel.update();
    }
    panel.kill(name);
    panel.set_aircraft_model(false);
    host.on_refresh = nullptr;
    panel.take_faults();
    return p;
}

}  // namespace

std::string gauge_reference(RenderSetup& setup) {
    std::string md;
    for (GaugeHeader* g : setup.panel().gauges()) {
        const std::string name(g->gauge_name, strnlen(g->gauge_name, max_gauge_name_length));
        const PixPoint size = setup.renderer().gauge_size(*g);
        const std::vector<Area> areas = areas_of(g->mouse_rect);
        const Probe p = probe(setup, name, areas);
        md += "### `" + name + "`\n\n";
        md += std::to_string(size.x) + " x " + std::to_string(size.y) + " pixels, default width " +
              std::to_string(g->size_x_mm) + " mm, " + std::to_string(walk_chain(g).elements.size()) + " elements.\n\n";
        md += "| Area (x, y, w, h) | Tooltip | Click area (x, y, w, h) | Cursor | Sends |\n|---|---|---|---|---|\n";
        size_t row = 0;
        for (const Area& a : areas) {
            const std::string where = a.whole ? "whole gauge" : box_text(a.box);
            const std::string tooltip = a.tooltip.empty() ? "" : "\"" + a.tooltip + "\"";
            if (a.clicks.empty()) md += "| " + where + " | " + tooltip + " | | | |\n";
            for (size_t i = 0; i < a.clicks.size(); ++i, ++row) {
                const AreaClick& c = a.clicks[i];
                std::string sends;
                if (c.event != 0) {
                    sends = "the host sends " + event_text(c.event);
                } else {
                    sends = p.sent[row].empty() ? "the module, no key event" : "the module: " + list(p.sent[row]);
                }
                if ((c.flags & MOUSE_DOWN_REPEAT) != 0) sends += "; repeats while held";
                md += "| " + (i == 0 ? where + " | " + tooltip : std::string(" |")) + " | " + box_text(c.box) + " | " +
                      cursor_text(c.cursor) + " | " + sends + " |\n";
            }
        }
        std::string read;
        for (int32_t id : p.read) read += (read.empty() ? "" : ", ") + var_text(id);
        md += "\nHost variables read: " + (read.empty() ? std::string("none") : read) + ".\n\n";
    }
    return md;
}

}  // namespace panelhost
