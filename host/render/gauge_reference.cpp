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

// What a gauge reads and what each of its click rows sends, found by flying
// it alone: install, update, then every click row after every other.
struct Probe {
    std::set<int32_t> read;
    std::vector<std::set<uint32_t>> sent;  // per click row, in table order
};

Probe probe(RenderSetup& setup, const std::string& name, const std::vector<MouseArea>& areas) {
    Panel& panel = setup.panel();
    HostServices& host = setup.host();
    Probe p;
    std::vector<PixPoint> points;
    for (const MouseArea& a : areas) {
        for (const ClickRow& c : a.clicks) points.push_back(c.centre);
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
        const std::vector<MouseArea> areas = mouse_areas(g->mouse_rect);
        const Probe p = probe(setup, name, areas);
        md += "### `" + name + "`\n\n";
        md += std::to_string(size.x) + " x " + std::to_string(size.y) + " pixels, default width " +
              std::to_string(g->size_x_mm) + " mm, " + std::to_string(walk_chain(g).elements.size()) + " elements.\n\n";
        // Areas numbered from 1 in table order, as panelhost render --areas numbers them.
        md += "| | Area (x, y, w, h) | Tooltip | Click area (x, y, w, h) | Cursor | Sends |\n"
              "|---|---|---|---|---|---|\n";
        size_t row = 0, number = 0;
        for (const MouseArea& a : areas) {
            const std::string where =
                std::to_string(++number) + " | " + (a.area.bounded ? box_text(a.area.box) : "whole gauge");
            const std::string tooltip = a.tooltip.empty() ? "" : "\"" + a.tooltip + "\"";
            if (a.clicks.empty()) md += "| " + where + " | " + tooltip + " | | | |\n";
            for (size_t i = 0; i < a.clicks.size(); ++i, ++row) {
                const MouseRect& c = *a.clicks[i].row;
                std::string sends;
                if (c.event_id != 0) {
                    sends = "the host sends " + event_text(c.event_id);
                } else {
                    sends = p.sent[row].empty() ? "the module, no key event" : "the module: " + list(p.sent[row]);
                }
                if ((c.mouse_flags & MOUSE_DOWN_REPEAT) != 0) sends += "; repeats while held";
                md += "| " + (i == 0 ? where + " | " + tooltip : std::string(" | |")) + " | " + box_text(a.clicks[i].box) +
                      " | " + cursor_text(c.cursor) + " | " + sends + " |\n";
            }
        }
        std::string read;
        for (int32_t id : p.read) read += (read.empty() ? "" : ", ") + var_text(id);
        md += "\nHost variables read: " + (read.empty() ? std::string("none") : read) + ".\n\n";
    }
    return md;
}

}  // namespace panelhost
