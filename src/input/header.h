// The fields of an instrument file's header, as texts, before the main window's rules turn
// them into labels and module values. Four layouts: the 8840 file ("HIOKI8825"), the
// 512-byte block header ("HW" with a waveform model), the 8420 logger file ("HW" with model
// exactly "8420"), and anything else (not recognised). Texts are UTF-8 with NULs removed.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "input/byte_cursor.h"

namespace pqwave {

// Layout 1, read by fixed byte positions.
struct Header8840 {
    std::string headerSize;
    std::string startDate;
    std::string startTime;
    std::string preTrigger;
    std::string recordLength;
    std::string sampleCount;
    std::string timePerDivision;
    std::string channelFlags;  // one character per channel ch1..ch8, "1" = recorded
    std::array<std::string, 8> ranges;
};

// One 512-byte header block: 42 text fields of 12 bytes.
inline constexpr std::size_t kHeaderBlockBytes = 512;
inline constexpr std::size_t kHeaderBlockFields = 42;
inline constexpr std::size_t kHeaderBlockFieldBytes = 12;  // the last 8 bytes of a block are not used
using HeaderBlock = std::array<std::string, kHeaderBlockFields>;

// Layout 2: the general block and the channel blocks that follow it.
struct BlockHeader {
    int headerBlocks = 0;
    HeaderBlock general;
    std::vector<HeaderBlock> channelBlocks;
};

struct LoggerChannelBlock {
    std::string kind;  // "HC" analog, "HL" logic
    std::string number;
    std::string off;  // "OFF" when switched off
    std::string range;
};

// Layout 3: a block header read by absolute positions.
struct LoggerHeader {
    int headerBlocks = 0;
    HeaderBlock general;
    std::string recordLength;
    std::string startDate;
    std::string startTime;  // the 8 characters from two before the first ":"
    std::string samplingInterval;
    std::string sampleCount;
    std::string preTrigger;
    std::string logicGroups;
    std::string extraFlag;
    std::vector<LoggerChannelBlock> channels;
};

struct UnrecognizedHeader {};

using InstrumentHeader = std::variant<UnrecognizedHeader, Header8840, BlockHeader, LoggerHeader>;

// Reads as much of the file as its header occupies. Throws Error (CannotRead, Malformed)
// when the file cannot be read or is shorter than a recognised header says.
InstrumentHeader readHeader(const std::filesystem::path& path);

// The same from bytes in memory (the start of the file, or all of it).
InstrumentHeader parseHeader(std::span<const std::byte> bytes, const std::string& fileName);

// The fields of the header block at the cursor, NULs removed; the cursor moves past the block.
HeaderBlock readHeaderBlock(ByteCursor& cursor);

// A text field at 1-based byte `position`, NULs dropped so that labels and CSV text stay clean.
std::string headerField(ByteCursor& cursor, std::size_t position, std::size_t width);

// Model texts of block-header waveform files and the logger.
bool isBlockWaveformModel(const std::string& model);
inline bool isLoggerModel(const std::string& model) {
    return model == "8420";
}

// Each layout's reader; the bytes must hold the whole header.
Header8840 parse8840Header(std::span<const std::byte> bytes, const std::string& fileName);
BlockHeader parseBlockHeader(std::span<const std::byte> bytes, const std::string& fileName, int headerBlocks);
LoggerHeader parseLoggerHeader(std::span<const std::byte> bytes, const std::string& fileName, int headerBlocks);

}  // namespace pqwave
