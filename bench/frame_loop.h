// A lean panel: every gauge of one loaded module, installed and updated in the
// order and with the calls the panel host makes, without its checks, trace or
// bookkeeping. What is left of a frame is the module's own work and the host's
// few answers to it.
//
// Every call into the module goes through one of the orvane_module_* functions
// below and every host call the module makes lands in one of the orvane_host_*
// functions, so that an instruction counter can tell the two apart by name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bench/approach.h"
#include "host/services/host_services.h"
#include "host/services/module_loader.h"
#include "module/host_abi.h"

extern "C" {
void orvane_module_service(orvane::ServiceCallback callback, orvane::GaugeHeader* gauge, int32_t code,
                           orvane::ServiceExtra extra);
double orvane_module_text(orvane::StringCallback callback, orvane::ElementString* element);
double orvane_module_slider(orvane::SliderCallback callback, orvane::ElementSlider* element);
double orvane_module_icon(orvane::IconCallback callback, orvane::ElementIcon* element);
double orvane_module_moving_image(orvane::MovingImageCallback callback, orvane::ElementMovingImage* element);
double orvane_module_sprite(orvane::SpriteCallback callback, orvane::ElementSprite* element);
int32_t orvane_module_mouse(orvane::MouseFunction handler, orvane::PixPoint* point, uint32_t flags);
}

namespace orvane::bench {

class FramePanel {
public:
    // Loads the module and writes the host's function table into it; null and
    // a reason when it cannot be loaded.
    static std::unique_ptr<FramePanel> open(const std::string& path, std::string& error);
    ~FramePanel();
    FramePanel(const FramePanel&) = delete;
    FramePanel& operator=(const FramePanel&) = delete;

    // Every gauge of the gauge table: service code 2, the text buffers, 3, 4, 5.
    void install();
    // Service code 12, the text buffers taken back, 13.
    void kill();
    // One update of every gauge: service code 6, then each element's own
    // variables refreshed and its callbacks called in chain order, then 7.
    void frame();

    void set(const std::vector<HostVariable>& values);
    // Makes this panel's host the one that answers the module's calls, for
    // when several panels are open at once.
    void activate();
    // A left click at gauge pixels, handed to the module's handler there.
    // False when no handler row takes it.
    bool click(const std::string& gauge, PixPoint point);

    // Every text of every gauge, as the panel shows it now, one gauge a line.
    std::string texts() const;

    struct Text {
        std::string gauge;
        size_t chain_index;
        ElementString* element;
    };
    std::vector<Text> text_elements() const;
    panelhost::HostServices& host() { return *host_; }

private:
    struct Gauge {
        GaugeHeader* header;
        std::string name;
        std::vector<ElementHeader*> elements;
        std::vector<std::vector<char>> buffers;  // one per text element, in chain order
    };

    FramePanel() = default;
    void update(Gauge& gauge);

    std::unique_ptr<panelhost::LoadedModule> module_;
    std::unique_ptr<panelhost::HostServices> host_;
    std::vector<Gauge> gauges_;
};

// The panel at the start of the approach: the host's values of frame 0, every
// gauge installed on them, the decision-height unit switched to DH mode.
std::unique_ptr<FramePanel> open_approach_panel(const std::string& path, std::string& error);

// The DH unit's DH button pressed; false and a reason when it has none.
bool press_dh_button(FramePanel& panel, std::string& error);

}  // namespace orvane::bench
