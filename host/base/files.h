// What the panelhost commands read and print: whole files and messages.
#pragma once

#include <cstdio>
#include <string>

namespace panelhost {

void print(std::FILE* stream, const std::string& text);

// Reads or writes a whole file as bytes; false if it cannot be done.
bool read_file(const std::string& path, std::string& text);
bool write_file(const std::string& path, const std::string& text);

}  // namespace panelhost
