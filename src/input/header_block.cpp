// Layout 2, the block header: a general block and one 512-byte block per channel.
#include "input/byte_cursor.h"
#include "input/header.h"

namespace pqwave {

BlockHeader parseBlockHeader(std::span<const std::byte> bytes, const std::string& fileName, int headerBlocks) {
    ByteCursor cursor(bytes, fileName);
    BlockHeader h;
    h.headerBlocks = headerBlocks;
    h.general = decodeHeaderBlock(cursor.bytes(0, kHeaderBlockBytes));
    for (int b = 1; b < headerBlocks; ++b)
        h.channelBlocks.push_back(decodeHeaderBlock(cursor.bytes(b * kHeaderBlockBytes, kHeaderBlockBytes)));
    return h;
}

}  // namespace pqwave
