// The module's one list of resources (res/resources.list): one line per
// resource, "identifier type file [language]", where the identifier is a
// number or a name, the type BITMAP or a custom type such as WAVE, the file
// relative to the list, and the language a number (0x0409 when left out).
// '#' starts a comment.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace resources {

inline constexpr uint16_t default_language = 0x0409;

struct ResourceEntry {
    std::string identifier;  // as written: "4160" or "BMP_PFD_FDHORMASK"
    uint16_t id = 0;         // the number, when the identifier is one; 0 for names
    std::string type;        // "BITMAP", "WAVE", ...
    std::string file;
    uint16_t language = default_language;
    int line = 0;

    bool named() const { return id == 0; }
};

struct ParseResult {
    std::vector<ResourceEntry> entries;
    std::string error;  // empty on success; names the line otherwise
};

// Rejects malformed lines, identifiers out of the 1..65535 range, names and
// types that are not plain upper-case words, and the same identifier twice
// for one type.
ParseResult parse_resource_list(std::string_view text);

// Reads and parses the list file; each entry's file becomes a path that
// starts from the list's folder. On failure `error` names the file.
ParseResult load_resource_list(const std::string& list_path);

// Reads a whole file; false if it cannot be read.
bool read_file(const std::string& path, std::vector<uint8_t>* bytes);

}  // namespace resources
