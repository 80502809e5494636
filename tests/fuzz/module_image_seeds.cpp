// Writes the module validator's seed images into a folder: the seeds
// committed in tests/fuzz/seeds/module_image were written by it, and are
// written again when the records' layout changes.
//
// usage: module_image_seeds DIR
#include <cstdio>
#include <filesystem>
#include <string>

#include "host/base/files.h"
#include "tests/fuzz/module_image.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: module_image_seeds DIR\n");
        return 2;
    }
    for (const auto& [name, bytes] : orvane::fuzzing::module_image_seeds()) {
        const std::string path = (std::filesystem::path(argv[1]) / (name + ".image")).string();
        if (std::string error; !panelhost::write_file(path, bytes, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
