// One row of the RMS and power result file: the values of an output interval (or of a 10 ms
// average of the sliding analysis) and the one writer that turns them into the row's text, so
// both analyses write the same fields in the same forms, in the order the header names them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "input/recording_view.h"
#include "power/power_settings.h"

namespace pqwave {

struct RowValues {
    long long row = 0;   // output interval number; the sliding analysis starts some rows below 0
    double seconds = 0;  // time of the interval start
    float v = 0;         // three-phase RMS line voltage, primary volts
    std::array<float, kMaxCircuits> i{}, p{}, q{};  // A, kW, kvar
    double fundamentalV = 0;
    std::array<double, kMaxCircuits> fundamentalI{};
    double fifthV = 0;
    std::array<double, kMaxCircuits> fifthI{};
    std::array<std::int16_t, kMaxCircuits> fifthPhase{};  // degrees, -180..179
    std::array<double, 3> phaseV{};                       // per phase (line or star-point)
    std::array<std::array<double, 3>, kMaxCircuits> phaseI{}, phaseP{}, phaseQ{};
    double compensatedV = 0;  // voltage before compensation
    double theoretical = 0;   // mean theoretical compensation value
    std::vector<int> logic;   // logic state at the interval start, weights reversed
    std::optional<float> frequency;
};

// The logic states at sample `start` (an output interval's first): each logic column's four low
// bits with their weights reversed, as the instrument's software shows them. A state whose
// sample is not in memory keeps its value; returns how many did.
int readLogicStates(const RecordingView& recording, double start, std::vector<int>& states);

// Told of every row, written or not: the all-files run folds the values into its statistics.
using RowObserver = std::function<void(const RowValues&)>;

class RowWriter {
public:
    explicit RowWriter(const PowerSettings& settings) : s_(settings) {}

    // The row's text, without the line end; valid until the next call.
    std::string_view format(const RowValues& values);

private:
    char* ensureRoom(std::size_t fields);

    const PowerSettings& s_;
    std::vector<char> buffer_ = std::vector<char>(4096);
};

}  // namespace pqwave
