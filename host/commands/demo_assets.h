// The files of examples/ that panelhost carries, so that the demo runs from
// the program alone: made at build time by host/demo_assets.cmake.
#pragma once

#include <cstddef>

namespace panelhost {

struct DemoFile {
    const char* name;
    const unsigned char* data;
    size_t size;
};

extern const DemoFile demo_files[];
extern const size_t demo_file_count;

}  // namespace panelhost
