#include "host/render/fonts.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <utility>

#include "host/base/text_format.h"

namespace panelhost {
namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

std::string pattern_string(FcPattern* pattern, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || value == nullptr) return {};
    return reinterpret_cast<const char*>(value);
}

// fontconfig's best file for a family; it answers with some other family
// when the one asked for is not installed.
Pattern match_family(const std::string& family, bool bold) {
    Pattern pattern(FcPatternCreate());
    if (!pattern) return nullptr;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    return Pattern(FcFontMatch(nullptr, pattern.get(), &result));
}

// Reads back from the face Cairo made which family and characters it really has.
void read_back(ResolvedFace& face) {
    cairo_matrix_t size, identity;
    cairo_matrix_init_scale(&size, 16, 16);
    cairo_matrix_init_identity(&identity);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_scaled_font_t* scaled = cairo_scaled_font_create(face.face.get(), &size, &identity, options);
    cairo_font_options_destroy(options);
    face.ascii.assign(128, false);
    if (cairo_scaled_font_status(scaled) == CAIRO_STATUS_SUCCESS) {
        if (FT_Face ft = cairo_ft_scaled_font_lock_face(scaled)) {
            face.family = ft->family_name != nullptr ? ft->family_name : "";
            for (unsigned c = 32; c < 127; ++c) face.ascii[c] = FT_Get_Char_Index(ft, c) != 0;
            cairo_ft_scaled_font_unlock_face(scaled);
        }
    }
    cairo_scaled_font_destroy(scaled);
}

// Windows text is bytes in the ANSI code page; Cairo wants UTF-8. Control
// characters draw nothing.
std::string to_utf8(unsigned char c) {
    if (c < 0x20 || c == 0x7F) return {};
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    return {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
}

void set_face(cairo_t* cr, const ResolvedFace& face, double size) {
    if (face.face) {
        cairo_set_font_face(cr, face.face.get());
    } else {
        cairo_select_font_face(cr, fallback_family, CAIRO_FONT_SLANT_NORMAL,
                               face.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    }
    cairo_set_font_size(cr, size);
}

struct Run {
    const ResolvedFace* face;
    std::string text;
    double advance = 0;
};

}  // namespace

FontBook::FontBook(std::vector<FaceMapping> table) : table_(std::move(table)) { FcInit(); }
FontBook::~FontBook() = default;

const ResolvedFace& FontBook::resolve(const std::string& windows_face, const std::string& family, bool bold) {
    for (const auto& f : faces_) {
        if (ascii_lowercase(f->windows_face) == ascii_lowercase(windows_face) && f->bold == bold) return *f;
    }
    auto face = std::make_unique<ResolvedFace>();
    face->windows_face = windows_face;
    face->wanted_family = family;
    face->bold = bold;
    Pattern match = match_family(family, bold);
    std::string got = match ? pattern_string(match.get(), FC_FAMILY) : "";
    if (ascii_lowercase(got) != ascii_lowercase(family) && family != fallback_family) {
        reports_.push_back("font \"" + windows_face + "\": " + family + " is not installed; drawing with " +
                           fallback_family + " instead");
        face->wanted_family = fallback_family;
        match = match_family(fallback_family, bold);
        got = match ? pattern_string(match.get(), FC_FAMILY) : "";
    }
    if (ascii_lowercase(got) != ascii_lowercase(face->wanted_family)) {
        reports_.push_back("font \"" + windows_face + "\": " + face->wanted_family + " is not installed either; " +
                           (got.empty() ? std::string("no font found at all") : "drawing with " + got));
    }
    if (match) {
        face->file = pattern_string(match.get(), FC_FILE);
        face->face = std::shared_ptr<cairo_font_face_t>(cairo_ft_font_face_create_for_pattern(match.get()),
                                                        cairo_font_face_destroy);
        if (cairo_font_face_status(face->face.get()) != CAIRO_STATUS_SUCCESS) face->face.reset();
    }
    if (face->face) {
        read_back(*face);
    } else {
        face->ascii.assign(128, false);
    }
    faces_.push_back(std::move(face));
    return *faces_.back();
}

const ResolvedFace& FontBook::face(std::string_view windows_face, int weight) {
    std::string family = fallback_family;
    for (const FaceMapping& m : table_) {
        if (ascii_lowercase(m.windows_face) == ascii_lowercase(windows_face)) family = m.family;
    }
    return resolve(std::string(windows_face), family, weight >= 600);
}

const ResolvedFace& FontBook::fallback(bool bold) { return resolve(fallback_family, fallback_family, bold); }

std::vector<const ResolvedFace*> FontBook::faces() const {
    std::vector<const ResolvedFace*> out;
    for (const auto& f : faces_) out.push_back(f.get());
    return out;
}

std::vector<std::string> FontBook::take_reports() { return std::exchange(reports_, {}); }

double derived_font_size(cairo_t* cr, const ResolvedFace& face, const TextLayout& layout) {
    if (layout.char_height > 0) return layout.char_height;
    cairo_save(cr);
    set_face(cr, face, 1.0);
    cairo_text_extents_t digit;
    cairo_text_extents(cr, "0", &digit);
    cairo_restore(cr);
    if (!(digit.height > 0) || !(digit.x_advance > 0)) return std::max(1.0, layout.height * 0.8);
    // Digits fill about three quarters of the box's height, and the
    // character count of them fits across it with a pixel to spare each side.
    const double by_height = layout.height * 0.74 / digit.height;
    const double by_width = (layout.width - 2.0) / (std::max(1, layout.char_count) * digit.x_advance);
    return std::max(1.0, std::min(by_height, by_width));
}

std::string windows_text_utf8(std::string_view text) {
    std::string utf8;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        // A multi-byte sequence: its length from the lead byte, then continuation bytes only.
        const size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                              : lead >= 0xF0 && lead <= 0xF4                                   ? 4
                                                                                               : 1;
        bool sequence = length > 1 && i + length <= text.size();
        for (size_t k = 1; sequence && k < length; ++k) sequence = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (sequence) {
            // No overlong forms, no surrogates, nothing past U+10FFFF: Cairo refuses them.
            const auto second = static_cast<unsigned char>(text[i + 1]);
            sequence = !(lead == 0xE0 && second < 0xA0) && !(lead == 0xED && second > 0x9F) &&
                       !(lead == 0xF0 && second < 0x90) && !(lead == 0xF4 && second > 0x8F);
        }
        if (sequence) {
            utf8 += text.substr(i, length);
            i += length;
        } else {
            utf8 += to_utf8(lead);
            ++i;
        }
    }
    return utf8;
}

