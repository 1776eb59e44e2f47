#include "quality/pq_files.h"

#include <algorithm>
#include <cmath>

#include "common/textforms.h"
#include "quality/recording_clock.h"
#include "quality/voltage_events.h"

namespace pqwave {
namespace {

const char* const kLineNames[kLineVoltages] = {"U12", "U23", "U31"};

// Field text never holds the separator.
std::string withoutCommas(std::string text) {
    std::replace(text.begin(), text.end(), ',', ' ');
    return text;
}

// Appends ",value" (S form, 7 significant digits), or "," alone for no value.
char* appendField(char* out, float value) {
    *out++ = ',';
    return std::isfinite(value) ? appendS(out, value) : out;
}

char* appendText(char* out, const std::string& text) {
    return std::copy(text.begin(), text.end(), out);
}

void writeTimes(TextOutputFile& file, const RecordingClock& clock, const PqRow& row) {
    std::string text = clock.text(row.startSeconds) + "," + clock.text(row.endSeconds) + (row.flagged ? ",1" : ",0");
    file.writeAscii(text);
}

void writeSummaryRow(TextOutputFile& file, const RecordingClock& clock, const PqRow& row, const PqExtraColumns& extra) {
    writeTimes(file, clock, row);
    char* p = file.reserve((11 + 8 * row.circuits.size()) * (kMaxNumberText + 1));
    p = appendField(p, row.frequencyHz);
    for (float v : row.lineVolts) p = appendField(p, v);
    p = appendField(p, row.unbalancePercent);
    for (float v : row.thdPercent) p = appendField(p, v);
    for (const PqCircuitValues& c : row.circuits) {
        for (float a : c.amps) p = appendField(p, a);
        p = appendField(p, c.kW);
        p = appendField(p, c.kvar);
        p = appendField(p, c.powerFactor);
        for (float t : c.thdPercent) p = appendField(p, t);
    }
    file.release(p);
    if (extra.cells)
        for (const std::string& cell : extra.cells(row)) file.writeAscii("," + withoutCommas(cell));
    file.endLine();
}

void writeHarmonicsRow(TextOutputFile& file, const RecordingClock& clock, const PqRow& row) {
    writeTimes(file, clock, row);
    const std::size_t quantities = row.spectra.size() / kSpectrumValues;
    for (std::size_t q = 0; q < quantities; ++q) {
        const float* values = &row.spectra[q * kSpectrumValues];
        const float fundamental = values[harmonicSlot(1)];
        char* p = file.reserve(kSpectrumValues * (kMaxNumberText + 1));
        p = appendField(p, fundamental);
        auto percent = [&](float v) { return fundamental > 0 ? 100 * v / fundamental : kNoValue; };
        for (int h = 2; h <= kHighestHarmonic; ++h) p = appendField(p, percent(values[harmonicSlot(h)]));
        for (int n = 0; n < kHighestHarmonic; ++n) p = appendField(p, percent(values[interharmonicSlot(n)]));
        file.release(p);
    }
    file.endLine();
}

void writeEventRow(TextOutputFile& file, const RecordingClock& clock, const PqEvent& e) {
    std::string text = std::string(eventTypeText(e.type)) + "," + clock.text(e.startSeconds) + "," +
                       formI(std::llround(e.durationSeconds * 1000));
    char* p = file.reserve(text.size() + 2 * (kMaxNumberText + 1));
    p = appendText(p, text);
    p = appendField(p, static_cast<float>(e.extremeVolts));
    p = appendField(p, static_cast<float>(e.extremePercent));
    file.release(p);
    file.writeAscii("," + withoutCommas(e.phases));
    file.endLine();
}

}  // namespace

std::string spectrumQuantityName(int quantity) {
    if (quantity < kLineVoltages) return kLineNames[quantity];
    const int c = (quantity - kLineVoltages) / 2 + 1;
    return ((quantity - kLineVoltages) % 2 == 0 ? "I1_" : "I3_") + std::to_string(c);
}

PqFileNames pqFileNames(const std::filesystem::path& folder, const std::string& stem) {
    return {folder / (stem + "_PQ.csv"), folder / (stem + "_PQharm.csv"), folder / (stem + "_PQevents.csv"),
            folder / (stem + "_PQflicker.csv")};
}

PqFileNames pqFileNamesBeside(const std::filesystem::path& summary) {
    std::string stem = summary.stem().string();
    if (stem.size() > 3 && stem.ends_with("_PQ")) stem.resize(stem.size() - 3);
    PqFileNames names = pqFileNames(summary.parent_path(), stem);
    names.summary = summary;
    return names;
}

std::string pqRecordingLine(const PqSettings& settings, const PqResult& result) {
    const RecordingClock clock(settings.startDateTime);
    std::string udinSource = result.declaredAutomatically
                                 ? "auto: nearest to the mean of the first 10 s " +
                                       formS(static_cast<float>(result.firstTenSecondsVolts)) + " V"
                                 : "declared";
    return "Model," + withoutCommas(settings.modelText) + ",Start," + clock.text(0) + ",Sampling(Hz)," +
           formD(result.samplingHz) + ",Udin(V)," + formD(result.declaredVolts) + "," + udinSource + ",Aggregation," +
           std::string(aggregationText(settings.aggregation));
}

std::string pqSummaryHeader(int circuits, const PqExtraColumns& extra) {
    std::string h = "Start,End,Flag,f(Hz),U12(V),U23(V),U31(V),u2(%),THD_U12(%),THD_U23(%),THD_U31(%)";
    for (int c = 1; c <= circuits; ++c) {
        const std::string n = std::to_string(c);
        h += ",I1_" + n + "(A),I2_" + n + "(A),I3_" + n + "(A),P_" + n + "(kW),Q_" + n + "(kvar),PF_" + n + ",THD_I1_" +
             n + "(%),THD_I3_" + n + "(%)";
    }
    for (const std::string& name : extra.headers) h += "," + withoutCommas(name);
    return h;
}

std::string pqHarmonicsHeader(int circuits) {
    std::string h = "Start,End,Flag";
    for (int q = 0; q < spectrumQuantities(circuits); ++q) {
        const std::string name = spectrumQuantityName(q);
        h += "," + name + "_H1";
        for (int order = 2; order <= kHighestHarmonic; ++order) h += "," + name + "_H" + std::to_string(order) + "(%)";
        for (int n = 0; n < kHighestHarmonic; ++n) h += "," + name + "_IH" + std::to_string(n) + "(%)";
    }
    return h;
}

std::string pqEventsHeader() {
    return "Type,Start,Duration(ms),Extreme(V),Extreme(%),Phases";
}

void writePqFiles(const PqSettings& settings, const PqResult& result, const PqTableFiles& files,
                  const PqExtraColumns& extra) {
    const RecordingClock clock(settings.startDateTime);
    const std::string first = pqRecordingLine(settings, result);
    files.summary.writeLine(first);
    files.summary.writeLine(pqSummaryHeader(result.circuits, extra));
    for (const PqRow& row : result.rows) writeSummaryRow(files.summary, clock, row, extra);
    files.harmonics.writeLine(first);
    files.harmonics.writeLine(pqHarmonicsHeader(result.circuits));
    for (const PqRow& row : result.rows) writeHarmonicsRow(files.harmonics, clock, row);
    files.events.writeLine(first);
    files.events.writeLine(pqEventsHeader());
    for (const PqEvent& e : result.events) writeEventRow(files.events, clock, e);
}

void writePqFiles(const PqSettings& settings, const PqResult& result, const PqFileNames& names,
                  const PqExtraColumns& extra) {
    TextOutputFile summary(names.summary), harmonics(names.harmonics), events(names.events);
    writePqFiles(settings, result, {summary, harmonics, events}, extra);
    for (TextOutputFile* file : {&summary, &harmonics, &events}) file->finish();
    for (TextOutputFile* file : {&summary, &harmonics, &events}) file->commit();
}

}  // namespace pqwave
