#include "host/layout/panel_edit.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <system_error>
#include <tuple>

#include "host/base/files.h"
#include "host/base/text_format.h"
#include "host/base/text_lines.h"

namespace panelhost {
namespace {

constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";
// What the undo history may hold, in bytes of the lines it keeps; past it
// the oldest edits go first.
constexpr size_t max_history_bytes = size_t{64} << 20;
constexpr int max_gauge_number = 9999;

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// What a line says, its comment cut off as the reader cuts it; nothing for
// a line the reader refuses whole.
std::string_view uncommented(std::string_view line) {
    if (!control_byte_problem(line).empty()) return {};
    return trim(line.substr(0, std::min(line.find("//"), line.find(';'))));
}

bool is_section_header(std::string_view line) {
    const std::string_view text = uncommented(line);
    return !text.empty() && text.front() == '[';
}

// A gaugeNN key in a line: where its digits stand, and its number.
struct GaugeKey {
    size_t digits = 0;  // offset of the first digit
    size_t length = 0;  // of the digits
    int number = 0;
};

std::optional<GaugeKey> gauge_key(std::string_view line) {
    const std::string_view text = uncommented(line);
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view key = trim(text.substr(0, equals));
    constexpr std::string_view prefix = "gauge";
    if (key.size() <= prefix.size() || key.size() > prefix.size() + 4 ||
        ascii_lowercase(key.substr(0, prefix.size())) != prefix) {
        return std::nullopt;
    }
    const std::string_view digits = key.substr(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
    return GaugeKey{.digits = static_cast<size_t>(digits.data() - line.data()),
                    .length = digits.size(),
                    .number = std::stoi(std::string(digits))};
}

// A gauge number written in the style of the digits it replaces: as wide
// when they were padded with zeros, else at least two digits wide as
// panel.cfg files mostly write them ("10" becomes "09", "100" "99").
std::string gauge_digits(int number, std::string_view style) {
    const size_t width = !style.empty() && style.front() == '0' ? style.size() : std::min<size_t>(style.size(), 2);
    std::string digits = std::to_string(number);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

struct Replacement {
    size_t offset = 0;
    size_t length = 0;
    std::string text;
};

std::string replaced(std::string text, std::vector<Replacement> changes) {
    std::sort(changes.begin(), changes.end(),
              [](const Replacement& a, const Replacement& b) { return a.offset > b.offset; });
    for (const Replacement& c : changes) text.replace(c.offset, c.length, c.text);
    return text;
}

bool fail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

bool position_within(int x, int y, std::string* error) {
    if (x >= -max_window_side && x < max_window_side && y >= -max_window_side && y < max_window_side) return true;
    return fail(error, "the position " + std::to_string(x) + ", " + std::to_string(y) +
                           " is not within a window (each from " + std::to_string(-max_window_side) + " to " +
                           std::to_string(max_window_side - 1) + ")");
}

bool size_within(int width, int height, std::string* error) {
    if (width >= 1 && width <= max_window_side && height >= 1 && height <= max_window_side) return true;
    return fail(error, "the size " + std::to_string(width) + " by " + std::to_string(height) +
                           " is not a size (each from 1 to " + std::to_string(max_window_side) + ")");
}

// A module or gauge name a gauge line can hold and read back as written.
bool plain_name(std::string_view name) {
    if (name.empty() || trim(name) != name) return false;
    if (name.find("//") != std::string_view::npos) return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F || c == ',' || c == ';' || c == '!' || c == '=' || c == '[';
    });
}

// How a gauge line is written around its values: its indent, its key's case
// and digits, the blanks about its `=` and between its fields.
struct LineStyle {
    std::string indent, prefix = "gauge", digits = "00", equals = "=", between = ", ";
    // The width of a number is a style; the number itself is none.
    bool operator<(const LineStyle& o) const {
        return std::tie(indent, prefix, equals, between) < std::tie(o.indent, o.prefix, o.equals, o.between);
    }
};

LineStyle style_of(const PanelGauge& g) {
    const std::string_view text = g.text;
    const auto key = gauge_key(text);
    const auto& f = g.fields;
    return LineStyle{
        .indent = std::string(text.substr(0, text.find_first_not_of(" \t"))),
        .prefix = std::string(text.substr(key->digits - 5, 5)),
        .digits = std::string(text.substr(key->digits, key->length)),
        .equals = std::string(text.substr(key->digits + key->length, f[0].offset - key->digits - key->length)),
        .between = std::string(text.substr(f[1].offset + f[1].length, f[2].offset - f[1].offset - f[1].length))};
}

// A new line is written like its window's last gauge line, else as most of
// the file's gauge lines are.
LineStyle style_for_new_line(const PanelWindow& window, const PanelConfig& config) {
    if (!window.gauges.empty()) {
        return style_of(*std::max_element(window.gauges.begin(), window.gauges.end(),
                                          [](const PanelGauge& a, const PanelGauge& b) { return a.line < b.line; }));
    }
    LineStyle style;
    std::map<LineStyle, int> seen;
    int most = 0;
    for (const auto* list : {&config.windows, &config.virtual_cockpits}) {
        for (const PanelWindow& other : *list) {
            for (const PanelGauge& g : other.gauges) {
                const LineStyle other_style = style_of(g);
                if (++seen[other_style] > most) {
                    most = seen[other_style];
                    style = other_style;
                }
            }
        }
    }
    return style;
}

}  // namespace

std::string window_name(const WindowRef& window) {
    const std::string number = std::to_string(window.number);
    return (window.virtual_cockpit ? "VCockpit" : "Window") + std::string(number.size() < 2 ? "0" : "") + number;
}

std::string gauge_name(const GaugeRef& gauge) {
    const std::string number = std::to_string(gauge.number);
    return window_name(gauge.window) + " gauge" + (number.size() < 2 ? "0" : "") + number;
}

std::optional<WindowRef> parse_window_name(std::string_view name) {
    const std::string lower = ascii_lowercase(name);
    for (const bool cockpit : {false, true}) {
        const std::string_view prefix = cockpit ? "vcockpit" : "window";
        if (!std::string_view(lower).starts_with(prefix)) continue;
        const std::string_view digits = std::string_view(lower).substr(prefix.size());
        if (digits.empty() || digits.size() > 4 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            return std::nullopt;
        }
        return WindowRef{.virtual_cockpit = cockpit, .number = std::stoi(std::string(digits))};
    }
    return std::nullopt;
}

std::optional<PanelDocument> PanelDocument::open(const std::string& path, std::string* error) {
    std::optional<std::string> bytes = read_file(path, error, max_panel_cfg_bytes);
    if (!bytes) return std::nullopt;
    return PanelDocument(std::move(*bytes), path);
}

PanelDocument::PanelDocument(std::string bytes, std::string path) : path_(std::move(path)), on_disk_(bytes) {
    // Split as text_lines splits, so that the reader's line numbers are
    // indices here.
    std::string_view text = bytes;
    if (text.starts_with(byte_order_mark)) {
        bom_ = byte_order_mark;
        text.remove_prefix(byte_order_mark.size());
    }
    while (!text.empty()) {
        const size_t end = text.find('\n');
        Line line{.text = std::string(text.substr(0, end)), .end = end == std::string_view::npos ? "" : "\n"};
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.text.ends_with('\r')) {
            line.text.pop_back();
            line.end = line.end.empty() ? "\r" : "\r\n";
        }
        line.origin = static_cast<long>(lines_.size());
        lines_.push_back(std::move(line));
    }
    opened_ = lines_;
    reread();
}

