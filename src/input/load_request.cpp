#include "input/load_request.h"

#include <variant>

#include "common/error.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/text.h"
#include "common/textforms.h"

namespace pqwave {
namespace {

constexpr int kPositions = 16;

int roundedCount(const std::string& text) {
    double value = roundHalfEven(Val(text));
    return fitsInt32(value) ? static_cast<int>(value) : 0;
}

int formatCodeOfModel(const std::string& model) {
    if (model == "MR8880") return 80;
    if (startsWith(model, "886")) return 86;
    if (model == "8847") return 47;
    return 41;
}

// The next recorded channel takes the next position; beyond 16 only the count grows.
void addRecordedChannel(RecordingLayout& layout, int source) {
    int u = layout.channelCount++;
    if (u >= kPositions) return;
    layout.channelPresent[u] = true;
    layout.sourceOfPosition[u] = source;
}

}  // namespace

RecordingLayout recordingLayoutOf(const Header8840& h) {
    RecordingLayout layout;
    layout.formatCode = 40;
    layout.headerBlocks = roundedCount(h.headerSize);
    layout.sampleCount = Val(h.sampleCount);
    // Each flag character counts by its value, as the instrument's own software adds them up.
    for (int k = 0; k < 8; ++k) {
        double flag = Val(midChars(h.channelFlags, k, 1));
        layout.channelPresent[k] = flag != 0;
        layout.sourceOfPosition[k] = k;
        layout.channelCount += static_cast<int>(flag);
    }
    return layout;
}

RecordingLayout recordingLayoutOf(const BlockHeader& h) {
    const HeaderBlock& g = h.general;
    RecordingLayout layout;
    layout.formatCode = formatCodeOfModel(g[2]);
    layout.headerBlocks = h.headerBlocks;
    layout.rmsDataFile = startsWith(g[4], "RMS") ? 1 : 0;
    layout.sampleCount = Val(g[6]);
    for (std::size_t b = 0; b < h.channelBlocks.size(); ++b) {
        const HeaderBlock& block = h.channelBlocks[b];
        std::string kind = leftChars(block[0], 2);
        if (kind == "HC" && !startsWith(block[2], "OFF"))
            addRecordedChannel(layout, static_cast<int>(b));
        else if (kind == "HL")
            ++layout.logicChannelCount;
    }
    return layout;
}

RecordingLayout recordingLayoutOf(const LoggerHeader& h) {
    RecordingLayout layout;
    layout.formatCode = 20;
    layout.headerBlocks = h.headerBlocks;
    layout.sampleCount = Val(h.sampleCount);
    layout.logicChannelCount = roundedCount(h.logicGroups);
    layout.loggerExtraFlag = roundedCount(h.extraFlag);
    for (std::size_t j = 0; j < h.channels.size(); ++j) {
        const LoggerChannelBlock& block = h.channels[j];
        if (block.kind == "HC" && block.off != "OFF") {
            // Channel blocks from the 17th on are counted but get no position.
            if (j < kPositions)
                addRecordedChannel(layout, static_cast<int>(j));
            else
                ++layout.channelCount;
        } else if (block.kind == "HL") {
            ++layout.logicChannelCount;
        }
    }
    return layout;
}

std::optional<RecordingLayout> recordingLayoutOf(const InstrumentHeader& header) {
    return std::visit(
        [](const auto& h) -> std::optional<RecordingLayout> {
            if constexpr (std::is_same_v<std::decay_t<decltype(h)>, UnrecognizedHeader>)
                return std::nullopt;
            else
                return recordingLayoutOf(h);
        },
        header);
}

int lastActiveChannelOf(const std::array<bool, 16>& recordedPosition, int previous) {
    for (int k = kPositions - 1; k >= 0; --k)
        if (recordedPosition[k]) return k;
    return previous;
}

LoadRequest loadRequestFor(const RecordingLayout& layout, const ChannelSettings& settings, int lastActiveChannel,
                           const std::string& fileName) {
    double sampleCount = roundHalfEven(layout.sampleCount);
    if (!fitsInt32(sampleCount))
        throw Error(ErrorKind::Malformed, tr("{0}: header declares {1} samples", {fileName, formD(sampleCount)}));
    LoadRequest request;
    request.formatCode = layout.formatCode;
    request.headerBlocks = layout.headerBlocks;
    request.sampleCount = static_cast<std::int64_t>(sampleCount);
    request.channelCount = layout.channelCount;
    request.logicChannelCount = layout.logicChannelCount;
    request.rmsDataFile = layout.rmsDataFile;
    request.loggerExtraFlag = layout.loggerExtraFlag;
    request.lastActiveChannel = lastActiveChannel;
    request.channelMap = settings.channelMap;
    request.invertedPosition = settings.invertedColumn;
    request.recordedPosition = layout.channelPresent;
    request.swapFirstBlocks = settings.swapFirstBlocks;
    return request;
}

}  // namespace pqwave
