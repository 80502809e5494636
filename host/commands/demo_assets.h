// The files of examples/ that panelhost carries, so that the demo runs from
// the program alone: made at build time by host/demo_assets.cmake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "host/render/panel_renderer.h"

namespace panelhost {

struct DemoFile {
    const char* name;
    const unsigned char* data;
    size_t size;
};

extern const DemoFile demo_files[];
extern const size_t demo_file_count;

// One of the files by its name, or nothing.
std::optional<std::vector<uint8_t>> demo_asset(std::string_view name);

// The files beside the panel.cfg given, else (none given) the example
// panel's files that panelhost carries.
PanelFiles panel_files_for(const std::string& cfg_path);

}  // namespace panelhost
