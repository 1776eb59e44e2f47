// The V/I/P/Q-data FFT: the instantaneous series first, then four transforms and six more per
// circuit: the line voltages and phase currents as recorded (RMS form, the mean of three
// spectra) and the series (peak form).
#include "spectrum/vipq_fft.h"

#include <algorithm>
#include <cmath>

#include "common/textforms.h"
#include "spectrum/fft.h"
#include "spectrum/transform_input.h"

namespace pqwave {
namespace {

const double kSqrt2 = std::sqrt(2.0);

// The transforms of one run: input loaded in bit-reversed order from x(sample), then the
// one-sided read-out into a column of the spectrum in RMS form (added) or peak form (set).
class Transforms {
public:
    Transforms(const FftTables& tables, VipqSpectrum& spectrum, Progress& progress, int count)
        : t_(tables), a_(tables.N), spectrum_(spectrum), progress_(progress), count_(count) {}

    template <typename Input>
    void addRms(std::size_t column, Input x) {
        run(x);
        for (std::size_t k = 0; k <= t_.topBin; ++k) {
            const BinSums b = binSums(a_, t_.N, k);
            const double s = static_cast<float>(b.S / kSqrt2), d = static_cast<float>(b.D / kSqrt2);
            float& cell = spectrum_.values[k * spectrum_.columns + column];
            cell = static_cast<float>(cell + std::sqrt(s * s + d * d));
        }
    }
    template <typename Input>
    void setPeak(std::size_t column, Input x) {
        run(x);
        for (std::size_t k = 0; k <= t_.topBin; ++k) {
            const BinSums b = binSums(a_, t_.N, k);
            const double s = b.S, d = b.D;
            spectrum_.values[k * spectrum_.columns + column] = static_cast<float>(std::sqrt(s * s + d * d));
        }
    }

private:
    template <typename Input>
    void run(Input x) {
        std::fill(a_.FFTIm.begin(), a_.FFTIm.end(), 0.0f);
        for (std::size_t m = 0; m < t_.N; ++m) a_.FFTRe[m] = x(static_cast<std::size_t>(t_.BitRevIndex[m]));
        FFTCalc(t_, a_.FFTIm.data(), a_.FFTRe.data());
        progress_.advance(0.5 * ++done_ / count_);
    }

