// A later placement of a gauge (a first officer's PFD beside the captain's):
// its own copy of the records the host writes, as the simulator keeps one
// for every placement, so that each is installed, updated, drawn and clicked
// apart while the module's own state stays shared. The first placement uses
// the module's records themselves.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "module/host_abi.h"

namespace panelhost {

class GaugeCopy {
public:
    // Copies the header and every element of its chain at its kind's size,
    // chained to each other as the originals are. Failure lists and the mouse
    // table stay the module's: the host only reads them. The originals must
    // hold a sound chain (the loader checked it).
    explicit GaugeCopy(const orvane::GaugeHeader& original);
    GaugeCopy(const GaugeCopy&) = delete;
    GaugeCopy& operator=(const GaugeCopy&) = delete;

    orvane::GaugeHeader* header() { return &header_; }

private:
    // Room for the record of any kind.
    union Element {
        orvane::ElementHeader header;
        orvane::ElementStaticImage image;
        orvane::ElementString text;
        orvane::ElementSlider slider;
        orvane::ElementIcon icon;
        orvane::ElementMovingImage moving;
        orvane::ElementSprite sprite;
    };
    using List = std::array<orvane::ElementHeader*, 2>;  // one element, then the end

    orvane::GaugeHeader header_;
    List first_{};
    std::vector<Element> elements_;
    std::vector<List> next_;
};

}  // namespace panelhost
