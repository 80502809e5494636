// A panel.cfg opened for editing: gauges moved, resized, removed and added,
// each change undone and redone, and the file written back as its author
// wrote it. A line no change touches keeps every byte (comments, line ends,
// Latin-1, spacing, the case of keys, sections this host does not read, a
// missing last line end, a byte-order mark); a gauge moved or resized has
// only its numbers rewritten.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/layout/panel_cfg.h"

namespace panelhost {

// A [WindowNN], or a [VCockpitNN] when virtual_cockpit.
struct WindowRef {
    bool virtual_cockpit = false;
    int number = 0;
    bool operator==(const WindowRef&) const = default;
};

// A gauge line: gaugeNN of a window.
struct GaugeRef {
    WindowRef window;
    int number = 0;
    bool operator==(const GaugeRef&) const = default;
};

// "Window00", "VCockpit01": as panel.cfg names the section.
std::string window_name(const WindowRef& window);
// "Window00 gauge03".
std::string gauge_name(const GaugeRef& gauge);
// "Window00", "window7", "VCockpit01" read back, without regard to case.
std::optional<WindowRef> parse_window_name(std::string_view name);

// A new gauge line: module!gauge, x, y[, width, height].
struct NewGauge {
    std::string module;  // "Orvane", "Gauges\Orvane"
    std::string gauge;   // "PFD"
    int x = 0;
    int y = 0;
    std::optional<int> width;   // both or neither
    std::optional<int> height;
    bool operator==(const NewGauge&) const = default;
};

enum class SaveResult {
    saved,
    nothing_to_save,  // the text is the file's: nothing written
    changed_on_disk,  // the file is no longer what was opened (or last saved): not written
    failed,           // could not be written; the file is as it was
};

class PanelDocument {
public:
    // The file read whole (at most max_panel_cfg_bytes); nothing and `error`
    // when it cannot be read. A file with problems opens: they are in
    // config().problems.
    static std::optional<PanelDocument> open(const std::string& path, std::string* error = nullptr);
    // A document over bytes, named `path` in messages and saved there.
    PanelDocument(std::string bytes, std::string path);

    const std::string& path() const { return path_; }
    // The panel as its text now reads, its lines numbered as they now stand.
    const PanelConfig& config() const { return config_; }
    // The gauge as now read, or nothing.
    const PanelGauge* find(const GaugeRef& gauge) const;
    const PanelWindow* find(const WindowRef& window) const;

    // Each edit is one step of undo (the oldest forgotten past 64 MiB of
    // them). False, and `error` saying why ("panel.cfg has no gauge07 in
    // [Window00] (its gauges: gauge00 to gauge05)"), when it cannot be made,
    // or would make the file larger than the reader takes; then nothing
    // changes. An edit that changes no byte (a gauge moved
    // where it stands) is made and kept in the history all the same.
    bool move(const GaugeRef& gauge, int x, int y, std::string* error = nullptr);
    bool resize(const GaugeRef& gauge, int width, int height, std::string* error = nullptr);
    // Both in one edit, undone at once (a corner dragged moves and resizes);
    // either may be left out.
    bool place(const GaugeRef& gauge, std::optional<std::pair<int, int>> position,
               std::optional<std::pair<int, int>> size, std::string* error = nullptr);
    // Takes out the line and renumbers the window's gauges after it, so that
    // their numbers have no gap where it was.
    bool remove(const GaugeRef& gauge, std::string* error = nullptr);
    // The next number after the window's last gauge, written after its last
    // gauge line; `added`, when given, names it.
    bool add(const WindowRef& window, const NewGauge& gauge, GaugeRef* added = nullptr,
             std::string* error = nullptr);

    bool can_undo() const { return done_ > 0; }
    bool can_redo() const { return done_ < history_.size(); }
    bool undo();
    bool redo();

    // The bytes saving would write.
    std::string text() const;
    // Whether text() differs from the bytes opened.
    bool changed() const;
    // Whether text() differs from the file as last read or saved.
    bool unsaved() const;
    // The change from the file as opened to text(), as `diff -u` writes it
    // (three lines of context, "\ No newline at end of file"); empty when
    // there is none.
    std::string unified_diff() const;

    // Writes text() over the file, through a file beside it renamed over it
    // (never half). The first save keeps the file's bytes as PATH.orig unless
    // that exists already. A file changed on disk since it was read is not
    // overwritten unless `force`. `message` says what was done or why not.
    SaveResult save(std::string* message = nullptr, bool force = false);

private:
    struct Line {
        std::string text;  // without its end
        std::string end;   // "\n", "\r\n"; a last line without one: "" (or "\r")
        long origin = -1;  // its index in the file as opened, or -1 for a line added
        bool operator==(const Line&) const = default;
    };
    // One edit: lines [at, at + before.size()) replaced by `after`, in order.
    struct Splice {
        size_t at = 0;
        std::vector<Line> before;
        std::vector<Line> after;
    };
    using Edit = std::vector<Splice>;
    // A line of the diff between the file as opened and as it stands.
    struct DiffEntry {
        enum class Op { same, gone, added } op;
        const Line* line;
        bool first;  // the file's first line, after which a byte-order mark stands
    };
    std::vector<DiffEntry> diff_script() const;

    bool gauge_line(const GaugeRef& gauge, size_t& index, const PanelGauge*& found, std::string* error) const;
    static size_t edit_bytes(const Edit& edit);
    bool apply(Edit edit, std::string* error);
    void splice(const Splice& s, bool forward);
    void reread();
    // Whether the line has no line end: the file's last, unended.
    static bool ends_open(const Line& line);
    std::string line_end() const;

    std::string path_;
    std::string bom_;          // a UTF-8 byte-order mark the file starts with, kept
    std::vector<Line> opened_;  // as opened, for the diff
    std::vector<Line> lines_;
    std::string on_disk_;  // the bytes last read or written
    bool orig_kept_ = false;
    PanelConfig config_;
    std::vector<Edit> history_;
    size_t history_bytes_ = 0;  // edit_bytes of them all
    size_t done_ = 0;
};

}  // namespace panelhost
