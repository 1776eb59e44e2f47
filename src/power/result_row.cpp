#include "power/result_row.h"

#include <array>

#include "common/textforms.h"

namespace pqwave {
namespace {

// Writes "," and a value in its text form.
template <typename Format, typename T>
char* field(char* out, Format format, T value) {
    *out++ = ',';
    return format(out, value);
}

}  // namespace

int readLogicStates(const RecordingView& recording, double start, std::vector<int>& states) {
    int missing = 0;
    for (std::size_t l = 0; l < states.size(); ++l) {
        const std::size_t column = static_cast<std::size_t>(recording.channelCount) + l;
        if (start < 0 || !recording.table.contains(static_cast<std::size_t>(start), column)) {
            ++missing;
            continue;
        }
        const int w = recording.table(static_cast<std::size_t>(start), column);
        states[l] = 8 * (w & 1) + 4 * (w >> 1 & 1) + 2 * (w >> 2 & 1) + (w >> 3 & 1);
    }
    return missing;
}

char* RowWriter::ensureRoom(std::size_t fields) {
    std::size_t bytes = (fields + 2) * (kMaxNumberText + 1);
    if (buffer_.size() < bytes) buffer_.resize(bytes);
    return buffer_.data();
}

std::string_view RowWriter::format(const RowValues& r) {
    const int circuits = s_.circuits;
    char* const start = ensureRoom(16 + 40 * static_cast<std::size_t>(circuits) + r.logic.size());
    char* out = appendD(start, r.seconds);
    *out++ = ',';
    out = appendPSingle(out, r.v);
    if (s_.fundamental) out = field(out, appendD, r.fundamentalV);
    if (s_.fundamental) {
        for (int c = 0; c < circuits; ++c) {
            out = field(out, appendS, r.i[c]);
            out = field(out, appendD, r.fundamentalI[c]);
        }
    } else {
        out = appendSFields(out, r.i.data(), static_cast<std::size_t>(circuits));
    }
    std::array<float, 2 * kMaxCircuits> powers;
    for (int c = 0; c < circuits; ++c) {
        powers[static_cast<std::size_t>(2 * c)] = r.p[c];
        powers[static_cast<std::size_t>(2 * c + 1)] = r.q[c];
    }
    out = appendSFields(out, powers.data(), static_cast<std::size_t>(2 * circuits));
    if (s_.fifth) {
        out = field(out, appendD, r.fifthV);
        for (int c = 0; c < circuits; ++c) out = field(out, appendD, r.fifthI[c]);
        for (int c = 0; c < circuits; ++c) out = field(out, appendI, static_cast<long long>(r.fifthPhase[c]));
    }
    if (s_.perPhase) {
        for (double v : r.phaseV) out = field(out, appendD, v);
        for (int c = 0; c < circuits; ++c) {
            for (double i : r.phaseI[c]) out = field(out, appendD, i);
            for (double p : r.phaseP[c]) out = field(out, appendD, p);
            for (double q : r.phaseQ[c]) out = field(out, appendD, q);
        }
    }
    if (s_.compensation) out = field(out, appendD, r.compensatedV);
    if (s_.theoretical) out = field(out, appendD, r.theoretical);
    for (int logic : r.logic) out = field(out, appendI, static_cast<long long>(logic));
    if (s_.frequency && r.frequency) out = field(out, appendS, *r.frequency);
    return {start, static_cast<std::size_t>(out - start)};
}

}  // namespace pqwave
