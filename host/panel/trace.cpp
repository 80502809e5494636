#include "host/panel/trace.h"

namespace panelhost {

void Trace::line(int level, std::string_view text) {
    text_.append(static_cast<size_t>(level > 0 ? 2 * level : 0), ' ');
    text_.append(text);
    text_ += '\n';
}

}  // namespace panelhost
