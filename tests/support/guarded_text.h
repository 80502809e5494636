// A text buffer of exactly count + 1 bytes, as the host supplies one, with
// sentinel bytes on both sides so that a write past either end is caught.
#pragma once

#include <array>
#include <cstring>
#include <string>

#include "module/host_abi.h"

namespace orvane::testing {

class GuardedText {
public:
    static constexpr size_t guard = 16;
    static constexpr char sentinel = '\x5A';

    explicit GuardedText(size_t char_count) : count_(char_count) {
        bytes_.fill(sentinel);
        std::memset(text(), 0, count_ + 1);
    }

    // Hands the buffer to the element, as the host does at install.
    void attach(ElementString& element) {
        element.string = text();
        element.max_string_length = static_cast<uint16_t>(count_);
    }

    char* text() { return bytes_.data() + guard; }
    std::string str() { return std::string(text(), strnlen(text(), count_ + 1)); }

    // True when no byte outside count + 1 was touched and the text is terminated.
    bool intact() {
        for (size_t i = 0; i < guard; ++i) {
            if (bytes_[i] != sentinel) return false;
        }
        for (size_t i = guard + count_ + 1; i < bytes_.size(); ++i) {
            if (bytes_[i] != sentinel) return false;
        }
        return std::memchr(text(), '\0', count_ + 1) != nullptr;
    }

private:
    size_t count_;
    std::array<char, 2 * guard + 256> bytes_;
};

}  // namespace orvane::testing