void PanelDocument::reread() { config_ = parse_panel_cfg(text(), path_); }

std::string PanelDocument::text() const {
    std::string out = bom_;
    for (const Line& line : lines_) out += line.text + line.end;
    return out;
}

bool PanelDocument::changed() const { return lines_ != opened_; }

bool PanelDocument::unsaved() const { return text() != on_disk_; }

const PanelWindow* PanelDocument::find(const WindowRef& window) const {
    const auto& list = window.virtual_cockpit ? config_.virtual_cockpits : config_.windows;
    for (const PanelWindow& w : list) {
        if (w.number == window.number) return &w;
    }
    return nullptr;
}

const PanelGauge* PanelDocument::find(const GaugeRef& gauge) const {
    const PanelWindow* w = find(gauge.window);
    if (!w) return nullptr;
    for (const PanelGauge& g : w->gauges) {
        if (g.number == gauge.number) return &g;
    }
    return nullptr;
}

bool PanelDocument::gauge_line(const GaugeRef& gauge, size_t& index, const PanelGauge*& found,
                               std::string* error) const {
    const PanelWindow* w = find(gauge.window);
    if (!w) return fail(error, path_ + " has no [" + window_name(gauge.window) + "]");
    found = find(gauge);
    if (!found) {
        std::string have = "it has no gauge line that reads";
        if (!w->gauges.empty()) {
            have = "its gauges: " + w->gauges.front().key +
                   (w->gauges.size() > 1 ? " to " + w->gauges.back().key : std::string());
        }
        return fail(error, path_ + " has no gauge" + gauge_digits(gauge.number, "00") + " in [" +
                               window_name(gauge.window) + "] (" + have + ")");
    }
    index = static_cast<size_t>(found->line - 1);
    return true;
}

