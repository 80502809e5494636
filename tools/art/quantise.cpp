#include "tools/art/quantise.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <vector>

namespace art {
namespace {

constexpr Rgb near_black = {1, 1, 1};
constexpr int opaque_colours = 255;  // entry 0 stays transparent black

struct Colour {
    Rgb rgb;
    uint64_t count;
};

uint32_t key_of(Rgb c) { return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; }

uint8_t channel(Rgb c, int axis) { return axis == 0 ? c.r : axis == 1 ? c.g : c.b; }

Rgb never_black(Rgb c) { return c == transparent_black ? near_black : c; }

// Whether the pixel shows, and its colour when it does.
bool classify(uint32_t pixel, Edge edge, Rgb* out) {
    const uint32_t a = pixel >> 24;
    const uint32_t r = (pixel >> 16) & 0xFFu, g = (pixel >> 8) & 0xFFu, b = pixel & 0xFFu;
    if (edge == Edge::hard) {
        if (a < 128) return false;
        auto unpremultiply = [a](uint32_t c) { return static_cast<uint8_t>(std::min(255u, (c * 255u + a / 2) / a)); };
        *out = never_black({unpremultiply(r), unpremultiply(g), unpremultiply(b)});
        return true;
    }
    if (a < 64) return false;
    *out = never_black({static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)});
    return true;
}

struct Box {
    std::vector<Colour> colours;

    int range(int axis) const {
        uint8_t lo = 255, hi = 0;
        for (const Colour& c : colours) {
            lo = std::min(lo, channel(c.rgb, axis));
            hi = std::max(hi, channel(c.rgb, axis));
        }
        return hi - lo;
    }
    int widest_axis() const {
        int best = 0;
        for (int axis = 1; axis < 3; ++axis)
            if (range(axis) > range(best)) best = axis;
        return best;
    }
    Rgb mean() const {
        uint64_t sum[3] = {0, 0, 0}, n = 0;
        for (const Colour& c : colours) {
            for (int axis = 0; axis < 3; ++axis) sum[axis] += channel(c.rgb, axis) * c.count;
            n += c.count;
        }
        auto avg = [n](uint64_t s) { return static_cast<uint8_t>((s + n / 2) / n); };
        return never_black({avg(sum[0]), avg(sum[1]), avg(sum[2])});
    }
};

// Median cut over the distinct colours: the box with the widest spread is
// split at its middle colour along that spread, until there are enough boxes.
std::vector<Rgb> median_cut(const std::vector<Colour>& colours) {
    std::vector<Box> boxes{Box{colours}};
    while (static_cast<int>(boxes.size()) < opaque_colours) {
        int pick = -1, pick_range = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].colours.size() < 2) continue;
            const int r = boxes[i].range(boxes[i].widest_axis());
            if (r > pick_range) pick = static_cast<int>(i), pick_range = r;
        }
        if (pick < 0) break;
        Box& box = boxes[static_cast<size_t>(pick)];
        const int axis = box.widest_axis();
        std::stable_sort(box.colours.begin(), box.colours.end(), [axis](const Colour& a, const Colour& b) {
            return channel(a.rgb, axis) < channel(b.rgb, axis);
        });
        const auto middle = box.colours.begin() + static_cast<std::ptrdiff_t>(box.colours.size() / 2);
        Box upper{std::vector<Colour>(middle, box.colours.end())};
        box.colours.erase(middle, box.colours.end());
        boxes.push_back(std::move(upper));
    }
    std::vector<Rgb> palette;
    for (const Box& box : boxes) palette.push_back(box.mean());
    return palette;
}

uint8_t nearest(const IndexedImage& image, int entries, Rgb c) {
    int best = 1;
    int best_distance = 1 << 30;
    for (int i = 1; i <= entries; ++i) {
        const Rgb p = image.palette[static_cast<size_t>(i)];
        const int dr = p.r - c.r, dg = p.g - c.g, db = p.b - c.b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < best_distance) best = i, best_distance = d;
    }
    return static_cast<uint8_t>(best);
}

}  // namespace

IndexedImage quantise(const uint8_t* argb, int stride_bytes, int width, int height, Edge edge) {
    IndexedImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);

    std::vector<int32_t> shown(image.pixels.size(), -1);  // colour key, -1 transparent
    std::map<uint32_t, uint64_t> histogram;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, argb + static_cast<std::ptrdiff_t>(y) * stride_bytes + x * 4, sizeof pixel);
            Rgb c;
            if (!classify(pixel, edge, &c)) continue;
            const uint32_t key = key_of(c);
            shown[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                static_cast<int32_t>(key);
            ++histogram[key];
        }
    }

    std::vector<Colour> colours;
    for (const auto& [key, count] : histogram)
        colours.push_back({{static_cast<uint8_t>(key >> 16), static_cast<uint8_t>(key >> 8), static_cast<uint8_t>(key)},
                           count});

    std::vector<Rgb> palette;
    if (static_cast<int>(colours.size()) <= opaque_colours) {
        for (const Colour& c : colours) palette.push_back(c.rgb);
    } else {
        palette = median_cut(colours);
    }
    const int entries = static_cast<int>(palette.size());
    for (int i = 0; i < entries; ++i) image.palette[static_cast<size_t>(i) + 1] = palette[static_cast<size_t>(i)];

    std::map<uint32_t, uint8_t> index_of;
    for (const Colour& c : colours) index_of[key_of(c.rgb)] = nearest(image, entries, c.rgb);
    for (size_t i = 0; i < shown.size(); ++i)
        if (shown[i] >= 0) image.pixels[i] = index_of[static_cast<uint32_t>(shown[i])];
    return image;
}

}  // namespace art
