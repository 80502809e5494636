// Packs the resources of the resource list into the native build's resource
// blob (platform/resources_blob.h), the way the resource compiler puts them
// into the Windows module: a bitmap without its 14-byte file header, any
// other type byte for byte.
//
//   orvane_pack_resources RESOURCE_LIST OUTPUT
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/resources_blob.h"
#include "tools/resource_list.h"

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
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvane_pack_resources RESOURCE_LIST OUTPUT\n");
        return 2;
    }
    const std::string list_path = argv[1];
    const resources::ParseResult list = resources::load_resource_list(list_path);
    if (!list.error.empty()) {
        std::fprintf(stderr, "%s\n", list.error.c_str());
        return 1;
    }

    const size_t count = list.entries.size();
    std::vector<uint8_t> out(sizeof(blob::Header) + count * sizeof(blob::Entry), 0);
    std::vector<blob::Entry> entries(count);
    for (size_t i = 0; i < count; ++i) {
        const resources::ResourceEntry& e = list.entries[i];
        blob::Entry& b = entries[i];
        b.language = e.language;
        if (e.type == "BITMAP")
            b.type_id = rt_bitmap;
        else
            b.type_name = append_string(out, e.type);
        if (e.named())
            b.name = append_string(out, e.identifier);
        else
            b.name_id = e.id;
    }
    for (size_t i = 0; i < count; ++i) {
        const resources::ResourceEntry& e = list.entries[i];
        std::vector<uint8_t> bytes;
        const std::string path = e.file;
        if (!resources::read_file(path, &bytes)) {
            std::fprintf(stderr, "%s:%d: cannot read %s\n", list_path.c_str(), e.line, path.c_str());
            return 1;
        }
        size_t skip = 0;
        if (e.type == "BITMAP") {
            if (bytes.size() <= bmp_file_header || bytes[0] != 'B' || bytes[1] != 'M') {
                std::fprintf(stderr, "%s:%d: %s is not a BMP file\n", list_path.c_str(), e.line, path.c_str());
                return 1;
            }
            skip = bmp_file_header;
        }
        while (out.size() % 4 != 0) out.push_back(0);
        entries[i].offset = static_cast<uint32_t>(out.size());
        entries[i].size = static_cast<uint32_t>(bytes.size() - skip);
        out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(skip), bytes.end());
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

    FILE* f = std::fopen(argv[2], "wb");
    if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size()) {
        std::fprintf(stderr, "orvane_pack_resources: cannot write %s\n", argv[2]);
        if (f) std::fclose(f);
        return 1;
    }
    return std::fclose(f) == 0 ? 0 : 1;
}
