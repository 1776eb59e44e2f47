// Texts of values that are a 16-bit code times a constant: a channel of a recording takes at
// most 65 536 distinct texts, so each is formatted once, when first met, and copied after.
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "common/textforms.h"

namespace pqwave {

class CodeTextCache {
public:
    // The table comes zeroed from the system, so only the pages of codes that occur are touched.
    explicit CodeTextCache(double factor)
        : factor_(factor), entries_(static_cast<Entry*>(std::calloc(65536, sizeof(Entry)))) {
        if (!entries_) throw std::bad_alloc();
    }

    // Appends the D text of code x factor and returns the new end.
    char* append(char* out, std::int16_t code) {
        Entry& e = entries_.get()[static_cast<std::uint16_t>(code)];
        if (e.length == 0) e.length = static_cast<std::uint8_t>(appendD(e.text, code * factor_) - e.text);
        std::memcpy(out, e.text, kTextBytes);  // a fixed-size copy; only `length` bytes count
        return out + e.length;
    }

    // Room each value needs in the caller's buffer; a D text has at most 22 characters.
    static constexpr std::size_t kTextBytes = 24;

private:
    struct Entry {
        char text[kMaxNumberText];  // appendD may write scratch beyond the text's end
        std::uint8_t length;        // 0 until the text is made
    };
    struct Free {
        void operator()(Entry* p) const { std::free(p); }
    };
    double factor_;
    std::unique_ptr<Entry, Free> entries_;
};

}  // namespace pqwave
