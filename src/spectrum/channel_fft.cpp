// The channel-data FFT: one transform per column over the first N samples, the columns side by
// side on every core (each reads out into a stretch of its own, so the bytes do not depend on
// which thread did it), read out as peak amplitude and phase, then written bin by bin.
#include "spectrum/channel_fft.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/every_core.h"
#include "common/textforms.h"
#include "spectrum/fft.h"
#include "spectrum/transform_input.h"

namespace pqwave {
namespace {

// The phase's own approximation of pi, used both to shift and to turn radians into degrees.
constexpr double kPi = 3.14159;

// Whole degrees, rounded down; 1E-20 keeps the quotient defined when D is 0.
float phaseDegrees(BinSums b) {
    double angle = std::atan(b.S / (static_cast<double>(b.D) + 1E-20));
    if (b.D < 0) angle += kPi;
    return static_cast<float>(std::floor(angle * 180 / kPi));
}

// One column's transform, read out into the column's own stretch of the spectrum.
void transformColumn(const ChannelFftSettings& settings, const RawSampleTable& table, const FftTables& tables,
                     std::size_t c, ChannelSpectrum& spectrum) {
    const std::size_t n = tables.N, bins = spectrum.bins();
    const std::vector<float> x = scaledCodes(columnCodes(table, c, n), settings.channelScale[c],
                                             settings.countsPerDivision, static_cast<double>(n));
    FftArrays a(n);
    loadBitReversed(tables, x.data(), a);
    FFTCalc(tables, a.FFTIm.data(), a.FFTRe.data());
    peakAmplitudes(a, 0, bins, spectrum.amplitude.data() + c * bins);
    float* phase = spectrum.phase.data() + c * bins;
    for (std::size_t k = 0; k < bins; ++k) phase[k] = phaseDegrees(binSums(a, n, k));
}

}  // namespace

ChannelSpectrum channelSpectrum(const ChannelFftSettings& settings, const RawSampleTable& table, Progress& progress) {
    requireCountsPerDivision(settings.fileName, settings.countsPerDivision);
    const auto tables = FFTSetup(transformBits(settings.sampleCount));
    const std::size_t n = tables->N;
    requireRows(settings.fileName, table, static_cast<double>(n));

    ChannelSpectrum spectrum;
    spectrum.N = n;
    spectrum.columns = static_cast<std::size_t>(std::clamp(settings.lastColumn, 0, 15)) + 1;
    spectrum.amplitude.resize(spectrum.bins() * spectrum.columns);
    spectrum.phase.resize(spectrum.bins() * spectrum.columns);
    // The transform is the first half of the run, the writing the second.
    runOnEveryCore(
        spectrum.columns, static_cast<std::int64_t>(spectrum.columns), progress,
        [&](std::size_t c, auto&& step) {
            transformColumn(settings, table, *tables, c, spectrum);
            step(1);
        },
        0.5);
    return spectrum;
}

void writeChannelSpectrum(const ChannelFftSettings& settings, const ChannelSpectrum& spectrum, TextOutputFile& file,
                          Progress& progress) {
    std::string header = "Hz";
    for (std::size_t c = 1; c <= spectrum.columns; ++c) header += ",ch" + formI(c) + ",θ" + formI(c);
    file.writeLine(header);

    const double binHz = settings.samplingFrequency / static_cast<double>(spectrum.N);
    std::vector<float> fields(2 * spectrum.columns);
    const std::size_t lineBytes = 2 * kMaxNumberText + fields.size() * kMaxSingleField;
    for (std::size_t k = 0; k < spectrum.bins(); ++k) {
        for (std::size_t c = 0; c < spectrum.columns; ++c) {
            fields[2 * c] = spectrum.amplitudeAt(k, c) * settings.multipliers[c];
            fields[2 * c + 1] = spectrum.phaseAt(k, c);
        }
        char* out = file.reserve(lineBytes);
        out = appendP(out, binHz * static_cast<double>(k));
        out = appendSFields(out, fields.data(), fields.size());
        *out++ = '\r';
        *out++ = '\n';
        file.release(out);
        if ((k & 0xFFF) == 0xFFF) progress.advance(0.5 + 0.5 * static_cast<double>(k) / spectrum.bins());
    }
}

}  // namespace pqwave
