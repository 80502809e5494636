#include "host/render/panel_cfg.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>

#include "host/base/text_format.h"

namespace panelhost {
namespace {

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

std::optional<int> whole_number(std::string_view text) {
    text = trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// "window07" gives 7; anything else nothing.
std::optional<int> numbered(std::string_view key, std::string_view prefix) {
    if (!key.starts_with(prefix) || key.size() == prefix.size() || key.size() > prefix.size() + 4) return std::nullopt;
    const std::string_view digits = key.substr(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
    return whole_number(digits);
}

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
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        const size_t comment = std::min(text.find("//"), text.find(';'));
        text = trim(text.substr(0, comment));
        if (text.empty()) return;
        if (text.front() == '[') return section(text);
        const size_t equals = text.find('=');
        if (equals == std::string_view::npos) {
            if (section_ != Section::other) problem("expected key=value, not \"" + std::string(text) + "\"");
            return;
        }
        const std::string key = ascii_lowercase(trim(text.substr(0, equals)));
        const std::string_view value = trim(text.substr(equals + 1));
        switch (section_) {
        case Section::none: problem("\"" + key + "\" is outside any section"); break;
        case Section::titles:
            if (const auto n = numbered(key, "window")) titles_[*n] = std::string(value);
            break;
        case Section::window: window_key(key, value); break;
        case Section::other: break;
        }
    }

    void finish() {
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
            problem("a section header without its ]");
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
                    message += "] appears again (first on line " + std::to_string(w.line) + "); this one is ignored";
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
            const auto width = whole_number(parts[0]);
            const auto height = parts.size() > 1 ? whole_number(parts[1]) : std::optional<int>(1);
            if (parts.size() > 2 || !width || !height || *width <= 0 || *height <= 0) {
                return problem("size_mm must be a width, or a width and a height, above 0: " + std::string(value));
            }
            w.size_width = width;
            if (parts.size() > 1) w.size_height = height;
        } else if (key == "position") {
            const auto position = whole_number(value);
            if (!position || *position < 0 || *position > 8) {
                return problem("position must be 0 to 8: " + std::string(value));
            }
            w.position = *position;
        } else if (key == "visible") {
            const auto visible = whole_number(value);
            if (!visible || (*visible != 0 && *visible != 1)) {
                return problem("visible must be 0 or 1: " + std::string(value));
            }
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
                               "); this one is ignored");
            }
        }
        const auto parts = split(value, ',');
        const std::string form = key + " must be Module!Gauge, x, y[, width[, height]]";
        const size_t bang = parts[0].find('!');
        if (bang == std::string_view::npos || bang == 0 || bang + 1 == parts[0].size()) {
            return problem(form + ": no Module!Gauge in \"" + std::string(value) + "\"");
        }
        if (parts.size() < 3) return problem(form + ": no position in \"" + std::string(value) + "\"");
        PanelGauge g{.line = line_,
                     .key = key,
                     .module = std::string(trim(parts[0].substr(0, bang))),
                     .gauge = std::string(trim(parts[0].substr(bang + 1)))};
        const auto x = whole_number(parts[1]);
        const auto y = whole_number(parts[2]);
        if (!x || !y) {
            return problem(form + ": the position is not two whole numbers in \"" + std::string(value) + "\"");
        }
        g.x = *x;
        g.y = *y;
        for (size_t i = 3; i < parts.size() && i < 5; ++i) {
            const auto size = whole_number(parts[i]);
            if (!size || *size <= 0) {
                return problem(form + ": the " + (i == 3 ? "width" : "height") +
                               " must be a whole number above 0, not \"" + std::string(parts[i]) + "\"");
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
    int number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        reader.line(text.substr(0, end), ++number);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
    reader.finish();
    return cfg;
}

bool names_module(std::string_view module, std::string_view module_path) {
    const size_t slash = module_path.find_last_of("/\\");
    std::string_view base = slash == std::string_view::npos ? module_path : module_path.substr(slash + 1);
    if (const size_t dot = base.rfind('.'); dot != std::string_view::npos && dot > 0) base = base.substr(0, dot);
    return !module.empty() && ascii_lowercase(module) == ascii_lowercase(base);
}

}  // namespace panelhost
