// The memory a loaded module occupies, as the platform mapped it: natively
// the loadable segments of the shared object (its ELF program headers), on
// Windows the sections of the DLL (its PE headers). The host follows a
// pointer out of the module's records only when it lies in here, aligned,
// with room for the record it names, and calls a callback only when it lies
// in code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace panelhost {

struct ImageRange {
    uintptr_t start = 0;
    uintptr_t end = 0;  // one past the last byte
    bool code = false;
};

class ModuleImage {
public:
    // An image that holds nothing: every pointer lies outside it.
    ModuleImage() = default;

    // The object the platform loaded that holds this address (a library, or
    // the program itself for a module linked into it); empty when none does.
    static ModuleImage of_object_holding(const void* address);
    // A library by the handle its loading gave (dlopen's, or an HMODULE).
    static ModuleImage of_library(void* handle);

    void add(const void* start, size_t bytes, bool code);
    bool empty() const { return ranges_.empty(); }
    const std::vector<ImageRange>& ranges() const { return ranges_; }

    // Whether the bytes from p on lie wholly inside one range.
    bool holds(const void* p, size_t bytes) const;
    // A record: inside, whole, and at an address its type may stand at.
    template <typename Record>
    bool holds_record(const Record* p) const {
        return reinterpret_cast<uintptr_t>(p) % alignof(Record) == 0 && holds(p, sizeof(Record));
    }
    // Why a record of this size and alignment at p cannot be read, said after
    // its address: "lies outside the module's image", "runs past the end of
    // the module's image", "is not aligned for its record"; empty when it can.
    std::string record_fault(const void* p, size_t bytes, size_t alignment) const;
    template <typename Record>
    std::string record_fault(const Record* p) const {
        return record_fault(p, sizeof(Record), alignof(Record));
    }
    // A function the host may call: it starts in code.
    bool holds_code(const void* p) const;
    // The bytes from p to the end of its range; 0 outside.
    size_t room_at(const void* p) const;

private:
    std::vector<ImageRange> ranges_;
};

// An address in messages: 0x00001000 in the win32 build, 16 digits natively.
std::string address_text(const void* p);

}  // namespace panelhost
