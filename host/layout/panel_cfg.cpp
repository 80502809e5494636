#include "host/layout/panel_cfg.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <map>

#include "host/base/files.h"
#include "host/base/text_format.h"
#include "host/base/text_lines.h"

namespace panelhost {
namespace {

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

std::optional<int64_t> whole_number(std::string_view text) {
    text = trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// A decimal number as Windows programs write it ("0.700", "1", ".5"), finite.
std::optional<double> decimal(std::string_view text) {
    text = trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::string digits(text);
    // One character inserted, not a text: GCC 12 for i686 warns wrongly of an overlap for a text.
    if (digits.starts_with('.') || digits.starts_with("-.")) digits.insert(digits.find('.'), 1, '0');
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                              std::chars_format::fixed);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// "window07" gives 7; anything else nothing.
std::optional<int> numbered(std::string_view key, std::string_view prefix) {
    if (!key.starts_with(prefix) || key.size() == prefix.size() || key.size() > prefix.size() + 4) return std::nullopt;
    const std::string_view digits = key.substr(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
    return static_cast<int>(*whole_number(digits));
}

// A number from low to high, or nothing.
std::optional<int> within(std::optional<int64_t> value, int64_t low, int64_t high) {
    if (!value || *value < low || *value > high) return std::nullopt;
    return static_cast<int>(*value);
}

const std::string gauge_form = "gaugeNN=Module!Gauge, x, y[, width[, height[, parameter]]]";
const std::string side_bound = "a whole number from 1 to " + std::to_string(max_window_side);

// The comma fields of a value, without blanks at either end.
std::vector<std::string_view> split(std::string_view text) {
    std::vector<std::string_view> parts;
    while (true) {
        const size_t at = text.find(',');
        parts.push_back(trim(text.substr(0, at)));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

// One or two sides ("640" or "640,480"), each from 1 to max_window_side.
bool sides(std::string_view value, std::optional<int>& width, std::optional<int>& height) {
    const auto parts = split(value);
    const auto w = within(whole_number(parts[0]), 1, max_window_side);
    const auto h = parts.size() > 1 ? within(whole_number(parts[1]), 1, max_window_side) : std::optional<int>(1);
    if (parts.size() > 2 || !w || !h) return false;
    width = w;
    height = parts.size() > 1 ? h : std::nullopt;
    return true;
}

// One or two shares of the screen, each from low (not itself when open) to 1.
std::optional<ScreenFraction> fractions(std::string_view value, size_t most, double low, bool open) {
    const auto parts = split(value);
    if (parts.size() > most) return std::nullopt;
    ScreenFraction f;
    for (size_t i = 0; i < parts.size(); ++i) {
        const auto v = decimal(parts[i]);
        if (!v || *v < low || (open && *v == low) || *v > 1) return std::nullopt;
        (i == 0 ? f.x : f.y.emplace()) = *v;
    }
    if (most == 2 && !f.y) return std::nullopt;
    return f;
}

std::optional<Rgb> colour(std::string_view value) {
    const auto parts = split(value);
    if (parts.size() != 3) return std::nullopt;
    uint8_t c[3];
    for (size_t i = 0; i < 3; ++i) {
        const auto v = within(whole_number(parts[i]), 0, 255);
        if (!v) return std::nullopt;
        c[i] = static_cast<uint8_t>(*v);
    }
    return Rgb{c[0], c[1], c[2]};
}

std::string two_digits(int number) {
    std::string digits(number < 10 ? 1 : 0, '0');
    return digits += std::to_string(number);
}

class Reader {
public:
    explicit Reader(PanelConfig& cfg) : cfg_(cfg) {}

    void line(std::string_view raw, int number) {
        line_ = number;
        raw_ = raw;
        if (const std::string bad = control_byte_problem(raw); !bad.empty()) {
            return problem(bad + " (a panel.cfg is text: no control bytes but tabs)");
        }
        // `//`, `;` and `;/` comment out the rest of a line, or all of it.
        const size_t comment = std::min(raw.find("//"), raw.find(';'));
        const std::string_view text = trim(raw.substr(0, comment));
        if (text.empty()) return;
        if (text.front() == '[') return section(text);
        const size_t equals = text.find('=');
        if (equals == std::string_view::npos) {
            if (section_ != Section::other && section_ != Section::ignored) {
                problem("\"" + std::string(text) + "\" is not a key=value line (key=value, or a [Section])");
            }
            return;
        }
        const std::string_view written_key = trim(text.substr(0, equals));
        const std::string key = ascii_lowercase(written_key);
        const std::string_view value = trim(text.substr(equals + 1));
        const PanelKey kept{.line = line_, .key = std::string(written_key), .value = std::string(value)};
        switch (section_) {
        case Section::none:
            problem("\"" + key + "\" is outside any section (a key belongs to a [Section] above it)");
            break;
        case Section::titles:
            if (const auto n = numbered(key, "window")) titles_[*n] = std::string(value);
            other().keys.push_back(kept);
            break;
        case Section::color:
            color_key(key, value);
            other().keys.push_back(kept);
            break;
        case Section::window:
            if (!window_key(key, value)) window().other_keys.push_back(kept);
            break;
        case Section::other: other().keys.push_back(kept); break;
        case Section::ignored: break;
        }
    }

    void finish() {
        if (cfg_.windows.empty() && cfg_.virtual_cockpits.empty()) {
            cfg_.unusable = cfg_.file +
                            ": it has neither a [WindowNN] nor a [VCockpitNN] section, so nothing to draw "
                            "([Window00] to [Window9999], [VCockpit01] to [VCockpit9999])";
        }
        for (auto* list : {&cfg_.windows, &cfg_.virtual_cockpits}) {
            std::stable_sort(list->begin(), list->end(),
                             [](const PanelWindow& a, const PanelWindow& b) { return a.number < b.number; });
            for (PanelWindow& w : *list) {
                const auto title = titles_.find(w.number);
                if (!w.virtual_cockpit && title != titles_.end()) {
                    w.title = title->second;
                } else {
                    w.title = (w.virtual_cockpit ? "VCockpit" : "Window") + two_digits(w.number);
                }
                gaps(w);
            }
        }
    }

private:
    enum class Section { none, titles, color, window, other, ignored };

    void problem(const std::string& message) {
        cfg_.problems.push_back(diagnostic_at(Severity::problem, cfg_.file, line_, message));
    }
    void problem(std::string_view key, std::string_view value, const std::string& what) {
        problem(std::string(key) + "=" + std::string(value) + " " + what);
    }

    PanelWindow& window() { return (in_cockpit_ ? cfg_.virtual_cockpits : cfg_.windows)[window_index_]; }
    PanelSection& other() { return cfg_.other_sections.back(); }

    void section(std::string_view text) {
        const size_t close = text.find(']');
        if (close == std::string_view::npos) {
            problem("a section header without its ] ([Name])");
            section_ = Section::ignored;
            return;
        }
        const std::string_view written = trim(text.substr(1, close - 1));
        const std::string name = ascii_lowercase(written);
        const auto window_number = numbered(name, "window");
        const auto cockpit_number = numbered(name, "vcockpit");
        if (!window_number && !cockpit_number) {
            cfg_.other_sections.push_back({.line = line_, .name = std::string(written), .keys = {}});
            section_ = name == "window titles" ? Section::titles : name == "color" ? Section::color : Section::other;
            return;
        }
        in_cockpit_ = cockpit_number.has_value();
        const int number = in_cockpit_ ? *cockpit_number : *window_number;
        std::vector<PanelWindow>& list = in_cockpit_ ? cfg_.virtual_cockpits : cfg_.windows;
        for (const PanelWindow& w : list) {
            if (w.number == number) {
                // Built piece by piece: GCC 12 for i686 warns wrongly about "[" + a string.
                std::string message(1, '[');
                message += written;
                message += "] appears again (first on line " + std::to_string(w.line) +
                           "); this one is ignored (each window once)";
                problem(message);
                section_ = Section::ignored;
                return;
            }
        }
        list.push_back(PanelWindow{.line = line_, .number = number, .virtual_cockpit = in_cockpit_});
        window_index_ = list.size() - 1;
        section_ = Section::window;
    }

    void color_key(const std::string& key, std::string_view value) {
        std::optional<Rgb>* target = key == "day"        ? &cfg_.day_color
                                     : key == "night"    ? &cfg_.night_color
                                     : key == "luminous" ? &cfg_.luminous_color
                                                         : nullptr;
        if (target == nullptr) return;
        *target = colour(value);
        if (!*target) problem(key, value, "is not a colour (red, green, blue, each from 0 to 255)");
    }

    // Whether the key is one this reader uses; its problems are told.
    bool window_key(const std::string& key, std::string_view value) {
        PanelWindow& w = window();
        auto flag = [&](bool& out) {
            const auto v = within(whole_number(value), 0, 1);
            if (!v) return problem(key, value, "is neither 0 nor 1 (0 or 1)");
            out = *v == 1;
        };
        if (key == "file") {
            w.file = std::string(value);
        } else if (key == "file_1024") {
            w.file_1024 = std::string(value);
        } else if (key == "file_night") {
            w.file_night = std::string(value);
        } else if (key == "file_1024_night") {
            w.file_1024_night = std::string(value);
        } else if (key == "size_mm" || key == "pixel_size") {
            const bool mm = key == "size_mm";
            if (!sides(value, mm ? w.size_width : w.pixel_width, mm ? w.size_height : w.pixel_height)) {
                problem(key, value, "is not a size (a width, or a width and a height, each " + side_bound + ")");
            }
        } else if (key == "window_pos") {
            w.window_pos = fractions(value, 2, 0, false);
            if (!w.window_pos) problem(key, value, "is not a place on the screen (x, y: shares of it from 0 to 1)");
        } else if (key == "window_size") {
            w.window_size = fractions(value, 2, 0, true);
            if (!w.window_size) w.window_size = fractions(value, 1, 0, true);
            if (!w.window_size) {
                problem(key, value, "is not a size on the screen (a width, or a width and a height: shares of it, "
                                    "above 0 and at most 1)");
            }
        } else if (key == "window_size_ratio" || key == "windowsize_ratio") {
            w.window_size_ratio = decimal(value);
            if (!w.window_size_ratio || *w.window_size_ratio <= 0) {
                w.window_size_ratio.reset();
                problem(key, value, "is not a ratio (a number above 0)");
            }
        } else if (key == "position") {
            const auto position = within(whole_number(value), 0, 8);
            if (position) w.position = *position;
            if (!position) problem(key, value, "is not a screen position (0 to 8, top left to bottom right)");
        } else if (key == "visible") {
            flag(w.visible);
        } else if (key == "nomenu") {
            flag(w.nomenu);
        } else if (key == "child_3d") {
            flag(w.child_3d);
        } else if (key == "sizeable") {
            flag(w.sizeable);
        } else if (key == "zorder") {
            const auto zorder = within(whole_number(value), -1000000, 1000000);
            if (zorder) w.zorder = *zorder;
            if (!zorder) problem(key, value, "is not a whole number (-1000000 to 1000000)");
        } else if (key == "ident") {
            w.ident = std::string(value);
        } else if (key == "background_color") {
            w.background_color = colour(value);
            if (!w.background_color) problem(key, value, "is not a colour (red, green, blue, each from 0 to 255)");
        } else if (key == "texture") {
            w.texture = std::string(value);
        } else if (const auto n = numbered(key, "gauge")) {
            gauge(*n, value);
        } else {
            return false;
        }
        return true;
    }

    void gauge(int number, std::string_view value) {
        PanelWindow& w = window();
        const std::string key = "gauge" + two_digits(number);
        gauge_lines_[{w.virtual_cockpit, w.number}].emplace(number, line_);
        for (const PanelGauge& g : w.gauges) {
            if (g.number == number) {
                return problem(key + " appears again (first on line " + std::to_string(g.line) +
                               "); this one is ignored (each gauge number once a window)");
            }
        }
        const auto parts = split(value);
        const std::string line = key + "=" + std::string(value);
        const size_t bang = parts[0].find('!');
        if (bang == std::string_view::npos || bang == 0 || bang + 1 == parts[0].size()) {
            return problem(line + " has no Module!Gauge (" + gauge_form + ")");
        }
        if (parts.size() < 3) return problem(line + " has no position (" + gauge_form + ")");
        PanelGauge g{.line = line_,
                     .text = std::string(raw_),
                     .fields = {},
                     .key = ascii_lowercase(trim(raw_.substr(0, raw_.find('=')))),
                     .number = number,
                     .module = std::string(trim(parts[0].substr(0, bang))),
                     .gauge = std::string(trim(parts[0].substr(bang + 1)))};
        for (const std::string_view part : parts) {
            g.fields.push_back({static_cast<size_t>(part.data() - raw_.data()), part.size()});
        }
        // A position within the largest window either way: where a gauge
        // stands in its own is told by the layout.
        const auto x = within(whole_number(parts[1]), -max_window_side, max_window_side - 1);
        const auto y = within(whole_number(parts[2]), -max_window_side, max_window_side - 1);
        if (!x || !y) {
            return problem(g.key + ": the position " + std::string(parts[1]) + ", " + std::string(parts[2]) +
                           " is not two whole numbers within a window (each from " + std::to_string(-max_window_side) +
                           " to " + std::to_string(max_window_side - 1) + ")");
        }
        g.x = *x;
        g.y = *y;
        for (size_t i = 3; i < parts.size() && i < 5; ++i) {
            if (parts[i].empty()) continue;  // left out, as in "221,,FO"
            const auto size = within(whole_number(parts[i]), 1, max_window_side);
            if (!size) {
                return problem(g.key + ": the " + (i == 3 ? "width" : "height") + " \"" + std::string(parts[i]) +
                               "\" is not a size (" + side_bound + ")");
            }
            (i == 3 ? g.width : g.height) = *size;
        }
        for (size_t i = 5; i < parts.size(); ++i) g.parameters.emplace_back(parts[i]);
        w.gauges.push_back(std::move(g));
    }

    // The simulator reads gauge00, gauge01, ... and stops at the first number
    // missing: what follows a gap is marked and told. A line refused here
    // still stands in its number's place.
    void gaps(PanelWindow& w) {
        std::stable_sort(w.gauges.begin(), w.gauges.end(),
                         [](const PanelGauge& a, const PanelGauge& b) { return a.number < b.number; });
        const std::map<int, int>& numbers = gauge_lines_[{w.virtual_cockpit, w.number}];
        for (auto it = numbers.begin(); it != numbers.end() && std::next(it) != numbers.end(); ++it) {
            const auto [number, line] = *std::next(it);
            if (number == it->first + 1) continue;
            const auto after = std::distance(std::next(it), numbers.end()) - 1;
            cfg_.notes.push_back(diagnostic_at(
                Severity::note, cfg_.file, line,
                w.title + " has no gauge" + two_digits(it->first + 1) +
                    ", and the simulator stops reading a window's gauges at a gap in their numbers: gauge" +
                    two_digits(number) +
                    (after == 0   ? std::string(" is")
                     : after == 1 ? std::string(" and the gauge after it are")
                                  : " and the " + std::to_string(after) + " gauges after it are") +
                    " not drawn (number them on without a gap)"));
            for (PanelGauge& g : w.gauges) g.after_gap = g.number > it->first;
            return;
        }
    }

    PanelConfig& cfg_;
    Section section_ = Section::none;
    bool in_cockpit_ = false;
    size_t window_index_ = 0;
    int line_ = 0;
    std::string_view raw_;
    std::map<int, std::string> titles_;
    // Each window's gauge numbers and their lines, refused lines too.
    std::map<std::pair<bool, int>, std::map<int, int>> gauge_lines_;
};

}  // namespace

PanelConfig parse_panel_cfg(std::string_view text, const std::string& file) {
    PanelConfig cfg{.file = file};
    Reader reader(cfg);
    for (const TextLine& line : text_lines(text)) reader.line(line.text, line.number);
    reader.finish();
    return cfg;
}

PanelConfig read_panel_cfg(const std::string& path) {
    std::string error;
    const std::optional<std::string> text = read_file(path, &error, max_panel_cfg_bytes);
    if (!text) return PanelConfig{.file = path, .unusable = error};
    return parse_panel_cfg(*text, path);
}

bool names_module(std::string_view module, std::string_view module_path) {
    auto base_name = [](std::string_view path) {
        const size_t slash = path.find_last_of("/\\");
        return slash == std::string_view::npos ? path : path.substr(slash + 1);
    };
    std::string_view base = base_name(module_path);
    if (const size_t dot = base.rfind('.'); dot != std::string_view::npos && dot > 0) base = base.substr(0, dot);
    module = base_name(module);
    return !module.empty() && ascii_lowercase(module) == ascii_lowercase(base);
}

}  // namespace panelhost