bool PanelDocument::move(const GaugeRef& gauge, int x, int y, std::string* error) {
    return place(gauge, std::pair{x, y}, std::nullopt, error);
}

bool PanelDocument::resize(const GaugeRef& gauge, int width, int height, std::string* error) {
    return place(gauge, std::nullopt, std::pair{width, height}, error);
}

bool PanelDocument::place(const GaugeRef& gauge, std::optional<std::pair<int, int>> position,
                          std::optional<std::pair<int, int>> size, std::string* error) {
    size_t index = 0;
    const PanelGauge* g = nullptr;
    if (!gauge_line(gauge, index, g, error)) return false;
    if (position && !position_within(position->first, position->second, error)) return false;
    if (size && !size_within(size->first, size->second, error)) return false;
    const auto& f = g->fields;
    std::vector<Replacement> changes;
    if (position) {
        changes.push_back({f[1].offset, f[1].length, std::to_string(position->first)});
        changes.push_back({f[2].offset, f[2].length, std::to_string(position->second)});
    }
    if (size) {
        const auto [width, height] = *size;
        // Fields added are set apart as the line sets apart its x and y.
        const std::string between = style_of(*g).between;
        if (f.size() == 3) {
            changes.push_back({f[2].offset + f[2].length, 0, between + std::to_string(width) + between +
                                                                 std::to_string(height)});
        } else if (f.size() == 4) {
            changes.push_back({f[3].offset, f[3].length, std::to_string(width) + between + std::to_string(height)});
        } else {
            changes.push_back({f[3].offset, f[3].length, std::to_string(width)});
            changes.push_back({f[4].offset, f[4].length, std::to_string(height)});
        }
    }
    Line line = lines_[index];
    line.text = replaced(line.text, changes);
    return apply({Splice{.at = index, .before = {lines_[index]}, .after = {line}}}, error);
}

bool PanelDocument::remove(const GaugeRef& gauge, std::string* error) {
    size_t index = 0;
    const PanelGauge* g = nullptr;
    if (!gauge_line(gauge, index, g, error)) return false;
    const PanelWindow* w = find(gauge.window);
    Edit edit;
    // The gauges after it in its window move up a number, keeping the
    // width and case of their keys.
    for (size_t i = static_cast<size_t>(w->line); i < lines_.size() && !is_section_header(lines_[i].text); ++i) {
        const auto key = gauge_key(lines_[i].text);
        if (!key || key->number <= gauge.number) continue;
        Line line = lines_[i];
        line.text.replace(key->digits, key->length,
                          gauge_digits(key->number - 1, std::string_view(line.text).substr(key->digits, key->length)));
        edit.push_back({.at = i, .before = {lines_[i]}, .after = {line}});
    }
    // The last line going, the one before it becomes the last, as the file
    // ends: without a line end when it had none.
    if (index + 1 == lines_.size() && index > 0 && ends_open(lines_[index])) {
        Line before = lines_[index - 1];
        before.end = lines_[index].end;
        edit.push_back({.at = index - 1, .before = {lines_[index - 1]}, .after = {before}});
    }
    edit.push_back({.at = index, .before = {lines_[index]}, .after = {}});
    return apply(std::move(edit), error);
}

