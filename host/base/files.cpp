#include "host/base/files.h"

#include <fstream>
#include <sstream>

namespace panelhost {

void print(std::FILE* stream, const std::string& text) { std::fputs(text.c_str(), stream); }

bool read_file(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream contents;
    contents << file.rdbuf();
    text = contents.str();
    return true;
}

bool write_file(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    return static_cast<bool>(file);
}

}  // namespace panelhost
