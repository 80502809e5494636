#include "host/panel/trace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace panelhost {

void Trace::line(int level, std::string_view text) {
    text_.append(static_cast<size_t>(level > 0 ? 2 * level : 0), ' ');
    text_.append(text);
    text_ += '\n';
}

std::string Trace::write(const std::string& path) const {
    // Binary, so that Windows writes \n and not \r\n.
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return "cannot write " + path + ": " + std::strerror(errno);
    const bool written = std::fwrite(text_.data(), 1, text_.size(), file) == text_.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) return "cannot write " + path;
    return {};
}

}  // namespace panelhost
