// Draws every bitmap of the one resource list and writes it into the
// resource folder, or with --check, compares what it draws with the files
// already there.
//
//   orvane_art RES_DIR          regenerate the bitmaps
//   orvane_art --check RES_DIR  exit 1 if any file differs
#include <cstdio>
#include <string>

#include "host/base/command_line.h"
#include "host/base/files.h"
#include "res/resource_table.h"
#include "tools/art/art.h"

int main(int argc, char** argv) {
    std::string res_dir;
    bool check = false;
    panelhost::CommandLine cli("orvane_art", "Draws the module's bitmaps into the resource folder.");
    cli.operand("RES_DIR", res_dir, "the folder the resource list's files are in (res/)");
    cli.flag("--check", check, "write nothing; fail if a committed bitmap differs from what is drawn");
    cli.footer("Exit status: 0 all drawn (or all the same), 1 a bitmap differs or could not be written.");
    if (const auto status = cli.parse(argc, argv, stdout, stderr)) return *status;

    int failures = 0, bitmaps = 0;
    for (const resources::ResourceEntry& e : resources::resource_entries) {
        if (e.type != resources::ResourceType::bitmap) continue;
        ++bitmaps;
        const art::ArtPiece* piece = art::find_art(e.name);
        if (!piece) {
            std::fprintf(stderr, "orvane_art: no art for bitmap %s\n", e.name);
            ++failures;
            continue;
        }
        const std::vector<uint8_t> bmp = art::render_bmp_file(*piece);
        const std::string path = res_dir + "/" + e.file;
        std::string error;
        if (check) {
            if (panelhost::read_file_bytes(path) != bmp) {
                std::fprintf(stderr, "orvane_art: %s differs from what the generator draws\n", path.c_str());
                ++failures;
            }
        } else if (!panelhost::write_file(path, bmp, &error)) {
            std::fprintf(stderr, "orvane_art: %s\n", error.c_str());
            ++failures;
        }
    }
    if (bitmaps != static_cast<int>(art::art_pieces().size())) {
        std::fprintf(stderr, "orvane_art: the list names %d bitmaps, the generator draws %zu\n", bitmaps,
                     art::art_pieces().size());
        ++failures;
    }
    return failures == 0 ? panelhost::exit_ok : panelhost::exit_failed;
}