void draw_text_in_box(cairo_t* cr, FontBook& fonts, const ResolvedFace& face, std::string_view text,
                      const TextLayout& layout) {
    if (text.empty() || !(layout.width > 0) || !(layout.height > 0)) return;
    const ResolvedFace& spare = fonts.fallback(face.bold);
    std::vector<Run> runs;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        const std::string utf8 = to_utf8(c);
        if (utf8.empty()) continue;
        const ResolvedFace* f = face.has(c) || !spare.has(c) ? &face : &spare;
        if (runs.empty() || runs.back().face != f) runs.push_back({f, {}});
        runs.back().text += utf8;
    }
    if (runs.empty()) return;

    cairo_save(cr);
    cairo_rectangle(cr, layout.x, layout.y, layout.width, layout.height);
    cairo_clip(cr);
    double size = derived_font_size(cr, face, layout);
    double total = 0;
    auto measure = [&] {
        total = 0;
        for (Run& run : runs) {
            set_face(cr, *run.face, size);
            cairo_text_extents_t e;
            cairo_text_extents(cr, run.text.c_str(), &e);
            run.advance = e.x_advance;
            total += run.advance;
        }
    };
    measure();
    // A text of wider characters than digits still fits its box.
    if (layout.char_height == 0 && total > layout.width - 1.0 && total > 0) {
        size *= (layout.width - 1.0) / total;
        measure();
    }

    set_face(cr, face, size);
    cairo_text_extents_t digit;
    cairo_text_extents(cr, "0", &digit);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);

    constexpr uint32_t dt_center = 0x1, dt_right = 0x2, dt_vcenter = 0x4, dt_bottom = 0x8, dt_singleline = 0x20;
    double x = layout.x;
    if (layout.draw_flags & dt_center) {
        x = layout.x + (layout.width - total) / 2.0;
    } else if (layout.draw_flags & dt_right) {
        x = layout.x + layout.width - total;
    }
    double baseline = layout.y + font.ascent;
    if ((layout.draw_flags & dt_singleline) && (layout.draw_flags & dt_vcenter)) {
        // The digits' ink sits in the middle, whatever the text holds.
        baseline = layout.y + (layout.height - digit.height) / 2.0 - digit.y_bearing;
    } else if ((layout.draw_flags & dt_singleline) && (layout.draw_flags & dt_bottom)) {
        baseline = layout.y + layout.height - font.descent;
    }

    cairo_set_source_rgb(cr, layout.red, layout.green, layout.blue);
    for (const Run& run : runs) {
        set_face(cr, *run.face, size);
        cairo_move_to(cr, x, baseline);
        cairo_show_text(cr, run.text.c_str());
        x += run.advance;
    }
    cairo_restore(cr);
}

}  // namespace panelhost
