// Whole files, read and written the one way the host and its tools do it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace panelhost {

// Every reader passes the most its kind of file may hold; a file larger than
// that is refused before it takes the memory.
inline constexpr size_t max_file_bytes = size_t{256} << 20;

// The file's bytes, or nothing; then `error`, when given, says why
// ("cannot read PATH: it is a folder", "...: No such file or directory",
// "...: it holds more than 1048576 bytes (at most 1048576)").
std::optional<std::string> read_file(const std::string& path, std::string* error = nullptr,
                                     size_t max_bytes = max_file_bytes);
std::optional<std::vector<uint8_t>> read_file_bytes(const std::string& path, std::string* error = nullptr,
                                                    size_t max_bytes = max_file_bytes);

// A file a Windows program names, found as Windows finds it: relative to
// `folder`, its parts separated by \ or /, `..` going up a folder, each part
// matched without regard to the case of its letters (the exact name first,
// else the first in name order) and without the spaces and dots Windows drops
// from a name's end. A path starting with / is taken as it is; one naming a
// drive (C:) is found nowhere. The path found, or nothing and `error`, when
// given, says which part is missing.
std::optional<std::string> find_windows_file(const std::string& folder, std::string_view name,
                                             std::string* error = nullptr);

// Writes the bytes whole or not at all: into a file beside the path, renamed
// over it once every byte is written. False, and `error` when given, when it
// cannot be done.
bool write_file(const std::string& path, std::string_view bytes, std::string* error = nullptr);
bool write_file(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error = nullptr);

// Whether write_file could write the path now, for a program that writes it
// only at its end: what write_file would say if not. Leaves nothing behind.
bool can_write_file(const std::string& path, std::string* error = nullptr);

}  // namespace panelhost
