#include "host/panel/trace.h"

#include <algorithm>

namespace panelhost {

void Trace::line(int level, std::string_view text) {
    text_.append(static_cast<size_t>(level > 0 ? 2 * level : 0), ' ');
    text_.append(text);
    text_ += '\n';
}

void Trace::insert_line(size_t at, int level, std::string_view text) {
    std::string line(static_cast<size_t>(level > 0 ? 2 * level : 0), ' ');
    line.append(text);
    line += '\n';
    text_.insert(std::min(at, text_.size()), line);
}

}  // namespace panelhost