bool PanelDocument::add(const WindowRef& window, const NewGauge& gauge, GaugeRef* added, std::string* error) {
    const PanelWindow* w = find(window);
    if (!w) return fail(error, path_ + " has no [" + window_name(window) + "]");
    if (!plain_name(gauge.module) || !plain_name(gauge.gauge)) {
        return fail(error, "\"" + gauge.module + "!" + gauge.gauge +
                               "\" is not a gauge a panel.cfg can name (Module!Gauge, each a name without "
                               "commas, semicolons, //, !, = or [)");
    }
    if (!position_within(gauge.x, gauge.y, error)) return false;
    if (gauge.width.has_value() != gauge.height.has_value()) {
        return fail(error, "a new gauge has a width and a height, or neither");
    }
    if (gauge.width && !size_within(*gauge.width, *gauge.height, error)) return false;

    // Where it goes: after the window's last gauge line, else after its last
    // line that says something.
    const size_t header = static_cast<size_t>(w->line - 1);
    size_t after = header;
    std::optional<size_t> last_gauge;
    int number = 0;
    for (size_t i = header + 1; i < lines_.size() && !is_section_header(lines_[i].text); ++i) {
        if (const auto key = gauge_key(lines_[i].text)) {
            last_gauge = i;
            number = std::max(number, key->number + 1);
        }
        if (!uncommented(lines_[i].text).empty()) after = i;
    }
    if (last_gauge) after = *last_gauge;
    if (number > max_gauge_number) {
        return fail(error, window_name(window) + " has gauge" + std::to_string(max_gauge_number) +
                               " already: no number is left after it");
    }

    const LineStyle style = style_for_new_line(*w, config_);
    const std::string& between = style.between;
    Line line{.text = style.indent + style.prefix + gauge_digits(number, style.digits) + style.equals + gauge.module +
                      "!" + gauge.gauge +
                      between + std::to_string(gauge.x) + between + std::to_string(gauge.y),
              .end = ends_open(lines_[after]) ? lines_[after].end : line_end(),
              .origin = -1};
    if (gauge.width) line.text += between + std::to_string(*gauge.width) + between + std::to_string(*gauge.height);

    Edit edit;
    if (ends_open(lines_[after])) {
        // After a last line without an end: that line gets one, and the new
        // last line goes without.
        Line before = lines_[after];
        before.end = line_end();
        edit.push_back({.at = after, .before = {lines_[after]}, .after = {before}});
    }
    edit.push_back({.at = after + 1, .before = {}, .after = {line}});
    if (added) *added = GaugeRef{.window = window, .number = number};
    return apply(std::move(edit), error);
}

bool PanelDocument::ends_open(const Line& line) { return !line.end.ends_with('\n'); }

std::string PanelDocument::line_end() const {
    size_t crlf = 0, lf = 0;
    for (const Line& line : lines_) {
        crlf += line.end == "\r\n";
        lf += line.end == "\n";
    }
    return crlf > lf ? "\r\n" : "\n";
}

void PanelDocument::splice(const Splice& s, bool forward) {
    const auto& out = forward ? s.before : s.after;
    const auto& in = forward ? s.after : s.before;
    const auto at = lines_.begin() + static_cast<std::ptrdiff_t>(s.at);
    lines_.erase(at, at + static_cast<std::ptrdiff_t>(out.size()));
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(s.at), in.begin(), in.end());
}

size_t PanelDocument::edit_bytes(const Edit& edit) {
    size_t bytes = 0;
    for (const Splice& s : edit) {
        for (const auto* lines : {&s.before, &s.after}) {
            for (const Line& line : *lines) bytes += sizeof(Line) + line.text.size();
        }
    }
    return bytes;
}

bool PanelDocument::apply(Edit edit, std::string* error) {
    for (const Splice& s : edit) splice(s, true);
    // The file stays one the reader takes.
    if (const size_t size = text().size(); size > max_panel_cfg_bytes) {
        for (auto s = edit.rbegin(); s != edit.rend(); ++s) splice(*s, false);
        return fail(error, "the edit would make " + path_ + " " + std::to_string(size) + " bytes long (at most " +
                               std::to_string(max_panel_cfg_bytes) + ")");
    }
    // What could have been redone is dropped.
    for (size_t i = done_; i < history_.size(); ++i) history_bytes_ -= edit_bytes(history_[i]);
    history_.resize(done_);
    history_bytes_ += edit_bytes(edit);
    history_.push_back(std::move(edit));
    while (history_bytes_ > max_history_bytes && history_.size() > 1) {
        history_bytes_ -= edit_bytes(history_.front());
        history_.erase(history_.begin());
    }
    done_ = history_.size();
    reread();
    return true;
}

bool PanelDocument::undo() {
    if (!can_undo()) return false;
    const Edit& edit = history_[--done_];
    for (auto s = edit.rbegin(); s != edit.rend(); ++s) splice(*s, false);
    reread();
    return true;
}

bool PanelDocument::redo() {
    if (!can_redo()) return false;
    for (const Splice& s : history_[done_++]) splice(s, true);
    reread();
    return true;
}

