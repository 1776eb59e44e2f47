#include "input/recording.h"

#include "common/error.h"
#include "common/messages.h"
#include "input/byte_source.h"
#include "input/channel_scale.h"
#include "input/loader.h"

namespace pqwave {
namespace {

// The range of each column: the range text of the position the assignment puts there, or for
// an 886x file its calibration, which moves with its channel.
void scaleColumns(Recording& r) {
    const RecordingFacts& f = r.facts;
    for (int u = 0; u < kChannelPositions; ++u) {
        const int column = r.channels.channelMap[u];
        if (column < 0 || column >= kChannelPositions) continue;
        r.channelScale[column] =
            f.layout.formatCode == 86
                ? calibratedChannelScale(f.countsPerDivision, r.calibration[u], r.calibration[32 + u])
                : channelScaleFromRange(f.channels[u].range, f.fileName);
    }
}

}  // namespace

Recording loadRecording(const RecordingFacts& facts, const ChannelSettings& channels, int previousLastActiveChannel) {
    FileByteSource source(facts.fileName);
    return loadRecording(facts, channels, previousLastActiveChannel, source);
}

Recording loadRecording(const RecordingFacts& facts, const ChannelSettings& channels, int previousLastActiveChannel,
                        const ByteSource& source) {
    Recording r;
    r.facts = facts;
    r.channels = channels;
    r.lastActiveChannel = lastActiveChannelOf(facts.layout.channelPresent, previousLastActiveChannel);
    const LoadRequest request = loadRequestFor(facts.layout, channels, r.lastActiveChannel, facts.fileName);
    LoadResult result = loadSamples(source, request);
    if (!result.hasData)
        throw Error(ErrorKind::Malformed,
                    tr("{0}: no sample data found ({1} missing)", {facts.fileName, result.missingData}));
    r.table = std::move(result.table);
    r.calibration = result.calibration;
    r.clippedValues = result.clippedValues;
    scaleColumns(r);
    return r;
}

}  // namespace pqwave
