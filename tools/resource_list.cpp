#include "tools/resource_list.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace resources {
namespace {

bool is_word(std::string_view s) {
    if (s.empty() || s.size() > 64 || (s[0] >= '0' && s[0] <= '9')) return false;
    for (char c : s)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
    return true;
}

// A decimal number in 1..65535, or false.
bool parse_id(std::string_view s, uint16_t* id) {
    if (s.empty() || s.size() > 5) return false;
    uint32_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<uint32_t>(c - '0');
    }
    if (v == 0 || v > 0xFFFF) return false;
    *id = static_cast<uint16_t>(v);
    return true;
}

bool parse_language(const std::string& s, uint16_t* language) {
    char* end = nullptr;
    const unsigned long v = std::strtoul(s.c_str(), &end, 0);
    if (end == s.c_str() || *end != '\0' || v > 0xFFFF) return false;
    *language = static_cast<uint16_t>(v);
    return true;
}

}  // namespace

ParseResult parse_resource_list(std::string_view text) {
    ParseResult result;
    std::istringstream lines{std::string(text)};
    std::string raw;
    int number = 0;
    auto fail = [&](const std::string& why) {
        result.entries.clear();
        result.error = "line " + std::to_string(number) + ": " + why;
        return result;
    };
    while (std::getline(lines, raw)) {
        ++number;
        const size_t hash = raw.find('#');
        std::istringstream fields(raw.substr(0, hash));
        std::vector<std::string> words;
        for (std::string w; fields >> w;) words.push_back(w);
        if (words.empty()) continue;
        if (words.size() < 3 || words.size() > 4) return fail("expected: identifier type file [language]");

        ResourceEntry e;
        e.line = number;
        e.identifier = words[0];
        if (!parse_id(e.identifier, &e.id) && !is_word(e.identifier))
            return fail("identifier '" + e.identifier + "' is neither 1..65535 nor an upper-case name");
        e.type = words[1];
        if (!is_word(e.type)) return fail("type '" + e.type + "' is not an upper-case name");
        e.file = words[2];
        if (words.size() == 4 && !parse_language(words[3], &e.language))
            return fail("language '" + words[3] + "' is not a 16-bit number");
        for (const ResourceEntry& other : result.entries)
            if (other.type == e.type && other.identifier == e.identifier)
                return fail(e.type + " " + e.identifier + " listed twice (first on line " +
                            std::to_string(other.line) + ")");
        result.entries.push_back(e);
    }
    return result;
}

bool read_file(const std::string& path, std::vector<uint8_t>* bytes) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    bytes->clear();
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes->insert(bytes->end(), buffer, buffer + n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

ParseResult load_resource_list(const std::string& list_path) {
    std::vector<uint8_t> text;
    if (!read_file(list_path, &text)) return {.entries = {}, .error = "cannot read " + list_path};
    ParseResult list = parse_resource_list({reinterpret_cast<const char*>(text.data()), text.size()});
    if (!list.error.empty()) {
        list.error = list_path + ": " + list.error;
        return list;
    }
    const size_t slash = list_path.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? std::string() : list_path.substr(0, slash + 1);
    for (ResourceEntry& entry : list.entries) entry.file = folder + entry.file;
    return list;
}

}  // namespace resources
