// Layout 86, the 886x: tagged blocks. An information block lists one calibration sub-block
// per channel (gain, offset, unit factor); the data block then holds little-endian words
// that the calibration turns into codes on the common 16-count scale.
#include <cmath>
#include <cstring>
#include <optional>

#include "common/error.h"
#include "input/loader_layouts.h"

namespace pqwave::loading {
namespace {

constexpr int kMaxSubBlocks = 16;

// Reads a field of the tagged part, or nothing when the file ends (or the offset is
// negative): a missing tag means a load without data, not a crash.
template <std::size_t N>
bool readAt(const ByteSource& source, std::int64_t offset, std::array<std::byte, N>& into) {
    if (offset < 0 || static_cast<std::uint64_t>(offset) > source.size() ||
        N > source.size() - static_cast<std::uint64_t>(offset))
        return false;
    source.read(static_cast<std::uint64_t>(offset), into);
    return true;
}

bool tagAt(const ByteSource& source, std::int64_t offset, const char (&tag)[9]) {
    std::array<std::byte, 8> bytes;
    return readAt(source, offset, bytes) && std::memcmp(bytes.data(), tag, 8) == 0;
}

std::optional<std::int32_t> int32At(const ByteSource& source, std::int64_t offset) {
    std::array<std::byte, 4> b;
    if (!readAt(source, offset, b)) return std::nullopt;
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | std::to_integer<std::uint32_t>(b[i]);
    return static_cast<std::int32_t>(v);
}

std::optional<std::int16_t> int16At(const ByteSource& source, std::int64_t offset) {
    std::array<std::byte, 2> b;
    if (!readAt(source, offset, b)) return std::nullopt;
    return static_cast<std::int16_t>(std::to_integer<int>(b[0]) | std::to_integer<int>(b[1]) << 8);
}

std::optional<std::int8_t> int8At(const ByteSource& source, std::int64_t offset) {
    std::array<std::byte, 1> b;
    if (!readAt(source, offset, b)) return std::nullopt;
    return static_cast<std::int8_t>(std::to_integer<int>(b[0]));
}

// Half to even without a library call, for |x| below 2^22: adding 1.5 x 2^23 pushes the
// fraction out of the mantissa under the default rounding mode.
float roundHalfEvenSmall(float x) {
    constexpr float kShift = 12582912.0f;
    return (x + kShift) - kShift;
}

std::int64_t roundUp16(std::int64_t n) {
    return n >= 0 ? (n + 15) / 16 * 16 : n / 16 * 16;
}

float scaled(std::int32_t mantissa, std::int8_t exponent) {
    return static_cast<float>(mantissa * std::pow(10.0, exponent));
}

void noData(LoadResult& result, std::string what) {
    result.hasData = false;
    result.missingData = std::move(what);
}

// Fills the calibration of every channel sub-block; false when the information block ends
// before a sub-block that is not a channel follows the channels.
bool readCalibration(const ByteSource& source, std::int64_t start, LoadResult& result) {
    int i = 0;
    for (std::int64_t f = start;;) {
        if (tagAt(source, f, "SXACAWMN")) {
            auto g = int16At(source, f + 14);
            if (!g) return false;
            std::int64_t at = f + *g + 48;
            auto gainM = int32At(source, at), offsetM = int32At(source, at + 5);
            auto gainE = int8At(source, at + 4), offsetE = int8At(source, at + 9);
            auto unit = int16At(source, at + 10);
            if (!gainM || !gainE || !offsetM || !offsetE || !unit) return false;
            if (i < kMaxSubBlocks) {
                result.calibration[i] = scaled(*gainM, *gainE);
                result.calibration[16 + i] = scaled(*offsetM, *offsetE);
                result.calibration[32 + i] = *unit;
            }
            ++i;
        } else if (i > 0) {
            return true;
        }
        auto length = int16At(source, f + 12);
        if (!length) return false;
        std::int64_t step = roundUp16(*length);
        if (step <= 0) return false;  // a sub-block that would not move the scan on
        f += step;
    }
}

}  // namespace

void load86(const ByteSource& source, const LoadRequest& request, LoadResult& result) {
    if (request.rmsDataFile != 0)
        throw Error(ErrorKind::Malformed, source.name() + ": RMS recordings of the 886x cannot be loaded");
    const std::int64_t e = static_cast<std::int64_t>(headerEnd(request));
    const int channels = request.channelCount;
    reserveTable(result, source, request, channels - 1);

    if (!tagAt(source, e, "LWBBWINF")) return noData(result, "information block \"LWBBWINF\"");
    auto infoLength = int32At(source, e + 16);
    if (!infoLength) return noData(result, "information block length");
    if (!readCalibration(source, e + 32, result)) return noData(result, "channel calibration sub-blocks");
    const std::int64_t d = e + *infoLength;
    if (!tagAt(source, d, "LWBBWDAT") || !tagAt(source, d + 32, "LXIIWBLK"))
        return noData(result, "data block \"LWBBWDAT\"/\"LXIIWBLK\"");
    auto h = int32At(source, d + 48);
    if (!h || d + *h + 32 < 0) return noData(result, "data block offset");
    const std::uint64_t start = static_cast<std::uint64_t>(d + *h + 32);
    const std::size_t n = static_cast<std::size_t>(request.sampleCount);
    const std::size_t recordBytes = static_cast<std::size_t>(channels) * 2;
    requireData(source, start, static_cast<std::uint64_t>(recordBytes) * n, request, "calibrated channels");

    // The offset in counts of each channel, in single precision as the instrument gives it.
    std::array<float, 16> offsetCounts{};
    std::array<Destination, 16> destinations{};
    bool smallOffsets = true;
    TableWriter writer(result, request);
    for (int k = 0; k < channels; ++k) {
        offsetCounts[k] = result.calibration[16 + k] / result.calibration[k];
        if (!std::isfinite(offsetCounts[k]))
            throw Error(ErrorKind::Malformed,
                        source.name() + ": channel " + std::to_string(k + 1) + " has a calibration gain of 0");
        smallOffsets = smallOffsets && std::fabs(offsetCounts[k]) < 1048576.0f;
        // The instrument's own codes carry no inversion; only the assignment applies.
        destinations[k] = {writer.destination(k).column, 1};
    }
    forEachRecord(source, start, recordBytes, n, [&](const std::byte* record, std::size_t j) {
        // Decode the whole sample first (a loop the compiler vectorises), then place it.
        std::array<float, 16> codes;
        for (int k = 0; k < channels; ++k) {
            auto w = static_cast<std::int16_t>(std::to_integer<int>(record[2 * k]) |
                                               std::to_integer<int>(record[2 * k + 1]) << 8);
            float x = (static_cast<float>(w) + offsetCounts[k]) / 16.0f;
            codes[k] = smallOffsets ? roundHalfEvenSmall(x) : std::nearbyint(x);
        }
        std::int16_t* row = writer.rowOf(j);
        for (int k = 0; k < channels; ++k) {
            // Small offsets keep every code within a few bits of 16, so it converts exactly.
            float code = smallOffsets ? codes[k] : std::clamp(codes[k], -40000.0f, 40000.0f);
            writer.store(row, destinations[k], static_cast<int>(code));
        }
    });
}

}  // namespace pqwave::loading
