// The committed bitmaps: their formats and sizes, the host's transparency
// rules, and that the generator still draws exactly these files.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/services/resources.h"
#include "tools/art/art.h"
#include "host/base/files.h"
#include "res/resource_table.h"
#include "tests/support/resource_lookup.h"

namespace {

using panelhost::Bitmap;
using panelhost::PaletteColour;

const std::string res_dir = ORVANE_RES_DIR;

const resources::ResourceEntry* entry_for(const char* name) {
    const resources::ResourceEntry* e = resources::testing::find_resource(name);
    return e != nullptr && e->type == resources::ResourceType::bitmap ? e : nullptr;
}

std::vector<uint8_t> file_bytes(const resources::ResourceEntry& e) {
    const std::optional<std::vector<uint8_t>> bytes = panelhost::read_file_bytes(res_dir + "/" + e.file);
    EXPECT_TRUE(bytes.has_value()) << e.file;
    return bytes.value_or(std::vector<uint8_t>{});
}

uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v = 0;
    if (at + 4 <= b.size()) std::memcpy(&v, b.data() + at, 4);
    return v;
}

Bitmap decode_file(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < 14) return {};
    const panelhost::BitmapLookup r = panelhost::decode_dib(bytes.data() + 14, bytes.size() - 14);
    EXPECT_EQ(r.error, panelhost::BitmapError::none) << panelhost::describe(r.error);
    return r.bitmap;
}

constexpr PaletteColour black = {0, 0, 0};

struct Expected {
    const char* id;
    int width, height;
    bool all_black;
};

// The sizes the gauges' element positions and tape scales are computed for.
const Expected bitmaps[] = {
    {"BMP_AP_MASTER_SWITCH", 19, 33, false},  {"BMP_AP_BACKGROUND", 314, 100, true}, {"BMP_AP_PUSH_BUTTON_LIGHT", 18, 18, false},  {"BMP_PFD_BACKGROUND", 189, 181, false},
    {"BMP_PFD_ATTITUDE_BALL", 256, 256, false}, {"BMP_PFD_ATTITUDE_WINDOW", 88, 104, false}, {"BMP_PFD_SPEED_TAPE", 26, 839, false}, {"BMP_PFD_SPEED_WINDOW", 32, 97, false},
    {"BMP_PFD_HEADING_TAPE", 657, 20, false}, {"BMP_PFD_HEADING_WINDOW", 82, 20, false},  {"BMP_PFD_FD_ROLL_BAR", 2, 52, false},    {"BMP_PFD_FD_PITCH_BAR", 52, 2, false},
    {"BMP_DH_BACKGROUND", 109, 31, true},  {"BMP_DH_MODE_LIGHT", 18, 13, false},  {"BMP_FD_BUTTONS_UNLIT", 40, 17, false},   {"BMP_FD_BUTTON_LIT", 18, 14, false},
    {"BMP_ILS_BUTTON_LIT", 18, 14, false},  {"BMP_DME_BUTTON_LIT", 18, 14, false},  {"BMP_DME_BACKGROUND", 18, 14, true},    {"BMP_PFD_LOC_SCALE", 75, 7, false},
    {"BMP_PFD_GS_SCALE", 7, 75, false},   {"BMP_PFD_GS_DIAMOND", 11, 7, false},   {"BMP_PFD_LOC_DIAMOND", 7, 11, false},    {"BMP_PFD_AIRCRAFT_SYMBOL", 84, 21, false},
    {"BMP_PFD_FDHORMASK", 88, 104, true},
    {"BMP_PFD_FDVERMASK", 88, 104, true},
};

TEST(CommittedBitmaps, EveryBitmapIsAnUncompressed8BitDibWithItsOwn256ColourPaletteAtItsFixedSize) {
    int listed_bitmaps = 0;
    for (const auto& e : resources::resource_entries) listed_bitmaps += e.type == resources::ResourceType::bitmap;
    EXPECT_EQ(listed_bitmaps, 26);

    for (const Expected& x : bitmaps) {
        SCOPED_TRACE(x.id);
        const resources::ResourceEntry* e = entry_for(x.id);
        ASSERT_NE(e, nullptr);
        const std::vector<uint8_t> f = file_bytes(*e);
        ASSERT_GE(f.size(), 54u);
        const uint32_t stride = (static_cast<uint32_t>(x.width) + 3) & ~3u;
        EXPECT_EQ(f[0], 'B');
        EXPECT_EQ(f[1], 'M');
        EXPECT_EQ(u32(f, 2), f.size());
        EXPECT_EQ(u32(f, 10), 14u + 40u + 1024u);            // pixels right after the palette
        EXPECT_EQ(u32(f, 14), 40u);                          // info header size
        EXPECT_EQ(static_cast<int32_t>(u32(f, 18)), x.width);
        EXPECT_EQ(static_cast<int32_t>(u32(f, 22)), x.height);  // bottom-up
        EXPECT_EQ(u32(f, 26), 1u | (8u << 16));              // one plane, 8 bits per pixel
        EXPECT_EQ(u32(f, 30), 0u);                           // BI_RGB
        EXPECT_EQ(u32(f, 34), stride * static_cast<uint32_t>(x.height));
        EXPECT_EQ(u32(f, 46), 256u);                         // colours used
        EXPECT_EQ(f.size(), 14u + 40u + 1024u + stride * static_cast<uint32_t>(x.height));

        const Bitmap b = decode_file(f);
        EXPECT_EQ(b.width, x.width);
        EXPECT_EQ(b.height, x.height);
        EXPECT_EQ(b.palette_size, 256);
    }
}

