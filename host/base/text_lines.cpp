#include "host/base/text_lines.h"

#include "host/base/text_format.h"

namespace panelhost {

std::vector<TextLine> text_lines(std::string_view text) {
    constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";
    if (text.starts_with(byte_order_mark)) text.remove_prefix(byte_order_mark.size());
    std::vector<TextLine> lines;
    int number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back({++number, line});
    }
    return lines;
}

std::string control_byte_problem(std::string_view line) {
    for (size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if (byte == '\t' || (byte >= 0x20 && byte != 0x7F)) continue;
        const std::string column = " at column " + std::to_string(i + 1);
        if (byte == 0) return "a NUL byte" + column;
        // Quoted as the trace quotes it: \r, \x1B.
        const std::string quoted = quote_text(line.substr(i, 1));
        return "the control byte " + quoted.substr(1, quoted.size() - 2) + column;
    }
    return {};
}

}  // namespace panelhost
