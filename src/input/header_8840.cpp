// Layout 1, the 8840 file: text fields at fixed byte positions of the first kilobytes.
#include "common/text.h"
#include "input/byte_cursor.h"
#include "input/header.h"

namespace pqwave {

Header8840 parse8840Header(std::span<const std::byte> bytes, const std::string& fileName) {
    ByteCursor cursor(bytes, fileName);
    Header8840 h;
    h.headerSize = headerField(cursor, 16, 2);
    h.startDate = headerField(cursor, 25, 8);
    h.startTime = headerField(cursor, 34, 8);
    h.preTrigger = headerField(cursor, 42, 6);
    h.recordLength = headerField(cursor, 76, 8);
    h.sampleCount = headerField(cursor, 84, 7);
    h.timePerDivision = headerField(cursor, 94, 9);
    h.channelFlags = headerField(cursor, 117, 8);
    for (std::size_t k = 0; k < h.ranges.size(); ++k) h.ranges[k] = headerField(cursor, 139 + 28 * k, 10);
    return h;
}

}  // namespace pqwave
