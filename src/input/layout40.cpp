// Layout 40, the 8840 file: channel after channel, all samples of one block before the next,
// 12-bit codes with an offset of 2048, high byte first; then the logic bytes per sample.
#include "common/messages.h"
#include "input/loader_layouts.h"

namespace pqwave::loading {
namespace {

// The file's first two blocks can be exchanged by the user's channel swap.
int positionOfBlock(int block, bool swapFirstBlocks) {
    if (block < 2 && swapFirstBlocks) return 1 - block;
    return block;
}

}  // namespace

void load40(const ByteSource& source, const LoadRequest& request, LoadResult& result) {
    const std::uint64_t start = headerEnd(request);
    const std::size_t n = static_cast<std::size_t>(request.sampleCount);
    int blocksPresent = 0, highestPosition = -1;
    for (int block = 0; block < 8; ++block) {
        int p = positionOfBlock(block, request.swapFirstBlocks);
        if (request.recordedPosition[p]) ++blocksPresent, highestPosition = std::max(highestPosition, p);
    }
    const int logicGroups = request.logicChannelCount == 0 ? 0 : request.logicChannelCount <= 2 ? 1 : 2;
    const std::uint64_t analogBytes = static_cast<std::uint64_t>(blocksPresent) * n * 2;
    requireData(source, start, analogBytes + static_cast<std::uint64_t>(logicGroups) * n, request,
                N_("channel blocks and logic bytes"));
    reserveTable(result, source, request, highestPosition);

    TableWriter writer(result, request);
    std::uint64_t offset = start;
    for (int block = 0; block < 8; ++block) {
        int p = positionOfBlock(block, request.swapFirstBlocks);
        if (!request.recordedPosition[p]) continue;
        const Destination& d = writer.destination(p);
        forEachRecord(source, offset, 2, n,
                      [&](const std::byte* b, std::size_t j) { writer.store(j, d, bigEndian(b) - 2048); });
        offset += n * 2;
    }
    forEachRecord(source, offset, static_cast<std::size_t>(logicGroups), n, [&](const std::byte* b, std::size_t j) {
        for (int t = 0; t < logicGroups; ++t)
            writer.storePlain(j, request.channelCount + t, std::to_integer<int>(b[t]));
    });
}

}  // namespace pqwave::loading
