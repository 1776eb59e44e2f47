// Layout 3, the 8420 logger file: a block header whose fields are read by absolute
// byte positions rather than by the 12-byte field grid.
#include "common/text.h"
#include "input/byte_cursor.h"
#include "input/header.h"

namespace pqwave {
namespace {

// The logger writes the start time with a varying lead; the time itself begins two
// characters before its first colon.
std::string startTimeOf(const std::string& text) {
    std::size_t colon = findChars(text, ":", 0);
    std::size_t start = colon == std::string::npos || colon < 2 ? 0 : colon - 2;
    std::string rest = rightChars(text, charCount(text) - start);
    return leftChars(rest, 8);
}

}  // namespace

LoggerHeader parseLoggerHeader(std::span<const std::byte> bytes, const std::string& fileName, int headerBlocks) {
    ByteCursor cursor(bytes, fileName);
    LoggerHeader h;
    h.headerBlocks = headerBlocks;
    h.general = readHeaderBlock(cursor);
    h.startDate = headerField(cursor, 85, 8);
    h.startTime = startTimeOf(headerField(cursor, 97, 9));
    h.recordLength = headerField(cursor, 73, 8);
    h.sampleCount = headerField(cursor, 181, 7);
    h.samplingInterval = headerField(cursor, 145, 5);
    h.preTrigger = headerField(cursor, 205, 5);
    h.logicGroups = headerField(cursor, 469, 1);
    h.extraFlag = headerField(cursor, 470, 1);
    for (int j = 0; j + 2 <= headerBlocks; ++j) {
        std::size_t base = kHeaderBlockBytes * static_cast<std::size_t>(j + 1);
        h.channels.push_back({headerField(cursor, base + 1, 2), headerField(cursor, base + 13, 2),
                              headerField(cursor, base + 25, 3), headerField(cursor, base + 49, 10)});
    }
    return h;
}

}  // namespace pqwave
