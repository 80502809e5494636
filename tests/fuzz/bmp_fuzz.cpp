// Fuzz target: the input is a background bitmap file. The reader refuses it
// with a reason, or gives an image within its bounds, which is made into a
// picture to draw.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "host/render/bmp_file.h"
#include "host/render/render.h"

namespace {

[[noreturn]] void fault(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    const panelhost::BmpRead read = panelhost::read_bmp(bytes);
    if (!read.error.empty()) {
        if (!read.image.pixels.empty()) fault("a refused file gave pixels");
        if (read.error.find(" (") == std::string::npos) fault("a refusal does not say what is allowed");
        return 0;
    }
    const panelhost::RgbImage& image = read.image;
    if (image.width < 1 || image.height < 1 || image.width > panelhost::max_bmp_side ||
        image.height > panelhost::max_bmp_side) {
        fault("an image beyond the bounds was read");
    }
    if (image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height)) {
        fault("an image with fewer or more pixels than its sides");
    }
    for (const uint32_t pixel : image.pixels) {
        if (pixel > 0xFFFFFF) fault("a pixel beyond 24 bits");
    }
    if (!panelhost::make_picture(image)) fault("an image within the bounds could not be made a picture");
    return 0;
}
