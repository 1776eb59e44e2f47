// Layout 86, the 886x: tagged blocks. An information block lists one calibration sub-block
// per channel (gain, offset, unit factor); the data block then holds little-endian words
// that the calibration turns into codes on the common 16-count scale. The tagged fields are
// read through a ByteCursor over the information block and over the head of the data block.
#include <cmath>

#include "common/error.h"
#include "common/messages.h"
#include "common/textforms.h"
#include "input/loader_layouts.h"

namespace pqwave::loading {
namespace {

constexpr int kMaxSubBlocks = 16;
constexpr std::int64_t kFirstSubBlock = 32;  // from the information block's tag
constexpr std::int64_t kDataBlockHead = 52;  // "LWBBWDAT", "LXIIWBLK" at +32, sample offset h at +48

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

void noData(LoadResult& result, const char* what) {
    result.hasData = false;
    result.missingData = tr(what);
}

// Fills the calibration of the channel sub-blocks and returns how many there are. The field at
// position f + k lies k bytes after the first byte of the tag at f. The scan ends at the first
// sub-block that is not a channel after the channels, or at the end of the information block;
// it gives 0 (no usable calibration) when a channel's fields lie outside the block or a length
// would not move the scan on. Sub-blocks belong to their information block, so the scan never
// wanders into the samples that follow it.
int readCalibration(ByteCursor& info, std::int64_t firstSubBlock, LoadResult& result) {
    int i = 0;
    for (std::int64_t f = firstSubBlock; info.has(static_cast<std::uint64_t>(f), 16);) {
        bool channel = info.seek(static_cast<std::uint64_t>(f)).text(8) == "SXACAWMN";
        if (!channel && i > 0) break;
        std::int16_t length = info.skip(4).i16le();  // at f + 12
        if (channel) {
            std::int16_t g = info.i16le();  // at f + 14
            std::int64_t at = f + g + 49;
            if (at < 0 || !info.has(static_cast<std::uint64_t>(at), 12)) return 0;
            info.seek(static_cast<std::uint64_t>(at));
            std::int32_t gainMantissa = info.i32le();
            std::int8_t gainExponent = info.i8();
            std::int32_t offsetMantissa = info.i32le();
            std::int8_t offsetExponent = info.i8();
            std::int16_t unit = info.i16le();
            if (i < kMaxSubBlocks) {
                result.calibration[i] = scaled(gainMantissa, gainExponent);
                result.calibration[16 + i] = scaled(offsetMantissa, offsetExponent);
                result.calibration[32 + i] = unit;
            }
            ++i;
        }
        std::int64_t step = roundUp16(length);
        if (step <= 0) return 0;
        f += step;
    }
    return i;
}

// The sample loop: each sample is decoded whole first, then placed. Inlined into load86, GCC
// 12 no longer vectorises the decoding and loading takes twice as long, hence noinline.
[[gnu::noinline]] void decodeSamples(const ByteSource& source, std::uint64_t start, std::size_t n, int channels,
                                     const std::array<float, 16>& offsetCounts, bool smallOffsets,
                                     const std::array<Destination, 16>& destinations, TableWriter& writer) {
    const std::size_t recordBytes = static_cast<std::size_t>(channels) * 2;
    forEachRecord(source, start, recordBytes, n, [&](const std::byte* record, std::size_t j) {
        std::array<float, 16> codes;
        for (int k = 0; k < channels; ++k) {
            auto w = static_cast<std::int16_t>(u16leAt(record + 2 * k));
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

}  // namespace

void load86(const ByteSource& source, const LoadRequest& request, LoadResult& result) {
    if (request.rmsDataFile != 0)
        throw Error(ErrorKind::Malformed, tr("{0}: RMS recordings of the 886x cannot be loaded", {source.name()}));
    const std::int64_t e = static_cast<std::int64_t>(headerEnd(request));
    const int channels = request.channelCount;
    reserveTable(result, source, request, channels - 1);

    std::vector<std::byte> infoHead = readAvailable(source, static_cast<std::uint64_t>(e), kFirstSubBlock);
    ByteCursor head(infoHead, source.name(), static_cast<std::uint64_t>(e));
    if (!head.hasNext(8) || head.text(8) != "LWBBWINF") return noData(result, N_("information block \"LWBBWINF\""));
    if (!head.has(static_cast<std::uint64_t>(e) + 16, 4)) return noData(result, N_("information block length"));
    const std::int64_t infoLength = head.seek(static_cast<std::uint64_t>(e) + 16).i32le();
    const std::int64_t d = e + infoLength;
    if (infoLength < 0 || static_cast<std::uint64_t>(d + kDataBlockHead) > source.size())
        return noData(result, N_("data block \"LWBBWDAT\"/\"LXIIWBLK\""));

    // The information block is read whole: its length is within the file, checked above.
    std::vector<std::byte> infoBytes = readAvailable(source, static_cast<std::uint64_t>(e), infoLength);
    ByteCursor info(infoBytes, source.name(), static_cast<std::uint64_t>(e));
    const int calibrated = readCalibration(info, e + kFirstSubBlock, result);
    if (calibrated == 0) return noData(result, N_("channel calibration sub-blocks"));

    std::vector<std::byte> dataHead = readAvailable(source, static_cast<std::uint64_t>(d), kDataBlockHead);
    ByteCursor data(dataHead, source.name(), static_cast<std::uint64_t>(d));
    if (data.text(8) != "LWBBWDAT" || data.seek(static_cast<std::uint64_t>(d) + 32).text(8) != "LXIIWBLK")
        return noData(result, N_("data block \"LWBBWDAT\"/\"LXIIWBLK\""));
    const std::int64_t h = data.skip(8).i32le();  // at D + 48
    if (d + h + 32 < 0) return noData(result, N_("data block offset"));
    const std::uint64_t start = static_cast<std::uint64_t>(d + h + 32);
    const std::size_t n = static_cast<std::size_t>(request.sampleCount);
    const std::size_t recordBytes = static_cast<std::size_t>(channels) * 2;
    requireData(source, start, static_cast<std::uint64_t>(recordBytes) * n, request, N_("calibrated channels"));

    if (calibrated < channels)
        throw Error(ErrorKind::Malformed,
                    tr("{0}: the information block calibrates {1} of the {2} channels the header records",
                       {source.name(), std::to_string(calibrated), std::to_string(channels)}));
    // The offset in counts of each channel, in single precision as the instrument gives it.
    std::array<float, 16> offsetCounts{};
    std::array<Destination, 16> destinations{};
    bool smallOffsets = true;
    TableWriter writer(result, request);
    for (int k = 0; k < channels; ++k) {
        const float gain = result.calibration[k], offset = result.calibration[16 + k];
        offsetCounts[k] = offset / gain;
        // A gain of 0, or a gain or offset beyond single precision, would turn every sample
        // into an infinity or nothing at all.
        if (!std::isfinite(gain) || !std::isfinite(offset) || !std::isfinite(offsetCounts[k]))
            throw Error(ErrorKind::Malformed, tr("{0}: channel {1} has an unusable calibration (gain {2}, offset {3})",
                                                 {source.name(), std::to_string(k + 1), formS(gain), formS(offset)}));
        smallOffsets = smallOffsets && std::fabs(offsetCounts[k]) < 1048576.0f;
        // The instrument's own codes carry no inversion; only the assignment applies.
        destinations[k] = {writer.destination(k).column, 1};
    }
    decodeSamples(source, start, n, channels, offsetCounts, smallOffsets, destinations, writer);
}

}  // namespace pqwave::loading
