// panelhost demo: an approach flown on the example panel, drawn frame by
// frame, with a contact sheet of its key moments, an animation, the callout
// as the platform played it and the trace.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/render/render.h"

namespace panelhost {

int demo_command(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// A key moment, marked in a scenario by a comment "# moment: <caption>".
struct Moment {
    int line = 0;
    std::string caption;
};
std::vector<Moment> scenario_moments(std::string_view text);

// One picture of the contact sheet.
struct SheetEntry {
    cairo_surface_t* frame = nullptr;
    std::string caption;
    std::string note;  // a second, smaller line
};

// The key moments side by side in two columns, each frame at half its size
// with its caption under it, below a title and a subtitle.
Surface contact_sheet(const std::vector<SheetEntry>& entries, const std::string& title, const std::string& subtitle);

// The files built into panelhost from examples/: the approach, the panel and
// its bitmaps. Nothing when there is no file of that name.
std::optional<std::vector<uint8_t>> demo_asset(std::string_view name);

}  // namespace panelhost
