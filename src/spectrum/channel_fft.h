// The channel-data FFT (ChFFT処理): per channel column, the amplitude and phase of every bin of
// the first N samples, N the largest power of two within the record (at most 65 536).
// Amplitudes are peak values in V or A (bin 0: the mean), before the per-channel multiplier;
// phases are whole degrees, the phi of a sin(2 pi f t + phi) with t = 0 at the first sample.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "common/progress.h"
#include "common/text_output_file.h"
#include "input/sample_table.h"

namespace pqwave {

struct ChannelFftSettings {
    std::string fileName;          // the recording, named in messages
    double sampleCount = 0;        // samples per channel
    double countsPerDivision = 0;  // V_Div
    double samplingFrequency = 0;  // Hz, labels the bins
    int lastColumn = 0;            // LastActiveChannel: columns 0..lastColumn are transformed
    std::array<float, 16> channelScale{};
    std::array<float, 16> multipliers{};  // 乗率 per column, applied to the written amplitudes
};

struct ChannelSpectrum {
    std::size_t N = 1;
    std::size_t columns = 0;
    std::vector<float> amplitude;  // [column * bins() + bin]
    std::vector<float> phase;      // whole degrees, -91 .. 270
    std::size_t bins() const { return N / 2 + 1; }
    float amplitudeAt(std::size_t bin, std::size_t column) const { return amplitude[column * bins() + bin]; }
    float phaseAt(std::size_t bin, std::size_t column) const { return phase[column * bins() + bin]; }
};

ChannelSpectrum channelSpectrum(const ChannelFftSettings& settings, const RawSampleTable& table, Progress& progress);

// The header "Hz,ch1,θ1,..." and one line per bin: frequency (print form), then per column
// amplitude x multiplier and phase.
void writeChannelSpectrum(const ChannelFftSettings& settings, const ChannelSpectrum& spectrum, TextOutputFile& file,
                          Progress& progress);

}  // namespace pqwave