TEST(CommittedBitmaps, PureBlackIsTheTransparentEntryOnlyAndOverlayBackgroundsAreAllTransparent) {
    for (const Expected& x : bitmaps) {
        SCOPED_TRACE(x.id);
        const resources::ResourceEntry* e = entry_for(x.id);
        ASSERT_NE(e, nullptr);
        const Bitmap b = decode_file(file_bytes(*e));
        ASSERT_EQ(b.pixels.size(), static_cast<size_t>(x.width) * static_cast<size_t>(x.height));
        EXPECT_EQ(b.palette[0], black);
        size_t transparent = 0, wrongly_black = 0;
        for (uint8_t index : b.pixels) {
            if (index == 0) ++transparent;
            else if (b.palette[index] == black) ++wrongly_black;
        }
        EXPECT_EQ(wrongly_black, 0u) << "opaque pixels that the host would treat as transparent";
        if (x.all_black) {
            EXPECT_EQ(transparent, b.pixels.size());
        } else {
            EXPECT_LT(transparent, b.pixels.size()) << "art with nothing drawn";
        }
    }
}

// Where the host must see through a bitmap, and where it must not.
struct Probe {
    const char* id;
    int x, y;
    bool transparent;
    const char* why;
};

const Probe probes[] = {
    {"BMP_PFD_ATTITUDE_BALL", 0, 0, false, "the attitude ball is opaque to its corners"},
    {"BMP_PFD_ATTITUDE_BALL", 128, 40, false, "sky"},
    {"BMP_PFD_ATTITUDE_BALL", 200, 200, false, "ground"},
    {"BMP_PFD_ATTITUDE_WINDOW", 44, 60, true, "the ball shows in the middle of the attitude window"},
    {"BMP_PFD_ATTITUDE_WINDOW", 0, 0, false, "the frame around the sphere area hides the ball"},
    {"BMP_PFD_ATTITUDE_WINDOW", 87, 103, false, "the frame around the sphere area hides the ball"},
    {"BMP_PFD_SPEED_WINDOW", 5, 20, true, "the speed tape shows through its window"},
    {"BMP_PFD_SPEED_WINDOW", 30, 48, false, "the speed index"},
    {"BMP_PFD_HEADING_WINDOW", 10, 12, true, "the heading tape shows through its window"},
    {"BMP_PFD_HEADING_WINDOW", 41, 3, false, "the heading index"},
    {"BMP_PFD_AIRCRAFT_SYMBOL", 42, 9, false, "the centre square of the aircraft symbol"},
    {"BMP_PFD_AIRCRAFT_SYMBOL", 0, 20, true, "the aircraft symbol is transparent around the wings"},
    {"BMP_PFD_BACKGROUND", 100, 120, true, "the display is black"},
    {"BMP_PFD_BACKGROUND", 49, 10, false, "a separator between the annunciation columns"},
    {"BMP_PFD_BACKGROUND", 152, 87, false, "the frame around the altitude readout"},
    {"BMP_PFD_FD_ROLL_BAR", 1, 26, false, "the roll bar is solid"},
    {"BMP_PFD_FD_PITCH_BAR", 26, 1, false, "the pitch bar is solid"},
};

TEST(CommittedBitmaps, WindowsAndOverlaysAreTransparentExactlyWhereTheArtBehindMustShow) {
    for (const Probe& p : probes) {
        SCOPED_TRACE(std::string(p.id) + " " + p.why);
        const resources::ResourceEntry* e = entry_for(p.id);
        ASSERT_NE(e, nullptr);
        const Bitmap b = decode_file(file_bytes(*e));
        ASSERT_LT(p.x, b.width);
        ASSERT_LT(p.y, b.height);
        EXPECT_EQ(b.index_at(p.x, p.y) == 0, p.transparent) << "at " << p.x << ", " << p.y;
    }
}

TEST(CommittedBitmaps, TheAttitudeBallHasNoTransparentPixelAnywhere) {
    const Bitmap b = decode_file(file_bytes(*entry_for("BMP_PFD_ATTITUDE_BALL")));
    for (size_t i = 0; i < b.pixels.size(); ++i) ASSERT_NE(b.pixels[i], 0) << "pixel " << i;
}

TEST(ArtGenerator, RedrawsEveryCommittedBitmapByteForByte) {
    ASSERT_EQ(art::art_pieces().size(), 26u);
    for (const auto& e : resources::resource_entries) {
        if (e.type != resources::ResourceType::bitmap) continue;
        SCOPED_TRACE(std::string(e.name) + " " + e.file);
        const art::ArtPiece* piece = art::find_art(e.name);
        ASSERT_NE(piece, nullptr);
        const std::vector<uint8_t> drawn = art::render_bmp_file(*piece);
        const std::vector<uint8_t> committed = file_bytes(e);
        ASSERT_EQ(drawn.size(), committed.size());
        size_t first_difference = 0;
        while (first_difference < drawn.size() && drawn[first_difference] == committed[first_difference])
            ++first_difference;
        EXPECT_EQ(first_difference, drawn.size()) << "first differing byte";
    }
}

}  // namespace
