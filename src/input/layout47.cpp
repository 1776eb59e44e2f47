// Layout 47, the 8847: sample after sample, every channel up to the last active one, codes
// with an offset of 32768, high byte first; no logic.
#include "common/messages.h"
#include "input/loader_layouts.h"

namespace pqwave::loading {

void load47(const ByteSource& source, const LoadRequest& request, LoadResult& result) {
    const std::uint64_t start = headerEnd(request);
    const std::size_t n = static_cast<std::size_t>(request.sampleCount);
    const int values = std::clamp(request.lastActiveChannel, 0, 15) + 1;
    const std::size_t recordBytes = static_cast<std::size_t>(values) * 2;
    requireData(source, start, static_cast<std::uint64_t>(recordBytes) * n, request, N_("interleaved channels"));
    reserveTable(result, source, request, values - 1);

    TableWriter writer(result, request);
    forEachRecord(source, start, recordBytes, n, [&](const std::byte* record, std::size_t j) {
        std::int16_t* row = writer.rowOf(j);
        for (int l = 0; l < values; ++l) writer.store(row, writer.destination(l), bigEndian(record + 2 * l) - 32768);
    });
}

}  // namespace pqwave::loading
