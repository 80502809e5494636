// Packs the resources of the one resource list into the native build's
// resource blob (platform/resources_blob.h), the way the resource compiler
// puts them into the Windows module: a bitmap without its 14-byte file
// header, any other type byte for byte.
//
//   orvane_pack_resources --out BLOB RES_DIR
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/base/command_line.h"
#include "host/base/files.h"
#include "platform/resources_blob.h"
#include "res/resource_table.h"

namespace {

namespace blob = platform::resource_blob;

constexpr uint32_t rt_bitmap = 2;
constexpr size_t bmp_file_header = 14;

void put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t append_string(std::vector<uint8_t>& out, const std::string& s) {
    const auto at = static_cast<uint32_t>(out.size());
    out.insert(out.end(), s.begin(), s.end());
    out.push_back(0);
    return at;
}

}  // namespace

int main(int argc, char** argv) {
    std::string res_dir, output;
    panelhost::CommandLine cli("orvane_pack_resources",
                               "Packs the module's resources into the native build's resource blob.");
    cli.operand("RES_DIR", res_dir, "the folder the resource list's files are in (res/)");
    cli.option("--out", output, "FILE", "the blob to write", true);
    if (const auto status = cli.parse(argc, argv, stdout, stderr)) return *status;

    const size_t count = std::size(resources::resource_entries);
    std::vector<uint8_t> out(sizeof(blob::Header) + count * sizeof(blob::Entry), 0);
    std::vector<blob::Entry> entries(count);
    for (size_t i = 0; i < count; ++i) {
        const resources::ResourceEntry& e = resources::resource_entries[i];
        blob::Entry& b = entries[i];
        b.language = resources::resource_language;
        if (e.type == resources::ResourceType::bitmap)
            b.type_id = rt_bitmap;
        else
            b.type_name = append_string(out, e.type_name());
        if (e.named())
            b.name = append_string(out, e.name);
        else
            b.name_id = e.id;
    }
    for (size_t i = 0; i < count; ++i) {
        const resources::ResourceEntry& e = resources::resource_entries[i];
        const std::string path = res_dir + "/" + e.file;
        std::string error;
        const std::optional<std::vector<uint8_t>> bytes = panelhost::read_file_bytes(path, &error);
        if (!bytes) {
            std::fprintf(stderr, "orvane_pack_resources: %s\n", error.c_str());
            return panelhost::exit_unusable;
        }
        size_t skip = 0;
        if (e.type == resources::ResourceType::bitmap) {
            if (bytes->size() <= bmp_file_header || (*bytes)[0] != 'B' || (*bytes)[1] != 'M') {
                std::fprintf(stderr, "orvane_pack_resources: %s is not a BMP file\n", path.c_str());
                return panelhost::exit_unusable;
            }
            skip = bmp_file_header;
        }
        while (out.size() % 4 != 0) out.push_back(0);
        entries[i].offset = static_cast<uint32_t>(out.size());
        entries[i].size = static_cast<uint32_t>(bytes->size() - skip);
        out.insert(out.end(), bytes->begin() + static_cast<std::ptrdiff_t>(skip), bytes->end());
    }
    while (out.size() % 4 != 0) out.push_back(0);

    put32(out, 0, blob::magic);
    put32(out, 4, blob::version);
    put32(out, 8, static_cast<uint32_t>(count));
    put32(out, 12, static_cast<uint32_t>(out.size()));
    for (size_t i = 0; i < count; ++i) {
        const blob::Entry& b = entries[i];
        const uint32_t fields[] = {b.type_id, b.type_name, b.name_id, b.name, b.language, b.offset, b.size, 0};
        for (size_t f = 0; f < 8; ++f) put32(out, sizeof(blob::Header) + i * sizeof(blob::Entry) + f * 4, fields[f]);
    }

    std::string error;
    if (!panelhost::write_file(output, out, &error)) {
        std::fprintf(stderr, "orvane_pack_resources: %s\n", error.c_str());
        return panelhost::exit_unusable;
    }
    return panelhost::exit_ok;
}
