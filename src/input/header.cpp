#include "input/header.h"

#include <algorithm>

#include "common/error.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/text.h"
#include "common/textforms.h"
#include "input/file_bytes.h"

namespace pqwave {
namespace {

constexpr std::string_view k8840Signature = "HIOKI8825";

std::string withoutNuls(std::string_view text) {
    std::string kept;
    for (char c : text)
        if (c != '\0') kept += c;
    return cp932ToUtf8(kept);
}

bool starts8840(std::span<const std::byte> bytes) {
    ByteCursor cursor(bytes, {});
    return cursor.hasNext(k8840Signature.size()) && cursor.text(k8840Signature.size()) == k8840Signature;
}

// The general block, zero-padded when the file is shorter than one block: a short file
// is still looked at, and only refused when it claims to be an instrument file.
HeaderBlock generalBlockOf(std::span<const std::byte> bytes) {
    std::array<std::byte, kHeaderBlockBytes> block{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), block.size()), block.begin());
    ByteCursor cursor(block, {});
    return readHeaderBlock(cursor);
}

enum class BlockKind { Waveform, Logger, Other };

BlockKind classify(const HeaderBlock& general) {
    if (leftChars(general[0], 2) != "HW") return BlockKind::Other;
    if (isBlockWaveformModel(general[2])) return BlockKind::Waveform;
    if (isLoggerModel(general[2])) return BlockKind::Logger;
    return BlockKind::Other;
}

int headerBlockCount(const HeaderBlock& general, std::uintmax_t fileBytes, const std::string& fileName) {
    double declared = roundHalfEven(Val(general[1]));
    if (declared < 1 || declared * kHeaderBlockBytes > static_cast<double>(fileBytes))
        throw Error(ErrorKind::Malformed,
                    tr("{0}: header declares {1} header blocks of 512 bytes, but the file has {2} bytes",
                       {fileName, formD(declared), std::to_string(fileBytes)}));
    return static_cast<int>(declared);
}

}  // namespace

std::string headerField(ByteCursor& cursor, std::size_t position, std::size_t width) {
    return withoutNuls(cursor.seek(position - 1).text(width));
}

HeaderBlock readHeaderBlock(ByteCursor& cursor) {
    std::uint64_t at = cursor.offset();
    ByteCursor block(cursor.bytes(kHeaderBlockBytes), cursor.fileName(), at);
    HeaderBlock fields;
    for (std::string& field : fields) field = withoutNuls(block.text(kHeaderBlockFieldBytes));
    return fields;
}

bool isBlockWaveformModel(const std::string& model) {
    return startsWith(model, "886") || model == "8847" || model == "MR8880" || model == "8841" || model == "8835" ||
           model == "8807";
}

InstrumentHeader parseHeader(std::span<const std::byte> bytes, const std::string& fileName) {
    if (starts8840(bytes)) return parse8840Header(bytes, fileName);
    HeaderBlock general = generalBlockOf(bytes);
    BlockKind kind = classify(general);
    if (kind == BlockKind::Other) return UnrecognizedHeader{};
    int blocks = headerBlockCount(general, bytes.size(), fileName);
    if (kind == BlockKind::Waveform) return parseBlockHeader(bytes, fileName, blocks);
    return parseLoggerHeader(bytes, fileName, blocks);
}

InstrumentHeader readHeader(const std::filesystem::path& path) {
    std::string name = path.string();
    std::vector<std::byte> start = readFileRange(path, 0, kHeaderBlockBytes);
    if (starts8840(start)) return parse8840Header(start, name);
    HeaderBlock general = generalBlockOf(start);
    if (classify(general) == BlockKind::Other) return UnrecognizedHeader{};
    int blocks = headerBlockCount(general, fileSizeOf(path), name);
    std::vector<std::byte> header = readFileRange(path, 0, static_cast<std::size_t>(blocks) * kHeaderBlockBytes);
    return parseHeader(header, name);
}

}  // namespace pqwave
