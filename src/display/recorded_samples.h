// The part of SampleTable that holds the recording: its samples (the table keeps one spare
// row after them) and its analogue columns (logic columns follow them). The display windows
// read through this, so they never draw the spare row or a logic column as a channel.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "control/form1_model.h"

namespace pqwave {

struct RecordedSamples {
    const RawSampleTable* table = nullptr;
    std::size_t rows = 0;
    std::size_t columns = 0;

    bool contains(std::size_t row, std::size_t column) const { return row < rows && column < columns; }
    std::int16_t operator()(std::size_t row, std::size_t column) const { return (*table)(row, column); }
    const std::int16_t* row(std::size_t row) const { return table->row(row); }
};

inline RecordedSamples recordedSamples(const Form1Model& form) {
    RecordedSamples s;
    s.table = &form.SampleTable();
    const double count = form.SampleCount() > 0 ? form.SampleCount() : 0;
    s.rows = std::min(form.SampleTable().rows(), static_cast<std::size_t>(std::min(count, 1e15)));
    const int analog = std::max(form.ChannelCount(), 0) * (form.RmsDataFile() == 1 ? 2 : 1);
    s.columns = std::min(form.SampleTable().columns(), static_cast<std::size_t>(analog));
    return s;
}

}  // namespace pqwave
