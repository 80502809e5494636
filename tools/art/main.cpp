// Draws every bitmap that the resource list names and writes it beside the
// list, or with --check, compares what it draws with the files already there.
//
//   orvane_art res/resources.list          regenerate the bitmaps
//   orvane_art --check res/resources.list  exit 1 if any file differs
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/art/art.h"
#include "tools/resource_list.h"

int main(int argc, char** argv) {
    const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
    if (argc != 2 && !check) {
        std::fprintf(stderr, "usage: orvane_art [--check] RESOURCE_LIST\n");
        return 2;
    }
    const std::string list_path = argv[argc - 1];
    const resources::ParseResult list = resources::load_resource_list(list_path);
    if (!list.error.empty()) {
        std::fprintf(stderr, "%s\n", list.error.c_str());
        return 1;
    }

    int failures = 0, bitmaps = 0;
    for (const resources::ResourceEntry& e : list.entries) {
        if (e.type != "BITMAP") continue;
        ++bitmaps;
        const art::ArtPiece* piece = art::find_art(e.identifier);
        if (!piece) {
            std::fprintf(stderr, "%s:%d: no art for bitmap %s\n", list_path.c_str(), e.line, e.identifier.c_str());
            ++failures;
            continue;
        }
        const std::vector<uint8_t> bmp = art::render_bmp_file(*piece);
        const std::string path = e.file;
        if (check) {
            std::vector<uint8_t> committed;
            if (!resources::read_file(path, &committed) || committed != bmp) {
                std::fprintf(stderr, "%s differs from what the generator draws\n", path.c_str());
                ++failures;
            }
            continue;
        }
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(bmp.data(), 1, bmp.size(), f) != bmp.size()) {
            std::fprintf(stderr, "orvane_art: cannot write %s\n", path.c_str());
            ++failures;
        }
        if (f) std::fclose(f);
    }
    if (bitmaps != static_cast<int>(art::art_pieces().size())) {
        std::fprintf(stderr, "orvane_art: the list names %d bitmaps, the generator draws %zu\n", bitmaps,
                     art::art_pieces().size());
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
