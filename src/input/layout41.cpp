// Layouts 41 (8841, 8835, 8807, waveform or RMS) and 80 (MR8880): sample after sample, the
// analog values high byte first, then one logic byte holding two 4-bit groups. The MR8880
// writes its codes with an offset of 8192 instead of two's complement.
#include "common/messages.h"
#include "input/loader_layouts.h"

namespace pqwave::loading {

void load41(const ByteSource& source, const LoadRequest& request, LoadResult& result) {
    const std::uint64_t start = headerEnd(request);
    const std::size_t n = static_cast<std::size_t>(request.sampleCount);
    const int values = (request.rmsDataFile + 1) * request.channelCount;
    const bool hasLogic = request.logicChannelCount > 0;
    const std::size_t recordBytes = static_cast<std::size_t>(values) * 2 + (hasLogic ? 1 : 0);
    requireData(source, start, static_cast<std::uint64_t>(recordBytes) * n, request, N_("interleaved channels"));
    reserveTable(result, source, request, values - 1);

    TableWriter writer(result, request);
    const int logicColumn = values;
    const bool twoGroups = request.logicChannelCount == 2;
    const bool offsetCodes = request.formatCode == 80;
    forEachRecord(source, start, recordBytes, n, [&](const std::byte* record, std::size_t j) {
        std::int16_t* row = writer.rowOf(j);
        for (int k = 0; k < values; ++k) {
            const std::byte* b = record + 2 * k;
            int raw = offsetCodes ? bigEndian(b) - 8192 : signedBigEndian(b);
            writer.store(row, writer.destination(k), raw);
        }
        if (!hasLogic) return;
        int x = std::to_integer<int>(record[2 * values]);
        writer.storePlain(j, logicColumn, x >> 4);
        if (twoGroups) writer.storePlain(j, logicColumn + 1, x & 15);
    });
}

}  // namespace pqwave::loading
