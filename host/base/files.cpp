#include "host/base/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace panelhost {
namespace {

namespace fs = std::filesystem;

bool fail(std::string* error, const std::string& message) {
    if (error != nullptr) *error = message;
    return false;
}

std::string reason() { return std::strerror(errno); }

}  // namespace

std::optional<std::string> read_file(const std::string& path, std::string* error, size_t max_bytes) {
    const std::string too_large = "cannot read " + path + ": it holds more than " + std::to_string(max_bytes) +
                                  " bytes (at most " + std::to_string(max_bytes) + ")";
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        fail(error, "cannot read " + path + ": it is a folder (a file is needed)");
        return std::nullopt;
    }
    if (fs::is_regular_file(path, ec) && fs::file_size(path, ec) > max_bytes && !ec) {
        fail(error, too_large);
        return std::nullopt;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        fail(error, "cannot read " + path + ": " + reason());
        return std::nullopt;
    }
    std::string bytes;
    char chunk[65536];
    size_t got = 0;
    // A device or a pipe has no size to check first: it is read up to the bound.
    while (bytes.size() <= max_bytes && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        fail(error, "cannot read " + path + ": " + reason());
        return std::nullopt;
    }
    if (bytes.size() > max_bytes) {
        fail(error, too_large);
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::vector<uint8_t>> read_file_bytes(const std::string& path, std::string* error, size_t max_bytes) {
    const std::optional<std::string> bytes = read_file(path, error, max_bytes);
    if (!bytes) return std::nullopt;
    return std::vector<uint8_t>(bytes->begin(), bytes->end());
}

bool write_file(const std::string& path, std::string_view bytes, std::string* error) {
    // Binary, so that Windows writes \n and not \r\n.
    const std::string partial = path + ".partial";
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    if (file == nullptr) return fail(error, "cannot write " + path + ": " + reason());
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const std::string write_reason = written ? std::string() : reason();
    if (std::fclose(file) != 0 || !written) {
        std::remove(partial.c_str());
        return fail(error, "cannot write " + path + ": " + (written ? reason() : write_reason));
    }
    std::error_code ec;
    fs::rename(partial, path, ec);
    // Windows' rename does not replace a file that is there.
    if (ec && fs::is_regular_file(path)) {
        ec.clear();
        fs::remove(path, ec);
        if (!ec) fs::rename(partial, path, ec);
    }
    if (ec) {
        std::remove(partial.c_str());
        return fail(error, "cannot write " + path + ": " + ec.message());
    }
    return true;
}

bool can_write_file(const std::string& path, std::string* error) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return fail(error, "cannot write " + path + ": it is a folder");
    const std::string partial = path + ".partial";
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    if (file == nullptr) return fail(error, "cannot write " + path + ": " + reason());
    std::fclose(file);
    std::remove(partial.c_str());
    return true;
}

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
    return write_file(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
}

}  // namespace panelhost
