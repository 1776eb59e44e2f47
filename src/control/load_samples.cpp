// DTLood: the samples of the file in Label1 into memory, with the progress caption and the
// hourglass. The recording in memory is replaced only by a complete load, so a file that turns
// out to be damaged leaves the previous recording usable.
#include "common/error.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "control/busy_caption.h"
#include "control/form1_model.h"

namespace pqwave {
namespace {

const RawSampleTable kNoSamples;
const std::array<float, kPositions> kNoScale{};

}  // namespace

ChannelSettings Form1Model::channelSettings() const {
    ChannelSettings settings;
    settings.channelMap = ChannelMap;
    settings.swapFirstBlocks = isChecked(Check16);
    for (int p = 0; p < kPositions; ++p) settings.invertedColumn[p] = isChecked(Check17[p]);
    return settings;
}

void Form1Model::DTLood() {
    BusyCaption caption(*this, "データ読込中");
    const int previousLastActive = LastActiveChannel();
    auto loaded = std::make_shared<Recording>(loadRecording(facts_, channelSettings(), previousLastActive));
    recording_ = std::move(loaded);
    ++loadCount_;
    if (recording_->clippedValues > 0)
        host_->reportWarning(tr("{0}: {1} sample codes beyond 16 bits were stored at the limit",
                                {Label1.text, std::to_string(recording_->clippedValues)}));
}

void Form1Model::forgetLoadedSamples() {
    recording_.reset();
}

std::shared_ptr<const Recording> Form1Model::loadedRecording() const {
    if (recording_ && recording_->facts.fileName == Label1.text) return recording_;
    return nullptr;
}

const RawSampleTable& Form1Model::SampleTable() const {
    return recording_ ? recording_->table : kNoSamples;
}

const std::array<float, kPositions>& Form1Model::ChannelScale() const {
    return recording_ ? recording_->channelScale : kNoScale;
}

void Form1Model::loadSelectedFile() {
    if (Label1.text != LoadedFileName()) DTLood();
}

}  // namespace pqwave
