// Seeds for the callout resource fuzz target: the module's own recording, and
// small RIFF images that lead the loader down each of its turns (padding,
// chunks before and between, a longer format, images cut short, sizes that
// lie, forms that are not WAVE).
//
// usage: riff_seeds OUT_DIR CALLOUT_WAV
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(Bytes& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

Bytes chunk(const char* id, const Bytes& body, int64_t declared = -1) {
    Bytes out(id, id + 4);
    put32(out, declared < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(declared));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 != 0) out.push_back(0);
    return out;
}

Bytes format(uint32_t bytes = 16) {
    Bytes out;
    put16(out, 1);      // PCM
    put16(out, 1);      // mono
    put32(out, 11025);  // samples per second
    put32(out, 11025);  // bytes per second
    put16(out, 1);      // block alignment
    put16(out, 8);      // bits per sample
    while (out.size() < bytes) out.push_back(0);
    return out;
}

Bytes samples(size_t n) {
    Bytes out(n);
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(128 + (i * 37) % 61);
    return out;
}

Bytes riff(const char* form, const std::vector<Bytes>& chunks, int64_t declared = -1) {
    Bytes body(form, form + 4);
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    return chunk("RIFF", body, declared);
}

Bytes cut(Bytes image, size_t keep) {
    image.resize(std::min(keep, image.size()));
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUT_DIR CALLOUT_WAV\n", argv[0]);
        return 2;
    }
    std::ifstream wav(argv[2], std::ios::binary);
    const Bytes callout{std::istreambuf_iterator<char>(wav), std::istreambuf_iterator<char>()};
    if (callout.empty()) {
        std::fprintf(stderr, "%s: cannot read\n", argv[2]);
        return 1;
    }
    const Bytes fmt = chunk("fmt ", format());
    const Bytes data = chunk("data", samples(64));
    const std::vector<std::pair<const char*, Bytes>> seeds = {
        {"callout.wav", callout},
        {"plain", riff("WAVE", {fmt, data})},
        {"format_of_18", riff("WAVE", {chunk("fmt ", format(18)), data})},
        {"list_first", riff("WAVE", {chunk("LIST", samples(11)), fmt, data})},
        {"data_first", riff("WAVE", {data, fmt})},
        {"odd_chunk_between", riff("WAVE", {fmt, chunk("junk", samples(3)), data})},
        {"odd_data", riff("WAVE", {fmt, chunk("data", samples(63))})},
        {"empty_data", riff("WAVE", {fmt, chunk("data", {})})},
        {"data_cut_short", cut(riff("WAVE", {fmt, data}), 60)},
        {"data_claims_more", riff("WAVE", {fmt, chunk("data", samples(64), 4096)})},
        {"riff_claims_less", riff("WAVE", {fmt, data}, 12)},
        {"no_format", riff("WAVE", {data})},
        {"no_data", riff("WAVE", {fmt})},
        {"not_wave", riff("AVI ", {fmt, data})},
        {"two_forms", [&] {
             Bytes two = riff("AVI ", {data});
             const Bytes wave = riff("WAVE", {fmt, data});
             two.insert(two.end(), wave.begin(), wave.end());
             return two;
         }()},
        {"header_only", cut(riff("WAVE", {fmt, data}), 12)},
    };
    for (const auto& [name, bytes] : seeds) {
        std::ofstream out(std::string(argv[1]) + "/" + name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[1], name);
            return 1;
        }
    }
    return 0;
}
