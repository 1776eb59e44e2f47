// Layout 2, the block header: a general block and one 512-byte block per channel.
#include "input/byte_cursor.h"
#include "input/header.h"

namespace pqwave {

BlockHeader parseBlockHeader(std::span<const std::byte> bytes, const std::string& fileName, int headerBlocks) {
    ByteCursor cursor(bytes, fileName);
    BlockHeader h;
    h.headerBlocks = headerBlocks;
    h.general = readHeaderBlock(cursor);
    for (int b = 1; b < headerBlocks; ++b) h.channelBlocks.push_back(readHeaderBlock(cursor));
    return h;
}

}  // namespace pqwave