std::vector<PanelDocument::DiffEntry> PanelDocument::diff_script() const {
    // Lines are only ever replaced, taken out or put in, never reordered:
    // the lines that still hold their bytes as opened are what both share.
    using Op = DiffEntry::Op;
    using Entry = DiffEntry;
    std::vector<Entry> script;
    size_t old_at = 0;
    auto flush_old = [&](size_t until) {
        for (; old_at < until; ++old_at) script.push_back({Op::gone, &opened_[old_at], old_at == 0});
    };
    std::vector<Entry> added;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        const bool same = line.origin >= 0 && static_cast<size_t>(line.origin) >= old_at &&
                          line.text == opened_[static_cast<size_t>(line.origin)].text &&
                          line.end == opened_[static_cast<size_t>(line.origin)].end;
        if (!same) {
            added.push_back({Op::added, &line, i == 0});
            continue;
        }
        flush_old(static_cast<size_t>(line.origin));
        script.insert(script.end(), added.begin(), added.end());
        added.clear();
        script.push_back({Op::same, &line, i == 0});
        ++old_at;
    }
    flush_old(opened_.size());
    script.insert(script.end(), added.begin(), added.end());

    return script;
}

std::string PanelDocument::unified_diff() const {
    using Op = DiffEntry::Op;
    using Entry = DiffEntry;
    const std::vector<Entry> script = diff_script();
    constexpr size_t context = 3;
    std::string out;
    size_t i = 0;
    size_t old_line = 0, new_line = 0;  // lines of each side before script[i]
    while (i < script.size()) {
        if (script[i].op == Op::same) {
            ++old_line, ++new_line, ++i;
            continue;
        }
        // A hunk: from `context` lines before this change to `context` after
        // the last change that lies within twice that of the next.
        const size_t lead = std::min({context, i, old_line});
        size_t start = i - lead;
        size_t end = i;
        size_t quiet = 0;
        for (size_t j = i; j < script.size(); ++j) {
            if (script[j].op != Op::same) {
                end = j + 1;
                quiet = 0;
            } else if (++quiet > 2 * context) {
                break;
            }
        }
        const size_t stop = std::min(script.size(), end + context);
        size_t old_count = 0, new_count = 0;
        for (size_t j = start; j < stop; ++j) {
            old_count += script[j].op != Op::added;
            new_count += script[j].op != Op::gone;
        }
        const size_t old_first = old_line - lead, new_first = new_line - lead;
        auto range = [](size_t first, size_t count) {
            if (count == 1) return std::to_string(first + 1);
            return std::to_string(count == 0 ? first : first + 1) + "," + std::to_string(count);
        };
        if (out.empty()) out = "--- " + path_ + "\n+++ " + path_ + "\n";
        out += "@@ -" + range(old_first, old_count) + " +" + range(new_first, new_count) + " @@\n";
        for (size_t j = start; j < stop; ++j) {
            const Entry& e = script[j];
            out += e.op == Op::same ? ' ' : e.op == Op::gone ? '-' : '+';
            if (e.first) out += bom_;
            out += e.line->text;
            out += e.line->end;
            if (ends_open(*e.line)) out += "\n\\ No newline at end of file\n";
        }
        old_line = old_first + old_count;
        new_line = new_first + new_count;
        i = stop;
    }
    return out;
}

SaveResult PanelDocument::save(std::string* message, bool force) {
    auto say = [&](SaveResult result, const std::string& what) {
        if (message) *message = what;
        return result;
    };
    std::string error;
    const std::optional<std::string> now = read_file(path_, &error, max_panel_cfg_bytes);
    if (now != on_disk_ && !force) {
        return say(SaveResult::changed_on_disk,
                   path_ + " has changed on disk since it was read" + (now ? "" : " (" + error + ")") +
                       ", so it is not overwritten (save it anyway to overwrite those changes)");
    }
    const std::string bytes = text();
    if (now && *now == bytes) {
        on_disk_ = bytes;
        return say(SaveResult::nothing_to_save, path_ + " already holds these lines: nothing written");
    }
    std::string kept;
    if (!orig_kept_) {
        const std::string orig = path_ + ".orig";
        std::error_code ec;
        if (!std::filesystem::exists(orig, ec)) {
            std::string opened = bom_;
            for (const Line& line : opened_) opened += line.text + line.end;
            if (!write_file(orig, opened, &error)) {
                return say(SaveResult::failed, "cannot keep the original as " + orig + ": " + error +
                                                   "; " + path_ + " is not written");
            }
            kept = " (the original kept as " + orig + ")";
        }
        orig_kept_ = true;
    }
    if (!write_file(path_, bytes, &error)) return say(SaveResult::failed, error);
    on_disk_ = bytes;
    return say(SaveResult::saved, "saved " + path_ + kept);
}

}  // namespace panelhost