    const FftTables& t_;
    FftArrays a_;
    VipqSpectrum& spectrum_;
    Progress& progress_;
    int count_;
    int done_ = 0;
};

}  // namespace

int vipqCircuits(int lastColumn) {
    return std::clamp((lastColumn - 2) / 2 + 1, 0, kMaxCircuits);
}

VipqSeries vipqSeries(const VipqFftSettings& settings, const RawSampleTable& table, std::size_t n) {
    VipqSeries series;
    series.N = n;
    series.circuits = vipqCircuits(settings.lastColumn);
    const auto circuits = static_cast<std::size_t>(series.circuits);
    series.voltage.resize(n);
    series.current.assign(circuits, std::vector<float>(n));
    series.active.assign(circuits, std::vector<float>(n));
    series.reactive.assign(circuits, std::vector<float>(n));
    const double vd = settings.countsPerDivision, vd2 = vd * vd, pt = settings.ptRatio;
    const float kq = settings.wiring.qts();
    const auto& scale = settings.channelScale;

    for (std::size_t k = 0; k < n; ++k) {
        const float ua = static_cast<float>(codeAt(table, k, 0)) * scale[0];
        const float ub = static_cast<float>(codeAt(table, k, 1)) * scale[1];
        const float uab = ua - ub;
        series.voltage[k] = static_cast<float>(
            std::sqrt((static_cast<double>(ua) * ua + static_cast<double>(ub) * ub + static_cast<double>(uab) * uab) /
                      3) /
            vd * pt);
        for (std::size_t c = 0; c < circuits; ++c) {
            const CircuitWiring& wiring = settings.wiring.circuits[c];
            const float sign = wiring.polaritySign();
            float i1 = static_cast<float>(codeAt(table, k, 2 * c + 2)) * scale[2 * c + 2] * sign;
            float i2 = static_cast<float>(codeAt(table, k, 2 * c + 3)) * scale[2 * c + 3] * sign;
            float i3 = i1 + i2;  // minus the third line current
            transformStarDelta(wiring.starDelta, i1, i2, i3);
            const double ct = settings.clampAmps[c];
            const double squares =
                static_cast<double>(i1) * i1 + static_cast<double>(i2) * i2 + static_cast<double>(i3) * i3;
            series.current[c][k] = static_cast<float>(std::sqrt(squares / 3) / vd * ct / 0.2);
            const float p = twoWattmeterP(ua, ub, i1, i2);
            series.active[c][k] = static_cast<float>(p / vd2 * pt * ct / 0.2 / 1000);
            const float q = twoWattmeterQ3(ua, ub, uab, i1, i2, i3);
            series.reactive[c][k] = static_cast<float>(q / vd2 * pt * ct * kq);
        }
    }
    return series;
}

VipqSpectrum vipqSpectrum(const VipqFftSettings& settings, const RawSampleTable& table, Progress& progress) {
    requireCountsPerDivision(settings.fileName, settings.countsPerDivision);
    const auto tables = FFTSetup(transformBits(settings.sampleCount));
    const std::size_t n = tables->N;
    requireRows(settings.fileName, table, static_cast<double>(n));
    const VipqSeries series = vipqSeries(settings, table, n);

    VipqSpectrum spectrum;
    spectrum.N = n;
    spectrum.columns = 2 + 4 * static_cast<std::size_t>(series.circuits);
    spectrum.values.assign(spectrum.bins() * spectrum.columns, 0.0f);
    Transforms transforms(*tables, spectrum, progress, 4 + 6 * series.circuits);

    const double vd = settings.countsPerDivision, pt = settings.ptRatio, points = static_cast<double>(n);
    const auto& scale = settings.channelScale;
    auto scaled = [&](std::size_t column, std::size_t j) {
        return static_cast<float>(codeAt(table, j, column)) * scale[column];
    };
    // The mean of the three line voltages' spectra: ch1, ch2 and ch1 - ch2.
    transforms.addRms(0, [&](std::size_t j) { return static_cast<float>(scaled(0, j) / vd * pt / points / 3); });
    transforms.addRms(0, [&](std::size_t j) { return static_cast<float>(scaled(1, j) / vd * pt / points / 3); });
    transforms.addRms(
        0, [&](std::size_t j) { return static_cast<float>((scaled(0, j) - scaled(1, j)) / vd * pt / points / 3); });
    transforms.setPeak(1, [&](std::size_t j) { return static_cast<float>(series.voltage[j] / points); });

    for (std::size_t c = 0; c < static_cast<std::size_t>(series.circuits); ++c) {
        const double ct = settings.clampAmps[c];
        const std::size_t a = 2 * c + 2, b = 2 * c + 3, first = 4 * c + 2;
        // The mean of the phase currents' spectra: u, w and their sum (polarity and star-delta aside).
        transforms.addRms(first,
                          [&](std::size_t j) { return static_cast<float>(scaled(a, j) / vd * ct / points / 3 / 0.2); });
        transforms.addRms(first,
                          [&](std::size_t j) { return static_cast<float>(scaled(b, j) / vd * ct / points / 3 / 0.2); });
        transforms.addRms(first, [&](std::size_t j) {
            return static_cast<float>((scaled(a, j) + scaled(b, j)) / vd * ct / points / 3 / 0.2);
        });
        const std::vector<float>* quantities[] = {&series.current[c], &series.active[c], &series.reactive[c]};
        for (std::size_t q = 0; q < 3; ++q)
            transforms.setPeak(first + 1 + q,
                               [&](std::size_t j) { return static_cast<float>((*quantities[q])[j] / points); });
    }
    return spectrum;
}

void writeVipqSpectrum(const VipqFftSettings& settings, const VipqSpectrum& spectrum, TextOutputFile& file,
                       Progress& progress) {
    const std::size_t circuits = (spectrum.columns - 2) / 4;
    std::string header = "Hz,V,3VRms";
    if (circuits > 0) header += ",I1,3IRms,P1,Q1";
    for (std::size_t n = 2; n <= circuits; ++n) {
        const std::string number = formI(static_cast<long long>(n));
        header += ",I" + number + ",3IRms" + number + ",P" + number + ",Q" + number;
    }
    file.writeLine(header);

    const double binHz = settings.samplingFrequency / static_cast<double>(spectrum.N);
    const std::size_t lineBytes = 2 * kMaxNumberText + spectrum.columns * (kMaxNumberText + 1);
    for (std::size_t k = 0; k < spectrum.bins(); ++k) {
        char* out = file.reserve(lineBytes);
        out = appendD(out, binHz * static_cast<double>(k));
        for (std::size_t c = 0; c < spectrum.columns; ++c) {
            *out++ = ',';
            out = appendS(out, spectrum.at(k, c));
        }
        *out++ = '\r';
        *out++ = '\n';
        file.release(out);
        if ((k & 0xFFF) == 0xFFF) progress.advance(0.5 + 0.5 * static_cast<double>(k) / spectrum.bins());
    }
}

}  // namespace pqwave
