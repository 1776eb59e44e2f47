// Shared pieces of the per-layout readers: where each value goes, how it is stored, and
// the checks every layout makes before it reserves the table.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>

#include "input/byte_cursor.h"
#include "input/loader.h"

namespace pqwave::loading {

inline int bigEndian(const std::byte* b) {
    return u16beAt(b);
}
inline int signedBigEndian(const std::byte* b) {
    return static_cast<std::int16_t>(u16beAt(b));
}

// Where file value k of a sample goes and with which sign.
struct Destination {
    int column = 0;
    int sign = 1;
};

class TableWriter {
public:
    TableWriter(LoadResult& result, const LoadRequest& request);

    const Destination& destination(int valueIndex) const { return destinations_[valueIndex]; }

    // Stores a raw code with its channel's sign. A code beyond 16 bits is a damaged value:
    // it is kept at the limit and counted. An inverted -32768 becomes 32767.
    void store(std::int16_t* row, const Destination& d, int raw) {
        int value = raw * d.sign;
        if (static_cast<unsigned>(value + 32768) > 65535u) [[unlikely]]
            value = outOfRange(raw, d.sign);
        row[d.column] = static_cast<std::int16_t>(value);
    }
    void store(std::size_t row, const Destination& d, int raw) { store(rowOf(row), d, raw); }
    std::int16_t* rowOf(std::size_t row) { return result_.table.row(row); }
    void storePlain(std::size_t row, int column, int value) {
        result_.table(row, static_cast<std::size_t>(column)) = static_cast<std::int16_t>(value);
    }

private:
    int outOfRange(int raw, int sign) {
        // The loader's threads count into the one total.
        if (raw > 32767 || raw < -32768)
            std::atomic_ref<std::int64_t>(result_.clippedValues).fetch_add(1, std::memory_order_relaxed);
        return std::clamp(std::clamp(raw, -32768, 32767) * sign, -32768, 32767);
    }

    LoadResult& result_;
    std::array<Destination, 16> destinations_{};
};

// Refuses a data part the file cannot hold, naming the expected and the found length.
void requireData(const ByteSource& source, std::uint64_t offset, std::uint64_t bytes, const LoadRequest& request,
                 const char* what);

// Reserves the table of N + 1 samples once the counts are known to fit the file.
void reserveTable(LoadResult& result, const ByteSource& source, const LoadRequest& request, int highestValueIndex);

std::uint64_t headerEnd(const LoadRequest& request);

void load40(const ByteSource& source, const LoadRequest& request, LoadResult& result);
void load41(const ByteSource& source, const LoadRequest& request, LoadResult& result);  // and 80
void load47(const ByteSource& source, const LoadRequest& request, LoadResult& result);
void load20(const ByteSource& source, const LoadRequest& request, LoadResult& result);
void load86(const ByteSource& source, const LoadRequest& request, LoadResult& result);

}  // namespace pqwave::loading
