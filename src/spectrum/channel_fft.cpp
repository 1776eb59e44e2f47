// The channel-data FFT: one transform per column over the first N samples, read out as peak
// amplitude and phase, then written bin by bin.
#include "spectrum/channel_fft.h"

#include <algorithm>
#include <cmath>

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

}  // namespace

ChannelSpectrum channelSpectrum(const ChannelFftSettings& settings, const RawSampleTable& table, Progress& progress) {
    requireCountsPerDivision(settings.fileName, settings.countsPerDivision);
    const auto tables = FFTSetup(transformBits(settings.sampleCount));
    const std::size_t n = tables->N;
    requireRows(settings.fileName, table, static_cast<double>(n));

    ChannelSpectrum spectrum;
    spectrum.N = n;
    spectrum.columns = static_cast<std::size_t>(std::clamp(settings.lastColumn, 0, 15)) + 1;
    spectrum.amplitude.assign(spectrum.bins() * spectrum.columns, 0.0f);
    spectrum.phase.assign(spectrum.bins() * spectrum.columns, 0.0f);
    FftArrays a(n);
    for (std::size_t c = 0; c < spectrum.columns; ++c) {
        const CodeScaling input(settings.channelScale[c], settings.countsPerDivision, static_cast<double>(n));
        for (std::size_t m = 0; m < n; ++m) {
            a.FFTIm[m] = 0;
            a.FFTRe[m] = input(codeAt(table, static_cast<std::size_t>(tables->BitRevIndex[m]), c));
        }
        FFTCalc(*tables, a.FFTIm.data(), a.FFTRe.data());
        for (std::size_t k = 0; k <= tables->topBin; ++k) {
            const BinSums b = binSums(a, n, k);
            const double s = b.S, d = b.D;
            spectrum.amplitude[k * spectrum.columns + c] = static_cast<float>(std::sqrt(s * s + d * d));
            spectrum.phase[k * spectrum.columns + c] = phaseDegrees(b);
        }
        progress.advance(0.5 * static_cast<double>(c + 1) / static_cast<double>(spectrum.columns));
    }
    return spectrum;
}

void writeChannelSpectrum(const ChannelFftSettings& settings, const ChannelSpectrum& spectrum, TextOutputFile& file,
                          Progress& progress) {
    std::string header = "Hz";
    for (std::size_t c = 1; c <= spectrum.columns; ++c) header += ",ch" + formI(c) + ",θ" + formI(c);
    file.writeLine(header);

    const double binHz = settings.samplingFrequency / static_cast<double>(spectrum.N);
    const std::size_t lineBytes = 2 * kMaxNumberText + spectrum.columns * 2 * (kMaxNumberText + 1);
    for (std::size_t k = 0; k < spectrum.bins(); ++k) {
        char* out = file.reserve(lineBytes);
        out = appendP(out, binHz * static_cast<double>(k));
        for (std::size_t c = 0; c < spectrum.columns; ++c) {
            *out++ = ',';
            out = appendS(out, spectrum.amplitudeAt(k, c) * settings.multipliers[c]);
            *out++ = ',';
            out = appendS(out, spectrum.phaseAt(k, c));
        }
        *out++ = '\r';
        *out++ = '\n';
        file.release(out);
        if ((k & 0xFFF) == 0xFFF) progress.advance(0.5 + 0.5 * static_cast<double>(k) / spectrum.bins());
    }
}

}  // namespace pqwave
