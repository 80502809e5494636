// The faces the gauges' texts name, found on this machine: one table maps
// each Windows face to a family, fontconfig finds the file, and Cairo draws
// with exactly that file. A family that is missing is reported once and the
// text is drawn in the fallback family instead; a character the face lacks
// is drawn from the fallback face, so no text is ever left undrawn.
#pragma once

#include <cairo.h>

#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace panelhost {

struct FaceMapping {
    const char* windows_face;
    const char* family;
};

// The one table. Faces match without regard to case, as Windows matches them.
inline constexpr FaceMapping face_table[] = {
    {"QUARTZ", "DSEG7 Classic"},    // the seven-segment windows of the FCU and the DH unit
    {"Glass Gauge", "DejaVu Sans"},  // the PFD's lettering
};
// For faces the table does not name, families that are missing, and
// characters a face lacks.
inline constexpr const char* fallback_family = "DejaVu Sans";

// A face as Cairo got it.
struct ResolvedFace {
    std::string windows_face;   // as the element names it
    std::string wanted_family;  // from the table, or the fallback family
    std::string family;         // the family of the file Cairo draws with, read back from the face
    std::string file;
    bool bold = false;
    std::shared_ptr<cairo_font_face_t> face;  // null only when the machine has no font at all
    std::vector<bool> ascii;                  // characters 0 to 127 the face has
    bool has(unsigned char c) const { return c < ascii.size() && ascii[c]; }
};

class FontBook {
public:
    // The table is this build's unless a caller (a test) gives another.
    explicit FontBook(std::vector<FaceMapping> table = {std::begin(face_table), std::end(face_table)});
    ~FontBook();
    FontBook(const FontBook&) = delete;
    FontBook& operator=(const FontBook&) = delete;

    // The face for a text element's face name and weight (600 and above is bold).
    const ResolvedFace& face(std::string_view windows_face, int weight);
    // The fallback family's face.
    const ResolvedFace& fallback(bool bold);
    // Every face resolved so far, in the order first asked for.
    std::vector<const ResolvedFace*> faces() const;
    // What went wrong since last asked, each once: a family that is missing.
    std::vector<std::string> take_reports();

private:
    const ResolvedFace& resolve(const std::string& windows_face, const std::string& family, bool bold);

    std::vector<FaceMapping> table_;
    std::vector<std::unique_ptr<ResolvedFace>> faces_;
    std::vector<std::string> reports_;
};

// A text element's lettering: font size from its box and character count
// unless it gives a character height, alignment from its DrawText flags.
struct TextLayout {
    double x = 0, y = 0, width = 0, height = 0;  // the box, in gauge pixels
    int char_count = 0;
    int char_height = 0;  // 0: derived from the box
    uint32_t draw_flags = 0;
    double red = 1, green = 1, blue = 1;
};

// Draws `text` in its box, clipped to it, with the element's face and the
// fallback face for characters the face lacks.
void draw_text_in_box(cairo_t* cr, FontBook& fonts, const ResolvedFace& face, std::string_view text,
                      const TextLayout& layout);

// A text a Windows program wrote (a panel.cfg's title or gauge name) as
// Cairo takes it: valid UTF-8 as it is, any other byte as the ANSI code
// page's character, control bytes left out.
std::string windows_text_utf8(std::string_view text);

// The font size (em, in pixels) the host derives for a box and character count.
double derived_font_size(cairo_t* cr, const ResolvedFace& face, const TextLayout& layout);

}  // namespace panelhost
