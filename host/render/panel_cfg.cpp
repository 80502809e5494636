#include "host/render/panel_cfg.h"

#include <algorithm>
#include <cctype>
#include <charconv>
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

const std::string gauge_form = "gaugeNN=Module!Gauge, x, y[, width[, height]]";

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    while (true) {
        const size_t at = text.find(separator);
        parts.push_back(trim(text.substr(0, at)));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

class Reader {
public:
    explicit Reader(PanelConfig& cfg) : cfg_(cfg) {}

    void line(std::string_view text, int number) {
        line_ = number;
        if (const std::string bad = control_byte_problem(text); !bad.empty()) {
            return problem(bad + " (a panel.cfg is text: no control bytes but tabs)");
        }
        const size_t comment = std::min(text.find("//"), text.find(';'));
        text = trim(text.substr(0, comment));
        if (text.empty()) return;
        if (text.front() == '[') return section(text);
        const size_t equals = text.find('=');
        if (equals == std::string_view::npos) {
            if (section_ != Section::other) {
                problem("\"" + std::string(text) + "\" is not a key=value line (key=value, or a [Section])");
            }
            return;
        }
        const std::string key = ascii_lowercase(trim(text.substr(0, equals)));
        const std::string_view value = trim(text.substr(equals + 1));
        switch (section_) {
        case Section::none:
            problem("\"" + key + "\" is outside any section (a key belongs to a [Section] above it)");
            break;
        case Section::titles:
            if (const auto n = numbered(key, "window")) titles_[*n] = std::string(value);
            break;
        case Section::window: window_key(key, value); break;
        case Section::other: break;
        }
    }

    void finish() {
        if (cfg_.windows.empty()) {
            cfg_.unusable = cfg_.file + ": it has no [WindowNN] section, so nothing to draw ([Window00] to [Window9999])";
        }
        std::sort(cfg_.windows.begin(), cfg_.windows.end(),
                  [](const PanelWindow& a, const PanelWindow& b) { return a.number < b.number; });
        for (PanelWindow& w : cfg_.windows) {
            const auto title = titles_.find(w.number);
            if (title != titles_.end()) {
                w.title = title->second;
            } else {
                w.title = "Window" + std::string(w.number < 10 ? "0" : "") + std::to_string(w.number);
            }
        }
    }

private:
    enum class Section { none, titles, window, other };

    void problem(const std::string& message) {
        cfg_.problems.push_back(cfg_.file + ":" + std::to_string(line_) + ": " + message);
    }

    PanelWindow& window() { return cfg_.windows[window_index_]; }

    void section(std::string_view text) {
        const size_t close = text.find(']');
        if (close == std::string_view::npos) {
            problem("a section header without its ] ([Name])");
            section_ = Section::other;
            return;
        }
        const std::string name = ascii_lowercase(trim(text.substr(1, close - 1)));
        section_ = Section::other;
        if (name == "window titles") {
            section_ = Section::titles;
        } else if (const auto n = numbered(name, "window")) {
            for (const PanelWindow& w : cfg_.windows) {
                if (w.number == *n) {
                    // Built piece by piece: GCC 12 for i686 warns wrongly about "[" + a string.
                    std::string message(1, '[');
                    message += trim(text.substr(1, close - 1));
                    message += "] appears again (first on line " + std::to_string(w.line) +
                               "); this one is ignored (each window once)";
                    problem(message);
                    return;
                }
            }
            cfg_.windows.push_back(PanelWindow{.line = line_, .number = *n});
            window_index_ = cfg_.windows.size() - 1;
            section_ = Section::window;
        }
    }

    void window_key(const std::string& key, std::string_view value) {
        PanelWindow& w = window();
        if (key == "file") {
            w.file = std::string(value);
        } else if (key == "size_mm") {
            const auto parts = split(value, ',');
            const auto width = within(whole_number(parts[0]), 1, max_window_side);
            const auto height = parts.size() > 1 ? within(whole_number(parts[1]), 1, max_window_side) : 1;
            if (parts.size() > 2 || !width || !height) {
                return problem("size_mm=" + std::string(value) +
                               " is not a size (a width, or a width and a height, each a whole number from 1 to " +
                               std::to_string(max_window_side) + ")");
            }
            w.size_width = width;
            if (parts.size() > 1) w.size_height = height;
        } else if (key == "position") {
            const auto position = within(whole_number(value), 0, 8);
            if (!position) {
                return problem("position=" + std::string(value) +
                               " is not a screen position (0 to 8, top left to bottom right)");
            }
            w.position = *position;
        } else if (key == "visible") {
            const auto visible = within(whole_number(value), 0, 1);
            if (!visible) return problem("visible=" + std::string(value) + " is neither 0 nor 1 (0 or 1)");
            w.visible = *visible == 1;
        } else if (numbered(key, "gauge")) {
            gauge(key, value);
        }
    }

    void gauge(const std::string& key, std::string_view value) {
        PanelWindow& w = window();
        for (const PanelGauge& g : w.gauges) {
            if (ascii_lowercase(g.key) == key) {
                return problem(key + " appears again (first on line " + std::to_string(g.line) +
                               "); this one is ignored (each gauge key once a window)");
            }
        }
        const auto parts = split(value, ',');
        const std::string line = key + "=" + std::string(value);
        const size_t bang = parts[0].find('!');
        if (bang == std::string_view::npos || bang == 0 || bang + 1 == parts[0].size()) {
            return problem(line + " has no Module!Gauge (" + gauge_form + ")");
        }
        if (parts.size() < 3) return problem(line + " has no position (" + gauge_form + ")");
        PanelGauge g{.line = line_,
                     .key = key,
                     .module = std::string(trim(parts[0].substr(0, bang))),
                     .gauge = std::string(trim(parts[0].substr(bang + 1)))};
        // A position within the largest window: where a gauge stands in its own is told by the layout.
        const auto x = within(whole_number(parts[1]), 0, max_window_side - 1);
        const auto y = within(whole_number(parts[2]), 0, max_window_side - 1);
        if (!x || !y) {
            return problem(key + ": the position " + std::string(parts[1]) + ", " + std::string(parts[2]) +
                           " is not two whole numbers within a window (each from 0 to " +
                           std::to_string(max_window_side - 1) + ")");
        }
        g.x = *x;
        g.y = *y;
        for (size_t i = 3; i < parts.size() && i < 5; ++i) {
            const auto size = within(whole_number(parts[i]), 1, max_window_side);
            if (!size) {
                return problem(key + ": the " + (i == 3 ? "width" : "height") + " \"" + std::string(parts[i]) +
                               "\" is not a size (a whole number from 1 to " + std::to_string(max_window_side) + ")");
            }
            (i == 3 ? g.width : g.height) = *size;
        }
        for (size_t i = 5; i < parts.size(); ++i) g.parameters.emplace_back(parts[i]);
        w.gauges.push_back(std::move(g));
    }

    PanelConfig& cfg_;
    Section section_ = Section::none;
    size_t window_index_ = 0;
    int line_ = 0;
    std::map<int, std::string> titles_;
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
    if (!text) return PanelConfig{.file = path, .windows = {}, .problems = {}, .unusable = error};
    return parse_panel_cfg(*text, path);
}

bool names_module(std::string_view module, std::string_view module_path) {
    const size_t slash = module_path.find_last_of("/\\");
    std::string_view base = slash == std::string_view::npos ? module_path : module_path.substr(slash + 1);
    if (const size_t dot = base.rfind('.'); dot != std::string_view::npos && dot > 0) base = base.substr(0, dot);
    return !module.empty() && ascii_lowercase(module) == ascii_lowercase(base);
}

}  // namespace panelhost
