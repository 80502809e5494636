#include "host/base/files.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "host/base/text_format.h"

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

std::optional<std::string> find_windows_file(const std::string& folder, std::string_view name, std::string* error) {
    const std::string written(name);
    auto missing = [&](const std::string& why) -> std::optional<std::string> {
        fail(error, "cannot read " + written + ": " + why);
        return std::nullopt;
    };
    if (name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]))) {
        return missing("it names a drive (a file relative to the panel's folder, or under it with ..\\)");
    }
    fs::path at = name.starts_with('/') ? fs::path("/") : fs::path(folder.empty() ? "." : folder);
    while (!name.empty()) {
        const size_t end = name.find_first_of("/\\");
        std::string_view part = name.substr(0, end);
        name = end == std::string_view::npos ? std::string_view{} : name.substr(end + 1);
        if (part.find_first_not_of('.') != std::string_view::npos) {
            while (!part.empty() && (part.back() == ' ' || part.back() == '.')) part.remove_suffix(1);
        }
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            at /= "..";
            continue;
        }
        std::error_code ec;
        if (fs::exists(at / part, ec)) {
            at /= part;
            continue;
        }
        const std::string wanted = ascii_lowercase(part);
        std::string found;
        for (fs::directory_iterator it(at, ec), done; !ec && it != done; it.increment(ec)) {
            const std::string candidate = it->path().filename().string();
            if (ascii_lowercase(candidate) == wanted && (found.empty() || candidate < found)) found = candidate;
        }
        if (found.empty()) return missing(at.string() + " holds no \"" + std::string(part) + "\", in any case");
        at /= found;
    }
    return at.string();
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
