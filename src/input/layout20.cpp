// Layout 20, the 8420 logger: sample after sample, the analog words, then (with the extra
// flag) one word per logic group that is skipped, then the logic words whose high nibble
// holds the state.
#include "common/messages.h"
#include "input/loader_layouts.h"

namespace pqwave::loading {

void load20(const ByteSource& source, const LoadRequest& request, LoadResult& result) {
    const std::uint64_t start = headerEnd(request);
    const std::size_t n = static_cast<std::size_t>(request.sampleCount);
    const int analog = request.channelCount;
    const int lcc = request.logicChannelCount;
    const int skipped = request.loggerExtraFlag != 0 ? lcc : 0;
    const int logicWords = lcc == 0 ? 0 : lcc <= 2 ? 1 : lcc;
    const std::size_t recordBytes = static_cast<std::size_t>(analog + skipped + logicWords) * 2;
    requireData(source, start, static_cast<std::uint64_t>(recordBytes) * n, request, N_("logger channels"));
    reserveTable(result, source, request, analog - 1);

    TableWriter writer(result, request);
    forEachRecord(source, start, recordBytes, n, [&](const std::byte* record, std::size_t j) {
        std::int16_t* row = writer.rowOf(j);
        for (int k = 0; k < analog; ++k) writer.store(row, writer.destination(k), signedBigEndian(record + 2 * k));
        const std::byte* logic = record + 2 * (analog + skipped);
        for (int t = 0; t < logicWords; ++t) writer.storePlain(j, analog + t, std::to_integer<int>(logic[2 * t]) >> 4);
    });
}

}  // namespace pqwave::loading
