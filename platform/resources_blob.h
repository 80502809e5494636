// The native build's resource section: what the resource packer writes and
// the resource calls read. All numbers are 32-bit little-endian.
//
//   Header, then `count` Entry records, then the strings (NUL-terminated,
//   upper case) and the resource bytes, each resource 4-byte aligned.
//
// The blob is the descriptor of an ELF note (name "Orvane", type `note_type`)
// in an allocated note section of the module, so that it is mapped with the
// module and found from the module's handle through its program headers.
#pragma once

#include <cstdint>

namespace platform::resource_blob {

inline constexpr char note_name[] = "Orvane";
inline constexpr uint32_t note_type = 0x5352;  // "RS"
inline constexpr uint32_t magic = 0x5345524Fu;  // "ORES"
inline constexpr uint32_t version = 1;

struct Header {
    uint32_t magic;
    uint32_t version;
    uint32_t count;
    uint32_t size;  // the whole blob, header included
};

struct Entry {
    uint32_t type_id;    // integer type (2 for bitmaps), or 0 when named
    uint32_t type_name;  // offset of the type's name, or 0
    uint32_t name_id;    // integer identifier, or 0 when named
    uint32_t name;       // offset of the identifier's name, or 0
    uint32_t language;
    uint32_t offset;     // of the resource bytes
    uint32_t size;
    uint32_t reserved;
};

static_assert(sizeof(Header) == 16 && sizeof(Entry) == 32);

}  // namespace platform::resource_blob
