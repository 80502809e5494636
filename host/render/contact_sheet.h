// The contact sheet: a scenario's key moments side by side, each captioned.
#pragma once

#include <string>
#include <vector>

#include "host/render/render.h"

namespace panelhost {

// One picture of the contact sheet.
struct SheetEntry {
    cairo_surface_t* frame = nullptr;
    std::string caption;
    std::string note;  // a second, smaller line
};

// The key moments side by side in two columns, each frame at half its size
// with its caption under it, below a title and a subtitle.
Surface contact_sheet(const std::vector<SheetEntry>& entries, const std::string& title, const std::string& subtitle);

}  // namespace panelhost
