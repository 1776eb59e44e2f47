// The moving FFT: windows and rows are laid out once per run (and checked against the loaded
// samples), then the channels' windows are transformed, a channel per core at a time: each
// channel has a file of its own, so the bytes do not depend on which thread wrote them. Every
// file of the run is held open until the last window is written, so they are renamed into
// place together.
#include "spectrum/moving_fft.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "common/error.h"
#include "common/every_core.h"
#include "common/free_space.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/text_output_file.h"
#include "common/textforms.h"
#include "spectrum/fft.h"
#include "spectrum/transform_input.h"

namespace pqwave {
namespace {

// A raw code at or beyond this magnitude means the input was at the end of its range.
constexpr int kOverloadCode = 2047;

// Everything about the windows and rows that is the same for every channel.
struct Layout {
    std::shared_ptr<const FftTables> tables;
    double windowMs = 0;                  // Tw
    std::int64_t windows = 0;             // kept, each inside the loaded samples
    std::int64_t windowsPastTheEnd = 0;   // of those the recording time promises
    std::vector<double> rowKHz;           // the frequency heading each row
    std::size_t firstBin = 0;             // bin mode: row j is bin firstBin + j
    std::vector<std::int32_t> bandOfBin;  // band mode: row of each bin 0..N/2, -1 for none
    std::int64_t start(std::int64_t w, const MovingFftSettings& s) const {
        return static_cast<std::int64_t>(roundHalfEven(s.samplingFrequency * s.stepMs * static_cast<double>(w) / 1000));
    }
};

[[noreturn]] void refuse(const MovingFftSettings& s, const std::string& problem) {
    throw ArithmeticError(s.fileName + ": " + problem);
}

void requirePositive(const MovingFftSettings& s, double value, const std::string& what) {
    if (!(value > 0) || !std::isfinite(value)) refuse(s, tr("{0} is {1}; it must be above 0", {what, formD(value)}));
}

void layRows(const MovingFftSettings& s, Layout& layout) {
    const std::size_t n = layout.tables->N, topBin = layout.tables->topBin;
    const double delta = s.stepKHz;
    if (!s.bandMode) {
        // Bins beyond N/2 mirror those below it and are not offered.
        const double first = std::clamp(Int(s.lowKHz / delta) + 1, 0.0, topBin + 1.0);
        const double last = std::min(static_cast<double>(topBin), Int(s.highKHz / delta) - 1);
        layout.firstBin = static_cast<std::size_t>(first);
        for (double i = first; i <= last; ++i) layout.rowKHz.push_back(i / layout.windowMs);
        return;
    }
    // Below fL there is no band; more than 32768 do not fit the table's 16-bit rows.
    const double bands = (s.highKHz - s.lowKHz) / delta;
    if (!(roundHalfEven(bands) <= 32767))
        refuse(s, tr("({0} - {1}) kHz in bands of {2} kHz makes more than 32768 bands; widen 分割周期",
                     {formD(s.highKHz), formD(s.lowKHz), formD(delta)}));
    const double lastRow = roundHalfEven(bands);
    for (double j = 0; j <= lastRow; ++j) layout.rowKHz.push_back(s.lowKHz + j * delta);
    const float low = static_cast<float>(s.lowKHz), high = static_cast<float>(s.highKHz);
    layout.bandOfBin.assign(topBin + 1, -1);
    for (std::size_t k = 0; k <= topBin; ++k) {
        const float hz = static_cast<float>(s.samplingFrequency / static_cast<double>(n) * static_cast<double>(k));
        const float centre = static_cast<float>(hz / 1000.0 + delta / 2);
        if (!(low <= centre && high >= centre)) continue;
        const double row = Int((centre - low) / delta);
        if (row >= 0 && row < static_cast<double>(layout.rowKHz.size()))
            layout.bandOfBin[k] = static_cast<std::int32_t>(row);
    }
}

Layout layoutOf(const MovingFftSettings& s, const RawSampleTable& table) {
    requireCountsPerDivision(s.fileName, s.countsPerDivision);
    requirePositive(s, s.samplingFrequency, tr("the sampling frequency (Hz)"));
    requirePositive(s, s.stepMs, tr("the window step 移動間隔 (ms)"));
    requirePositive(s, s.stepKHz, tr("the frequency step 分割周期 (kHz)"));
    // A step shorter than a sample only repeats the window before it.
    const double samplePeriodMs = 1000 / s.samplingFrequency;
    if (s.stepMs < samplePeriodMs)
        refuse(s, tr("a window step 移動間隔 of {0} ms is shorter than the sample period of {1} ms; set {1} ms or more",
                     {formD(s.stepMs), formD(samplePeriodMs)}));
    const double bits = roundHalfEven(s.exponent);
    const double samples = static_cast<double>(std::min<std::int64_t>(s.sampleCount, table.rows()));
    if (!(bits >= 0) || bits > 30 || std::ldexp(1.0, static_cast<int>(bits)) > samples)
        refuse(s, tr("a window of 2^{0} samples is longer than the {1} samples of the recording; lower ｻﾝﾌﾟﾘﾝｸﾞ数",
                     {formD(bits), formD(samples)}));
    Layout layout;
    layout.tables = FFTSetup(static_cast<int>(bits));
    const auto n = static_cast<std::int64_t>(layout.tables->N);
    layout.windowMs = 1000 / s.samplingFrequency * static_cast<double>(n);

    const double lastWindow = Int((s.recordSeconds * 1000 - layout.windowMs) / s.stepMs) - 1;
    if (!fitsInt32(lastWindow) || lastWindow < 0)
        refuse(s, tr("a recording of {0} s holds no window of {1} ms moved by {2} ms",
                     {formD(s.recordSeconds), formD(layout.windowMs), formD(s.stepMs)}));
    // The windows the recording time promises, as far as the loaded samples reach.
    const auto promised = static_cast<std::int64_t>(lastWindow) + 1;
    const auto loaded = static_cast<std::int64_t>(samples);
    auto fits = [&](std::int64_t w) { return layout.start(w, s) + n <= loaded; };
    std::int64_t fitting = static_cast<std::int64_t>(
        std::min(static_cast<double>(promised),
                 std::floor(static_cast<double>(loaded - n) * 1000 / (s.samplingFrequency * s.stepMs)) + 1));
    while (fitting > 0 && !fits(fitting - 1)) --fitting;
    while (fitting < promised && fits(fitting)) ++fitting;
    layout.windows = fitting;
    layout.windowsPastTheEnd = promised - fitting;
    if (layout.windows == 0) refuse(s, tr("every window would read past the {0} loaded samples", {formD(samples)}));
    layRows(s, layout);
    return layout;
}

// One channel's rows of the current window, and their sum and maximum over the windows.
struct Rows {
    explicit Rows(std::size_t count) : current(count), sum(count), maximum(count) {}
    std::vector<float> current, sum, maximum;
    void fold() {
        for (std::size_t j = 0; j < current.size(); ++j) {
            sum[j] += current[j];
            if (!(maximum[j] >= current[j])) maximum[j] = current[j];
            current[j] = 0;
        }
    }
};

std::string headerLine(const std::string& first, const Layout& layout, std::initializer_list<const char*> suffixes) {
    std::string line = first;
    for (double kHz : layout.rowKHz)
        for (const char* suffix : suffixes) line += "," + formD(kHz) + suffix;
    return line;
}

// At most one "ms" field, the flag, and the longest S form of each row ("1.234568E-05"): an
// upper bound, so that a run refused for its size would really not have fitted.
std::uintmax_t plannedBytes(const Layout& layout, int columns) {
    const double header = 32 + 12.0 * static_cast<double>(layout.rowKHz.size());
    const double line = 2 * kMaxNumberText + 4 + 13.0 * static_cast<double>(layout.rowKHz.size());
    return static_cast<std::uintmax_t>((header + line * static_cast<double>(layout.windows)) * columns);
}

void writeWindowLine(TextOutputFile& file, double ms, bool overload, const std::vector<float>& rows) {
    char* out = file.reserve(2 * kMaxNumberText + 8 + rows.size() * kMaxSingleField);
    out = appendD(out, ms);
    *out++ = ',';
    *out++ = overload ? '1' : '0';
    out = appendSFields(out, rows.data(), rows.size());
    *out++ = '\r';
    *out++ = '\n';
    file.release(out);
}

// Whether any code of the window reached the end of the input range.
bool overloaded(const std::int16_t* codes, std::size_t n) {
    bool any = false;
    for (std::size_t k = 0; k < n; ++k) any |= codes[k] >= kOverloadCode || codes[k] <= -kOverloadCode;
    return any;
}

// Every window of one channel: the column is scaled once into a contiguous buffer, so each
// window reads its points from one short stretch of it. `step` is told of every 64 windows.
template <typename Step>
void transformChannel(const MovingFftSettings& s, const Layout& layout, const RawSampleTable& table, std::size_t c,
                      TextOutputFile* window, Rows& rows, Step& step) {
    const FftTables& t = *layout.tables;
    const std::size_t n = t.N;
    const auto samples = static_cast<std::size_t>(layout.start(layout.windows - 1, s)) + n;
    const std::vector<std::int16_t> codes = columnCodes(table, c, samples);
    const std::vector<float> x = scaledCodes(codes, s.channelScale[c], s.countsPerDivision, static_cast<double>(n));
    FftArrays a(n);
    std::vector<double> binAmplitudes(s.bandMode ? t.topBin + 1 : 0);
    for (std::int64_t w = 0; w < layout.windows; ++w) {
        const auto start = static_cast<std::size_t>(layout.start(w, s));
        loadBitReversed(t, x.data() + start, a);
        FFTCalc(t, a.FFTIm.data(), a.FFTRe.data());
        if (s.bandMode) {
            peakAmplitudes(a, 0, t.topBin + 1, binAmplitudes.data());
            for (std::size_t k = 0; k <= t.topBin; ++k)
                if (const std::int32_t row = layout.bandOfBin[k]; row >= 0)
                    rows.current[static_cast<std::size_t>(row)] =
                        static_cast<float>(rows.current[static_cast<std::size_t>(row)] + binAmplitudes[k]);
        } else {
            peakAmplitudes(a, layout.firstBin, rows.current.size(), rows.current.data());
        }
        if (window)
            writeWindowLine(*window, static_cast<double>(w) * s.stepMs, overloaded(codes.data() + start, n),
                            rows.current);
        rows.fold();
        if ((w & 0x3F) == 0x3F) step(64);
    }
    step(layout.windows & 0x3F);
}

}  // namespace

std::filesystem::path movingFftWindowFile(const std::string& outputName, int column) {
    std::filesystem::path path(outputName);
    std::string name = path.filename().string();
    name = name.substr(0, name.find('.'));
    return path.parent_path() / (name + "ch" + std::to_string(column + 1) + ".csv");
}

MovingFftResult writeMovingFft(const MovingFftSettings& s, const RawSampleTable& table, Progress& progress,
                               OutputFiles& files) {
    if (s.windowFiles && std::filesystem::path(s.outputName).filename().empty())
        throw Error(ErrorKind::CannotWrite,
                    tr("{0}: no output file name (出力ファイル名) to name the window files after", {s.fileName}));
    if (s.windowFiles && s.outputName == "-")
        throw Error(ErrorKind::CannotWrite, tr("{0}: the moving FFT writes a file per channel, which standard output "
                                               "cannot hold; name them with an output file name",
                                               {s.fileName}));
    const Layout layout = layoutOf(s, table);
    MovingFftResult result{layout.windows, layout.windowsPastTheEnd, {}};
    if (!s.windowFiles && !s.summaries) return result;  // nothing would be written

    const auto columns = static_cast<std::size_t>(std::clamp(s.lastColumn, 0, 15)) + 1;
    if (s.windowFiles)
        requireFreeSpace(std::filesystem::path(s.outputName).parent_path(),
                         plannedBytes(layout, static_cast<int>(columns)), tr("{0}: the moving FFT", {s.fileName}));
    std::vector<TextOutputFile*> windowFiles(columns, nullptr);
    for (std::size_t c = 0; s.windowFiles && c < columns; ++c) {
        windowFiles[c] = &files.create(movingFftWindowFile(s.outputName, static_cast<int>(c)));
        windowFiles[c]->write(headerLine("ms,オーバー", layout, {"kHz"}));
        windowFiles[c]->endLine();
    }
    std::vector<Rows> rows(columns, Rows(layout.rowKHz.size()));
    runOnEveryCore(
        columns, layout.windows * static_cast<std::int64_t>(columns), progress,
        [&](std::size_t c, auto&& step) { transformChannel(s, layout, table, c, windowFiles[c], rows[c], step); });

    for (std::size_t c = 0; s.summaries && c < columns; ++c) {
        MovingFftSummaryLine line{
            static_cast<int>(c), headerLine("ファイル名,日時", layout, {"kHz(Ave)", "kHz(Max)"}), {}};
        for (std::size_t j = 0; j < rows[c].sum.size(); ++j)
            line.fields += (j ? "," : "") +
                           formS(static_cast<float>(rows[c].sum[j] / static_cast<double>(layout.windows))) + "," +
                           formS(rows[c].maximum[j]);
        result.summaries.push_back(std::move(line));
    }
    return result;
}

}  // namespace pqwave
