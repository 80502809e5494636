// A module image held in memory for the module validator's fuzz target: the
// input's bytes are laid into a region mapped at a fixed address, between
// pages that may not be read, so that the pointers its records hold mean the
// same in every run, and a read past the image is caught. Its first half is
// the image's data, its second its code (never run: the validator only
// checks that callbacks point there).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "host/services/module_loader.h"

namespace orvane::fuzzing {

inline constexpr uintptr_t image_base = 0x20000000;
inline constexpr size_t image_data_bytes = 4096;
inline constexpr size_t image_bytes = 2 * image_data_bytes;
// Where the two exports stand in the image.
inline constexpr size_t imports_offset = 0;
inline constexpr size_t linkage_offset = 64;

// The input: one byte giving the size ELF would record for each export, in
// 8-byte units (0: not recorded), then the image's data from its start; the
// rest of the image is zero.
panelhost::ModuleRecords load_image(std::span<const uint8_t> input);

// A module image built record by record, each pointer the address the record
// will have once loaded.
class ImageWriter {
public:
    ImageWriter() : bytes_(image_data_bytes, 0) {}
    // Room for a record, aligned for it; its offset.
    size_t reserve(size_t size, size_t alignment = 8);
    template <typename Record>
    void put(size_t offset, const Record& record) {
        std::memcpy(bytes_.data() + offset, &record, sizeof record);
    }
    // A record placed anywhere, and a text with its NUL.
    template <typename Record>
    size_t add(const Record& record) {
        const size_t at = reserve(sizeof record, alignof(Record));
        put(at, record);
        return at;
    }
    size_t add_text(const std::string& text);
    static uintptr_t data(size_t offset) { return image_base + offset; }
    static uintptr_t code(size_t offset) { return image_base + image_data_bytes + offset; }
    template <typename Pointer>
    static Pointer at(size_t offset) {
        return reinterpret_cast<Pointer>(data(offset));
    }
    // The input of the fuzz target for this image.
    std::vector<uint8_t> input(uint8_t export_size_units) const;

private:
    std::vector<uint8_t> bytes_;
    size_t next_ = linkage_offset + 512;  // past the two exports
};

// Seeds: a sound module of two gauges with every element kind and mouse row,
// and that module broken in one way each. Name and input.
std::vector<std::pair<std::string, std::vector<uint8_t>>> module_image_seeds();

}  // namespace orvane::fuzzing
